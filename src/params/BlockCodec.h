#pragma once
#include "link/Controller.h"
#include "params/ParameterSet.h"

#include <QString>
#include <cstdint>
#include <vector>

// Probe kind 0..4 from block byte 31 and bit 1 (inversion) of the flags byte.
int probeKindOf(std::uint8_t byte31, std::uint8_t flags);

// Engine speed of a period value, rounded to 100 rpm: the speed texts of the block.
int speedOfPeriod(int ignitionConstant, int period);

// One parameter as the block carries it: the raw number in its bytes, what
// the controller's formula makes of it and the text the set gets. The text
// differs from the decoded value when the value lies outside the range the
// block decoding accepts (the fallback is taken) or does not fit its text
// (volts of 10 V and more).
struct BlockValue {
    ParamId id;
    int raw;           // the byte, the 16-bit value, or the flags byte for flags
    long long decoded; // speeds in rpm, times in ms, volts in hundredths, choices as index
    QString text;
    bool fallback = false;
};

// Every parameter the block carries, in ParamId order. LambdaBosch has no raw
// of its own (raw 0, decoded 1 when both lambda times read 0). The speeds are
// converted with ignitionConstant.
std::vector<BlockValue> blockValues(const ParameterBlock& b, int ignitionConstant);

// Decodes a 37-byte parameter block into every parameter it carries, with the
// fallbacks that keep out-of-range values inside their fields. The engine
// speeds are converted with ignitionConstant. AnalogThreshold is not in the
// block and is left as it is. MaxGasRpmOff is "1" when the block holds the
// off value (period 1), the same sense the check box and the files use.
void decodeParameterBlock(const ParameterBlock& b, int ignitionConstant, ParameterSet& set);

// Reads the block from the controller and decodes it with the ignition
// constant the read has just set; AnalogThreshold gets the threshold read with
// it. When no whole block arrived or it was rejected, returns false and leaves
// the set untouched. The block read is stored in *block when one is given.
bool readParameters(Controller& c, ParameterSet& set, ParameterBlock* block = nullptr);
