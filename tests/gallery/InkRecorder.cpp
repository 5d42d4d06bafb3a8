#include "InkRecorder.h"

#include "ColorMeasure.h"

#include "style/ReadableInk.h"

#include <QApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTextItem>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace kolu::test {

namespace {

// Below this opacity a one-coloured picture is a shadow or a glow.
constexpr double kFaintest = 0.3;

// WCAG's large text: 18 pt, or 14 pt bold, at 96 pixels an inch.
constexpr qreal kLargePixels = 24, kLargeBoldPixels = 18.66;

// The one colour a pixmap is painted in, with its strongest alpha; nothing
// when it holds more than one (a picture, a photo).
std::optional<QColor> singleColour(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    std::optional<QColor> colour;
    int strongest = 0, seen = 0, core = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            // Faint edge pixels carry too little of their colour to compare.
            if (qAlpha(p) < 96)
                continue;
            ++seen;
            core += qAlpha(p) >= 200 ? 1 : 0;
            const QColor c = QColor::fromRgb(qRed(p), qGreen(p), qBlue(p));
            if (!colour)
                colour = c;
            else if (!near(*colour, c, 10))
                return std::nullopt;
            strongest = std::max(strongest, qAlpha(p));
        }
    }
    // A soft shadow is one colour too, but mostly faint.
    if (!colour || strongest < 200 || core * 3 < seen)
        return std::nullopt;
    colour->setAlpha(strongest);
    return colour;
}

qreal coveredArea(const QRectF &rect)
{
    return rect.isEmpty() ? 0 : rect.width() * rect.height();
}

} // namespace

class InkRecorder::Engine : public QPaintEngine {
public:
    Engine()
        : QPaintEngine(AllFeatures)
    {
    }

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & DirtyTransform)
            m_transform = state.transform();
        if (state.state() & DirtyPen)
            m_pen = state.pen();
        if (state.state() & DirtyBrush)
            m_brush = state.brush();
        if (state.state() & DirtyOpacity)
            m_opacity = state.opacity();
    }

    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        const QString text = item.text().trimmed();
        if (text.isEmpty())
            return;
        const QFont font = item.font();
        const qreal pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96 / 72;
        const bool large = pixels >= kLargePixels || (pixels >= kLargeBoldPixels && font.weight() >= QFont::Bold);
        QColor colour = m_pen.color();
        colour.setAlphaF(float(colour.alphaF() * m_opacity));
        note(large ? DrawnInk::Kind::largeText : DrawnInk::Kind::bodyText,
             QRectF(p.x(), p.y() - item.ascent(), item.width(), item.ascent() + item.descent()), colour, text);
    }

    void drawPixmap(const QRectF &r, const QPixmap &pixmap, const QRectF &source) override
    {
        // Symbols are small; a large picture is artwork.
        if (pixmap.width() > 256 || pixmap.height() > 256)
            return;
        const std::optional<QColor> colour = singleColour(pixmap.toImage().copy(source.toAlignedRect()));
        if (!colour)
            return;
        QColor landed = *colour;
        landed.setAlphaF(float(landed.alphaF() * m_opacity));
        // Painted this faintly it is a shadow or a glow, not a symbol.
        if (landed.alphaF() < kFaintest)
            return;
        note(DrawnInk::Kind::symbol, r, landed, QStringLiteral("symbol"));
    }

    void drawImage(const QRectF &r, const QImage &image, const QRectF &source, Qt::ImageConversionFlags) override
    {
        drawPixmap(r, QPixmap::fromImage(image), source);
    }

    // Ellipses, rounded rectangles and filled rectangles come here too.
    void drawPath(const QPainterPath &path) override
    {
        const QRectF bounds = path.boundingRect();
        if (m_brush.style() == Qt::SolidPattern)
            noteShape(DrawnInk::Kind::fill, bounds, m_brush.color());
        if (m_pen.style() != Qt::NoPen && m_pen.brush().style() == Qt::SolidPattern) {
            const qreal half = std::max<qreal>(m_pen.widthF(), 1) / 2;
            noteShape(DrawnInk::Kind::outline, bounds.adjusted(-half, -half, half, half), m_pen.color());
        }
    }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override
    {
        QPainterPath path;
        path.addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
        if (mode == PolylineMode) {
            const QBrush brush = std::exchange(m_brush, QBrush());
            drawPath(path);
            m_brush = brush;
        } else {
            drawPath(path);
        }
    }
    void drawPolygon(const QPoint *points, int count, PolygonDrawMode mode) override
    {
        const QPolygonF real(QPolygon(QList<QPoint>(points, points + count)));
        drawPolygon(real.constData(), count, mode);
    }

    QPointer<QWidget> painting;
    std::vector<DrawnInk> inks;
    // Every widget painted, in order, with where it lies on the device.
    struct Painted {
        QPointer<QWidget> widget;
        QRectF rect;
    };
    std::vector<Painted> painted;
    // Which entry of `painted` each ink came from.
    std::vector<std::size_t> inkOwners;

private:
    void noteShape(DrawnInk::Kind kind, const QRectF &rect, QColor colour)
    {
        // Noted however faint: a faint dot that should show is what a test
        // looks for.
        colour.setAlphaF(float(colour.alphaF() * m_opacity));
        note(kind, rect, colour, kind == DrawnInk::Kind::fill ? QStringLiteral("fill") : QStringLiteral("outline"));
    }

    void note(DrawnInk::Kind kind, const QRectF &rect, const QColor &colour, const QString &what)
    {
        if (colour.alpha() == 0)
            return;
        QRectF device = m_transform.mapRect(rect);
        // Only what lies inside the widget being painted can show.
        const QRegion clip = systemClip();
        if (!clip.isEmpty())
            device = device.intersected(QRectF(clip.boundingRect()));
        if (device.isEmpty())
            return;
        DrawnInk ink{kind, device, colour, what, QString(), true};
        if (painting) {
            ink.widget = QString::fromLatin1(painting->metaObject()->className());
            if (!painting->objectName().isEmpty())
                ink.widget += u'#' + painting->objectName();
            ink.widgetEnabled = painting->isEnabled();
        }
        inks.push_back(std::move(ink));
        inkOwners.push_back(painted.empty() ? 0 : painted.size() - 1);
    }

    QTransform m_transform;
    QPen m_pen;
    QBrush m_brush;
    qreal m_opacity = 1;
};

