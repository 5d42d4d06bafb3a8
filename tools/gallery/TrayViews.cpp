#include "TrayViews.h"

#include "GalleryState.h"
#include "KitViews.h"
#include "ManualClock.h"

#include "cards/tray/FileTrayCard.h"
#include "cards/tray/FileTrayDropZone.h"
#include "cards/tray/TrayThumbnails.h"
#include "state/AppState.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <QVariantAnimation>

using namespace Qt::StringLiterals;

namespace kolu::gallery {

namespace {

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

// A small picture with a diagonal gradient, so thumbnails show something.
QString picture(const QString &name, QColor from, QColor to)
{
    const QString path = folder().filePath(name);
    if (!QFile::exists(path)) {
        QImage image(480, 320, QImage::Format_RGB32);
        QPainter painter(&image);
        QLinearGradient gradient(0, 0, 480, 320);
        gradient.setColorAt(0, from);
        gradient.setColorAt(1, to);
        painter.fillRect(image.rect(), gradient);
        painter.setBrush(QColor(255, 255, 255, 160));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF(330, 110), 60, 60);
        painter.end();
        image.save(path);
    }
    return path;
}

QString plainFile(const QString &name)
{
    const QString path = folder().filePath(name);
    QFile file(path);
    if (!file.exists() && file.open(QIODevice::WriteOnly))
        file.write("gallery");
    return path;
}

// A file just over the preview limit; sparse, so it costs no disk.
QString largePicture()
{
    const QString path = folder().filePath(u"Panorama.png"_s);
    QFile file(path);
    if (!file.exists() && file.open(QIODevice::WriteOnly))
        file.resize(20'971'521);
    return path;
}

std::vector<FileTrayItem> heldFiles(int count)
{
    const QList<QPair<QString, bool>> names = {
        {u"Quarterly report final version for the board.pdf"_s, false},
        {u"Beach.jpg"_s, true},
        {u"notes.txt"_s, false},
        {u"Sunset.png"_s, true},
        {u"budget-2026.xlsx"_s, false},
        {u"Invoice 0042.pdf"_s, false},
        {u"Mountains.webp"_s, true},
        {u"slides.odp"_s, false},
        {u"archive.zip"_s, false},
        {u"README"_s, false},
        {u"Forest.jpeg"_s, true},
        {u"song.ogg"_s, false},
        {u"Portrait.png"_s, true},
        {u"contract-signed.pdf"_s, false},
    };
    const QColor colours[][2] = {{QColor(20, 120, 200), QColor(250, 200, 80)},
                                 {QColor(240, 110, 60), QColor(120, 40, 160)},
                                 {QColor(40, 160, 90), QColor(20, 60, 40)},
                                 {QColor(30, 40, 70), QColor(200, 210, 240)},
                                 {QColor(200, 60, 90), QColor(250, 230, 200)}};
    std::vector<FileTrayItem> items;
    for (int i = 0; i < count; ++i) {
        const auto &[name, isPicture] = names[i % names.size()];
        const QString path = isPicture ? picture(name, colours[i % 5][0], colours[i % 5][1]) : plainFile(name);
        items.push_back({QUuid::createUuid(), QUrl::fromLocalFile(path), clock().now().addSecs(-60 * i)});
    }
    return items;
}

std::vector<ClipboardItem> clipboardHistory()
{
    const QDateTime now = clock().now();
    const QString shot = picture(u"Screenshot 2026-03-10 at 08.40.12.png"_s, QColor(60, 70, 90), QColor(180, 190, 210));
    const QString large = largePicture();
    auto item = [&](ClipboardItemKind kind, const QString &title, const QString &value,
                    std::optional<QString> file = std::nullopt) {
        return ClipboardItem{QUuid::createUuid(), kind, title, value, now, {}, file};
    };
    return {
        item(ClipboardItemKind::text, u"Meeting moved to 3 pm"_s,
             u"Meeting moved to 3 pm, same room. Bring the printed agenda and last week's numbers."_s),
        item(ClipboardItemKind::link, u"https://www.example.org/articles/long-read"_s,
             u"https://www.example.org/articles/long-read"_s),
        item(ClipboardItemKind::image, u"Image"_s, shot, shot),
        item(ClipboardItemKind::image, u"Image"_s, large, large),
        item(ClipboardItemKind::file, u"Quarterly report final version for the board.pdf"_s,
             plainFile(u"Quarterly report final version for the board.pdf"_s)),
        item(ClipboardItemKind::text, u"Supercalifragilisticexpialidocious-and-then-some-more"_s,
             u"Supercalifragilisticexpialidocious-and-then-some-more"_s),
        item(ClipboardItemKind::link, u"kolu.example"_s, u"https://kolu.example/"_s),
        item(ClipboardItemKind::text, u"Address"_s, u"12 Harbour Street"_s),
        item(ClipboardItemKind::file, u"notes.txt"_s, plainFile(u"notes.txt"_s)),
    };
}

// Lets the pictures finish decoding so the thumbnails are in the picture.
void settle()
{
    QElapsedTimer waited;
    waited.start();
    while ((TrayThumbnails::of(state()).isBusy() || waited.elapsed() < 20) && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

QWidget *trayCard(const Context &ctx, int held, bool withClipboard, bool targeted, const QString &status,
                  StatusTint tint)
{
    AppState &s = state();
    std::vector<FileTrayItem> items = heldFiles(held);
    s.setFileTrayItems(items);
    FileTraySelection selection;
    for (std::size_t i = 0; i < items.size(); i += 3)
        selection.insert(items[i].id);
    s.setSelectedFileTrayIDs(selection);
    s.setClipboardItems(withClipboard ? clipboardHistory() : std::vector<ClipboardItem>{});
    s.setFileTrayAirDropStatus({status, tint});
    auto *card = new FileTrayCard(s);
    // The width the detail panel gives its card at this rail size.
    card->setFixedWidth(qRound(318 * ctx.scale) - 36);
    if (targeted) {
        // Shown at rest, the spring run to its end.
        card->dropZone()->setTargeted(true);
        for (QVariantAnimation *spring : card->dropZone()->findChildren<QVariantAnimation *>())
            spring->setCurrentTime(spring->duration());
    }
    settle();
    return onPanel(card);
}

} // namespace

std::vector<View> trayViews()
{
    const auto none = StatusTint::secondary;
    return {
        {"tray-empty", {318, 560}, true, [=](const Context &c) { return trayCard(c, 0, false, false, {}, none); }},
        {"tray-three-files", {318, 860}, true, [=](const Context &c) { return trayCard(c, 3, true, false, {}, none); }},
        {"tray-fourteen-files",
         {318, 1640},
         true,
         [=](const Context &c) { return trayCard(c, 14, false, false, {}, none); }},
        {"tray-clipboard", {318, 820}, true, [=](const Context &c) { return trayCard(c, 0, true, false, {}, none); }},
        {"tray-drop-target", {318, 560}, true, [=](const Context &c) { return trayCard(c, 2, false, true, {}, none); }},
        {"tray-status",
         {318, 640},
         true,
         [=](const Context &c) {
             return trayCard(c, 2, false, false, u"KDE Connect is not available"_s, StatusTint::orange);
         }},
    };
}

} // namespace kolu::gallery
