#pragma once
#include "link/Controller.h"
#include "params/ParameterSet.h"

#include <cstdint>

// Probe kind 0..4 from block byte 31 and bit 1 (inversion) of the flags byte.
int probeKindOf(std::uint8_t byte31, std::uint8_t flags);

// Engine speed of a period value, rounded to 100 rpm: the speed texts of the block.
int speedOfPeriod(int ignitionConstant, int period);

// Decodes a 37-byte parameter block into every parameter it carries, with the
// fallbacks that keep out-of-range values inside their fields. The engine
// speeds are converted with ignitionConstant. AnalogThreshold is not in the
// block and is left as it is. MaxGasRpmOff is "1" when the block holds the
// off value (period 1), the same sense the check box and the files use.
void decodeParameterBlock(const ParameterBlock& b, int ignitionConstant, ParameterSet& set);

// Reads the block from the controller and decodes it with the ignition
// constant the read has just set; AnalogThreshold gets the threshold read with
// it. When no whole block arrived or it was rejected, returns false and leaves
// the set untouched.
bool readParameters(Controller& c, ParameterSet& set);
