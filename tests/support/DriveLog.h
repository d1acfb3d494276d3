#pragma once
// A drive as the live page receives and decodes it, for the log tests: petrol
// for the first third, then gas; every eleventh frame arrives cut short and is
// not decoded. Header only.
#include "live/LogFile.h"
#include "live/PeriodFilter.h"

#include <QStringList>

inline QVector<live::LogRow> sampleDrive(int rows, qint64 startMs = 1000, int stepMs = 50) {
    live::FrameContext ctx;
    ctx.temperatureCapable = true;
    ctx.ignitionConstant = 4800;
    PeriodFilter filter;
    QVector<live::LogRow> out;
    for (int i = 0; i < rows; ++i) {
        const int period = 1200 + (i * 97) % 900;
        std::array<std::uint8_t, 7> f{std::uint8_t(10 + (i * 37) % 200),
                                      std::uint8_t((i * 13) % 240),
                                      std::uint8_t(140 + i % 20),
                                      std::uint8_t(60 + i % 3),
                                      std::uint8_t(period & 0xFF),
                                      std::uint8_t(period >> 8),
                                      std::uint8_t(i < rows / 3 ? 255 : 255 - (40 + i % 50))};
        live::LogRow r;
        r.timeMs = startMs + qint64(i) * stepMs;
        r.whole = i % 11 != 5;
        QByteArray bytes(reinterpret_cast<const char*>(f.data()), 7);
        bytes.append('\x5A').append('\0'); // a nine-byte frame: two more bytes after the readings
        r.frame = r.whole ? bytes : bytes.left(4);
        if (r.whole) r.readings = live::decodeFrame(f, filter.push(live::enginePeriod(f[4], f[5])), ctx);
        out.append(r);
    }
    return out;
}

// Every field of the readings, to compare two of them with a readable failure.
inline QString describe(const std::optional<live::Readings>& r) {
    if (!r) return QStringLiteral("none");
    auto opt = [](const std::optional<int>& v) { return v ? QString::number(*v) : QStringLiteral("-"); };
    return QStringList{QString::number(r->lambdaRaw),
                       r->lambdaVolts,
                       QString::number(r->lambdaTrace),
                       QString::number(r->tpsRaw),
                       r->tpsVolts,
                       QString::number(r->tpsTrace),
                       opt(r->temperatureRaw),
                       opt(r->temperature),
                       r->gas ? QStringLiteral("%1/%2").arg(r->gas->percent).arg(r->gas->low)
                              : QStringLiteral("-"),
                       opt(r->speed),
                       opt(r->speedTrace),
                       opt(r->speedPanel),
                       QString::number(r->stepper),
                       QString::number(r->stepperTrace),
                       QString::number(r->petrol)}
        .join(QLatin1Char(' '));
}
