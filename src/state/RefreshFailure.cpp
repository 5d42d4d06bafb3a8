#include "state/RefreshFailure.h"

#include "model/Error.h"
#include "platform/net/Http.h"

#include <QCoreApplication>
#include <QDebug>

namespace kolu {

QString offlineSentence()
{
    return QCoreApplication::translate("AppState", "Kolu is offline. Check the network, then refresh.");
}

QString refreshFailureSentence(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const HttpStatusError &) {
        // The server answered: its own sentence below.
    } catch (const TransportError &error) {
        qWarning().noquote() << "A refresh found no network. Reason:" << error.description();
        return offlineSentence();
    } catch (...) {
    }
    return failureSentence(failure);
}

} // namespace kolu
