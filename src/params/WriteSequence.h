#pragma once
#include "link/Controller.h"
#include "params/Encoding.h"
#include "params/ParameterSet.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// Where the write sequence shows its messages (a message box with one OK
// button in the program; the sequence waits until it returns).
class WriteMessageSink {
public:
    virtual ~WriteMessageSink() = default;
    virtual void writeMessage(const QString& text, const QString& caption) = 0;
};

// One step of the full write between the prefix and the analog threshold.
struct WriteStep {
    int number; // 2..26
    int pauseBeforeMs;
    WriteCommand command;
};

// Steps 2..26 of the full write for a set, with the flags byte carried from
// one flags command to the next: each changes only its parameter's bit, the
// other bits stay as `flags` holds them. Without a flags byte read from the
// controller (nullopt) the flags steps send nothing; their pauses stay. Pure.
std::vector<WriteStep> planParameterWrite(const ParameterSet& set, int ignitionConstant,
                                          std::optional<std::uint8_t> flags, int versionCode);

// The parameters a step of the full write carries (27: the analog threshold;
// 13 and 28 carry none).
std::vector<ParamId> parametersOfStep(int step);

// How far a full write got. When the port failed under it (an open failed,
// or a byte could not be sent: the device is gone) it stopped there: the
// parameters of that step and of every later one did not reach the
// controller, and neither did the closing byte.
struct WriteOutcome {
    bool complete = true;
    int failedStep = 0;              // 1..28, 0 when complete
    std::vector<ParamId> notWritten; // in the order of the sequence
};

// The full write: 0xAA, every parameter command with its pauses, the analog
// threshold, 0x0A and ClosePort, then 20 ms. The flags byte the controller
// holds is updated as each flags command goes out; no flags command goes out
// while the controller's flags byte has not been read (Controller::knownFlags).
// A failed check shows its message and skips only that command. An empty
// analog threshold (one that was never read) is skipped silently. The
// sequence stops at the first open or send that fails, with the port closed.
WriteOutcome WriteParameters(Controller& c, const ParameterSet& set, WriteMessageSink* sink);
