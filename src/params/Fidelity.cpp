#include "params/Fidelity.h"

#include "core/Numeric.h"
#include "core/SystemTexts.h"
#include "params/BlockCodec.h"
#include "params/BlockCommands.h"
#include "params/ParamTable.h"
#include "params/Volts.h"
#include "params/WriteSequence.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

namespace st = systemtext;

// Hundredths of a volt in full, also past 9,99 V: 1005 -> "10,05".
QString fullVolts(long long h) {
    return QStringLiteral("%1,%2").arg(h / 100).arg(h % 100, 2, 10, QLatin1Char('0'));
}

int blockNumber(const ParameterBlock& b, int at, int width) {
    const int lo = b[static_cast<std::size_t>(at)];
    return width == 2 ? lo + 256 * b[static_cast<std::size_t>(at + 1)] : lo;
}

QString whereInBlock(const WireFacts& w) {
    if (w.width == 0) return st::text(st::MarkBit).arg(w.flagBit).arg(FlagsByte);
    if (w.width == 1) return st::text(st::MarkByte).arg(w.blockByte);
    return st::text(st::MarkBytes).arg(w.blockByte).arg(w.blockByte + 1);
}

// What the controller's value means, unrounded where the decoding rounds, so
// that the message says what a rounded text hides.
QString quoted(const QString& text) {
    return st::text(st::MarkQuoted).arg(text);
}

QString caption(const ParamWords& words, const ParamDef& d) {
    return quoted(captionIn(words, d));
}

QString item(const ParamWords& words, const ParamDef& d, int i) {
    return quoted(itemIn(words, d, i));
}

QString meaning(const ParamDef& d, const BlockValue& v, const ParameterBlock& b, int ignitionConstant,
                const ParamWords& words) {
    const long long c800 = 800LL * ignitionConstant;
    auto speed = [&](int zeroCountsAs) {
        const int period = v.raw == 0 ? zeroCountsAs : v.raw;
        return st::text(st::MarkPeriod).arg(roundEven(c800, period));
    };
    auto about = [](const QString& value) { return st::text(st::MarkAbout).arg(value); };
    switch (d.id) {
    case ParamId::SwitchRpm:
    case ParamId::CutoffRpm:
        return speed(1);
    case ParamId::MaxGasRpm:
        return speed(2);
    case ParamId::LambdaLowTime:
        return about(st::text(st::MarkMs).arg(roundEven(v.raw * 250LL, 61)));
    case ParamId::LambdaHighTime:
        return st::text(st::MarkLambdaTimes).arg(roundEven(v.raw * 250LL, 61));
    case ParamId::LambdaThreshold:
        return about(st::text(st::MarkVolts).arg(fullVolts(roundEven(v.raw * 500LL, 255))));
    case ParamId::SwitchDelay:
        return about(st::text(st::MarkMs).arg(roundEven(v.raw * 4096LL, 1000)));
    case ParamId::StartDelay:
        return st::text(st::MarkSeconds).arg(QStringLiteral("%1,%2").arg(v.raw / 5).arg(v.raw % 5 * 2));
    case ParamId::RpmDelta:
        return about(st::text(st::MarkRpm).arg(v.decoded));
    case ParamId::StepSpeedAboveTps:
    case ParamId::StepSpeedBelowTps:
        // 25 - raw / 2650, with two decimals.
        return st::text(st::MarkSlower)
            .arg(QString::number((25.0 * 2650 - v.raw) / 2650, 'f', 2)
                     .replace(QLatin1Char('.'), QLatin1Char(',')));
    case ParamId::ProbeKind:
        if (v.raw > 2) return st::text(st::MarkProbeUnknown);
        if (v.raw == 2 && (b[FlagsByte] >> d.wire.flagBit & 1))
            return st::text(st::MarkProbeInverted).arg(item(words, d, 3));
        return item(words, d, static_cast<int>(v.decoded));
    case ParamId::TempSensorOn:
        return st::text(v.decoded ? st::MarkSensorOn : st::MarkSensorOff);
    default:
        break;
    }
    switch (d.kind) {
    case ParamDef::Volts:
        return st::text(st::MarkVolts).arg(fullVolts(v.decoded));
    case ParamDef::Choice:
        return item(words, d, static_cast<int>(v.decoded));
    case ParamDef::Number:
    case ParamDef::Flag:
        break;
    }
    if (d.unit == QLatin1String("obr/min")) return st::text(st::MarkRpm).arg(v.decoded);
    if (d.unit == QLatin1String("ms")) return st::text(st::MarkMs).arg(v.decoded);
    if (d.unit == QLatin1String("s")) return st::text(st::MarkSeconds).arg(v.decoded);
    return d.unit.isEmpty() ? QString::number(v.decoded)
                            : QString::number(v.decoded) + QLatin1Char(' ') + d.unit;
}

