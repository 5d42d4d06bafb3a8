#include "cards/links/BrandIconLibrary.h"

#include "cards/links/LinkCardRules.h"

#include <QCoreApplication>
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
    static BrandIconLibrary::AliasTable table = brandicons::shippedAliases();
    return table;
}

const QHash<QString, QColor> &colorTable()
{
    static const QHash<QString, QColor> table = [] {
        QHash<QString, QColor> colors;
        for (const auto &[slug, rgb] : brandicons::shippedColors())
            colors.insert(slug, QColor(rgb));
        return colors;
    }();
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

QStringList BrandIconLibrary::iconFolders()
{
    QStringList folders;
    if (QCoreApplication::instance())
        folders << iconFoldersFor(QCoreApplication::applicationDirPath());
    folders << QDir::current().filePath(u"Resources/BrandIcons"_s);
    folders.removeDuplicates();
    return folders;
}

QStringList BrandIconLibrary::iconFoldersFor(const QString &programFolder)
{
    return {QDir(programFolder).filePath(u"BrandIcons"_s),
            QDir::cleanPath(programFolder + u"/../share/kolu/BrandIcons"_s)};
}

std::optional<QUrl> BrandIconLibrary::iconURL(const QString &slug)
{
    if (!isPlainSlug(slug))
        return std::nullopt;
    const QString file = slug + u".svg"_s;
    for (const QString &folder : iconFolders()) {
        const QString path = QDir(folder).filePath(file);
        if (QFileInfo(path).isFile())
            return QUrl::fromLocalFile(path);
    }
    return std::nullopt;
}

std::optional<QColor> BrandIconLibrary::brandColor(const QString &slug)
{
    const auto found = colorTable().constFind(slug);
    if (found == colorTable().constEnd())
        return std::nullopt;
    return *found;
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
    const QImage loaded = loadImage(url->toLocalFile());
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

void BrandIconLibrary::resetAliases()
{
    setAliases(brandicons::shippedAliases());
}

} // namespace kolu
