#include "model/PersistedFiles.h"

#include "model/DamagedFile.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace kolu {

namespace {

QByteArray digestOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

} // namespace

PersistedFiles::PersistedFiles(QString directory, SaveDeviceWrapper wrap)
    : m_directory(std::move(directory))
    , m_wrap(std::move(wrap))
{
}

std::optional<PomodoroState> PersistedFiles::readPomodoroAtLaunch(const QDateTime &now) const
{
    auto state = read<PomodoroFile>();
    if (state) {
        state->migrateDefaultFocusDurationIfNeeded();
        state->reconcileAfterLaunch(now);
    }
    return state;
}

std::optional<QByteArray> PersistedFiles::readFile(const QString &path) const
{
    if (m_directory.isEmpty())
        return std::nullopt;
    return readWholeFile(path, kMaxFileSize);
}

void PersistedFiles::noteRead(const QString &path, const std::optional<QByteArray> &bytes, bool decoded) const
{
    if (decoded) {
        m_known.insert(path, Known{digestOf(*bytes), false});
        return;
    }
    // Only a regular file is ever set aside; anything else at the path is
    // not ours and a save leaves it alone.
    if (QFileInfo(path).isFile())
        m_known.insert(path, Known{{}, true});
    else
        m_known.remove(path);
}

WriteOutcome PersistedFiles::writeFile(const QString &path, const QByteArray &bytes) const
{
    if (m_directory.isEmpty())
        return WriteOutcome::failed; // no folder of the user's to write to
    const QByteArray digest = digestOf(bytes);
    const Known known = m_known.value(path);
    if (!known.damaged && known.digest == digest && QFileInfo(path).isFile())
        return WriteOutcome::written;
    if (known.damaged && QFileInfo(path).isFile() && !moveDamagedFileAside(path, QDateTime::currentDateTimeUtc()))
        return WriteOutcome::failed; // never overwrite what could not be kept
    const WriteOutcome outcome = kolu::writeOwnerOnlyFile(path, bytes, m_wrap);
    if (outcome == WriteOutcome::written)
        m_known.insert(path, Known{digest, false});
    return outcome;
}

} // namespace kolu
