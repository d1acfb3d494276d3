// quendrix-cli: see cli/Cli.h and --help.
#include "cli/Cli.h"
#include "core/DataPaths.h"
#include "core/LanguageTexts.h"
#include "core/SystemTexts.h"
#include "shell/LanguageFile.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const cli::Options options = cli::parseArguments(args);

    // Only the sheet draws: it needs the font database of a GUI application,
    // which runs without a display on the offscreen platform.
    std::unique_ptr<QCoreApplication> app;
    if (options.command == QLatin1String("sheet")) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    // The program's name, so that the restore points' folder is the program's.
    QCoreApplication::setApplicationName(QStringLiteral("quendrix"));

    // The terminal tool speaks English, the libraries' words for files and
    // ports the system refused included (from the English language file).
    LanguageTexts english;
    for (const shell::LanguageLine& l :
         shell::readLanguageFile(shell::dataFile(QStringLiteral("lang"), QStringLiteral("english.lng")))
             .lines)
        if (l.kind == shell::LanguageLine::Kind::Text) english.set(l.key, l.text);
    systemtext::use(english);

    QTextStream out(stdout);
    QTextStream err(stderr);
    return cli::run(options, out, err);
}
