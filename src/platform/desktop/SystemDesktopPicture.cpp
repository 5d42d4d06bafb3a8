#include "platform/desktop/SystemDesktopPicture.h"

#include <qcoro/qcorodbuspendingcall.h>

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDebug>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QScreen>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace kolu {

DesktopPictureError::DesktopPictureError(Kind kind, QString description)
    : Error(std::move(description))
    , m_kind(kind)
{
}

DesktopPictureError::~DesktopPictureError() = default;

DesktopPicture::~DesktopPicture() = default;

namespace {

// One plain sentence that says what to try; the tool's own complaint goes to
// the log.
[[noreturn]] void throwToolFailure(const QString &program, const ProcessResult &result)
{
    const QString tool = program.section(u'/', -1);
    const QString complaint = QString::fromLocal8Bit(result.standardError).trimmed();
    if (!complaint.isEmpty())
        qWarning().noquote() << tool << "could not set the desktop picture:" << complaint;
    throw DesktopPictureError(DesktopPictureError::Kind::failed,
                              u"Kolu could not set the desktop picture with %1. Try another picture."_s.arg(tool));
}

QString fileUrl(const QString &path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

struct GSettingsKeys {
    QString schema;
    QString pictureKey;
    bool takesUri = true; // MATE keeps a plain path
    bool hasDarkVariant = false;
};

GSettingsKeys gsettingsKeys(DesktopKind kind)
{
    switch (kind) {
    case DesktopKind::cinnamon: return {u"org.cinnamon.desktop.background"_s, u"picture-uri"_s, true, false};
    case DesktopKind::mate: return {u"org.mate.background"_s, u"picture-filename"_s, false, false};
    default: return {u"org.gnome.desktop.background"_s, u"picture-uri"_s, true, true};
    }
}

// One backdrop property of XFCE: /backdrop/screenN/monitorM/workspaceK/last-image.
struct XfceBackdrop {
    QString property;
    QString monitor; // the output name ("HDMI-1") or, in older setups, its number
};

QList<XfceBackdrop> xfceBackdrops(const QByteArray &listing)
{
    static const QRegularExpression pattern(u"^/backdrop/screen\\d+/monitor([^/]+)/workspace\\d+/last-image$"_s);
    QList<XfceBackdrop> backdrops;
    for (const QByteArray &line : listing.split('\n')) {
        const QString property = QString::fromUtf8(line).trimmed();
        const QRegularExpressionMatch match = pattern.match(property);
        if (match.hasMatch())
            backdrops.append({property, match.captured(1)});
    }
    return backdrops;
}

bool isMonitor(const XfceBackdrop &backdrop, const DisplayLayout &layout, const QString &name)
{
    if (backdrop.monitor == name)
        return true;
    bool numeric = false;
    const int number = backdrop.monitor.toInt(&numeric);
    return numeric && number == layout.names.indexOf(name);
}

} // namespace

QString gvariantStringLiteral(const QString &text)
{
    QString literal = u"'"_s;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': literal += u"\\\\"_s; break;
        case u'\'': literal += u"\\'"_s; break;
        case u'\n': literal += u"\\n"_s; break;
        case u'\r': literal += u"\\r"_s; break;
        case u'\t': literal += u"\\t"_s; break;
        default: literal += c;
        }
    }
    literal += u'\'';
    return literal;
}

QString javaScriptStringLiteral(const QString &text)
{
    // A JSON string is a JavaScript string, save for two line separators
    // that older engines refuse inside literals.
    QString array = QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact));
    QString literal = array.mid(1, array.size() - 2);
    literal.replace(QChar(0x2028), u"\\u2028"_s);
    literal.replace(QChar(0x2029), u"\\u2029"_s);
    return literal;
}

