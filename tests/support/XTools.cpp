#include "XTools.h"

#include <QProcess>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace kolu::test {

QProcessEnvironment XTools::environment() const
{
    QProcessEnvironment env = m_display.environment();
    env.remove(u"QT_QPA_PLATFORM"_s);
    env.remove(u"WAYLAND_DISPLAY"_s);
    return env;
}

QString XTools::run(const QString &program, const QStringList &arguments) const
{
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start(program, arguments);
    if (!tool.waitForFinished(10000)) {
        tool.kill();
        tool.waitForFinished(5000);
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

QList<quint32> XTools::findWindows(const QString &pattern) const
{
    QList<quint32> windows;
    const QStringList lines = run(u"xdotool"_s, {u"search"_s, u"--name"_s, pattern}).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines)
        windows.append(line.trimmed().toUInt());
    return windows;
}

quint32 XTools::findWindow(const QString &pattern) const
{
    const QList<quint32> windows = findWindows(pattern);
    return windows.isEmpty() ? 0 : windows.front();
}

QRect XTools::geometry(quint32 window) const
{
    const QString info = run(u"xwininfo"_s, {u"-id"_s, QString::number(window)});
    if (!info.contains(u"IsViewable"_s))
        return {};
    const auto field = [&info](const QString &name) {
        const QRegularExpressionMatch match = QRegularExpression(name + u":\\s*(-?\\d+)"_s).match(info);
        return match.hasMatch() ? match.captured(1).toInt() : 0;
    };
    return {field(u"Absolute upper-left X"_s), field(u"Absolute upper-left Y"_s), field(u"Width"_s),
            field(u"Height"_s)};
}

QString XTools::property(quint32 window, const QString &name) const
{
    const QString line = run(u"xprop"_s, {u"-id"_s, QString::number(window), name}).trimmed();
    const qsizetype at = line.indexOf(u" = "_s);
    return at < 0 ? QString() : line.mid(at + 3);
}

QList<quint32> XTools::rootWindows(const QString &name) const
{
    const QString line = run(u"xprop"_s, {u"-root"_s, name}).trimmed();
    const qsizetype at = line.indexOf(u"# "_s);
    QList<quint32> windows;
    if (at < 0)
        return windows;
    for (const QString &id : line.mid(at + 2).split(u", "_s))
        windows.append(id.trimmed().toUInt(nullptr, 16));
    return windows;
}

void XTools::movePointer(QPoint to) const
{
    run(u"xdotool"_s, {u"mousemove"_s, QString::number(to.x()), QString::number(to.y())});
}

quint32 XTools::windowUnderPointer() const
{
    const QString location = run(u"xdotool"_s, {u"getmouselocation"_s});
    const QRegularExpressionMatch match = QRegularExpression(u"window:(\\d+)"_s).match(location);
    return match.hasMatch() ? match.captured(1).toUInt() : 0;
}

} // namespace kolu::test
