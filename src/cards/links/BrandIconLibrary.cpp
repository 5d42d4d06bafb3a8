#include "cards/links/BrandIconLibrary.h"

#include "cards/links/LinkCardRules.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

using namespace Qt::StringLiterals;

namespace kolu {

namespace {

BrandIconLibrary::AliasTable &aliasTable()
{
    // No brand artwork ships yet; see the class comment before adding rows.
    static BrandIconLibrary::AliasTable table;
    return table;
}

QHash<QString, QImage> &imageCache()
{
    static QHash<QString, QImage> cache;
    return cache;
}

// A slug names a file inside the icon folder and nothing else.
bool isPlainSlug(const QString &slug)
{
    return !slug.isEmpty() && !slug.startsWith(u'.') && !slug.contains(u'/') && !slug.contains(u'\\');
}

QString localPath(const QUrl &url)
{
    return url.scheme() == u"qrc"_s ? u":"_s + url.path() : url.toLocalFile();
}

QImage loadImage(const QString &path)
{
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    QSizeF size = renderer.defaultSize();
    if (size.isEmpty())
        size = renderer.viewBoxF().size();
    if (size.isEmpty())
        return {};
    const QSize pixels = size.scaled(BrandIconLibrary::imageSize, BrandIconLibrary::imageSize, Qt::KeepAspectRatio)
                             .toSize()
                             .expandedTo(QSize(1, 1));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), pixels));
    return image;
}

} // namespace

const BrandIconLibrary::AliasTable &BrandIconLibrary::aliases()
{
    return aliasTable();
}

std::optional<QString> BrandIconLibrary::slugForHost(const QString &host)
{
    // One leading "www." only: "xwww.example.com" is not example.com.
    const QString key = linkcard::withoutLeadingWww(host.toLower().trimmed());
    if (key.isEmpty())
        return std::nullopt;
    for (const auto &[domain, slug] : aliasTable()) {
        if (key == domain)
            return slug;
    }
    for (const auto &[domain, slug] : aliasTable()) {
        // A subdomain: the domain with a dot before it, not just its text.
        const qsizetype cut = key.size() - domain.size();
        if (cut > 0 && key.endsWith(domain) && key.at(cut - 1) == u'.')
            return slug;
    }
    return std::nullopt;
}

std::optional<QString> BrandIconLibrary::slug(const SavedLink &link)
{
    return slugForHost(linkcard::hostOf(link.url));
}

std::optional<QUrl> BrandIconLibrary::iconURL(const QString &slug)
{
    if (!isPlainSlug(slug))
        return std::nullopt;
    const QString file = slug + u".svg"_s;
    const QString resource = u":/BrandIcons/"_s + file;
    if (QFileInfo(resource).isFile())
        return QUrl(u"qrc:/BrandIcons/"_s + file);
    const QString checkout = QDir::current().filePath(u"Resources/BrandIcons/"_s + file);
    if (QFileInfo(checkout).isFile())
        return QUrl::fromLocalFile(checkout);
    return std::nullopt;
}

QImage BrandIconLibrary::image(const SavedLink &link)
{
    const auto found = slug(link);
    if (!found)
        return {};
    const auto url = iconURL(*found);
    if (!url)
        return {};
    QHash<QString, QImage> &cache = imageCache();
    if (const auto cached = cache.constFind(*found); cached != cache.constEnd())
        return *cached;
    const QImage loaded = loadImage(localPath(*url));
    if (loaded.isNull())
        return {};
    cache.insert(*found, loaded);
    return loaded;
}

void BrandIconLibrary::setAliases(AliasTable table)
{
    aliasTable() = std::move(table);
    imageCache().clear();
}

} // namespace kolu
