#pragma once

#include "platform/desktop/DesktopEnvironment.h"
#include "platform/desktop/DesktopPicture.h"
#include "platform/system/ProcessRunner.h"

#include <QDBusConnection>

#include <functional>

namespace kolu {

// Sets the desktop picture the running desktop's own way: GNOME, Cinnamon
// and MATE through gsettings (GNOME's dark-style picture too), Plasma through
// its scripting call on D-Bus, XFCE through xfconf-query for each monitor.
// Elsewhere, or when the desktop's tool is missing, it paints the X11 root
// window with xwallpaper, else feh. Every tool runs through `runner`.
class SystemDesktopPicture final : public DesktopPicture {
public:
    using DisplaySource = std::function<DisplayLayout()>;

    explicit SystemDesktopPicture(ProcessRunner &runner, QDBusConnection bus = QDBusConnection::sessionBus(),
                                  SessionEnvironment environment = SessionEnvironment::current(),
                                  DisplaySource displays = applicationDisplays);

    DisplayLayout displays() const override;
    QCoro::Task<DesktopPictureResult> setPicture(QString imagePath, DisplayTarget target) override;

    // The screens of the running QGuiApplication; none without one.
    static DisplayLayout applicationDisplays();

private:
    QCoro::Task<DesktopPictureResult> setWithGSettings(DesktopKind kind, QString imagePath, DisplayTarget target);
    QCoro::Task<DesktopPictureResult> setWithPlasma(QString imagePath, DisplayTarget target);
    QCoro::Task<DesktopPictureResult> setWithXfconf(QString program, QString imagePath, DisplayTarget target);
    QCoro::Task<DesktopPictureResult> setOnRootWindow(QString imagePath, DisplayTarget target);

    ProcessRunner &m_runner;
    QDBusConnection m_bus;
    SessionEnvironment m_environment;
    DisplaySource m_displays;
};

// A GVariant text literal holding `text` (what gsettings parses).
QString gvariantStringLiteral(const QString &text);

// A JavaScript string literal holding `text`.
QString javaScriptStringLiteral(const QString &text);

// The Plasma script that sets `imageUrl` on every desktop, or on the main
// screen's desktops alone.
QString plasmaWallpaperScript(const QString &imageUrl, DisplayTarget target);

} // namespace kolu
