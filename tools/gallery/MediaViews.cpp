#include "MediaViews.h"

#include "GalleryState.h"
#include "KitViews.h"

#include "services/images/ImageSlot.h"
#include "cards/nowplaying/NowPlayingControls.h"
#include "cards/nowplaying/NowPlayingHero.h"
#include "cards/wallpapers/WallpapersCard.h"
#include "state/AppState.h"
#include "style/widgets/ModuleCard.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kolu::gallery {

namespace {

QTemporaryDir &pictureFolder()
{
    static QTemporaryDir folder;
    return folder;
}

// A landscape for the wallpaper previews: dusk sky, a low sun, two ridges.
QString landscape()
{
    const QString path = pictureFolder().filePath(u"dusk.jpg"_s);
    if (QFile::exists(path))
        return path;
    QImage image(2400, 1500, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 1500);
    sky.setColorAt(0, QColor(38, 52, 110));
    sky.setColorAt(0.55, QColor(236, 128, 92));
    sky.setColorAt(1, QColor(250, 206, 140));
    p.fillRect(image.rect(), sky);
    p.setBrush(QColor(255, 236, 196));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(1560, 900), 130, 130);
    QPainterPath far;
    far.moveTo(0, 1000);
    far.cubicTo(500, 760, 900, 1040, 1400, 880);
    far.cubicTo(1800, 760, 2100, 980, 2400, 900);
    far.lineTo(2400, 1500);
    far.lineTo(0, 1500);
    p.fillPath(far, QColor(86, 62, 104));
    QPainterPath near;
    near.moveTo(0, 1260);
    near.cubicTo(700, 1080, 1300, 1360, 2400, 1140);
    near.lineTo(2400, 1500);
    near.lineTo(0, 1500);
    p.fillPath(near, QColor(34, 26, 52));
    p.end();
    image.save(path, "JPEG", 90);
    return path;
}

// Cover art: bold rings on a warm ground.
QString coverArt()
{
    const QString path = pictureFolder().filePath(u"cover.png"_s);
    if (QFile::exists(path))
        return path;
    QImage image(800, 800, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    image.fill(QColor(240, 196, 92));
    const QColor rings[] = {QColor(220, 84, 60), QColor(34, 88, 120), QColor(246, 236, 214), QColor(28, 30, 38)};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(rings[i]);
        p.setPen(Qt::NoPen);
        const qreal r = 340 - i * 80;
        p.drawEllipse(QPointF(300, 330), r, r);
    }
    p.fillRect(QRectF(520, 0, 280, 800), QColor(28, 30, 38, 200));
    p.end();
    image.save(path, "PNG");
    return path;
}

// Lets the pictures a view asks for arrive before it is drawn: the view is
// laid out at its size and painted once at the gallery's pixel ratio.
QWidget *settled(QWidget *view, QSize size)
{
    view->setAttribute(Qt::WA_DontShowOnScreen);
    view->resize(size);
    view->show();
    QImage probe(size * 2, QImage::Format_ARGB32_Premultiplied);
    probe.setDevicePixelRatio(2);
    probe.fill(Qt::transparent);
    view->render(&probe, QPoint(), QRegion(), QWidget::DrawChildren);
    QElapsedTimer waited;
    waited.start();
    const auto loading = [view] {
        for (const ImageSlot *slot : view->findChildren<ImageSlot *>()) {
            if (slot->phase() == ImageSlot::Phase::loading)
                return true;
        }
        return false;
    };
    while (loading() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    view->hide();
    return view;
}

WallpaperCandidate wallpaper(const QString &title, const QString &file)
{
    WallpaperCandidate c;
    c.id = title;
    c.title = title;
    c.previewURL = file.isEmpty() ? QUrl() : QUrl::fromLocalFile(file);
    return c;
}

struct WallpaperScene {
    int items = 0;
    bool candidate = false;
    bool loading = false;
    bool applying = false;
    QString folder;
    QString status;
    StatusTint tint = StatusTint::secondary;
    QString title = u"Dusk over the ridge"_s;
};

QWidget *wallpapersCard(const WallpaperScene &scene, const Context &context)
{
    AppState &s = state();
    // The module is hidden while the card is drawn, so showing it loads
    // nothing; the views drawn after it find the rail as it was.
    const RailModuleSet visible = s.hiddenRailModules();
    RailModuleSet hidden = visible;
    hidden.insert(RailModule::wallpapers);
    s.setHiddenRailModules(hidden);
    std::vector<WallpaperCandidate> items;
    for (int i = 0; i < scene.items; ++i)
        items.push_back(wallpaper(i == 0 ? scene.title : u"Picture %1"_s.arg(i), landscape()));
    s.setWallpaperItems(items);
    s.setWallpaperCandidate(scene.candidate && !items.empty() ? std::optional(items.front()) : std::nullopt);
    s.setIsLoadingWallpaper(scene.loading);
    s.setIsApplyingWallpaper(scene.applying);
    s.setWallpaperLocalFolderName(scene.folder);
    s.setWallpaperStatus({scene.status, scene.tint});
    const QSize size = (QSizeF(318, 430) * context.scale).toSize();
    auto *card = new WallpapersCard(s);
    // The card's own slots stay connected while it goes (its part of the
    // object is already gone): cut them before the state announces anything.
    QObject::connect(card, &QObject::destroyed, [visible](QObject *gone) {
        QObject::disconnect(&state(), nullptr, gone, nullptr);
        state().setHiddenRailModules(visible);
    });
    return settled(onPanel(card), size);
}

NowPlayingItem playing(const QString &title, const QString &artist, const QString &source, bool artwork)
{
    NowPlayingItem item{title, artist, source, true, false, std::nullopt};
    if (artwork)
        item.artworkLocation = QUrl::fromLocalFile(coverArt()).toString();
    return item;
}

QWidget *hero(const NowPlayingItem &item, const Context &context)
{
    AppState &s = state();
    s.setNowPlaying(item);
    auto *card = new ModuleCard(u"Soundscapes"_s, u"music.note"_s);
    auto *hero = new NowPlayingHero(s, card);
    hero->setFixedHeight(NowPlayingHero::preferredHeight);
    card->addContent(hero);
    const QSize size = (QSizeF(318, 310) * context.scale).toSize();
    return settled(onPanel(card), size);
}

// Every badge kind over the placeholder's colours.
QWidget *badges()
{
    auto *card = new ModuleCard(u"Soundscapes"_s, u"music.note"_s);
    auto *tile = new QWidget(card);
    tile->setAutoFillBackground(true);
    QPalette palette = tile->palette();
    palette.setColor(QPalette::Window, QColor(46, 61, 77));
    tile->setPalette(palette);
    auto *column = new QVBoxLayout(tile);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(8);
    for (const QString &source : {u"Spotify"_s, u"SoundCloud"_s, u"Anghami"_s, u"Firefox YouTube"_s, QString(),
                                  u"A player with a name far too long for its badge"_s}) {
        auto *badge = new SourceBadge(tile);
        badge->setSource(source);
        column->addWidget(badge, 0, Qt::AlignLeft);
    }
    card->addContent(tile);
    return onPanel(card);
}

} // namespace

