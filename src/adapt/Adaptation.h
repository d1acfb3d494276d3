#pragma once
// The wizard's arithmetic and the bytes it sends, as pure functions: what the
// steps derive from their measurements, the adaptation set-up that puts the
// controller into a known state before the gas path is calibrated, and the
// final write of the learnt values.
#include <cstdint>
#include <optional>
#include <vector>

namespace adapt {

using Bytes = std::vector<std::uint8_t>;

// num / den to the nearest integer, ties to even; den must not be 0.
long long roundRatio(long long num, long long den);

// Step 2: the TPS threshold lies one tenth of the way from the idle reading
// towards the speed reading. The direction is "rising" when the readings do
// not move.
struct TpsThreshold {
    int threshold;
    int directionFlag; // 1 rising, 0 falling
    int directionByte; // 250 rising, 0 falling
    bool operator==(const TpsThreshold&) const = default;
};
TpsThreshold tpsThreshold(int idleReading, int speedReading);

// Step 3: probe scale 16.7 (1 V mode) or 3.9 (5 V mode), held in tenths.
constexpr int ScaleOneVolt = 167;
constexpr int ScaleFiveVolt = 39;
struct ProbeValues {
    int lean;
    int rich;
    int threshold;
    bool operator==(const ProbeValues&) const = default;
};
// From the bar's lowest and highest marker positions (per mille).
ProbeValues probeValues(int lowestPosition, int highestPosition, int scaleTenths);

// Step 8: stepper limits from the markers' per mille positions over 0..255.
// L := round(pmin / 3.92 x 0.97), limited to 0..255.
int stepperLower(int lowestPosition);
// U := round(pmax / 3.92 x 1.2); S := round((U - L) x 0.6) + L with U not yet
// limited; then both limited to 0..255.
struct UpperStart {
    int upper;
    int start;
    bool operator==(const UpperStart&) const = default;
};
UpperStart stepperUpperStart(int highestPosition, int lower);
// Lambda time in ms from a list of run lengths in 100 ms ticks: with n runs,
// n > 1, the sum of all but the last divided by n, x 100 x 0.85; otherwise
// the time stays as it was.
int lambdaTime(const std::vector<int>& runs, int previous);

// round(ms x 0.244), the controller's time unit, as the configuration tool
// computes it: ms x 244 x 0.001 with 0.001 and the product held to a 64-bit
// significand, so a few exact ties (375 ms, 875 ms ...) fall to the lower
// integer while the others go to even.
int lambdaTimeUnits(int ms);
// 0x06 with T1 and T1 + T2 in controller units; both times are taken as 700
// when T1 > 4000 or T1 + T2 > 4000 (or either is negative).
Bytes lambdaTimesCommand(int t1, int t2);
// 0x1E with the probe kind code that fits the rich value; none for 84..128.
std::optional<Bytes> probeKindCommand(int rich);

// The car's description on the wizard's pages 4 and 5.
enum class Gearbox { Manual, Automatic };                               // "Ręczna", "Automatyczna"
enum class Capacity { Below1, From1To15, From15To2, From2To3, Above3 }; // "<1 L" ... "> 3 L"
enum class Manifold { Metal, Plastic };                                 // "Metal", "Tworzywo"
enum class ReserveSensor { Sensor20k, Sensor90R };                      // "20k", "90R"
// The stepper opening the car's description calls for.
int stepOpening(Capacity capacity, Manifold manifold);

// A group of commands and the flags byte the controller holds after it.
struct CommandGroup {
    std::vector<Bytes> commands;
    std::optional<std::uint8_t> flags;
    Bytes bytes() const; // every command, in order
};

// The adaptation set-up sent on entering the switch-over and stepper steps.
struct SetupInputs {
    int ignitionConstant = 4800;
    int rich = 0;
    int probeThreshold = 0;
    int tpsDirectionFlag = 1;
    int tpsToWrite = 250;
    Gearbox gearbox = Gearbox::Manual;
    ReserveSensor reserve = ReserveSensor::Sensor20k;
    int lower = 0;
    int upper = 0;
    int start = 0;
    int t1 = 800;
    int t2 = 800;
    // The flags byte the controller holds; unknown means no flags command at
    // all, since any byte sent would overwrite bits the program does not manage.
    std::optional<std::uint8_t> flags;
};
CommandGroup adaptationSetup(const SetupInputs& in);

// The final write of the learnt values when the wizard finishes.
struct FinalInputs {
    int tpsThreshold = 0;
    int lower = 0;
    int upper = 0;
    int start = 0;
    int t1 = 800;
    int t2 = 800;
    Capacity capacity = Capacity::From15To2;
    Manifold manifold = Manifold::Metal;
    bool temperatureSensor = false;
    int versionCode = 0;
    std::optional<std::uint8_t> flags;
};
CommandGroup finalWrite(const FinalInputs& in);

} // namespace adapt
