#pragma once

#include "settings/onboarding/OnboardingPages.h"

#include <QWidget>

#include <optional>

#include <functional>
#include <vector>

class QVariantAnimation;

namespace kolu {

class OrlixButton;

// The feature card: the page's tinted symbol tile beside its title and
// subtitle. A page change slides the new page in from the trailing edge
// while it fades in.
class OnboardingFeatureCard : public QWidget {
    Q_OBJECT
public:
    explicit OnboardingFeatureCard(QWidget *parent = nullptr);
    void setPage(const OnboardingPage &page, bool animated);
    const OnboardingPage &page() const { return m_page; }
    // The page leaving during a change, else null.
    const OnboardingPage *leavingPage() const { return m_leaving ? &*m_leaving : nullptr; }
    // How far a change has come: 0 just begun, 1 done.
    qreal progress() const { return m_entry; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The whole card, glass and content, `dx` along and at `opacity`.
    void paintPage(QPainter &painter, const OnboardingPage &page, qreal dx, qreal opacity) const;

    OnboardingPage m_page;
    std::optional<OnboardingPage> m_leaving;
    qreal m_entry = 1;
    QVariantAnimation *m_animation;
};

// One capsule per page; the current one is long and in the accent colour.
class OnboardingPageDots : public QWidget {
    Q_OBJECT
public:
    OnboardingPageDots(int count, QWidget *parent = nullptr);
    void setSelectedIndex(int index);
    // Where the dot of `index` is now: the long one's width moves to the
    // newly selected dot with the content swap.
    QRectF dotRect(int index) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_count;
    int m_selected = 0;
    int m_previous = 0;
    qreal m_swap = 1; // 0 the previous dot long, 1 the selected one
    QVariantAnimation *m_animation = nullptr;
};

// The first-run welcome: a fixed 520 x 520 pt window titled "Welcome to
// Kolu" that walks through five pages. It stores nothing itself: Skip and
// the last page's button call `onFinish`, which the application uses to
// record completion and close the window. Closing the window otherwise
// ends nothing.
class OnboardingView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSide = 520;

    explicit OnboardingView(std::function<void()> onFinish, QWidget *parent = nullptr);

    int selectedIndex() const { return m_selectedIndex; }
    const std::vector<OnboardingPage> &pages() const { return m_pages; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void goTo(int index);
    void finish();

    std::function<void()> m_onFinish;
    std::vector<OnboardingPage> m_pages;
    int m_selectedIndex = 0;
    OnboardingFeatureCard *m_card;
    OnboardingPageDots *m_dots;
    OrlixButton *m_back;
    OrlixButton *m_primary;
};

} // namespace kolu
