#pragma once
// quendrix-sim as a separate process for the benchmarks: started on a
// pseudo-terminal, driven through its standard input.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <sys/resource.h>

class SimProcess {
public:
    // Starts the emulator; false (with a message on stderr) when it does not come up.
    bool start(const QString& appDir, const QStringList& args) {
        proc_.setProcessChannelMode(QProcess::SeparateChannels);
        QString program = qEnvironmentVariable("QUENDRIX_SIM");
        if (program.isEmpty()) program = QDir(appDir).absoluteFilePath(QStringLiteral("../src/quendrix-sim"));
        proc_.start(program, args);
        if (!proc_.waitForStarted(5000)) {
            std::fprintf(stderr, "cannot start quendrix-sim (%s)\n", qPrintable(program));
            return false;
        }
        QElapsedTimer wait;
        wait.start();
        while (pty_.isEmpty() && wait.elapsed() < 5000) {
            proc_.waitForReadyRead(200);
            while (proc_.canReadLine()) {
                const QString line = QString::fromUtf8(proc_.readLine()).trimmed();
                if (line.startsWith(QLatin1String("pty: "))) pty_ = line.mid(5);
            }
        }
        if (pty_.isEmpty()) std::fprintf(stderr, "quendrix-sim printed no pty\n");
        return !pty_.isEmpty();
    }
    ~SimProcess() {
        if (proc_.state() == QProcess::NotRunning) return;
        command("quit");
        if (!proc_.waitForFinished(2000)) proc_.kill();
    }
    QString pty() const { return pty_; }
    void command(const QByteArray& line) {
        proc_.write(line + '\n');
        proc_.waitForBytesWritten(1000);
    }

private:
    QProcess proc_;
    QString pty_;
};

inline double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

inline double rssKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toDouble();
    return 0;
}
