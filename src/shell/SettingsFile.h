#pragma once
#include <QSettings>
#include <memory>

namespace shell {

// The one settings store of the program: HKEY_CURRENT_USER\Quendrix\Param on
// Windows, ~/.config/Quendrix/Param.conf elsewhere. QUENDRIX_SETTINGS names an
// INI file to use instead of the user's own store (tests, trying things out).
// SettingsStore (shell/SettingsStore.h) reads and writes the fitter's choices in it.
std::unique_ptr<QSettings> openSettings();

// An INI file's text less the lines whose values Qt's reader would rebuild as
// serialized objects: a value or list item that starts with "@" ("@Variant(",
// "@DateTime(", ...; "@@" is an escaped "@" and stays) or any numeric escape
// ("\x40", "\100") that could make one. The program writes neither, and
// QDataStream trusts the lengths inside such a value: one damaged or forged
// line could make it reserve gigabytes when the store is read. A line that
// continues on the next ("\" at its end) goes with it. *dropped counts the
// lines left out.
QByteArray withoutSerializedValues(const QByteArray& ini, int* dropped = nullptr);

} // namespace shell
