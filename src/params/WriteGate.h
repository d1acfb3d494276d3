#pragma once
// The one way to change what a controller holds. Every write — the parameters
// page's full and Enter writes, the automatic write on entering a live page,
// the wizard's set-ups and final write, a restore, the command-line tool —
// passes a WriteGate, which
//  (a) refuses values nobody read, typed, loaded or learnt, values that would
//      not decode back to what the page or file says (a value that does not
//      fit its bytes would go out wrapped), and engine speeds without a known
//      ignition constant;
//  (b) keeps a restore point first: the block the controller holds as far as
//      the program knows (as last read, with the bytes written since), with
//      the time, port, version and what is about to be written;
//  (c) reports what went out as it is: complete, or which commands did not.
//
// The gate's exchanges run synchronously on the thread that owns the
// Controller (the link's worker, or the command-line tool's main thread).
// Only check() is pure; it is what a page may call to explain a refusal
// before anything is posted.
#include "link/Controller.h"
#include "params/ParameterSet.h"
#include "params/WriteSequence.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace params {

class RestorePointStore;

// Where the set a full write sends came from. Values the fitter typed on top
// of such a set keep its origin.
enum class SetOrigin {
    None,       // nothing filled it: design values, never to be written
    Controller, // read from the controller
    File,       // loaded from a parameter file
    Learnt,     // the wizard's result (read back after its final write)
    Defaults,   // the reset button's defaults, written because the fitter asked for them
    Restore     // a restore point or backup, written byte for byte
};

// One value the gate will not send, with the range it must lie in.
struct Refusal {
    ParamId id;
    QString value;    // as the page or file says
    QString range;    // "0–255", "1000–9000 obr/min" ...
    QString readBack; // what the controller would hold, as the page would show it after a read
};

struct GateVerdict {
    enum class Reason {
        None,             // allowed
        NotRead,          // the set did not come from the controller, a file or the wizard
        IgnitionUnknown,  // engine speeds need the controller's ignition constant
        ValuesOutOfRange, // refusals name them
        NoRestorePoint    // the controller's block is unknown and could not be read, or the
                          // restore point could not be saved (detail says which)
    };
    Reason reason = Reason::None;
    std::vector<Refusal> refusals;
    QString detail; // NoRestorePoint: why (no block arrived, the restore point could not be saved)
    bool allowed() const { return reason == Reason::None; }
};

// What went out, as it is.
struct GateReport {
    GateVerdict verdict;              // not allowed: nothing at all was sent
    WriteOutcome outcome;             // allowed: complete, or where the port failed
    std::vector<WriteMessage> checks; // messages of commands the write's own checks skipped
    std::vector<ParamId> skipped;     // parameters those skipped commands carried
    int restorePoint = -1;            // id of the restore point kept before the write
    bool complete() const { return verdict.allowed() && outcome.complete && skipped.empty(); }
};

// A restore's result: what was sent, and how the block read back compares.
// outcome.failedStep: 1 the port or the prefix, 2.. the commands in the order
// of blockCommands() (the ignition write after the closing byte).
struct RestoreReport {
    GateVerdict verdict;
    WriteOutcome outcome;
    bool readBack = false;            // the block was read back after the write
    ParameterBlock controllerBlock{}; // as read back (readBack), else as the gate knows it
    std::vector<int> differingBytes;  // restorable offsets that read back other than restored
    std::vector<int> notRestorable;   // offsets no command writes (unused bytes; the ignition bytes
                                      // unless they hold 0-5) that read back other than in the block
    std::vector<int> notSentBytes;    // offsets of commands that did not go out
    int restorePoint = -1;
    bool complete() const {
        return verdict.allowed() && outcome.complete && readBack && differingBytes.empty();
    }
};

// Facts about the write the caller supplies.
struct WriteContext {
    QString what; // what is about to be written, for the restore point ("Zapisz parametry", ...)
    QString port; // "COM2 (/dev/ttyS1)" or a device path
    bool ignitionKnown = false; // the ignition constant came from the controller or the fitter's choice
};

// The gate's state is the worker's: every member runs on the thread that owns
// the Controller.
class WriteGate {
public:
    // store may be null (tests): then no restore point is kept
    // but everything else is checked and reported alike.
    explicit WriteGate(RestorePointStore* store);

    // (a) alone, pure. Origin None is refused; every other origin is allowed
    // (Defaults reaches the gate only from the reset button, written because
    // the fitter asked for it; Restore carries raw bytes, so its values are
    // not looked at). A set whose engine speeds would go out needs a known
    // ignition constant. Every value the write sends must read back as the set
    // says (unreturnedValues, and the analog threshold must fit its byte).
    // Commands the write's own checks skip send nothing and are no refusal.
    static GateVerdict check(const ParameterSet& set, SetOrigin origin, int ignitionConstant,
                             bool ignitionKnown, int versionCode);

    // A read of the controller's block (every block read must tell the gate,
    // so that its restore points start from what the controller held).
    void blockRead(const ParameterBlock& block, int versionCode);
    // The block the controller holds as far as the gate knows; nullopt before
    // the first read on this port (the port changed, or it was lost).
    std::optional<ParameterBlock> knownBlock() const;
    void forget();

    // The full write of a set: the block read first when the gate does not
    // know it (that read also gives the ignition constant and the flags), then
    // check (the ignition counts as known when ctx says so or the Controller
    // knows it), restore point, WriteParameters. The bytes that went out
    // update the known block; after a write cut off the block is forgotten
    // (the next write reads it first).
    GateReport writeSet(Controller& c, const WriteContext& ctx, const ParameterSet& set, SetOrigin origin,
                        WriteMessageSink* sink);
    // Ready-made commands (the wizard's set-ups and final write): restore
    // point, then each command's bytes with SendByte and pauseMs after it, on
    // the open port (opened first when it is not; left open). Stops at the
    // first byte that cannot be sent: outcome.failedStep is that command's
    // number (1-based) and notWritten what it and every later one carries.
    struct Command {
        std::vector<std::uint8_t> bytes;
        int pauseMs = 0;
        std::vector<ParamId> carries; // what it changes, for the report
    };
    GateReport sendCommands(Controller& c, const WriteContext& ctx, const std::vector<Command>& commands);
    // Writes a block back byte for byte (a restore point, a backup file, the
    // block a wizard found): 0xAA, each of blockCommands() with the block's own
    // bytes and 20 ms pauses, 0x0A, then the ignition write when its bytes hold
    // 0-5; then reads the block back and compares. The fixed second lambda
    // pair and the analog threshold are not part of the block and are not sent.
    RestoreReport restore(Controller& c, const WriteContext& ctx, const ParameterBlock& block);

private:
    // Reads the block when it is not known; false (with the verdict set) when
    // no whole block arrives. Then keeps the restore point.
    bool prepare(Controller& c, const WriteContext& ctx, GateVerdict& verdict, int& restorePoint);
    void applySent(const std::vector<std::uint8_t>& bytes);

    RestorePointStore* store_;
    std::optional<ParameterBlock> known_;
    int versionCode_ = 0;
    QDateTime readAt_;
};

} // namespace params
