#include "PrivateDesktop.h"

#include "EventWait.h"

#include <QFile>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace kolu::test {

namespace {

// Every client undecorated, so its area is exactly where it is placed.
const char kOpenboxConfig[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <applications><application class="*"><decor>no</decor></application></applications>
</openbox_config>
)";

} // namespace

PrivateDesktop::PrivateDesktop(QSize size)
{
    m_server.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-nolisten"_s, u"tcp"_s, u"-noreset"_s, u"-screen"_s, u"0"_s,
                                u"%1x%2x24"_s.arg(size.width()).arg(size.height())});
    if (!waitUntil([this] { return m_server.canReadLine() || m_server.state() == QProcess::NotRunning; }))
        return;
    const QByteArray number = m_server.readLine().trimmed();
    if (number.isEmpty())
        return;
    m_display = ":" + number;

    const QString config = m_config.filePath(u"rc.xml"_s);
    QFile file(config);
    if (file.open(QIODevice::WriteOnly))
        file.write(kOpenboxConfig);
    file.close();
    m_windowManager.setProcessEnvironment(environment());
    m_windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_windowManager.start(u"openbox"_s, {u"--sm-disable"_s, u"--config-file"_s, config});
    // The manager is ready once it announces itself on the root window.
    if (!m_windowManager.waitForStarted(5000) ||
        !waitUntil([this] { return !rootProperty(u"_NET_SUPPORTING_WM_CHECK"_s).isEmpty(); }))
        m_display.clear();
}

PrivateDesktop::~PrivateDesktop()
{
    m_windowManager.kill();
    m_windowManager.waitForFinished(5000);
    m_server.kill();
    m_server.waitForFinished(5000);
}

QProcessEnvironment PrivateDesktop::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DISPLAY"_s, QString::fromLatin1(m_display));
    env.remove(u"QT_QPA_PLATFORM"_s);
    env.remove(u"WAYLAND_DISPLAY"_s);
    return env;
}

QString PrivateDesktop::run(const QString &program, const QStringList &arguments) const
{
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start(program, arguments);
    if (!tool.waitForFinished(10000))
        tool.kill();
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

QList<quint32> PrivateDesktop::findWindows(const QString &pattern) const
{
    QList<quint32> windows;
    const QStringList lines = run(u"xdotool"_s, {u"search"_s, u"--name"_s, pattern}).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines)
        windows.append(line.trimmed().toUInt());
    return windows;
}

quint32 PrivateDesktop::findWindow(const QString &pattern) const
{
    const QList<quint32> windows = findWindows(pattern);
    return windows.isEmpty() ? 0 : windows.front();
}

QRect PrivateDesktop::geometry(quint32 window) const
{
    const QString info = run(u"xwininfo"_s, {u"-id"_s, QString::number(window)});
    const auto field = [&info](const QString &name) {
        const QRegularExpressionMatch match = QRegularExpression(name + u":\\s*(-?\\d+)"_s).match(info);
        return match.hasMatch() ? match.captured(1).toInt() : 0;
    };
    if (!info.contains(u"IsViewable"_s))
        return {};
    return {field(u"Absolute upper-left X"_s), field(u"Absolute upper-left Y"_s), field(u"Width"_s),
            field(u"Height"_s)};
}

QString PrivateDesktop::property(quint32 window, const QString &name) const
{
    const QString line = run(u"xprop"_s, {u"-id"_s, QString::number(window), name}).trimmed();
    const qsizetype at = line.indexOf(u" = "_s);
    return at < 0 ? QString() : line.mid(at + 3);
}

QString PrivateDesktop::rootProperty(const QString &name) const
{
    const QString line = run(u"xprop"_s, {u"-root"_s, name}).trimmed();
    const qsizetype at = line.indexOf(u": window id # "_s);
    if (at >= 0)
        return line.mid(at + 14);
    const qsizetype equals = line.indexOf(u" = "_s);
    return equals < 0 ? QString() : line.mid(equals + 3);
}

void PrivateDesktop::movePointer(QPoint to) const
{
    run(u"xdotool"_s, {u"mousemove"_s, QString::number(to.x()), QString::number(to.y())});
}

void PrivateDesktop::click(QPoint at) const
{
    run(u"xdotool"_s, {u"mousemove"_s, QString::number(at.x()), QString::number(at.y()), u"click"_s, u"1"_s});
}

} // namespace kolu::test
