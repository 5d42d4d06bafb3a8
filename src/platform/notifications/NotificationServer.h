#pragma once

#include <QString>

#include <qcoro/qcorotask.h>

namespace kolu {

// What one notification banner shows.
struct NotificationContent {
    QString title;
    QString body;
    // Whether the banner plays the desktop's default notification sound.
    bool playsSound = true;

    friend bool operator==(const NotificationContent &, const NotificationContent &) = default;
};

// What the notification server allows. There is no permission prompt on the
// desktop: a server that answers grants banners, and sound when it says so.
struct NotificationAuthorization {
    bool granted = false;
    bool sound = false;
};

// The desktop's notification server: shows banners at once. Scheduling is
// kept by NotificationScheduler on top of it.
class NotificationServer {
public:
    virtual ~NotificationServer();

    // Shows `content`, taking the place of the banner `replacesId` when that
    // is not 0. Completes with the server's id of the banner, or 0 when it
    // could not be shown. Never throws.
    virtual QCoro::Task<quint32> notify(NotificationContent content, quint32 replacesId) = 0;

    // Asks the server what it offers. Never throws.
    virtual QCoro::Task<NotificationAuthorization> authorization() = 0;
};

} // namespace kolu
