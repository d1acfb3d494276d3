#pragma once
#include "link/SerialChannel.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

using ParameterBlock = std::array<std::uint8_t, 37>;

// The controller's byte protocol over the serial channel, and the link values
// it learns: version code, flags byte, ignition system, analog threshold.
class Controller {
public:
    static constexpr int BlockSize = 37;
    static constexpr int PollAttempts = 14;
    static constexpr int AnsweredAttempts = 9;
    // The version request is waited for as patiently as a poll (each attempt
    // as long as a poll's) before it concludes that no controller answers.
    static constexpr int VersionAttempts = AnsweredAttempts;
    static constexpr int AttemptWaitMs = 20;
    // An answer that stops this long has ended: well over a USB adapter's
    // usual 16 ms latency timer and a busy machine's scheduling stalls. Its
    // rest is looked for in slices.
    static constexpr int AnswerPauseMs = 40;
    static constexpr int AnswerSliceMs = 5;
    // How long after its measured lateness an owed answer may still come.
    static constexpr int LateMarginMs = 100;
    static constexpr int ThresholdAnswerSize = 2;
    // The longest answer to the version request (0x01). A receive that got
    // more holds bytes of another answer too (a late one, noise): its byte 0
    // is not taken as the version.
    static constexpr int VersionAnswerMax = 8;

    explicit Controller(SerialChannel& channel);

    // How the answer of the last exchange that waits for one arrived:
    // nothing; fewer bytes than the answer has; more (an answer out of step:
    // late bytes or noise with it); whole but refused (a block with the
    // rejected ignition value, a frame whose checksum does not match or that
    // came while no version is known); whole but after the ninth attempt; whole.
    enum class Arrival { None, Short, Excess, Invalid, Late, Whole };
    // Of the last ReadVersion, ReadAnalogCapability, ReadFeatureVersion,
    // ReadAnalogThreshold, ReadIgnition, ReadParameterBlock (its block) or PollLiveFrame.
    Arrival lastArrival() const { return arrival_; }

    SerialChannel& channel() const { return ch_; }

    // "94)" for version 4.3.0.94, as the window caption shows it.
    static QString defaultBuildText();
    static QString buildText(int patch, int tweak);

    // Ignition value of the block (bytes 32-33) -> constant and index.
    struct Ignition {
        int constant;
        int index;
    };
    static Ignition ignitionFor(int value);
    static int ignitionConstantForIndex(int index);
    // Probe kind (0..4) from block byte 31 and bit 1 of the flags byte.
    static int probeKindFrom(std::uint8_t byte31, std::uint8_t flags);

    // Link values.
    int versionCode() const { return version_; }
    bool controllerPresent() const { return present_; }
    // The flags byte held for writes: the controller's as last read, with the
    // bits written since. knownFlags() is empty until a whole block has been
    // read (ReadIgnition, ReadParameterBlock): a write then sends no flags at
    // all, since the bits it does not manage are unknown. flags() is the held
    // byte regardless (0 before any read); setFlags changes it but never makes
    // an unread byte known.
    std::uint8_t flags() const { return flags_; }
    std::optional<std::uint8_t> knownFlags() const {
        return flagsKnown_ ? std::optional<std::uint8_t>(flags_) : std::nullopt;
    }
    void setFlags(std::uint8_t f) { flags_ = f; }
    int ignitionIndex() const { return ignitionIndex_; }
    int ignitionConstant() const { return ignitionConstant_; }
    // The ignition constant is the controller's (a block read gave an
    // ignition value 0-5) or the fitter's choice (setIgnitionIndex with 0-5);
    // false before either, and after a block with any other value.
    bool ignitionKnown() const { return ignitionKnown_; }
    void setIgnitionIndex(int index);
    int probeKind() const { return probeKind_; }
    QString analogThreshold() const { return analogThreshold_; }
    void setAnalogThreshold(const QString& text) { analogThreshold_ = text; }
    bool analogCapable() const { return analogCapable_; }
    int frameLength() const { return version_ < 5 ? 8 : 9; }

