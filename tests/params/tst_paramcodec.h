#pragma once
// Parameter table, volts texts, whole-number conversion, block decoding and
// the write encodings, against the worked numbers of the controller protocol.
#include "link/Controller.h"
#include "link/SerialChannel.h"
#include "params/BlockCodec.h"
#include "params/Encoding.h"
#include "params/ParamTable.h"
#include "params/Volts.h"
#include "support/FakeLink.h"
#include "support/ParamBlocks.h"

#include <QSet>
#include <QTest>

namespace {

inline ParameterBlock defaultBlock() {
    return defaultParameterBlock();
}

// "Edit3=abc" edits of the default set, by control name.
inline ParameterSet edited(const QStringList& edits) {
    ParameterSet s = defaultParameterSet();
    for (const QString& e : edits) {
        const int eq = e.indexOf(QLatin1Char('='));
        const ParamDef* d = paramByControl(e.left(eq));
        if (!d) qFatal("unknown control in test data: %s", qPrintable(e));
        s[d->id] = e.mid(eq + 1);
    }
    return s;
}

inline QByteArray bytesOf(const std::vector<std::uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

inline QStringList messagesOf(const WriteCommand& c) {
    QStringList out;
    for (const WriteMessage& m : c.messages)
        out << m.caption + QStringLiteral(": ") + m.text;
    return out;
}

inline WriteCommand encodeByCommand(int cmd, const ParameterSet& s, int constant) {
    switch (cmd) {
    case 0x1E:
        return encodeProbeKind(s);
    case 0x0F:
        return encodeLambdaThreshold(s);
    case 0x08:
        return encodeSwitchRpm(s, constant);
    case 0x07:
        return encodeTpsThreshold(s);
    case 0x14:
        return encodeMaxGasRpm(s, constant);
    case 0x16:
        return encodeRpmDelta(s, constant);
    case 0x12:
        return encodeStepLimits(s);
    case 0x13:
        return encodeStepStart(s);
    case 0x06:
        return encodeLambdaTimes(s);
    case 0x1A:
        return encodeSecondLambdaPair();
    case 0x19:
        return encodeStartDelay(s);
    case 0x17:
        return encodeCutoffStep(s);
    case 0x18:
        return encodeCutoffRpm(s, constant);
    case 0x1B:
        return encodeStepOpening(s);
    case 0x20:
        return encodeStepSpeedAboveTps(s);
    case 0x1C:
        return encodeStepSpeedBelowTps(s);
    case 0x15:
        return encodeSwitchDelay(s);
    case 0x05:
        return encodeSwitchTemp(s);
    }
    qFatal("no encoder for command %x", cmd);
}

const QString Err = QStringLiteral("Błąd: ");

} // namespace

class TestParamCodec : public QObject {
    Q_OBJECT
private slots:
    void table();
    void defaults();
    void voltsTexts_data();
    void voltsTexts();
    void voltsRead_data();
    void voltsRead();
    void wholeNumbers_data();
    void wholeNumbers();
    void decodeDefaultBlock();
    void decodeRows_data();
    void decodeRows();
    void decodeLeavesAnalogThreshold();
    void readAcceptsAndRejects_data();
    void readAcceptsAndRejects();
    void encode_data();
    void encode();
    void tieRoundings_data();
    void tieRoundings();
    void flags_data();
    void flags();
    void invalidFieldText();
    void roundTrips_data();
    void roundTrips();
};
