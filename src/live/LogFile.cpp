#include "live/LogFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace live {

namespace {
constexpr LogFieldInfo Fields[LogFieldCount] = {
    {"time", "ms"},
    {"lambda", "V"},
    {"lambda_raw", ""},
    {"tps", "V"},
    {"tps_raw", ""},
    {"rpm", "rpm"},
    {"rpm_shown", "rpm"},
    {"stepper", "steps"},
    {"temperature", "\xC2\xB0"
                    "C"},
    {"temperature_raw", ""},
    {"gas", "%"},
    {"gas_low", ""},
    {"petrol", ""},
    {"lambda_trace", "%"},
    {"tps_trace", "%"},
    {"rpm_trace", "%"},
    {"stepper_trace", "%"},
    {"whole", ""},
    {"frame", "hex"},
};

// Formatting happens on the recorder's writer thread for every frame: no
// temporary strings.
void appendInt(QByteArray& out, qint64 v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr - buf);
}

void appendOptional(QByteArray& out, const std::optional<int>& v) {
    if (v) appendInt(out, *v);
}

void appendHex(QByteArray& out, const QByteArray& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (i > 0) out.append(' ');
        out.append(digits[b >> 4]);
        out.append(digits[b & 15]);
    }
}

void appendRow(QByteArray& out, const LogRow& row, char sep) {
    appendInt(out, row.timeMs);
    out.append(sep);
    if (const std::optional<Readings>& r = row.readings) {
        out.append(r->lambdaVolts.toLatin1()).append(sep);
        appendInt(out, r->lambdaRaw);
        out.append(sep).append(r->tpsVolts.toLatin1()).append(sep);
        appendInt(out, r->tpsRaw);
        out.append(sep);
        appendOptional(out, r->speed);
        out.append(sep);
        appendOptional(out, r->speedPanel);
        out.append(sep);
        appendInt(out, r->stepper);
        out.append(sep);
        appendOptional(out, r->temperature);
        out.append(sep);
        appendOptional(out, r->temperatureRaw);
        out.append(sep);
        if (r->gas) appendInt(out, r->gas->percent);
        out.append(sep);
        if (r->gas) appendInt(out, r->gas->low ? 1 : 0);
        out.append(sep);
        appendInt(out, r->petrol ? 1 : 0);
        out.append(sep);
        appendInt(out, r->lambdaTrace);
        out.append(sep);
        appendInt(out, r->tpsTrace);
        out.append(sep);
        appendOptional(out, r->speedTrace);
        out.append(sep);
        appendInt(out, r->stepperTrace);
    } else {
        // Every reading cell empty: a frame that was not decoded.
        out.append(QByteArray(int(LogField::StepperTrace) - int(LogField::Lambda), sep));
    }
    out.append(sep);
    out.append(row.whole ? '1' : '0');
    out.append(sep);
    appendHex(out, row.frame);
    out.append('\n');
}

double cell(const LogData& log, int column, int row) {
    return column < 0 ? NAN : double(log.columns[column].values[row]);
}

std::optional<int> intCell(const LogData& log, LogField f, int row) {
    const double v = cell(log, log.column(f), row);
    if (!std::isfinite(v) || std::abs(v) > 1e9) return std::nullopt;
    return int(std::lround(v));
}
} // namespace

LogFieldInfo logFieldInfo(LogField f) {
    return Fields[std::clamp(int(f), 0, LogFieldCount - 1)];
}

QByteArray csvHeader() {
    QByteArray h;
    for (int i = 0; i < LogFieldCount; ++i) {
        if (i > 0) h.append(',');
        h.append(Fields[i].name);
        if (*Fields[i].unit) h.append(" [").append(Fields[i].unit).append(']');
    }
    return h.append('\n');
}