QString plasmaWallpaperScript(const QString &imageUrl, DisplayTarget target)
{
    // Plasma numbers the main screen 0. FillMode 2 scales to fill and crops.
    return u"var image = %1;\n"
           "var mainOnly = %2;\n"
           "var all = desktops();\n"
           "for (var i = 0; i < all.length; i++) {\n"
           "    var d = all[i];\n"
           "    if (mainOnly && d.screen !== 0) continue;\n"
           "    d.wallpaperPlugin = \"org.kde.image\";\n"
           "    d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
           "    d.writeConfig(\"Image\", image);\n"
           "    d.writeConfig(\"FillMode\", 2);\n"
           "}\n"_s.arg(javaScriptStringLiteral(imageUrl),
                       target == DisplayTarget::mainDisplay ? u"true"_s : u"false"_s);
}

SystemDesktopPicture::SystemDesktopPicture(ProcessRunner &runner, QDBusConnection bus, SessionEnvironment environment,
                                           DisplaySource displays)
    : m_runner(runner)
    , m_bus(std::move(bus))
    , m_environment(std::move(environment))
    , m_displays(std::move(displays))
{
}

DisplayLayout SystemDesktopPicture::applicationDisplays()
{
    DisplayLayout layout;
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return layout;
    for (const QScreen *screen : QGuiApplication::screens())
        layout.names.append(screen->name());
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        layout.primary = primary->name();
    return layout;
}

DisplayLayout SystemDesktopPicture::displays() const
{
    return m_displays ? m_displays() : DisplayLayout{};
}

QCoro::Task<DesktopPictureResult> SystemDesktopPicture::setPicture(QString imagePath, DisplayTarget target)
{
    const DesktopKind kind = detectDesktop(m_environment);
    switch (kind) {
    case DesktopKind::gnome:
    case DesktopKind::cinnamon:
    case DesktopKind::mate:
        if (!m_runner.findExecutable(u"gsettings"_s).isEmpty())
            co_return co_await setWithGSettings(kind, imagePath, target);
        break;
    case DesktopKind::plasma: co_return co_await setWithPlasma(imagePath, target);
    case DesktopKind::xfce:
        if (const QString xfconf = m_runner.findExecutable(u"xfconf-query"_s); !xfconf.isEmpty())
            co_return co_await setWithXfconf(xfconf, imagePath, target);
        break;
    case DesktopKind::other: break;
    }
    co_return co_await setOnRootWindow(imagePath, target);
}

QCoro::Task<DesktopPictureResult> SystemDesktopPicture::setWithGSettings(DesktopKind kind, QString imagePath,
                                                                         DisplayTarget target)
{
    const QString gsettings = m_runner.findExecutable(u"gsettings"_s);
    const GSettingsKeys keys = gsettingsKeys(kind);
    const QString value = gvariantStringLiteral(keys.takesUri ? fileUrl(imagePath) : imagePath);

    const QStringList setPicture{u"set"_s, keys.schema, keys.pictureKey, value};
    const ProcessResult set = co_await m_runner.run(gsettings, setPicture);
    if (!set.succeeded())
        throwToolFailure(gsettings, set);
    // GNOME 42 and later show this one under the dark style; older releases
    // lack the key, which is fine.
    if (keys.hasDarkVariant) {
        const QStringList setDark{u"set"_s, keys.schema, u"picture-uri-dark"_s, value};
        co_await m_runner.run(gsettings, setDark);
    }
    const QStringList setOptions{u"set"_s, keys.schema, u"picture-options"_s, u"'zoom'"_s};
    co_await m_runner.run(gsettings, setOptions);

    // These desktops keep one picture for all displays.
    co_return DesktopPictureResult{target == DisplayTarget::mainDisplay};
}

QCoro::Task<DesktopPictureResult> SystemDesktopPicture::setWithPlasma(QString imagePath, DisplayTarget target)
{
    QDBusMessage call = QDBusMessage::createMethodCall(u"org.kde.plasmashell"_s, u"/PlasmaShell"_s,
                                                       u"org.kde.PlasmaShell"_s, u"evaluateScript"_s);
    call << plasmaWallpaperScript(fileUrl(imagePath), target);
    const QDBusMessage reply = co_await m_bus.asyncCall(call);
    if (reply.type() == QDBusMessage::ErrorMessage)
        throw DesktopPictureError(DesktopPictureError::Kind::failed, reply.errorMessage());
    co_return DesktopPictureResult{};
}

