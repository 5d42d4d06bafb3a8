// Renders every registered view to PNG files for eyes: each theme and
// appearance, each glass tier, at s = 1 (and 1.25 for views that scale), at
// device pixel ratio 2, over a busy test wallpaper. Several views give one
// contact sheet per view and scale under <out>/ (with a filter, each picture
// too); one view gives one picture per combination under <out>/<view>/.
//   kolu_gallery <out folder> [view name] [--jobs N]
// The work is shared among N worker processes (one per core by default):
// several views a view at a time, one view a picture at a time.
#include "GalleryRender.h"
#include "GalleryViews.h"

#include "model/UserDefaults.h"
#include "platform/system/LoadableModule.h"
#include "style/OrlixStyle.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

using namespace kolu;

namespace {

// Light compression: the pictures are written fast and looked at soon.
constexpr int kPngQuality = 80;

using gallery::kDpr;
using gallery::kLooks;
using gallery::kTiers;

// The offscreen platform says for every window that it cannot pass size
// hints on; nothing to act on here.
QtMessageHandler previousHandler = nullptr;

void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains("propagateSizeHints"_L1))
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
        if (arg == "--jobs"_L1 && i + 1 < args.size()) {
            request.jobs = args.at(++i).toInt(&ok);
            ok = ok && request.jobs > 0;
        } else if (arg == "--share"_L1 && i + 1 < args.size()) {
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

// One picture of a view: its scale, look and glass tier. On the view's
// contact sheet the looks are rows and the tiers columns.
struct Cell {
    qreal scale;
    int look;
    int tier;
};

QList<qreal> scalesOf(const gallery::View &view)
{
    return view.scaled ? QList<qreal>{1.0, 1.25} : QList<qreal>{1.0};
}

std::vector<Cell> cellsOf(const gallery::View &view)
{
    std::vector<Cell> cells;
    for (const qreal scale : scalesOf(view))
        for (int look = 0; look < int(std::size(kLooks)); ++look)
            for (int tier = 0; tier < int(std::size(kTiers)); ++tier)
                cells.push_back({scale, look, tier});
    return cells;
}

QString scaleSuffix(qreal scale)
{
    return scale == 1.0 ? QString() : u"-s1.25"_s;
}

QString pictureFile(const QString &out, const gallery::View &view, const Cell &cell)
{
    return u"%1/%2/%3-%4-%5%6.png"_s.arg(out, QString::fromLatin1(view.name),
                                         QString::fromLatin1(kLooks[cell.look].theme),
                                         QString::fromLatin1(kLooks[cell.look].mode),
                                         QString::fromLatin1(kTiers[cell.tier].name), scaleSuffix(cell.scale));
}

QString sheetFile(const QString &out, const gallery::View &view, qreal scale)
{
    return u"%1/%2%3.png"_s.arg(out, QString::fromLatin1(view.name), scaleSuffix(scale));
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
        arguments << u"--share"_s << u"%1/%2"_s.arg(share).arg(request.jobs);
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
    kolu::addModuleFolder(QStringLiteral(KOLU_MODULE_BUILD_DIR));
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
    const bool oneView = chosen.size() == 1;
    const gallery::View &first = *chosen.front();
    // Several views are shared among the workers a view at a time; one
    // view's pictures are shared among them a picture at a time.
    if (!request->worker) {
        const int units = oneView ? int(cellsOf(first).size()) : int(chosen.size());
        Request shared = *request;
        shared.jobs = std::min(shared.jobs > 0 ? shared.jobs : std::max(1, QThread::idealThreadCount()), units);
        if (shared.jobs > 1) {
            const int written = runWorkers(shared);
            if (written < 0) {
                QTextStream(stderr) << "kolu_gallery: a worker failed\n";
                return 1;
            }
            QTextStream(stdout) << "gallery: " << written << " pictures in " << request->out << "\n";
            return 0;
        }
    }

    QTemporaryDir home;
    UserDefaults defaults(home.filePath(u"defaults.json"_s));
    OrlixStyle style(defaults);
    gallery::prepareApplication();

    const QImage wallpaper = gallery::wallpaper();
    if (request->share == 0)
        wallpaper.save(request->out + u"/wallpaper.png"_s, nullptr, kPngQuality);
    const auto draw = [&](const gallery::View &view, const Cell &cell) {
        const gallery::Look &look = kLooks[cell.look];
        defaults.set(SettingsKey::orlixTheme, QString::fromLatin1(look.theme));
        defaults.set(SettingsKey::orlixAppearanceMode, QString::fromLatin1(look.mode));
        style.setGlassTier(kTiers[cell.tier].tier);
        // Each cell sits over another part of the wallpaper.
        const QSize pixels = view.logicalSize(cell.scale) * kDpr;
        return gallery::renderView(view, style, cell.scale, wallpaper,
                                   gallery::wallpaperOrigin(cell.look, cell.tier, pixels, wallpaper));
    };

    int written = 0;
    if (oneView) {
        // Every picture of the one view: what is looked at then.
        QDir().mkpath(request->out + u'/' + QString::fromLatin1(first.name));
        const std::vector<Cell> cells = cellsOf(first);
        for (std::size_t index = std::size_t(request->share); index < cells.size(); index += std::size_t(request->of)) {
            draw(first, cells[index]).save(pictureFile(request->out, first, cells[index]), nullptr, kPngQuality);
            ++written;
        }
    } else {
        // A full run keeps the contact sheets, which hold every picture; with
        // a filter each picture is written too.
        const bool eachPicture = !request->filter.isEmpty();
        for (std::size_t index = std::size_t(request->share); index < chosen.size();
             index += std::size_t(request->of)) {
            const gallery::View &view = *chosen[index];
            if (eachPicture)
                QDir().mkpath(request->out + u'/' + QString::fromLatin1(view.name));
            for (const qreal scale : scalesOf(view)) {
                const QSize size = view.logicalSize(scale) * kDpr;
                QImage sheet(QSize(size.width() * 3, size.height() * 6), QImage::Format_ARGB32_Premultiplied);
                sheet.fill(Qt::black);
                QPainter sheetPainter(&sheet);
                for (const Cell &cell : cellsOf(view)) {
                    if (cell.scale != scale)
                        continue;
                    QImage picture = draw(view, cell);
                    if (eachPicture)
                        picture.save(pictureFile(request->out, view, cell), nullptr, kPngQuality);
                    picture.setDevicePixelRatio(1);
                    sheetPainter.drawImage(cell.tier * size.width(), cell.look * size.height(), picture);
                    ++written;
                }
                sheetPainter.end();
                sheet.save(sheetFile(request->out, view, scale), nullptr, kPngQuality);
            }
        }
    }
    if (request->worker)
        QTextStream(stdout) << written << "\n";
    else
        QTextStream(stdout) << "gallery: " << written << " pictures in " << request->out << "\n";
    return 0;
}