// Notes which widget is painting: the one a paint event was last sent to.
class InkRecorder::PaintWatcher : public QObject {
public:
    explicit PaintWatcher(Engine &engine)
        : m_engine(engine)
    {
        qApp->installEventFilter(this);
    }
    ~PaintWatcher() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            m_engine.painting = widget;
            const QRect local = widget->rect();
            const QPoint at = widget->mapTo(widget->window(), QPoint());
            m_engine.painted.push_back({widget, QRectF(QRect(at, local.size()))});
        }
        return false;
    }

private:
    Engine &m_engine;
};

InkRecorder::InkRecorder(const QSize &size)
    : m_size(size)
    , m_engine(std::make_unique<Engine>())
{
}

InkRecorder::~InkRecorder() = default;

QPaintEngine *InkRecorder::paintEngine() const
{
    return m_engine.get();
}

const std::vector<DrawnInk> &InkRecorder::inks() const
{
    return m_engine->inks;
}

void InkRecorder::record(QWidget &widget)
{
    PaintWatcher watcher(*m_engine);
    widget.render(this, QPoint(), QRegion(), QWidget::DrawChildren);
    m_engine->painting = nullptr;
    // Ink a pop-up painted later covers for the most part (the date pop-up
    // over the composer's buttons) is not seen: it is dropped.
    std::vector<DrawnInk> seen;
    const auto &painted = m_engine->painted;
    for (std::size_t i = 0; i < m_engine->inks.size(); ++i) {
        const DrawnInk &ink = m_engine->inks[i];
        const std::size_t owner = m_engine->inkOwners[i];
        const QWidget *drawer = owner < painted.size() ? painted[owner].widget.data() : nullptr;
        const QRectF logical(ink.rect.topLeft() / kRatio, ink.rect.size() / kRatio);
        bool covered = false;
        for (std::size_t j = owner + 1; j < painted.size() && !covered; ++j) {
            const QWidget *later = painted[j].widget.data();
            covered = later && drawer && !drawer->isAncestorOf(later)
                      && (later->inherits("kolu::KitPopup") || later->inherits("QMenu"))
                      && coveredArea(painted[j].rect.intersected(logical)) * 2 > coveredArea(logical);
        }
        if (!covered)
            seen.push_back(ink);
    }
    m_engine->inks = std::move(seen);
}

int InkRecorder::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return m_size.width() * kRatio;
    case PdmHeight: return m_size.height() * kRatio;
    case PdmWidthMM: return m_size.width() * 254 / 960;
    case PdmHeightMM: return m_size.height() * 254 / 960;
    case PdmNumColors: return 0;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return 96;
    case PdmDevicePixelRatio: return kRatio;
    case PdmDevicePixelRatioScaled: return int(kRatio * devicePixelRatioFScale());
    }
    return 0;
}

std::optional<MeasuredInk> measure(const DrawnInk &drawn, const QImage &picture, qreal scale)
{
    const QRect area = QRectF(drawn.rect.topLeft() * scale, drawn.rect.size() * scale)
                           .toAlignedRect()
                           .adjusted(-2, -2, 2, 2)
                           .intersected(picture.rect());
    if (area.isEmpty())
        return std::nullopt;
    // The surface: the commonest colour that is not the ink; a see-through
    // ink lands on a first guess of it. Where the pixels unlike the ink are
    // too few to be a surface (a stray edge, a neighbour's corner), the ink
    // is all but the colour of what it is drawn on, which lies around it.
    const QRect around = area.adjusted(-8, -8, 8, 8).intersected(picture.rect());
    const auto surfaceExcept = [&](const QColor &ink) {
        std::map<QRgb, int> counts;
        const int unlike =
            countPixels(picture, area, [&](const QColor &c) { return !near(c, ink, 24) && ++counts[c.rgb()] > 0; });
        if (unlike * 8 < area.width() * area.height()) {
            const QRegion band = QRegion(around).subtracted(QRegion(area));
            if (band.isEmpty())
                return QColor();
            std::map<QRgb, int> all;
            for (const QRect &part : band)
                countPixels(picture, part, [&](const QColor &c) { return ++all[c.rgb()] < 0; });
            counts = std::move(all);
        }
        return QColor::fromRgb(std::max_element(counts.begin(), counts.end(), [](const auto &a, const auto &b) {
                                   return a.second < b.second;
                               })->first);
    };
    QColor surface = surfaceExcept(drawn.color.rgb());
    if (!surface.isValid())
        return std::nullopt;
    if (drawn.color.alpha() < 255) {
        const QColor guess = composited(drawn.color, surface);
        const QColor again = surfaceExcept(guess);
        if (again.isValid())
            surface = again;
    }
    const QColor ink = composited(drawn.color, surface);
    // Ink that no pixel shows was clipped or covered.
    if (countPixels(picture, area, [&](const QColor &c) { return near(c, ink, 24); }) < 2)
        return std::nullopt;
    return MeasuredInk{ink, surface, contrastRatio(ink, surface)};
}

} // namespace kolu::test
