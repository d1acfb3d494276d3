#pragma once
// Which fields of a parameter block the parameters page cannot show as the
// controller holds them. A field is marked when its value is replaced by the
// decoding's fallback, lies outside the field's range, or would go back to
// the controller as other bytes than the block holds (or not at all) if the
// page were written unchanged. Unmarked fields survive read and write byte
// for byte. Pure: the page decides how to show the marks.
#include "link/Controller.h"
#include "params/ParameterSet.h"

#include <QString>
#include <vector>

struct FieldMark {
    enum Reason : unsigned {
        Fallback = 1,   // the text is the decoding's fallback, not the controller's value
        OutOfRange = 2, // the text lies outside the field's range
        Changed = 4,    // an unchanged write sends other bytes than the block holds
        NotWritten = 8, // an unchanged write sends nothing for it (a check of the write fails)
    };
    ParamId id;
    unsigned reasons; // Reason bits
    // For the page, in the language of the process's texts: the field's
    // caption, the block bytes (or bit) and raw value the controller holds,
    // what they mean and what the page and a write would make of them.
    QString message;
};

// The marks of a block decoded with the ignition constant for a controller of
// the version code (bit 3 of the flags byte cannot be kept on version 3), in
// ParamId order, one per marked field. LambdaBosch is marked when it is
// checked while a lambda time is marked; MaxGasRpmOff, TpsKind, RpmKind,
// CutoffOn, ControllerMode and ReserveSensorKind are never marked.
std::vector<FieldMark> fidelityMarks(const ParameterBlock& block, int ignitionConstant, int versionCode,
                                     const ParamWords& words = {});

// A value a full write sends that the controller would not give back: the
// block after the write decodes to something else than the set holds.
struct UnreturnedValue {
    ParamId id;
    QString value;    // as the set holds it
    QString readBack; // what the page would show after the write and a read
};

// The other direction: every value of the set that the full write (with the
// ignition constant, for a controller of the version code) sends but that
// decodes back from the written bytes to another value than the set holds,
// beyond the rounding the decoding itself does (engine speeds to 100 rpm,
// lambda times to 50 ms, volts to 5 hundredths, the switch delay to 10 ms,
// temperatures to 2 degrees). Such a value does not fit its bytes (it would
// go out as their low bits) or lies outside what the decoding accepts.
// Values the write does not send, the flag bits and the analog threshold
// (not in the block) are not looked at. Pure.
std::vector<UnreturnedValue> unreturnedValues(const ParameterSet& set, int ignitionConstant, int versionCode);

// The mark of one field, nullptr when it is faithful.
const FieldMark* markOf(const std::vector<FieldMark>& marks, ParamId id);
