// Renders the main window's pages in chosen languages and screen-size layouts
// against the emulated controller, one PNG each, for a visual check (not a test):
//   QT_QPA_PLATFORM=offscreen ./shell_screens OUTDIR [lang,...] [item,...] [page,...]
// e.g. shell_screens docs english,russian 1,6 wizualizacja,parametry
// writes docs/wizualizacja-english-640x480.png and the like.
#include "emulator/Emulator.h"
#include "shell/Navigator.h"
#include "shell/ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

void waitIdle(MainWindow& w, int settleMs) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000 && (w.link().busy() || w.link().heldActions() > 0))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QElapsedTimer s;
    s.start();
    while (s.elapsed() < settleMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

QStringList listArg(int argc, char** argv, int i, const QString& fallback) {
    return QString::fromLocal8Bit(i < argc ? argv[i] : fallback.toLocal8Bit().constData())
        .split(QLatin1Char(','), Qt::SkipEmptyParts);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: shell_screens OUTDIR [lang,...] [item,...] [page,...]\n", stderr);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    const QStringList langs = listArg(argc, argv, 2, QStringLiteral("english,russian"));
    const QStringList items = listArg(argc, argv, 3, QStringLiteral("1,6"));
    const QStringList pages = listArg(argc, argv, 4, QStringLiteral("wizualizacja,parametry"));

    QTemporaryDir settings;
    qputenv("QUENDRIX_SETTINGS", settings.filePath(QStringLiteral("settings.ini")).toUtf8());

    qsim::Emulator emu(8, 2);
    std::string err;
    if (!emu.openPty(&err) || !emu.start()) {
        std::fprintf(stderr, "emulator: %s\n", err.c_str());
        return 1;
    }
    emu.withModel([](qsim::ControllerModel& m) {
        m.inputs().engineOn = true;
        m.inputs().forcedRpm = 2400;
        m.inputs().throttle = 0.25;
        // The temperature sensor switched on: the pages show every instrument.
        auto block = m.block();
        block[8] |= 8;
        m.setBlock(block);
        return 0;
    });

    MainWindow::Setup setup;
    const QString path = QString::fromStdString(emu.devicePath());
    setup.configureLink = [path](ControllerLink& link) {
        link.setDevicePath(1, path);
        link.setSelectedPort(QStringLiteral("com1"));
    };
    // A screen wider than every layout: each one gets its own window size.
    setup.screen = [] { return LayoutApplier::Screen{QSize(1920, 1200), QRect(0, 0, 1920, 1170)}; };
    setup.message = [](QMessageBox::Icon, const QString& text) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    };
    MainWindow w(setup);
    w.show();
    waitIdle(w, 300);

    int written = 0;
    for (const QString& lang : langs) {
        w.languageMenuClick(lang + QStringLiteral(".lng"));
        for (const QString& item : items) {
            const int n = item.toInt();
            w.layoutMenuClick(n);
            for (const QString& page : pages) {
                const auto p = shell::pageFromOptionName(page);
                if (!p) continue;
                w.selectPageFromMenu(*p);
                waitIdle(w, 1500);
                static const char* const sizes[] = {"640x480",  "720x576",  "800x600",
                                                    "1024x768", "1152x864", "1280x1024"};
                const QString size = QString::fromLatin1(sizes[std::clamp(n, 1, 6) - 1]);
                const QString file = out.filePath(QStringLiteral("%1-%2-%3.png").arg(page, lang, size));
                if (!w.grab().save(file, "PNG")) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                    return 1;
                }
                std::printf("%s (%dx%d)\n", qPrintable(file), w.width(), w.height());
                // QUENDRIX_DUMP=name,name: geometry and minimum size of those widgets.
                for (const QString& name :
                     qEnvironmentVariable("QUENDRIX_DUMP").split(QLatin1Char(','), Qt::SkipEmptyParts))
                    for (QWidget* c : w.findChildren<QWidget*>(name)) {
                        const QRect g = c->geometry();
                        std::printf("  %s %d,%d %dx%d min %dx%d hint %dx%d\n", qPrintable(name), g.x(), g.y(),
                                    g.width(), g.height(), c->minimumSizeHint().width(),
                                    c->minimumSizeHint().height(), c->sizeHint().width(),
                                    c->sizeHint().height());
                    }
                ++written;
            }
        }
    }
    w.close();
    emu.stop();
    return written > 0 ? 0 : 1;
}
