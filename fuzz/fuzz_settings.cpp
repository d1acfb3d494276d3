// The settings store over an INI file holding anything: whatever it reads, the
// plan keeps every choice inside its list, and what it saves loads back the same.
#include "shell/SettingsStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

namespace {

QString iniPath() {
    static QTemporaryDir dir;
    return dir.filePath(QStringLiteral("settings.ini"));
}

std::unique_ptr<QSettings> openIni() {
    return std::make_unique<QSettings>(iniPath(), QSettings::IniFormat);
}

bool inLists(const shell::ShellSettings& s) {
    return s.comPort >= 1 && s.comPort <= 8 && s.layoutItem >= 1 && s.layoutItem <= 6 &&
           QStringList{QStringLiteral("ord"), QStringLiteral("col"), QStringLiteral("sil"),
                       QStringLiteral("nak")}
               .contains(s.skin);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        QFile f(iniPath());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    shell::SettingsStore store(openIni, iniPath());
    const shell::StartPlan plan = store.load();
    if (!inLists(plan.settings)) __builtin_trap();
    (void)store.save(plan.settings);
    const shell::StartPlan again = shell::SettingsStore(openIni, iniPath()).load();
    if (again.firstRun || !inLists(again.settings) || again.settings.comPort != plan.settings.comPort ||
        again.settings.skin != plan.settings.skin || again.settings.commentsOff != plan.settings.commentsOff)
        __builtin_trap();
    return 0;
}
