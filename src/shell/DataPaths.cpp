#include "shell/DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace shell {

QString dataDir(const QString& name) {
    const QString inCwd = QDir::current().absoluteFilePath(name);
    if (QFileInfo(inCwd).isDir()) return inCwd;
    if (QCoreApplication::instance()) {
        const QString besideExe = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(name);
        if (QFileInfo(besideExe).isDir()) return besideExe;
    }
    return inCwd;
}

QString dataFile(const QString& folder, const QString& fileName) {
    return QDir(dataDir(folder)).absoluteFilePath(fileName);
}

QString resolveDataPath(const QString& relativePath) {
    QString p = QDir::fromNativeSeparators(relativePath);
    if (QFileInfo(p).isAbsolute()) return p;
    const int slash = p.indexOf(QLatin1Char('/'));
    if (slash < 0) return QDir::current().absoluteFilePath(p);
    return dataFile(p.left(slash), p.mid(slash + 1));
}

QString parameterDialogFolder() {
    return QDir::current().absoluteFilePath(QStringLiteral("param"));
}

} // namespace shell
