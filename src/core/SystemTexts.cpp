#include "core/SystemTexts.h"

#include "core/LanguageTexts.h"

#include <QFileDevice>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

namespace systemtext {
namespace {
QMutex& systemTextsLock() {
    static QMutex m;
    return m;
}
QHash<int, QString>& systemTextsInUse() {
    static QHash<int, QString> h;
    return h;
}
} // namespace

QString text(const Text& t) {
    {
        const QMutexLocker lock(&systemTextsLock());
        const auto it = systemTextsInUse().constFind(t.key);
        if (it != systemTextsInUse().constEnd()) return *it;
    }
    return QString::fromUtf8(t.polish);
}

void use(const LanguageTexts& texts) {
    QHash<int, QString> h;
    for (const Text& t : Own)
        if (texts.has(t.key)) h.insert(t.key, texts.text(t.key));
    const QMutexLocker lock(&systemTextsLock());
    systemTextsInUse() = std::move(h);
}

QString fileReason(const QFileDevice& file, Access access) {
    // Qt gives one code for many causes (every refused open is OpenError, a
    // save onto a folder a WriteError): what the path is tells them apart.
    const QFileInfo info(file.fileName());
    const QFileInfo folder(info.absolutePath());
    if (info.isDir()) return text(FileIsFolder);
    if (access == Access::Read) {
        if (!info.exists()) return text(FileNotFound);
        if (!info.isReadable()) return text(FileDenied);
    } else {
        if (!folder.isDir()) return text(FileNotFound);
        if ((info.exists() && !info.isWritable()) || !folder.isWritable()) return text(FileDenied);
    }
    switch (file.error()) {
    case QFileDevice::ReadError:
        return text(FileReadFailed);
    case QFileDevice::WriteError:
    case QFileDevice::ResizeError:
        return text(FileWriteFailed);
    case QFileDevice::PermissionsError:
        return text(FileDenied);
    default:
        return text(FileOther);
    }
}

} // namespace systemtext
