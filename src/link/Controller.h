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
    static constexpr int ThresholdAnswerSize = 2;
    // The longest answer to the version request (0x01). A receive that got
    // more holds bytes of another answer too (a late one, noise): its byte 0
    // is not taken as the version.
    static constexpr int VersionAnswerMax = 8;

    explicit Controller(SerialChannel& channel);

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
    void ReadVersion();
    bool ReadAnalogCapability();
    int ReadFeatureVersion();
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
    // whatever the buffer holds.
    bool PollLiveFrame();
    // Bytes the last live poll received (0 when every attempt was silent).
    int lastPollReceived() const { return lastPollReceived_; }
    void WriteIgnition(int index);

    // Bytes 0..frameLength()-1 of the receive buffer.
    std::uint8_t frameByte(int i) const { return ch_.AnswerByte(i); }

private:
    ParameterBlock blockFromBuffer() const;
    static bool versionAnswer(const SerialChannel::Receive& r);

    SerialChannel& ch_;
    int version_ = 0;
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
};
