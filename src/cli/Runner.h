#pragma once
// The commands of quendrix-cli, one member each. Every change to the
// controller (write, restore) passes the write gate, which keeps a restore
// point first.
#include "cli/Cli.h"
#include "link/Clock.h"
#include "link/Controller.h"
#include "link/LinkObserver.h"
#include "link/LinkTrace.h"
#include "link/QtSerialPort.h"
#include "link/SerialChannel.h"
#include "params/ParamFile.h"
#include "params/RestorePoints.h"
#include "params/WriteGate.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>

namespace cli {

// "0A", "F4".
QString hexByte(int value);

// The link's reports, kept for the messages of the command.
class Reports : public LinkObserver {
public:
    void portOpenFailed(const PortError& e) override {
        failures << e.device + QStringLiteral(": ") + e.reason;
    }
    QStringList failures;
};

class Messages : public WriteMessageSink {
public:
    void writeMessage(const QString& text, const QString& caption) override { shown << line(caption, text); }
    static QString line(const QString& caption, const QString& text);
    QStringList shown;
};

// Writes the protocol trace as text while the command runs.
class TraceFile final : public LinkTrace {
public:
    bool open(const QString& path, QString* error);
    void record(const TraceEntry& entry) override;
    void close();

private:
    QFile file_;
    QTextStream text_;
    TraceNames names_;
    qint64 originUs_ = -1;
    qint64 previousUs_ = 0;
};

struct Link {
    explicit Link(LinkTrace* trace = nullptr) { channel.setTrace(trace); }
    QtSerialPort port;
    SystemClock clock;
    Reports reports;
    SerialChannel channel{port, clock, &reports};
    Controller controller{channel};
    QString label; // "COM2 (/dev/ttyS1)" or the device path
};

class Runner {
public:
    Runner(const Options& o, QTextStream& out, QTextStream& err);
    int run();

private:
    int runCommand();
    int fail(int code, const QString& message);

    // The port of --port, else of the settings.
    void selectPort(Link& l);
    // Opens the chosen port once, so a port that cannot be opened stops the
    // command before any exchange.
    bool openLink(Link& l, bool quiet = false);
    // Version, block, ignition and analog threshold, as the parameters page
    // reads them; the block goes to the gate.
    bool readController(Link& l, ParameterSet& set, ParameterBlock* block = nullptr);
    bool loadFile(ParamFileContents& contents);
    ParamPageState applyFile(const ParamFileContents& file, const ParameterSet& base,
                             bool temperatureCapable);
    bool temperatureCapable(const Link& l) const;
    int fileOverController(Link& l, ParameterSet& controllerSet, ParamPageState& state,
                           ParameterBlock& block);

    params::WriteContext context(const Link& l, const QString& what) const;
    QString names(const std::vector<ParamId>& ids) const;
    // Exit code of a refused verdict, with its messages.
    int refused(const params::GateVerdict& v);

    int version();
    int autodetect();
    int read();
    int write();
    int diff();
    int live();
    int sheet();
    // Backups and restore points (Backups.cpp).
    int backup();
    int restore();
    int history();
    int restoreBlock(Link& l, const ParameterBlock& block, const QString& what);

    const Options& o_;
    QTextStream& out_;
    QTextStream& err_;
    TraceFile trace_;
    params::RestorePointStore store_;
    params::WriteGate gate_{&store_};
};

} // namespace cli
