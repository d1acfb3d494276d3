#include "core/DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace shell {

namespace {

const char* const DataFolders[] = {"lang", "skins", "help"};

bool holdsData(const QString& folder) {
    for (const char* name : DataFolders)
        if (QFileInfo(QDir(folder).filePath(QLatin1String(name))).isDir()) return true;
    return false;
}

QString executableFolder() {
    // Without an application object (some tools), only $QUENDRIX_DATA and the
    // system's folders are searched.
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

} // namespace

QStringList dataSearchFolders(const QString& exeDir) {
    QStringList folders;
    auto add = [&folders](const QString& f) {
        if (f.isEmpty()) return;
        const QString clean = QDir::cleanPath(QDir(f).absolutePath());
        if (!folders.contains(clean)) folders << clean;
    };
    add(qEnvironmentVariable("QUENDRIX_DATA"));
    if (!exeDir.isEmpty()) {
        add(exeDir);
        add(exeDir + QStringLiteral("/../share/quendrix"));
    }
    for (const QString& f : QStandardPaths::standardLocations(QStandardPaths::AppDataLocation))
        add(f);
    for (const QString& f : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        add(f + QStringLiteral("/quendrix"));
    return folders;
}

QStringList dataSearchFolders() {
    return dataSearchFolders(executableFolder());
}

QString firstDataRoot(const QStringList& folders) {
    for (const QString& f : folders)
        if (holdsData(f)) return f;
    return {};
}

QStringList searchedDataFolders() {
    const QStringList all = dataSearchFolders();
    const QString root = firstDataRoot(all);
    return root.isEmpty() ? all : all.mid(0, all.indexOf(root) + 1);
}

QString dataDir(const QString& name) {
    const QStringList folders = dataSearchFolders();
    QString root = firstDataRoot(folders);
    if (root.isEmpty()) root = folders.isEmpty() ? QDir::currentPath() : folders.first();
    return QDir(root).filePath(name);
}

QString dataFile(const QString& folder, const QString& fileName) {
    return QDir(dataDir(folder)).filePath(fileName);
}

QString resolveDataPath(const QString& relativePath) {
    QString p = QDir::fromNativeSeparators(relativePath);
    if (QFileInfo(p).isAbsolute()) return p;
    const int slash = p.indexOf(QLatin1Char('/'));
    if (slash < 0) return QDir::current().absoluteFilePath(p);
    return dataFile(p.left(slash), p.mid(slash + 1));
}

QString parameterDialogFolder(bool forSaving) {
    const QString folder = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                               .filePath(QStringLiteral("Quendrix"));
    // Failing to create it is no error: the dialog then opens where the platform puts it.
    if (forSaving) QDir().mkpath(folder);
    return folder;
}

} // namespace shell
