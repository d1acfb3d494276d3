#pragma once
#include <QLockFile>
#include <QString>

namespace shell {

// Marks the one running instance with a lock file that records the owner's
// process id. Unlike a named shared-memory segment, a lock left behind by a
// crashed or killed instance is recognised as stale and taken over, so a crash
// never blocks the next start.
class SingleInstance {
public:
    // QUENDRIX_INSTANCE_LOCK names the lock file when set (parallel test runs);
    // otherwise "quendrix.lock" in the user's runtime folder.
    static QString defaultLockPath();

    explicit SingleInstance(const QString& lockPath = defaultLockPath());
    // True when no other live instance holds the lock; the lock is then kept
    // until this object is destroyed.
    bool acquire();
    QString lockPath() const { return path_; }

private:
    QString path_;
    QLockFile lock_;
};

} // namespace shell