QCoro::Task<DesktopPictureResult> SystemDesktopPicture::setWithXfconf(QString program, QString imagePath,
                                                                      DisplayTarget target)
{
    const DisplayLayout layout = displays();
    const QStringList list{u"-c"_s, u"xfce4-desktop"_s, u"-l"_s};
    const ProcessResult listing = co_await m_runner.run(program, list);
    if (!listing.succeeded())
        throwToolFailure(program, listing);

    QList<XfceBackdrop> backdrops = xfceBackdrops(listing.standardOutput);
    if (backdrops.isEmpty()) {
        // A fresh setup has no backdrop yet: make one per display.
        for (const QString &name : layout.names)
            backdrops.append({u"/backdrop/screen0/monitor%1/workspace0/last-image"_s.arg(name), name});
    }

    DesktopPictureResult result;
    if (target == DisplayTarget::mainDisplay) {
        QList<XfceBackdrop> main;
        for (const XfceBackdrop &backdrop : backdrops) {
            if (!layout.primary.isEmpty() && isMonitor(backdrop, layout, layout.primary))
                main.append(backdrop);
        }
        if (main.isEmpty())
            result.setOnEveryDisplayInstead = true; // no way to tell which backdrop is the main display's
        else
            backdrops = main;
    }

    for (const XfceBackdrop &backdrop : backdrops) {
        const QStringList setImage{u"-c"_s, u"xfce4-desktop"_s, u"-p"_s, backdrop.property, u"-n"_s,
                                   u"-t"_s, u"string"_s,        u"-s"_s, imagePath};
        const ProcessResult set = co_await m_runner.run(program, setImage);
        if (!set.succeeded())
            throwToolFailure(program, set);
        // Style 5 zooms: fills the monitor and crops.
        QString style = backdrop.property;
        style.replace(QRegularExpression(u"/last-image$"_s), u"/image-style"_s);
        const QStringList setStyle{u"-c"_s, u"xfce4-desktop"_s, u"-p"_s, style, u"-n"_s,
                                   u"-t"_s, u"int"_s,           u"-s"_s, u"5"_s};
        co_await m_runner.run(program, setStyle);
    }
    co_return result;
}

QCoro::Task<DesktopPictureResult> SystemDesktopPicture::setOnRootWindow(QString imagePath, DisplayTarget target)
{
    if (m_environment.x11Display.isEmpty())
        throw DesktopPictureError(DesktopPictureError::Kind::noDisplay, u"No X11 display is available."_s);

    if (const QString xwallpaper = m_runner.findExecutable(u"xwallpaper"_s); !xwallpaper.isEmpty()) {
        const QString primary = displays().primary;
        const bool mainOnly = target == DisplayTarget::mainDisplay && !primary.isEmpty();
        QStringList arguments;
        if (mainOnly)
            arguments << u"--output"_s << primary;
        arguments << u"--zoom"_s << imagePath;
        const ProcessResult set = co_await m_runner.run(xwallpaper, arguments);
        if (!set.succeeded())
            throwToolFailure(xwallpaper, set);
        co_return DesktopPictureResult{target == DisplayTarget::mainDisplay && !mainOnly};
    }

    if (const QString feh = m_runner.findExecutable(u"feh"_s); !feh.isEmpty()) {
        const QStringList arguments{u"--no-fehbg"_s, u"--bg-fill"_s, imagePath};
        const ProcessResult set = co_await m_runner.run(feh, arguments);
        if (!set.succeeded())
            throwToolFailure(feh, set);
        co_return DesktopPictureResult{target == DisplayTarget::mainDisplay};
    }

    throw DesktopPictureError(DesktopPictureError::Kind::noSetter,
                              u"Setting the desktop picture here needs xwallpaper or feh."_s);
}

} // namespace kolu
