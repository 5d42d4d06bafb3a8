#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <vector>

namespace kolu {

// Tells, as it happens, when a compositing manager starts or stops on the
// application's X display: the owner of a screen's _NET_WM_CM_Sn selection
// changes (or its owner goes away). Off X11 it never tells anything.
class CompositorWatch : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit CompositorWatch(QObject *parent = nullptr);
    ~CompositorWatch() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

Q_SIGNALS:
    // Emitted from the event loop, after the event that told.
    void changed();

private:
    std::vector<quint32> m_selections;
    quint8 m_selectionNotify = 0; // the XFixes SelectionNotify event code
};

} // namespace kolu
