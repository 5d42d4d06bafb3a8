#pragma once

#include <QObject>

class QWindow;

namespace kolu {

// Asks the X server for its time at the moment it carries out the request,
// and so after every request sent before it on the application's connection
// (a frame just handed to it): a zero-length append to a property of
// `window`, whose change the server stamps. Tells once, from the event loop.
// Off X11, or where `window` has no X window, it never tells.
class ServerTimeRequest : public QObject {
    Q_OBJECT
public:
    explicit ServerTimeRequest(QWindow *window, QObject *parent = nullptr);

Q_SIGNALS:
    // In the server's milliseconds, the time base of its input events.
    void answered(quint32 serverTime);
};

} // namespace kolu
