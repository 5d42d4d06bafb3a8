#pragma once

#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace kolu::test {

// Collects the warnings logged while it lives (from any thread), instead of
// printing them.
class LogCapture {
public:
    LogCapture()
    {
        s_current = this;
        m_previous = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    // The warnings so far that contain `text`.
    QStringList warningsWith(const QString &text) const
    {
        const QMutexLocker lock(&m_mutex);
        return m_warnings.filter(text);
    }

    void clear()
    {
        const QMutexLocker lock(&m_mutex);
        m_warnings.clear();
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type != QtWarningMsg || !s_current)
            return;
        const QMutexLocker lock(&s_current->m_mutex);
        s_current->m_warnings.push_back(message);
    }

    static inline LogCapture *s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
    mutable QMutex m_mutex;
    QStringList m_warnings;
};

} // namespace kolu::test
