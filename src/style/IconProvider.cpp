#include "style/IconProvider.h"

#include <QCache>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>

#include <cmath>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

const QString kTable = u":/kolu/icons/symbols.tsv"_s;
constexpr qreal kBoxPerPoint = 1.15;

struct SymbolTable {
    QHash<QString, QString> files;
    QSet<QString> mirrored; // drawn flipped left to right
};

const SymbolTable &table()
{
    static const SymbolTable table = [] {
        SymbolTable rows;
        QFile file(kTable);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return rows;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            const QStringList cells = line.split(u'\t', Qt::SkipEmptyParts);
            if (cells.size() >= 2)
                rows.files.insert(cells.at(0), cells.at(1));
            if (cells.size() >= 3 && cells.at(2) == u"mirrored")
                rows.mirrored.insert(cells.at(0));
        }
        return rows;
    }();
    return table;
}

const QHash<QString, QString> &symbolTable()
{
    return table().files;
}

int exclamationCount(const QString &symbol)
{
    if (symbol == u"exclamationmark")
        return 1;
    if (symbol == u"exclamationmark.2")
        return 2;
    if (symbol == u"exclamationmark.3")
        return 3;
    return 0;
}

QCache<QString, QSvgRenderer> &renderers()
{
    static QCache<QString, QSvgRenderer> cache(256);
    return cache;
}

// The icon files paint in "currentColor"; they are drawn black here and
// recoloured afterwards, so the renderer never needs to know the colour.
QSvgRenderer *renderer(const QString &file)
{
    if (QSvgRenderer *cached = renderers().object(file))
        return cached;
    QFile svg(file);
    if (!svg.open(QIODevice::ReadOnly))
        return nullptr;
    QByteArray data = svg.readAll();
    data.replace("currentColor", "#000000");
    auto *loaded = new QSvgRenderer(data);
    if (!loaded->isValid()) {
        delete loaded;
        return nullptr;
    }
    renderers().insert(file, loaded);
    return loaded;
}

QCache<QString, QPixmap> &pixmaps()
{
    static QCache<QString, QPixmap> cache(8 * 1024); // KiB
    return cache;
}

} // namespace

QStringList IconProvider::symbolNames()
{
    QStringList names = symbolTable().keys();
    names.sort();
    return names;
}

bool IconProvider::hasSymbol(const QString &symbol)
{
    return symbolTable().contains(symbol);
}

QString IconProvider::iconFile(const QString &symbol, IconWeight weight)
{
    const auto it = symbolTable().constFind(symbol);
    if (it == symbolTable().constEnd())
        return {};
    QString folder = weight == IconWeight::bold ? u"bold"_s : u"regular"_s;
    if (symbol.endsWith(u".fill"))
        folder = u"fill"_s;
    else if (exclamationCount(symbol) > 0)
        folder = u"bold"_s;
    return u":/kolu/icons/"_s + folder + u'/' + *it + u".svg"_s;
}

QPixmap IconProvider::pixmap(const QString &symbol, qreal size, const QColor &color, qreal devicePixelRatio,
                             IconWeight weight)
{
    const int pixels = std::max(1, int(std::lround(size * devicePixelRatio)));
    const QString key = symbol + u'|' + QString::number(int(weight)) + u'|' + QString::number(pixels) + u'|'
                        + QString::number(color.rgba64().toArgb32(), 16) + u'|' + QString::number(devicePixelRatio);
    if (const QPixmap *cached = pixmaps().object(key))
        return *cached;

    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QString file = iconFile(symbol, weight);
    if (file.isEmpty()) {
        // Said once per name, so that a view asking for a symbol the table
        // lacks is noticed.
        static QSet<QString> reported;
        if (!reported.contains(symbol)) {
            reported.insert(symbol);
            qWarning("kolu: the icon table has no symbol \"%s\"", qPrintable(symbol));
        }
    }
    QSvgRenderer *svg = file.isEmpty() ? nullptr : renderer(file);
    if (svg) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const int marks = exclamationCount(symbol);
        if (table().mirrored.contains(symbol)) {
            painter.translate(pixels, 0);
            painter.scale(-1, 1);
        }
        if (marks <= 1) {
            svg->render(&painter, QRectF(0, 0, pixels, pixels));
        } else {
            // The mark sits in the middle quarter of its square: set the
            // copies side by side, a little closer than their own width.
            const qreal step = pixels * 0.26;
            const qreal first = -step * (marks - 1) / 2.0;
            for (int i = 0; i < marks; ++i)
                svg->render(&painter, QRectF(first + i * step, 0, pixels, pixels));
        }
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(image.rect(), color);
    }
    QPixmap result = QPixmap::fromImage(std::move(image));
    result.setDevicePixelRatio(devicePixelRatio);
    pixmaps().insert(key, new QPixmap(result), int(pixels * pixels * 4 / 1024 + 1));
    return result;
}

void IconProvider::paint(QPainter &painter, const QRectF &rect, const QString &symbol, qreal size, const QColor &color,
                         IconWeight weight)
{
    const QTransform t = painter.deviceTransform();
    const qreal scale = std::max<qreal>(0.01, std::hypot(t.m11(), t.m12()));
    // The icon squares hold their glyph within about 81 % of their side; a
    // symbol of point size `size` should be about that tall.
    const QPixmap icon = pixmap(symbol, size * kBoxPerPoint, color, scale, weight);
    const QSizeF logical(icon.width() / scale, icon.height() / scale);
    QPointF topLeft = rect.center() - QPointF(logical.width() / 2, logical.height() / 2);
    // Land on whole device pixels so thin strokes stay sharp.
    const QPointF device = t.map(topLeft);
    topLeft += QPointF((std::round(device.x()) - device.x()) / scale, (std::round(device.y()) - device.y()) / scale);
    painter.drawPixmap(topLeft, icon);
}

void IconProvider::clearCache()
{
    pixmaps().clear();
    renderers().clear();
}

} // namespace kolu
