#pragma once

#include <QWidget>

namespace kolu {

// The timeline beside an agenda event: a short segment above a ring and a
// segment down to the bottom. The first row hides the upper segment and the
// last row the lower one, so a single event shows the ring alone.
class TimelineMarker : public QWidget {
    Q_OBJECT
public:
    explicit TimelineMarker(QWidget *parent = nullptr);

    void setEnds(bool isFirst, bool isLast);
    bool isFirst() const { return m_isFirst; }
    bool isLast() const { return m_isLast; }

    static constexpr int kWidth = 28;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_isFirst = true;
    bool m_isLast = true;
};

} // namespace kolu
