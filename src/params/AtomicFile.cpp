#include "params/AtomicFile.h"

#include "core/SystemTexts.h"

#include <QSaveFile>

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    auto fail = [&] {
        // Read before cancelling, which clears the error.
        const QString reason = systemtext::fileReason(file, systemtext::Access::Write);
        file.cancelWriting();
        if (error) *error = systemtext::text(systemtext::CannotSave).arg(path, reason);
        return false;
    };
    // Unbuffered, so that a write the system takes only in part is seen here:
    // a buffered flush drops the rest and the commit still reports success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail();
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        // A short write is retried: the retry fails with the system's reason.
        if (n <= 0) return fail();
        done += n;
    }
    if (!file.commit()) return fail();
    return true;
}