QByteArray mslHeader(const QString& title) {
    QByteArray h = title.simplified().toUtf8();
    h.append('\n');
    for (int i = 0; i < LogFieldCount; ++i)
        h.append(i > 0 ? "\t" : "").append(Fields[i].name);
    h.append('\n');
    for (int i = 0; i < LogFieldCount; ++i)
        h.append(i > 0 ? "\t" : "").append(Fields[i].unit);
    return h.append('\n');
}

void appendCsvRow(QByteArray& out, const LogRow& row) {
    appendRow(out, row, ',');
}

void appendMslRow(QByteArray& out, const LogRow& row) {
    appendRow(out, row, '\t');
}

int LogData::column(LogField f) const {
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].field == f) return i;
    return -1;
}

int LogData::column(const QString& name) const {
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].name == name) return i;
    return -1;
}

QByteArray LogData::frame(int row) const {
    if (!hasFrames || row < 0 || row + 1 >= frameStart.size()) return {};
    return frameBytes.mid(frameStart[row], frameStart[row + 1] - frameStart[row]);
}

int LogData::rowAtOrBefore(qint64 ms) const {
    return int(std::upper_bound(timeMs.begin(), timeMs.end(), ms) - timeMs.begin()) - 1;
}

int LogData::firstRowFrom(qint64 ms) const {
    return int(std::lower_bound(timeMs.begin(), timeMs.end(), ms) - timeMs.begin());
}

std::optional<Readings> readingsOf(const LogData& log, int row, int probeKind) {
    if (row < 0 || row >= log.rows()) return std::nullopt;
    auto value = [&](LogField f) { return cell(log, log.column(f), row); };
    const double lambdaV = value(LogField::Lambda);
    const double tpsV = value(LogField::Tps);
    std::optional<int> lambdaRaw = intCell(log, LogField::LambdaRaw, row);
    std::optional<int> tpsRaw = intCell(log, LogField::TpsRaw, row);
    const std::optional<int> stepper = intCell(log, LogField::Stepper, row);
    if (!lambdaRaw && std::isfinite(lambdaV)) lambdaRaw = int(std::lround(lambdaV * 51.0));
    if (!tpsRaw && std::isfinite(tpsV)) tpsRaw = int(std::lround(tpsV * 20.0));
    if (!lambdaRaw && !tpsRaw && !stepper) return std::nullopt;

    Readings r;
    r.lambdaRaw = std::clamp(lambdaRaw.value_or(0), 0, 255);
    r.lambdaVolts = lambdaVoltsText(r.lambdaRaw);
    r.lambdaTrace = intCell(log, LogField::LambdaTrace, row)
                        .value_or(lambdaTrace(lambdaChartValue(probeKind, r.lambdaRaw)));
    r.tpsRaw = std::clamp(tpsRaw.value_or(0), 0, 255);
    r.tpsVolts = tpsVoltsText(r.tpsRaw);
    r.tpsTrace = intCell(log, LogField::TpsTrace, row).value_or(tpsTrace(r.tpsRaw));
    r.temperature = intCell(log, LogField::Temperature, row);
    r.temperatureRaw = intCell(log, LogField::TemperatureRaw, row);
    if (const std::optional<int> gas = intCell(log, LogField::Gas, row))
        r.gas = GasLevel{*gas, intCell(log, LogField::GasLow, row).value_or(0) != 0};
    r.speedPanel = intCell(log, LogField::RpmShown, row);
    r.speed = intCell(log, LogField::Rpm, row);
    if (!r.speed) r.speed = r.speedPanel;
    if (r.speed) {
        r.speedTrace = intCell(log, LogField::RpmTrace, row).value_or(speedTrace(*r.speed));
        if (!r.speedPanel) r.speedPanel = speedDisplay(*r.speed);
    }
    r.stepper = std::clamp(stepper.value_or(0), 0, 255);
    r.stepperTrace = intCell(log, LogField::StepperTrace, row).value_or(stepperTrace(r.stepper));
    const std::optional<int> petrol = intCell(log, LogField::Petrol, row);
    r.petrol = petrol ? *petrol != 0 : r.stepper == 0;
    return r;
}

} // namespace live
