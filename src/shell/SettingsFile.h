#pragma once
#include <QSettings>
#include <memory>

namespace shell {

// The one settings store of the program: HKEY_CURRENT_USER\Quendrix\Param on
// Windows, ~/.config/Quendrix/Param.conf (under XDG_CONFIG_HOME) elsewhere.
// QUENDRIX_SETTINGS names an INI file to use instead of the user's own store
// (tests, trying things out). SettingsStore (shell/SettingsStore.h) reads and
// writes the fitter's choices in it. The file is cleaned (cleanSettingsFile)
// before it is opened.
std::unique_ptr<QSettings> openSettings();
// The store's file; empty for the registry.
QString settingsFile();

// Opening a QSettings reads its whole file at once: a 2 GB file takes a
// minute and 4 GB of memory. So the file at path is checked first and, when
// it holds lines that cannot be read (readableSettingsText) or more than
// MaxSettingsFileSize, rewritten without them (nothing beyond the limit is
// read). Nothing happens to a file that is fine, missing or not a plain file.
struct SettingsCleanup {
    bool dropped = false;  // the file held such lines
    bool rewritten = true; // false: it could not be rewritten and must not be opened
};
SettingsCleanup cleanSettingsFile(const QString& path);

// The program writes a few short values; more than this is damage.
constexpr qint64 MaxSettingsFileSize = 64 * 1024; // read no further
constexpr int MaxSettingsLineLength = 4096;       // a longer line (its value) is dropped

// An INI file's text less the lines Qt's reader would misread or choke on:
// - a value or list item that starts with "@" ("@Variant(", "@DateTime(", ...;
//   "@@" is an escaped "@" and stays) or any numeric escape ("\x40", "\100")
//   that could make one. The program writes neither, and QDataStream trusts
//   the lengths inside such a value: one damaged or forged line could make it
//   reserve gigabytes when the store is read;
// - a line that is not UTF-8 text or holds control characters (binary junk
//   would come back as "%UFFFD" keys and be written back with every save);
// - a line longer than MaxSettingsLineLength.
// A line that continues on the next ("\" at its end) goes with it. *dropped
// counts the lines left out.
QByteArray readableSettingsText(const QByteArray& ini, int* dropped = nullptr);

} // namespace shell
