#pragma once

#include <QStringList>
#include <QWidget>

namespace kolu {

// The attendees of an event as overlapping circles: the first three
// initials, the first on top, then a "+N" badge for the rest. Takes no room
// when there is no attendee.
class AttendeeInitialsStack : public QWidget {
    Q_OBJECT
public:
    explicit AttendeeInitialsStack(QWidget *parent = nullptr);

    void setInitials(const QStringList &initials);
    const QStringList &initials() const { return m_initials; }
    // The circles drawn with an initial (at most three), and the badge text
    // ("+1"; empty when there is none).
    int circleCount() const;
    QString badgeText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr int kCircle = 28;
    static constexpr int kOverlap = 7;
    static constexpr int kShown = 3;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList m_initials;
};

} // namespace kolu
