#include "shell/SettingsFile.h"

namespace shell {

std::unique_ptr<QSettings> openSettings() {
    const QString file = qEnvironmentVariable("QUENDRIX_SETTINGS");
    if (!file.isEmpty()) return std::make_unique<QSettings>(file, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Quendrix"), QStringLiteral("Param"));
}

} // namespace shell
