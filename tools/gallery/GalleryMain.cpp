// Renders every registered view to PNG files for eyes: each theme and
// appearance, each glass tier, at s = 1 (and 1.25 for views that scale), at
// device pixel ratio 2, over a busy test wallpaper. Writes one contact sheet
// per view and scale under <out>/; with a view name, also one picture per
// combination under <out>/<view>/.
//   kolu_gallery <out folder> [view name] [--jobs N]
// A full run shares the views among N worker processes (one per core by
// default), each drawing every N-th view.
#include "GalleryViews.h"
#include "Wallpaper.h"

#include "model/UserDefaults.h"
#include "style/Fonts.h"
#include "style/MenuLook.h"
#include "style/Motion.h"
#include "style/OrlixStyle.h"

#include "shell/StatusItem.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <memory>
#include <optional>

using namespace kolu;

namespace {

constexpr qreal kDpr = 2;
// Light compression: the pictures are written fast and looked at soon.
constexpr int kPngQuality = 80;

struct Look {
    const char *theme;
    const char *mode;
};
constexpr Look kLooks[] = {{"default", "light"},  {"default", "dark"},    {"flatOlive", "light"},
                           {"flatOlive", "dark"}, {"activeDark", "dark"}, {"heroLight", "light"}};

struct Tier {
    GlassTier tier;
    const char *name;
};
constexpr Tier kTiers[] = {{GlassTier::blurred, "blurred"}, {GlassTier::translucent, "translucent"},
                           {GlassTier::opaque, "opaque"}};

// What the compositor puts behind a blurred window: a strongly blurred copy.
QImage blurred(const QImage &image)
{
    const QSize small = image.size() / 12;
    return image.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .scaled(image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage renderView(const gallery::View &view, OrlixStyle &style, qreal scale, const QImage &wallpaper,
                  const QPoint &wallpaperOrigin)
{
    const QSize logical = view.logicalSize(scale);
    const QSize pixels = logical * kDpr;
    std::unique_ptr<QWidget> widget(view.make(gallery::Context{scale, style}));
    widget->setAttribute(Qt::WA_DontShowOnScreen);
    widget->setAttribute(Qt::WA_TranslucentBackground);
    widget->resize(logical);
    widget->show();
    // Layouts settle through posted events: draw only once they have run, as
    // the running program's first frame does.
    for (int round = 0; round < 4; ++round)
        QCoreApplication::sendPostedEvents();

    QImage layer(pixels, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(kDpr);
    layer.fill(Qt::transparent);
    widget->render(&layer, QPoint(), QRegion(), QWidget::DrawChildren);

    QImage background = wallpaper.copy(QRect(wallpaperOrigin, pixels));
    if (style.glassTier() == GlassTier::blurred) {
        // Blur only where the window draws its glass, as a blurring
        // compositor does for the region it is given.
        const QImage soft = blurred(background);
        for (int y = 0; y < pixels.height(); ++y) {
            const auto *a = reinterpret_cast<const QRgb *>(layer.constScanLine(y));
            auto *out = reinterpret_cast<QRgb *>(background.scanLine(y));
            const auto *s = reinterpret_cast<const QRgb *>(soft.constScanLine(y));
            for (int x = 0; x < pixels.width(); ++x)
                if (qAlpha(a[x]) >= 128)
                    out[x] = s[x];
        }
    }
    QImage result = background.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Composed pixel for pixel.
    layer.setDevicePixelRatio(1);
    // Without a compositor the window is shaped to what it draws, so the
    // wallpaper still shows around its shapes.
    QPainter painter(&result);
    painter.drawImage(0, 0, layer);
    painter.end();
    result.setDevicePixelRatio(kDpr);
    return result;
}

// The offscreen platform says for every window that it cannot pass size
// hints on; nothing to act on here.
QtMessageHandler previousHandler = nullptr;

void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

// What a run is asked for.
struct Request {
    QString out;
    QString filter;
    int jobs = 0;  // workers to start; 0 when this process draws
    int share = 0; // this worker's share: views share, share + of, ...
    int of = 1;
    bool worker = false; // started by another run to draw its share
};

std::optional<Request> parse(const QStringList &args)
{
    Request request;
    QStringList plain;
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        bool ok = true;
        if (arg == QLatin1String("--jobs") && i + 1 < args.size()) {
            request.jobs = args.at(++i).toInt(&ok);
            ok = ok && request.jobs > 0;
        } else if (arg == QLatin1String("--share") && i + 1 < args.size()) {
            request.worker = true;
            const QStringList parts = args.at(++i).split(u'/');
            ok = parts.size() == 2;
            if (ok) {
                bool a = false, b = false;
                request.share = parts.at(0).toInt(&a);
                request.of = parts.at(1).toInt(&b);
                ok = a && b && request.of > 0 && request.share >= 0 && request.share < request.of;
            }
        } else if (arg.startsWith(u'-')) {
            ok = false;
        } else {
            plain << arg;
        }
        if (!ok)
            return std::nullopt;
    }
    if (plain.isEmpty() || plain.size() > 2)
        return std::nullopt;
    request.out = plain.at(0);
    request.filter = plain.size() > 1 ? plain.at(1) : QString();
    return request;
}

// The views a run draws: the one named exactly, else those whose name holds
// the filter, else all.
std::vector<const gallery::View *> chosenViews(const QString &filter)
{
    std::vector<const gallery::View *> chosen;
    for (const gallery::View &view : gallery::views())
        if (QString::fromLatin1(view.name) == filter)
            return {&view};
    for (const gallery::View &view : gallery::views())
        if (filter.isEmpty() || QString::fromLatin1(view.name).contains(filter))
            chosen.push_back(&view);
    return chosen;
}

// Starts `jobs` copies of this program, each drawing its share, and waits
// for them all. Returns how many pictures they drew, or -1 when one failed.
int runWorkers(const Request &request)
{
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int share = 0; share < request.jobs; ++share) {
        auto worker = std::make_unique<QProcess>();
        worker->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList arguments{request.out};
        if (!request.filter.isEmpty())
            arguments << request.filter;
        arguments << QStringLiteral("--share") << QStringLiteral("%1/%2").arg(share).arg(request.jobs);
        worker->start(QCoreApplication::applicationFilePath(), arguments);
        workers.push_back(std::move(worker));
    }
    int written = 0;
    bool failed = false;
    for (const auto &worker : workers) {
        // Blocking is right here: the parent only waits for its workers.
        worker->waitForFinished(-1);
        const QString said = QString::fromLocal8Bit(worker->readAllStandardOutput()).trimmed();
        failed = failed || worker->exitStatus() != QProcess::NormalExit || worker->exitCode() != 0;
        written += said.toInt();
    }
    return failed ? -1 : written;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler = qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    const std::optional<Request> request = parse(QApplication::arguments());
    if (!request) {
        QTextStream(stderr) << "usage: kolu_gallery <out folder> [view name] [--jobs N]\n";
        return 2;
    }
    const std::vector<const gallery::View *> chosen = chosenViews(request->filter);
    if (chosen.empty()) {
        QTextStream(stderr) << "kolu_gallery: no view is named like " << request->filter << "\n";
        return 2;
    }
    QDir().mkpath(request->out);
    // One view is drawn here; more are shared among the workers.
    const bool worker = request->worker;
    if (!worker && chosen.size() > 1) {
        Request shared = *request;
        if (shared.jobs == 0)
            shared.jobs = std::max(1, QThread::idealThreadCount());
        shared.jobs = std::min<int>(shared.jobs, int(chosen.size()));
        const int written = runWorkers(shared);
        if (written < 0) {
            QTextStream(stderr) << "kolu_gallery: a worker failed\n";
            return 1;
        }
        QTextStream(stdout) << "gallery: " << written << " pictures in " << request->out << "\n";
        return 0;
    }

    // Still pictures: every change is drawn where it lands.
    OrlixMotion::setEnabled(false);
    // The icon the program gives its windows, which the settings window and
    // the onboarding show.
    QApplication::setWindowIcon(StatusItem::applicationIcon());
    OrlixFonts::registerDisplayFont();

    QTemporaryDir home;
    UserDefaults defaults(home.filePath(QStringLiteral("defaults.json")));
    OrlixStyle style(defaults);
    // Menus as the program dresses them; their corners follow each tier.
    MenuLook::install();

    const QImage wallpaper = gallery::makeWallpaper(QSize(1600, 1200) * int(kDpr));
    // Every single picture only when one view is asked for; a full run keeps
    // the contact sheets, which hold the same pictures.
    const bool eachPicture = !request->filter.isEmpty();
    if (!worker || request->share == 0)
        wallpaper.save(request->out + QStringLiteral("/wallpaper.png"), nullptr, kPngQuality);

    int written = 0;
    for (std::size_t index = std::size_t(request->share); index < chosen.size(); index += std::size_t(request->of)) {
        const gallery::View &view = *chosen[index];
        const QString name = QString::fromLatin1(view.name);
        if (eachPicture)
            QDir().mkpath(request->out + u'/' + name);
        const QList<qreal> scales = view.scaled ? QList<qreal>{1.0, 1.25} : QList<qreal>{1.0};
        for (const qreal scale : scales) {
            const QSize cell = view.logicalSize(scale) * kDpr;
            QImage sheet(QSize(cell.width() * 3, cell.height() * 6), QImage::Format_ARGB32_Premultiplied);
            sheet.fill(Qt::black);
            QPainter sheetPainter(&sheet);
            int rowIndex = 0;
            for (const Look &look : kLooks) {
                defaults.set(SettingsKey::orlixTheme, QString::fromLatin1(look.theme));
                defaults.set(SettingsKey::orlixAppearanceMode, QString::fromLatin1(look.mode));
                int column = 0;
                for (const Tier &tier : kTiers) {
                    style.setGlassTier(tier.tier);
                    // Each cell sits over another part of the wallpaper.
                    const QPoint origin((column * 700 + rowIndex * 160) % (wallpaper.width() - cell.width()),
                                        (rowIndex * 330) % (wallpaper.height() - cell.height()));
                    QImage picture = renderView(view, style, scale, wallpaper, origin);
                    if (eachPicture) {
                        const QString file = QStringLiteral("%1/%2/%3-%4-%5%6.png")
                                                 .arg(request->out, name, QString::fromLatin1(look.theme),
                                                      QString::fromLatin1(look.mode), QString::fromLatin1(tier.name),
                                                      scale == 1.0 ? QString() : QStringLiteral("-s1.25"));
                        picture.save(file, nullptr, kPngQuality);
                    }
                    picture.setDevicePixelRatio(1);
                    sheetPainter.drawImage(column * cell.width(), rowIndex * cell.height(), picture);
                    ++written;
                    ++column;
                }
                ++rowIndex;
            }
            sheetPainter.end();
            sheet.save(QStringLiteral("%1/%2%3.png")
                           .arg(request->out, name, scale == 1.0 ? QString() : QStringLiteral("-s1.25")),
                       nullptr, kPngQuality);
        }
    }
    if (worker)
        QTextStream(stdout) << written << "\n";
    else
        QTextStream(stdout) << "gallery: " << written << " pictures in " << request->out << "\n";
    return 0;
}