// The number the text shows, nullopt for a text that is not one.
std::optional<long long> shown(const ParamDef& d, const QString& text) {
    if (d.kind == ParamDef::Volts) {
        const int h = voltsHundredths(text);
        return h < 0 ? std::nullopt : std::optional<long long>(h);
    }
    bool ok = false;
    const long long n = text.toLongLong(&ok);
    return ok ? std::optional<long long>(n) : std::nullopt;
}

// The resolution of a parameter's decoded text: a value sent and read back may
// differ by less than this through rounding alone.
long long readBackStep(ParamId id) {
    switch (id) {
    case ParamId::SwitchRpm:
    case ParamId::MaxGasRpm:
    case ParamId::CutoffRpm:
    case ParamId::RpmDelta:
        return 100;
    case ParamId::LambdaLowTime:
    case ParamId::LambdaHighTime:
        return 50;
    case ParamId::LambdaThreshold:
    case ParamId::TpsThreshold:
        return 5;
    case ParamId::SwitchDelay:
        return 10;
    case ParamId::SwitchTemp:
        return 2;
    default:
        return 1;
    }
}

// The delta's bytes decoded against the switch speed the set sends. A read
// decodes it against the switch speed as shown, rounded to 100 rpm; where the
// lower speed is small that rounding is magnified many times, up to past the
// delta's range (its fallback), although the bytes hold the delta well. Those
// are the read's to mark; what counts here is whether the delta fits its bytes.
QString deltaReadBack(const ParameterSet& set, const BlockValue& v, int ignitionConstant) {
    const WholeNumber a = wholeNumber(set[ParamId::SwitchRpm]);
    if (!a.ok() || a.value <= 0) return v.text;
    const long long c800 = 800LL * ignitionConstant;
    const long long periods = v.raw + roundEven(c800, a.value);
    if (periods == 0) return v.text;
    const long long d = roundEven(c800, periods);
    const long long delta = roundEven(a.value - d, 100) * 100;
    const WireFacts& w = paramDef(ParamId::RpmDelta).wire;
    return delta >= w.blockMin && delta <= w.blockMax ? QString::number(delta) : w.fallback;
}

} // namespace

std::vector<UnreturnedValue> unreturnedValues(const ParameterSet& set, int ignitionConstant,
                                              int versionCode) {
    // The bytes the write sends, put into a block as the controller keeps them.
    ParameterBlock b{};
    std::vector<ParamId> sent;
    for (const WriteStep& s : planParameterWrite(set, ignitionConstant, std::uint8_t{0}, versionCode)) {
        if (!s.command.sends()) continue;
        params::applySentBytes(b, s.command.bytes);
        for (ParamId id : parametersOfStep(s.number))
            if (std::find(sent.begin(), sent.end(), id) == sent.end()) sent.push_back(id);
    }
    const bool limitOff = set[ParamId::MaxGasRpmOff] == QLatin1String("1");
    const std::vector<BlockValue> values = blockValues(b, ignitionConstant);
    std::vector<UnreturnedValue> out;
    for (const ParamDef& d : paramTable()) {
        if (std::find(sent.begin(), sent.end(), d.id) == sent.end()) continue;
        // Flag bits go out as the bit they are; the speed limit is not sent while it is off.
        if (d.wire.width == 0 && d.id != ParamId::MaxGasRpmOff) continue;
        if (d.id == ParamId::MaxGasRpm && limitOff) continue;
        const BlockValue& v = values[static_cast<std::size_t>(d.id)];
        const QString back = d.id == ParamId::RpmDelta ? deltaReadBack(set, v, ignitionConstant) : v.text;
        const std::optional<long long> want = shown(d, set[d.id]);
        const std::optional<long long> got = shown(d, back);
        if (want && got && std::abs(*got - *want) < readBackStep(d.id)) continue;
        out.push_back({d.id, set[d.id], back});
    }
    return out;
}

