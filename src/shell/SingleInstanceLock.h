#pragma once

#include <QString>

namespace kolu {

// Keeps a second copy of Kolu from running for the same user: an exclusive
// flock on a file in the per-user runtime folder, held while the object
// lives (the file itself stays).
class SingleInstanceLock {
public:
    enum class Outcome {
        acquired,
        heldElsewhere, // another process holds it: this one must leave
        unavailable,   // no place for a lock file: carry on without the lock
        // Something not Kolu's own is at the lock's place (a link, another
        // user's file or folder): it could stand for a lock nobody holds,
        // so this copy must not run unguarded either.
        refused,
    };

    // The lock file's name, in `runtimeFolder()`.
    static constexpr const char *kFileName = "local.tamsu.orlix.lock";

    // XDG_RUNTIME_DIR when it names a folder of this user's alone; else
    // ~/.cache/Kolu (also when that is refused, so that acquire() says so).
    // Never a shared temporary folder, where another user's file would lock
    // this user out.
    static QString runtimeFolder();

    SingleInstanceLock() = default;
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock &) = delete;
    SingleInstanceLock &operator=(const SingleInstanceLock &) = delete;

    // Opens (creating when missing, never truncating, never following a
    // symbolic link) `folder`/kFileName and tries the lock without waiting.
    // A file that is not a regular file of this user's, or a folder that is
    // a link or another's, is left alone and refused.
    Outcome acquire(const QString &folder = runtimeFolder());
    // What was refused, and why, in a line for the user.
    const QString &refusal() const { return m_refusal; }
    bool isHeld() const { return m_fd >= 0; }
    void release();

private:
    int m_fd = -1;
    QString m_refusal;
};

} // namespace kolu
