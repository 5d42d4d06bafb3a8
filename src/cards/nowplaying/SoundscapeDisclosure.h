#pragma once

#include <QWidget>

class QAbstractButton;
class QGraphicsOpacityEffect;
class QVariantAnimation;

namespace kolu {

class SymbolView;

// A section that opens under its header. The header (a rounded bar with the
// symbol, the title and a chevron) toggles it; on one spring the chevron
// turns and the content fades in while it slides down from the header (and
// back up while it fades out). At rest nothing runs and nothing is drawn
// through an effect. The parent owns nothing but the widget.
class SoundscapeDisclosure : public QWidget {
    Q_OBJECT
public:
    SoundscapeDisclosure(const QString &title, const QString &symbol, QWidget *content, QWidget *parent = nullptr);

    bool isExpanded() const { return m_expanded; }
    // Opens or closes, animated while the section is on screen.
    void setExpanded(bool expanded);
    QWidget *content() const { return m_content; }
    QAbstractButton *header() const { return m_header; }
    // The chevron's turn at rest: 0 while open, -90 (pointing right) while closed.
    qreal chevronRotation() const;
    // How far the content is shown, 0 (closed) to 1 (open); past 1 while
    // the spring overshoots.
    qreal reveal() const { return m_reveal; }
    // The running open or close animation, if any.
    QVariantAnimation *motion() const { return m_motion; }

Q_SIGNALS:
    void expandedChanged(bool expanded);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Clip;
    void setReveal(qreal reveal);
    void settle();

    QAbstractButton *m_header;
    SymbolView *m_chevron;
    Clip *m_clip;
    QWidget *m_content;
    QVariantAnimation *m_motion;
    QGraphicsOpacityEffect *m_fade = nullptr;
    qreal m_reveal = 0;
    bool m_expanded = false;
};

} // namespace kolu