std::vector<FieldMark> fidelityMarks(const ParameterBlock& b, int ignitionConstant, int versionCode,
                                     const ParamWords& words) {
    const std::vector<BlockValue> values = blockValues(b, ignitionConstant);
    ParameterSet set;
    for (const BlockValue& v : values)
        set[v.id] = v.text;

    // What an unchanged write sends: the value bytes of each command, and the
    // flags byte after the last flags command.
    const std::uint8_t flags = b[FlagsByte];
    const std::vector<WriteStep> plan = planParameterWrite(set, ignitionConstant, flags, versionCode);
    std::uint8_t flagsAfter = flags;
    for (const WriteStep& s : plan)
        if (s.command.flags) flagsAfter = *s.command.flags;
    auto sentFor = [&plan](std::uint8_t command) -> const std::vector<std::uint8_t>* {
        for (const WriteStep& s : plan)
            if (s.command.sends() && s.command.bytes[0] == command) return &s.command.bytes;
        return nullptr;
    };

    std::vector<FieldMark> marks;
    const ParamDef& low = paramDef(ParamId::LambdaLowTime);
    const ParamDef& high = paramDef(ParamId::LambdaHighTime);
    auto lambdaMarked = [&marks] {
        return markOf(marks, ParamId::LambdaLowTime) || markOf(marks, ParamId::LambdaHighTime);
    };
    for (const ParamDef& d : paramTable()) {
        const WireFacts& w = d.wire;
        const BlockValue& v = values[static_cast<std::size_t>(d.id)];
        // MaxGasRpmOff is checked exactly for period 1, which goes back as 1;
        // any other period is the speed field's to show.
        if (d.id == ParamId::MaxGasRpmOff || d.id == ParamId::AnalogThreshold) continue;
        if (d.id == ParamId::LambdaBosch) {
            if (v.text == QLatin1String("1") && lambdaMarked())
                marks.push_back({d.id, FieldMark::Changed,
                                 st::text(st::MarkOf)
                                     .arg(caption(words, d),
                                          st::text(st::MarkNoLambdaTimes)
                                              .arg(whereInBlock(low.wire))
                                              .arg(blockNumber(b, low.wire.blockByte, low.wire.width))
                                              .arg(whereInBlock(high.wire))
                                              .arg(blockNumber(b, high.wire.blockByte, high.wire.width)))});
            continue;
        }

        unsigned reasons = 0;
        QStringList notes;
        if (v.fallback) {
            reasons |= FieldMark::Fallback;
            notes << st::text(st::MarkFallback).arg(quoted(v.text));
        }
        if (d.kind == ParamDef::Number || d.kind == ParamDef::Volts) {
            const std::optional<long long> n = shown(d, v.text);
            if (!n || *n < d.min || *n > d.max) {
                reasons |= FieldMark::OutOfRange;
                notes << st::text(st::MarkOutOfRange).arg(quoted(v.text), d.lowerText(), d.upperText());
            } else if (!v.fallback && d.kind == ParamDef::Volts && *n != v.decoded) {
                notes << st::text(st::MarkShows).arg(quoted(v.text));
            }
        }
        if (w.width > 0) {
            const std::vector<std::uint8_t>* sent = sentFor(w.command);
            if (!sent) {
                reasons |= FieldMark::NotWritten;
                notes << st::text(st::MarkNotWritten);
            } else {
                const int held = blockNumber(b, w.blockByte, w.width);
                const int at = 1 + w.valueOffset;
                const int out = w.width == 2 ? (*sent)[at] + 256 * (*sent)[at + 1] : (*sent)[at];
                if (out != held) {
                    reasons |= FieldMark::Changed;
                    notes << st::text(st::MarkWriteSends).arg(out);
                }
            }
        }
        if (w.flagBit >= 0 && ((flagsAfter ^ flags) >> w.flagBit & 1)) {
            reasons |= FieldMark::Changed;
            notes << st::text(st::MarkWriteSetsBit)
                         .arg(w.flagBit)
                         .arg(FlagsByte)
                         .arg(flagsAfter >> w.flagBit & 1);
        }
        if (!reasons) continue;

        // ProbeKind has both a byte and a bit.
        QStringList where;
        if (w.width > 0)
            where << QStringLiteral("%1 = %2").arg(whereInBlock(w)).arg(blockNumber(b, w.blockByte, w.width));
        if (w.flagBit >= 0)
            where << QStringLiteral("%1 = %2")
                         .arg(whereInBlock({.blockByte = FlagsByte, .flagBit = w.flagBit}))
                         .arg(flags >> w.flagBit & 1);
        QString held = where.join(QStringLiteral(", "));
        const QString means = meaning(d, v, b, ignitionConstant, words);
        if (means != QString::number(v.raw)) held += QStringLiteral(" (") + means + QLatin1Char(')');
        marks.push_back({d.id, reasons,
                         st::text(st::MarkOf)
                             .arg(caption(words, d),
                                  st::text(st::MarkHeld).arg(held, notes.join(QStringLiteral("; "))))});
    }
    return marks;
}

const FieldMark* markOf(const std::vector<FieldMark>& marks, ParamId id) {
    for (const FieldMark& m : marks)
        if (m.id == id) return &m;
    return nullptr;
}
