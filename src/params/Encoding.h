#pragma once
#include "params/ParameterSet.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// The write commands of the parameter set, one pure function each, so that the
// full write and the wizard's single calibration writes share them. Each
// returns the bytes to send (command byte first) and the messages a failed
// check shows; a command whose condition fails has no bytes.

// Whole numbers are converted exactly: optional sign and decimal digits, no
// spaces, no separators; "" is Empty, "1,5", " 12" or "abc" are Bad.
struct WholeNumber {
    enum State { Ok, Empty, Bad } state;
    int value; // 0 unless Ok
    bool ok() const { return state == Ok; }
};
WholeNumber wholeNumber(const QString& text);

struct WriteMessage {
    QString text;
    QString caption;
    bool operator==(const WriteMessage& o) const { return text == o.text && caption == o.caption; }
};

struct WriteCommand {
    std::vector<std::uint8_t> bytes;    // empty: nothing is sent
    std::vector<WriteMessage> messages; // shown, in order, before the bytes go out
    std::optional<std::uint8_t> flags;  // flags commands: the held flags byte after it
    bool sends() const { return !bytes.empty(); }
};

// Messages of the checks.
namespace WriteText {
QString invalidData();    // "Niepoprawne dane"
QString lambdaRange();    // the two-line lambda time limits text
QString badValue();       // "Błędna dana"
QString speedRange();     // "Prędkość w granicach 1...24"
QString errorCaption();   // "Błąd"
QString italianCaption(); // "Errore"
// A text the command cannot convert: names the field, the command is skipped.
WriteMessage invalidField(ParamId id, const QString& text);
} // namespace WriteText

// Controller period of an engine speed: round(constant x 800 / speed). speed must not be 0.
long long periodOfSpeed(int ignitionConstant, int speed);
// Command byte then the low and high byte of value's low 16 bits.
std::vector<std::uint8_t> command16(std::uint8_t cmd, long long value);

WriteCommand encodeProbeKind(const ParameterSet& s);               // 0x1E
WriteCommand encodeLambdaThreshold(const ParameterSet& s);         // 0x0F
WriteCommand encodeSwitchRpm(const ParameterSet& s, int constant); // 0x08
WriteCommand encodeTpsThreshold(const ParameterSet& s);            // 0x07
WriteCommand encodeMaxGasRpm(const ParameterSet& s, int constant); // 0x14
WriteCommand encodeRpmDelta(const ParameterSet& s, int constant);  // 0x16
WriteCommand encodeStepLimits(const ParameterSet& s);              // 0x12
WriteCommand encodeStepStart(const ParameterSet& s);               // 0x13
WriteCommand encodeLambdaTimes(const ParameterSet& s);             // 0x06
WriteCommand encodeSecondLambdaPair();                             // 0x1A
WriteCommand encodeStartDelay(const ParameterSet& s);              // 0x19
WriteCommand encodeCutoffStep(const ParameterSet& s);              // 0x17
WriteCommand encodeCutoffRpm(const ParameterSet& s, int constant); // 0x18
WriteCommand encodeStepOpening(const ParameterSet& s);             // 0x1B
WriteCommand encodeStepSpeedAboveTps(const ParameterSet& s);       // 0x20
WriteCommand encodeStepSpeedBelowTps(const ParameterSet& s);       // 0x1C
WriteCommand encodeSwitchDelay(const ParameterSet& s);             // 0x15
WriteCommand encodeSwitchTemp(const ParameterSet& s);              // 0x05

// The flags byte (command 0x0B) with one parameter's bit updated.
enum class FlagBit {
    ProbeInversion, // bit 1 := ProbeKind is 2 or 4 (always sent)
    TpsKind,        // bit 0
    RpmKind,        // bit 2
    TempSensor,     // bit 3, forced to 0 on version code 3; sent twice
    CutoffOn,       // bit 4
    ControllerMode, // bit 6
    ReserveSensor,  // bit 7 := ReserveSensorKind is 0
};
// Nothing is sent (and the flags stay) when the parameter's text is neither "0" nor "1".
WriteCommand encodeFlags(const ParameterSet& s, FlagBit which, std::uint8_t flags, int versionCode);
