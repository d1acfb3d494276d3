#include "shell/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace shell {

QString SingleInstance::defaultLockPath() {
    const QString env = qEnvironmentVariable("QUENDRIX_INSTANCE_LOCK");
    if (!env.isEmpty()) return env;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return QDir(dir).absoluteFilePath(QStringLiteral("quendrix.lock"));
}

SingleInstance::SingleInstance(const QString& lockPath) : path_(lockPath), lock_(lockPath) {
    // A running instance must never be taken for stale because it has run
    // long; only a dead owner makes the lock stale.
    lock_.setStaleLockTime(0);
}

bool SingleInstance::acquire() {
    if (lock_.isLocked()) return true;
    return lock_.tryLock(0);
}

} // namespace shell