    // Exchanges. The three version requests take byte 0 only from a receive
    // of 1 to VersionAnswerMax bytes; otherwise they read as no answer.
    // ReadVersion sends its request once and looks for the answer every 23 ms,
    // up to VersionAttempts times.
    void ReadVersion();
    bool ReadAnalogCapability();
    // Byte 0 of whatever the buffer holds (the version-dependent features
    // follow it); only an answer that arrived (lastArrival() Whole) makes it
    // the known featureVersion().
    int ReadFeatureVersion();
    // The code of the last feature read that got its answer; -1 before one did.
    int featureVersion() const { return featureVersion_; }
    // True when exactly the two bytes of the answer arrived; only then is the
    // threshold taken from it.
    bool ReadAnalogThreshold();
    // Whether the last ReadAnalogThreshold (also the one inside
    // ReadParameterBlock) got its answer.
    bool thresholdRead() const { return thresholdRead_; }
    // False when the threshold text is not a number: nothing is sent then.
    bool WriteAnalogThreshold();
    // True when exactly the block's 37 bytes arrived and ignition, flags and
    // probe kind were taken from it.
    bool ReadIgnition();
    // The block when exactly its 37 bytes arrived and it was not rejected;
    // nullopt otherwise (the caller then keeps every parameter as it is).
    std::optional<ParameterBlock> ReadParameterBlock();
    // True when this poll received exactly one frame's bytes, in time, and on
    // version 5 its checksum matches. A short frame, one with bytes beyond it,
    // a silent poll or any poll while the version code is 0 is false,
    // whatever the buffer holds. The frame is what arrived since the poll's
    // first request: the repeats keep it, an answer that comes in parts is
    // collected, and the answers owed to the repeats are waited out before the
    // next exchange, so no frame is made of two answers' bytes.
    // quick: each attempt takes the frame as soon as all of it is in, instead
    // of after the attempt's whole wait (the fast drive log).
    bool PollLiveFrame(bool quick = false);
    // Bytes the last live poll received (0 when every attempt was silent).
    int lastPollReceived() const { return lastPollReceived_; }
    void WriteIgnition(int index);

    // Bytes 0..frameLength()-1 of the receive buffer.
    std::uint8_t frameByte(int i) const { return ch_.AnswerByte(i); }

private:
    struct Asked {
        int sent = 0;     // requests sent
        int answered = 0; // the attempt whose receive found bytes, 0 none
        int received = 0; // bytes of the answer, collected
    };
    // Up to `attempts` receives 23 ms apart until one finds bytes, sending
    // `command` before the first (repeat: before each); with a known `length`
    // the rest of an answer that came in parts is collected. What the repeats
    // are still owed is left to the channel. Without repeats byte 0 reads 0
    // when nothing came.
    Asked ask(std::uint8_t command, int attempts, int length, bool polled, bool repeat);
    void collectRest(int& received, int length);
    // A single answer cut short: its rest is owed.
    void oweRest(int received, int length);
    ParameterBlock blockFromBuffer() const;
    static bool versionAnswer(const SerialChannel::Receive& r);
    static Arrival versionArrival(int received);
    static Arrival sized(int received, int length);

    SerialChannel& ch_;
    int version_ = 0;
    bool quickPoll_ = false; // during PollLiveFrame(true)
    bool present_ = false;
    std::uint8_t flags_ = 0;
    bool flagsKnown_ = false;
    int ignitionIndex_ = 2;
    int ignitionConstant_ = 4800;
    bool ignitionKnown_ = false;
    int probeKind_ = 0;
    QString analogThreshold_ = QStringLiteral("1");
    bool analogCapable_ = false;
    bool thresholdRead_ = false;
    int lastPollReceived_ = 0;
    int featureVersion_ = -1;
    Arrival arrival_ = Arrival::None;
};