std::vector<View> mediaViews()
{
    const QString longTitle = u"An Exceedingly Long Title for a Live Recording, Remastered Edition (Extended Mix)"_s;
    const QString longArtist = u"The Very Long Named Orchestra and Choir of Somewhere Far Away"_s;
    return {
        {"wallpapers-empty", {318, 430}, true, [](const Context &c) { return wallpapersCard({}, c); }},
        {"wallpapers-loading",
         {318, 430},
         true,
         [](const Context &c) {
             WallpaperScene scene;
             scene.loading = true;
             scene.status = u"Loading web library..."_s;
             return wallpapersCard(scene, c);
         }},
        {"wallpapers-one",
         {318, 430},
         true,
         [](const Context &c) {
             WallpaperScene scene;
             scene.items = 1;
             scene.candidate = true;
             scene.status = u"1 web wallpaper"_s;
             scene.tint = StatusTint::green;
             return wallpapersCard(scene, c);
         }},
        {"wallpapers-local",
         {318, 430},
         true,
         [](const Context &c) {
             WallpaperScene scene;
             scene.items = 12;
             scene.candidate = true;
             scene.folder = u"Holiday Photos 2025"_s;
             scene.status = u"12 local images"_s;
             scene.tint = StatusTint::green;
             scene.title = u"IMG_20250814_183022_sunset_over_the_bay"_s;
             return wallpapersCard(scene, c);
         }},
        {"wallpapers-set-failed",
         {318, 430},
         true,
         [](const Context &c) {
             WallpaperScene scene;
             scene.items = 3;
             scene.candidate = true;
             scene.status = u"Kolu could not set the desktop picture with xwallpaper. Try another picture."_s;
             scene.tint = StatusTint::orange;
             return wallpapersCard(scene, c);
         }},
        {"hero-artwork",
         {318, 310},
         true,
         [](const Context &c) { return hero(playing(u"Clair de Lune"_s, u"Debussy"_s, u"Spotify"_s, true), c); }},
        {"hero-placeholder",
         {318, 310},
         true,
         [](const Context &c) { return hero(playing(u"Morning Radio"_s, {}, u"SoundCloud"_s, false), c); }},
        {"hero-long",
         {318, 310},
         true,
         [longTitle, longArtist](const Context &c) {
             return hero(playing(longTitle, longArtist, u"Firefox YouTube"_s, true), c);
         }},
        {"hero-muted",
         {318, 310},
         true,
         [](const Context &c) {
             NowPlayingItem item = playing(u"Rain Study"_s, u"Ambient Works"_s, u"Anghami"_s, true);
             item.isMuted = true;
             return hero(item, c);
         }},
        {"hero-paused",
         {318, 310},
         true,
         [](const Context &c) {
             NowPlayingItem item = playing(u"Nothing in particular"_s, {}, {}, false);
             item.isPlaying = false;
             return hero(item, c);
         }},
        {"hero-badges", {318, 300}, false, [](const Context &) { return badges(); }},
    };
}

} // namespace kolu::gallery
