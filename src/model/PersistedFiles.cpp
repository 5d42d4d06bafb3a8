#include "model/PersistedFiles.h"

#include "model/DamagedFile.h"

#include <QCryptographicHash>

namespace kolu {

namespace {

QByteArray digestOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

} // namespace

PersistedFiles::PersistedFiles(std::shared_ptr<const PrivateFolder> folder, SaveDeviceWrapper wrap)
    : m_directory(folder ? folder->path() : QString())
    , m_folder(std::move(folder))
    , m_wrap(std::move(wrap))
{
}

PersistedFiles::PersistedFiles(QString directory, SaveDeviceWrapper wrap)
    : m_directory(std::move(directory))
    , m_wrap(std::move(wrap))
{
}

const PrivateFolder *PersistedFiles::folder() const
{
    if (!m_folder && !m_directory.isEmpty()) {
        if (auto opened = PrivateFolder::open(m_directory, {.create = false, .tighten = true}))
            m_folder = std::make_shared<const PrivateFolder>(std::move(*opened));
    }
    return m_folder.get();
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

std::optional<QByteArray> PersistedFiles::readFile(const QString &name) const
{
    const PrivateFolder *in = folder();
    if (!in)
        return std::nullopt;
    return in->readFile(name, kMaxFileSize);
}

void PersistedFiles::noteRead(const QString &name, const std::optional<QByteArray> &bytes, bool decoded) const
{
    if (decoded) {
        m_known.insert(name, Known{digestOf(*bytes), false});
        return;
    }
    // Only a regular file is ever set aside; anything else at the name is
    // not ours and a save leaves it alone.
    const PrivateFolder *in = folder();
    if (in && in->holdsFile(name))
        m_known.insert(name, Known{{}, true});
    else
        m_known.remove(name);
}

WriteOutcome PersistedFiles::writeFile(const QString &name, const QByteArray &bytes) const
{
    const PrivateFolder *in = folder();
    if (!in)
        return WriteOutcome::failed; // no folder of the user's to write to
    const QByteArray digest = digestOf(bytes);
    const Known known = m_known.value(name);
    if (!known.damaged && known.digest == digest && in->holdsFile(name))
        return WriteOutcome::written;
    if (known.damaged && in->holdsFile(name)
        && !moveDamagedFileAside(in->descriptor(), name, QDateTime::currentDateTimeUtc()))
        return WriteOutcome::failed; // never overwrite what could not be kept
    const WriteOutcome outcome = in->saveFile(name, bytes, m_wrap);
    if (outcome == WriteOutcome::written)
        m_known.insert(name, Known{digest, false});
    return outcome;
}

} // namespace kolu
