#pragma once

#include <QObject>

class QSocketNotifier;

namespace kolu {

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal on the main thread, so the
// program can save its state and leave the event loop in order.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

Q_SIGNALS:
    void quitRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace kolu
