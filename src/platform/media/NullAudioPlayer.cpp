#include "platform/media/NullAudioPlayer.h"

#include <QMetaObject>

using namespace Qt::StringLiterals;

namespace kolu {

NullAudioPlayer::NullAudioPlayer()
{
    // Reported once the caller has had a chance to listen.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_item = ItemStatus::Failed;
            Q_EMIT itemStatusChanged();
        },
        Qt::QueuedConnection);
}

QString NullAudioPlayer::errorString() const
{
    return m_item == ItemStatus::Failed ? u"The audio back end is not available."_s : QString();
}

} // namespace kolu
