#pragma once

// The controller as seen from the wire: its command parser, its stored state
// (the 37-byte parameter block, the analog threshold, the version code) and a
// small engine model behind the live frames. No I/O and no threads: the
// caller passes the time in, so tests can drive it step by step.

#include <array>
#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <vector>

namespace qsim {

// Misbehaviour to inject into answers (writes are always taken).
struct Faults {
    bool silent = false;  // answer nothing
    int answerEveryN = 0; // > 1: answer only requests N, 2N, 3N ... (counted over all answering requests)
    int loseEveryN = 0;   // > 1: the answers to requests N, 2N, 3N ... are lost (counted the same way)
    int truncateTo = -1;  // >= 0: send only the first K bytes of each answer
    bool wrongChecksum = false; // live frames carry a checksum that does not match
    int noiseBytes = 0;         // > 0: that many garbage bytes appended; < 0: |n| bytes prepended
    int delayMs = 0;            // extra delay before the answer starts (applied by the transport)
    // > 0: after the first pauseAfter bytes of an answer the line stops for pauseMs, as a USB adapter's
    // latency timer or a sender that lost the processor does (applied by the transport).
    int pauseAfter = 0;
    int pauseMs = 0;
    int onlyCommand = 0; // 0: faults hit every answer; else only answers to this command (0x01, 0x02,
                         // 0x09 or 0x22); the delay and the pause too
};

// How the transport is to send the answer the model just gave.
struct AnswerTiming {
    double delayMs = 0;
    int pauseAfter = 0;
    double pauseMs = 0;
};

struct EngineInputs {
    bool engineOn = true;
    double throttle = 0.0; // 0..1
    int trueIgnition = 2;  // 0..5, the ignition system actually fitted
    int forcedRpm = -1;    // -1 = model
    double ambientC = 20.0;
    double gasLevel = 0.6;      // 0..1
    double forcedTempC = -1000; // < -273 = model
    // Reducer screw, 0 (lean) .. 1 (rich): the gas one stepper step lets through.
    // At 0.5 the engine idles on gas with the stepper near 65.
    double reducer = 0.5;
    // The dashboard switch: false holds the car on petrol whatever the controller decides.
    bool gasSwitch = true;
};

struct EngineState {
    double rpm;
    double tempC;
    double lambdaVolts;
    double tpsVolts;
    int stepper;
    bool onGas;
};

// One complete command as parsed from the byte stream.
struct ReceivedCommand {
    bool prefixed; // came right after 0xAA
    uint8_t code;
    std::vector<uint8_t> values; // its value bytes
    double timeMs;               // time of its last byte
};

class ControllerModel {
public:
    static constexpr int kBlockSize = 37;
    // A command whose value bytes stop coming for this long is dropped, like a
    // controller that resynchronises on a pause.
    static constexpr double kCommandTimeoutMs = 1000.0;

    explicit ControllerModel(int versionCode = 5, int storedIgnition = 2);

    // Ignition index 0..5 → 19200, 9600, 4800, 4000, 3200, 2400; anything else 4800.
    static int ignitionConstant(int index);
    // Value-byte count of a write command (0x1F included), -1 when the byte is no write command.
    static int valueByteCount(uint8_t command);
    // The block the program's full write of the default parameters produces,
    // with the engine speeds converted through the constant of storedIgnition.
    static std::array<uint8_t, 37> defaultBlock(int storedIgnition);

    // One received byte at time nowMs; returns the answer bytes to send (empty for none).
    std::vector<uint8_t> receive(uint8_t byte, double nowMs);
    void advance(double nowMs);                 // runs the engine model up to nowMs
    std::vector<uint8_t> liveFrame() const;     // the frame the next 0x02 would get (before faults)
    std::vector<uint8_t> versionAnswer() const; // answer to 0x01 (8 bytes, before faults)

    const std::array<uint8_t, 37>& block() const { return block_; }
    void setBlock(const std::array<uint8_t, 37>& b) { block_ = b; }
    uint8_t flags() const { return block_[8]; }
    uint8_t analogThreshold() const { return threshold_; }
    void setAnalogThreshold(uint8_t v) { threshold_ = v; }
    int versionCode() const { return version_; }
    void setVersionCode(int v) { version_ = v; }
    // Bytes 32-33 of the block.
    int storedIgnition() const { return block_[32] | (block_[33] << 8); }
    void setStoredIgnition(int index);
    // The second lambda time pair (command 0x1A): it has no place in the block.
    std::array<uint8_t, 4> secondLambdaPair() const { return secondPair_; }

    Faults& faults() { return faults_; }
    const Faults& faults() const { return faults_; }
    EngineInputs& inputs() { return inputs_; }
    const EngineInputs& inputs() const { return inputs_; }
    EngineState state() const;

    // Every complete command since construction or clearCommands().
    const std::vector<ReceivedCommand>& commands() const { return commands_; }
    int closingCount() const { return closings_; } // 0x0A bytes taken
    void clearCommands() {
        commands_.clear();
        closings_ = 0;
    }
    // Forgets all but the last `keep` commands (a long run keeps a bounded history).
    void dropOldCommands(std::size_t keep);
    // Human-readable notes (commands taken, bytes ignored, answers) since the last call.
    std::vector<std::string> takeEvents();

    // The delay and pause of the last answer receive() gave (none when the faults did not hit it).
    AnswerTiming lastAnswerTiming() const { return timing_; }

    // Simulated time (ms) the engine model has reached.
    double modelTimeMs() const { return simMs_; }

private:
    enum class Parse { Idle, Prefix, Values };

    void startCommand(uint8_t code, bool prefixed, double nowMs);
    void finishCommand(double nowMs);
    void apply(const ReceivedCommand& c);
    std::vector<uint8_t> answer(uint8_t request, std::vector<uint8_t> bytes);
    void note(std::string s);
    void step(double dtMs);
    bool switchConditionsHold() const;
    int period() const;
    int stepMin() const { return 255 - block_[10]; }
    int stepMax() const { return 255 - block_[11]; }
    double reducerGain() const;
    double idealStepper() const;
    int mixtureDelayTicks() const;

    // Stored state
    std::array<uint8_t, 37> block_{};
    std::array<uint8_t, 4> secondPair_{122, 0, 244, 0};
    uint8_t threshold_ = 1;
    int version_ = 5;

    // Parser
    Parse parse_ = Parse::Idle;
    bool prefixed_ = false;
    uint8_t command_ = 0;
    int remaining_ = 0;
    std::vector<uint8_t> values_;
    double lastByteMs_ = 0;
    bool anyByte_ = false;
    long requestCount_ = 0;
    int countedEveryN_ = 0;
    long loseCount_ = 0;
    int countedLoseN_ = 0;

    std::vector<ReceivedCommand> commands_;
    int closings_ = 0;
    std::vector<std::string> events_;

    Faults faults_;
    AnswerTiming timing_;
    EngineInputs inputs_;

    // Engine model
    bool started_ = false; // first advance() sets the time base
    double simMs_ = 0;
    double rpm_ = 800;
    double idleJitter_ = 0;
    double tempC_ = 20;
    double lambdaV_ = 0.45;
    bool running_ = false;
    double runningSinceMs_ = 0;
    bool reachedSwitchRpm_ = false;
    bool onGas_ = false;
    int stepper_ = 0;
    double stepAccuMs_ = 0;
    std::deque<int> mixtureDelay_; // stepper positions of the last ticks, oldest first
    std::mt19937 rng_{12345};
    std::mt19937 noiseRng_{777}; // separate, so injected noise leaves the engine run unchanged
};

} // namespace qsim
