#pragma once
#include <QSettings>
#include <memory>

namespace shell {

// The one settings store of the program. QUENDRIX_SETTINGS names an INI file to
// use instead of the user's own store (tests, trying things out).
std::unique_ptr<QSettings> openSettings();

} // namespace shell
