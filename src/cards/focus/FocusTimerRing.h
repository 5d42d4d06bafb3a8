#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QLineEdit>
#include <QWidget>

class QGraphicsOpacityEffect;
class QVariantAnimation;

namespace kolu {

class ShrinkLabel;

// The duration field: Return commits (returnPressed), Escape cancels.
class FocusDurationField : public QLineEdit {
    Q_OBJECT
public:
    explicit FocusDurationField(QWidget *parent = nullptr);

Q_SIGNALS:
    void cancelled();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// The remaining time as a button that opens the duration field; the text
// shrinks to fit one line, down to 72 %.
class FocusTimeButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit FocusTimeButton(QWidget *parent = nullptr);
    void setDisplayTime(const QString &time);
    ShrinkLabel *label() const { return m_label; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    ShrinkLabel *m_label;
};

// The large progress ring with the time in its centre, which turns into a
// duration field for typing a new focus length. Reads no state: the card
// sets every value and answers the signals. Setters repaint only on change.
// The arc moves to a new value, and the time and the field fade into each
// other, with the shared spring; nothing runs once they have arrived.
class FocusTimerRing : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSize = 214;
    static constexpr int kDialSize = 204;
    static constexpr int kTrackInset = 24;
    static constexpr qreal kLineWidth = 11;

    explicit FocusTimerRing(QWidget *parent = nullptr);

    void setDisplayTime(const QString &time);
    void setProgress(double progress);
    double progress() const { return m_progress; }
    // Where the arc is drawn: the progress once the arc has arrived.
    double shownProgress() const { return m_shownProgress; }
    // The opacity of whichever of the time and the field is coming in.
    qreal swapOpacity() const;
    bool isMoving() const;
    void setTint(const QColor &tint);
    void setModeTitle(const QString &title);
    void setCanEditDuration(bool canEdit);
    // Shows the field instead of the time and moves the keyboard into it.
    void setEditing(bool editing);
    bool isEditing() const { return m_editing; }

    FocusDurationField *field() const { return m_field; }
    FocusTimeButton *timeButton() const { return m_time; }

    QSize sizeHint() const override { return {kSize, kSize}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

Q_SIGNALS:
    void beginEditingRequested();
    void commitRequested();
    void cancelRequested();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    static QRectF dialRect();
    // The circle the arc runs on.
    static QRectF trackRect();
    // What the arc covers between two progress values, as it is drawn.
    QRect sweptRect(double from, double to) const;

    FocusTimeButton *m_time;
    FocusDurationField *m_field;
    ShrinkLabel *m_caption;
    double m_progress = 0;
    double m_shownProgress = 0;
    // Made on their first move.
    QVariantAnimation *m_arc = nullptr;
    QVariantAnimation *m_swap = nullptr;
    QGraphicsOpacityEffect *m_fadeIn = nullptr;
    QColor m_tint;
    bool m_editing = false;
    bool m_canEdit = true;
};

} // namespace kolu
