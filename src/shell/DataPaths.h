#pragma once
#include <QString>

namespace shell {

// The program's data folders ("lang", "skins", "help", "param") are looked up
// in the working folder first; when a folder is missing there, the one beside
// the executable is used. Returns the folder that exists, or the working
// folder's path when neither does (so messages name the expected place).
QString dataDir(const QString& name);
// A file inside a data folder, e.g. dataFile("help", "quendrix_pl.html").
QString dataFile(const QString& folder, const QString& fileName);
// Resolves a working-folder-relative data path such as "help/quendrix_pl.html".
QString resolveDataPath(const QString& relativePath);
// Initial folder of the parameter-file dialogs: <working folder>/param.
QString parameterDialogFolder();

} // namespace shell
