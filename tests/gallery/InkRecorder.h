#pragma once

#include <QColor>
#include <QImage>
#include <QPaintDevice>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

namespace kolu::test {

// One text run, symbol or shape a widget drew: where (device pixels of the
// recorder), in what colour (its alpha times the painter's opacity), and
// which widget drew it. Shapes are mostly fills, tints and edges; a test
// picks out those that carry meaning (a dot, a track, a ring) by their
// painter.
struct DrawnInk {
    enum class Kind { bodyText, largeText, symbol, fill, outline };
    Kind kind;
    QRectF rect;
    QColor color;
    QString what;
    QString widget;
    bool widgetEnabled = true;
};

// A paint device that draws nothing and notes every text run, every symbol
// (a pixmap in one colour) and every shape in one colour painted on it. Render a widget onto it
// while it watches the application's paint events, to know which widget
// drew what.
class InkRecorder : public QPaintDevice {
public:
    // Drawn at this device pixel ratio: the notes are in its pixels.
    static constexpr int kRatio = 2;

    explicit InkRecorder(const QSize &size);
    ~InkRecorder() override;

    QPaintEngine *paintEngine() const override;
    const std::vector<DrawnInk> &inks() const;

    // Everything `widget` and its children draw, noted.
    void record(QWidget &widget);

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class Engine;
    class PaintWatcher;
    QSize m_size;
    std::unique_ptr<Engine> m_engine;
};

// What `ink` shows against the surface under it in `picture` (drawn at
// `scale` times the recorder's device pixels): the commonest colour around it
// that is not the ink, and the ink landed on that. Where hardly anything
// there differs from the ink (an ink nearly the colour of its surface), the
// commonest colour of a band around it is the surface. Nothing when the ink
// does not show there (clipped, covered).
struct MeasuredInk {
    QColor ink;
    QColor surface;
    double ratio;
};
std::optional<MeasuredInk> measure(const DrawnInk &ink, const QImage &picture, qreal scale);

} // namespace kolu::test
