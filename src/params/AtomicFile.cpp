#include "params/AtomicFile.h"

#include <QSaveFile>

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    auto fail = [&](QString reason) {
        file.cancelWriting();
        if (reason.isEmpty()) reason = QStringLiteral("the data could not be written");
        if (error) *error = QStringLiteral("Cannot save \"%1\": %2.").arg(path, reason);
        return false;
    };
    // Unbuffered, so that a write the system takes only in part is seen here:
    // a buffered flush drops the rest and the commit still reports success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail(file.errorString());
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        // A short write is retried: the retry fails with the system's reason.
        if (n <= 0) return fail(file.errorString());
        done += n;
    }
    if (!file.commit()) return fail(file.errorString());
    return true;
}
