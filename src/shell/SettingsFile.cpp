#include "shell/SettingsFile.h"

namespace shell {

std::unique_ptr<QSettings> openSettings() {
    const QString file = qEnvironmentVariable("QUENDRIX_SETTINGS");
    if (!file.isEmpty()) return std::make_unique<QSettings>(file, QSettings::IniFormat);
#ifdef Q_OS_WIN
    // Directly under the user's root, without the usual "Software" level.
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Quendrix\\Param"),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Quendrix"), QStringLiteral("Param"));
#endif
}

} // namespace shell
