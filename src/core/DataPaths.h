#pragma once
#include <QString>
#include <QStringList>

namespace shell {

// The program's data ("lang", "skins" and "help" folders) is looked for in
// these folders, in this order: $QUENDRIX_DATA; the executable's own folder (a
// build tree); ../share/quendrix beside the executable (an installed program,
// wherever its prefix); the system's data folders (XDG) + "quendrix". The
// first one that holds any of the data folders is used for all of them, so a
// program never mixes the files of two installs.
QStringList dataSearchFolders();
// The same for an executable in exeDir.
QStringList dataSearchFolders(const QString& exeDir);
// The first of `folders` holding data; empty when none does.
QString firstDataRoot(const QStringList& folders);
// The folders searched up to and including the one used (all of them when
// none holds data): what the "reinstall" message names.
QStringList searchedDataFolders();

// A data folder, e.g. dataDir("lang"); when no folder holds data, the path it
// would have in the first folder searched (so messages name a place).
QString dataDir(const QString& name);
// A file inside a data folder, e.g. dataFile("help", "quendrix_pl.html").
QString dataFile(const QString& folder, const QString& fileName);
// Resolves a data path such as "help/quendrix_pl.html".
QString resolveDataPath(const QString& relativePath);
// Initial folder of the parameter-file dialogs: "Quendrix" in the user's
// documents folder. A save creates it; an open leaves it as it is.
QString parameterDialogFolder(bool forSaving = false);

} // namespace shell
