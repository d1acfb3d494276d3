#pragma once
#include <QSettings>
#include <memory>

namespace shell {

// The one settings store of the program: HKEY_CURRENT_USER\Quendrix\Param on
// Windows, ~/.config/Quendrix/Param.conf elsewhere. QUENDRIX_SETTINGS names an
// INI file to use instead of the user's own store (tests, trying things out).
// SettingsStore (shell/SettingsStore.h) reads and writes the fitter's choices in it.
std::unique_ptr<QSettings> openSettings();

} // namespace shell
