#pragma once
// The controller emulator: command parser and stored state, live frames and
// the engine model, injected faults, the pty transport and the executable.

#include "PtyClient.h"
#include "emulator/ControllerModel.h"
#include "emulator/Emulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <csignal>
#include <set>

using qsim::ControllerModel;
using Bytes = std::vector<uint8_t>;

Q_DECLARE_METATYPE(Bytes)

namespace {

// How long a test waits for an answer it expects: the emulator answers within
// milliseconds, but on a busy machine its thread, or its process, may wait
// its turn. Reading ends as soon as the bytes are there.
constexpr double AnswerMs = 5000;

inline int rnd(double v) {
    return static_cast<int>(std::nearbyint(v));
}
inline int u16(const std::array<uint8_t, 37>& b, int at) {
    return b[at] | (b[at + 1] << 8);
}

inline Bytes feed(ControllerModel& m, const Bytes& bytes, double t = 0) {
    Bytes last;
    for (uint8_t b : bytes) {
        Bytes a = m.receive(b, t);
        if (!a.empty()) last = a;
    }
    return last;
}

inline Bytes readBlock(ControllerModel& m, double t = 0) {
    return m.receive(0x09, t);
}

// The parameters as the program decodes them from a block (its decoding rules).
struct Decoded {
    int switchTemp, lowTime, highTime, tpsHundredths, switchRpm, lambdaHundredths, stepMin, stepMax,
        stepStart;
    int maxGasRpm;
    bool maxGasOff;
    int switchDelay, rpmDelta, cutoffRpm, cutoffStep, startDelay, stepOpening, belowTps, aboveTps, probeKind;
    int ignition;
    uint8_t flags;
};

inline Decoded decode(const std::array<uint8_t, 37>& b) {
    Decoded d{};
    const int ignition = u16(b, 32);
    static const int k[] = {19200, 9600, 4800, 4000, 3200, 2400};
    const double c = ignition <= 5 ? k[ignition] : 4800;
    auto speed = [c](int raw) { return rnd(rnd(c * 800 / (raw ? raw : 1)) / 100.0) * 100; };
    d.switchTemp = 2 * b[0] - 222;
    const int t1 = rnd(u16(b, 1) * 1000 / 244.0);
    d.lowTime = rnd(t1 / 50.0) * 50;
    d.highTime = rnd((u16(b, 3) * 1000 / 244.0 - t1) / 50.0) * 50;
    d.tpsHundredths = b[5] * 5;
    d.switchRpm = speed(u16(b, 6));
    d.flags = b[8];
    d.lambdaHundredths = rnd(rnd(b[9] * 500 / 255.0) / 5.0) * 5;
    d.stepMin = 255 - b[10];
    d.stepMax = 255 - b[11];
    d.stepStart = 255 - b[12];
    d.maxGasOff = u16(b, 13) == 1;
    d.maxGasRpm = d.maxGasOff ? 5000 : speed(u16(b, 13) ? u16(b, 13) : 2);
    d.switchDelay = rnd(u16(b, 15) * 512 * 0.008 * 0.1) * 10;
    const int bb = rnd(800.0 / d.switchRpm * c);
    d.rpmDelta = rnd((d.switchRpm - rnd(c * 800 / (u16(b, 17) + bb))) / 100.0) * 100;
    d.cutoffRpm = speed(u16(b, 19));
    d.cutoffStep = 255 - b[21];
    d.startDelay = rnd(b[22] * 0.2);
    d.stepOpening = b[27];
    d.belowTps = rnd(25 - u16(b, 28) / 2650.0);
    d.aboveTps = rnd(25 - u16(b, 34) / 2650.0);
    const bool inv = b[8] & 0x02;
    d.probeKind = b[31] == 0 ? (inv ? 2 : 1) : b[31] == 1 ? (inv ? 4 : 0) : b[31] == 2 ? 3 : 0;
    d.ignition = ignition;
    return d;
}

// The program's full write of the default parameters, constant 4800 (flags all clear).
inline Bytes defaultWriteSequence() {
    return {0xAA, 0x1E, 0x01, 0x0B, 0x00, 0x0F, 25,   0x08, 0x80, 0x07, 0x07, 25,   0x14, 0x25, 0x02,
            0x0B, 0x00, 0x16, 0x80, 0x02, 0x12, 245,  55,   0x13, 155,  0x06, 0x7A, 0x00, 0xF4, 0x00,
            0x1A, 0x7A, 0x00, 0xF4, 0x00, 0x19, 5,    0x0B, 0x00, 0x17, 225,  0x18, 0x00, 0x0A, 0x1B,
            30,   0x0B, 0x00, 0x20, 0xBC, 0xE3, 0x1C, 0xAE, 0xC4, 0x15, 24,   0x00, 0x0B, 0x00, 0x0B,
            0x00, 0x0B, 0x00, 0x0B, 0x00, 0x05, 111,  0xAA, 0x23, 1,    0x0A};
}

// Runs the model for `ms` from `t`, polling every 50 ms like the live page; returns the frames.
inline std::vector<Bytes> run(ControllerModel& m, double& t, double ms) {
    std::vector<Bytes> frames;
    for (const double end = t + ms; t < end; t += 50)
        frames.push_back(m.receive(0x02, t));
    return frames;
}

inline int framePeriod(const Bytes& f) {
    return f[4] | (f[5] << 8);
}
inline int frameStepper(const Bytes& f) {
    return 255 - f[6];
}

} // namespace

class TestSim : public QObject {
    Q_OBJECT

private slots:
    void defaultBlockBytes();
    void defaultBlockDecodesToDefaults_data();
    void defaultBlockDecodesToDefaults();
    void writeCommandsReadBack_data();
    void writeCommandsReadBack();
    void defaultWriteLeavesInitialBlock();
    void fullWriteOfOtherValues();
    void valueBytesThatLookLikeCommands();
    void thresholdAndClosingByte();
    void ignitionWrite();
    void unknownBytesIgnored();
    void incompleteCommandExpires();

    void liveFrameLayout_data();
    void liveFrameLayout();
    void gasLevelBySensorKind();
    void idleAndThrottle();
    void periodThroughTrueIgnition();
    void petrolUntilSwitchOver();
    void switchOverWaitsForStartDelayAndTemperature();
    void lambdaSwingsOnGas();
    void temperatureWarmsUp();

    void faults();
    void commandLine();

    void ptyEndToEnd();
    void ptyPacingAndDelay();
    void ptyLongRunKeepsBoundedHistory();
    void unplugAndReplugAtStablePath();
    void executable();
};
