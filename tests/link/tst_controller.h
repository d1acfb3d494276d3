#pragma once
#include "LinkRig.h"

#include <QtTest>

namespace {

// A block with the ignition value at bytes 32-33 and recognisable other bytes.
inline QByteArray block(int ignitionLo, int ignitionHi, quint8 flags = 0x00, quint8 byte31 = 1) {
    QByteArray b(37, '\0');
    for (int i = 0; i < 37; ++i)
        b[i] = char(0x40 + i);
    b[8] = char(flags);
    b[31] = char(byte31);
    b[32] = char(ignitionLo);
    b[33] = char(ignitionHi);
    return b;
}

// A controller that answers every request at once.
struct Answers {
    QByteArray version = QByteArray("\x06\x00\x00\x00\x00\x00\x00\x00", 8);
    QByteArray frame = QByteArray("\x10\x20\x30\x40\x50\x60\x70\x80\x00", 9);
    QByteArray blk = block(2, 0);
    QByteArray threshold = QByteArray("\x00\x78", 2);
    bool afterPrefix = false;
    QByteArray operator()(std::uint8_t b) {
        const bool prefixed = afterPrefix;
        afterPrefix = b == 0xAA;
        if (prefixed) return b == 0x22 ? threshold : QByteArray();
        switch (b) {
        case 0x01:
            return version;
        case 0x02:
            return frame;
        case 0x09:
            return blk;
        default:
            return {};
        }
    }
};

enum Exchange {
    Version,
    Capability,
    Feature,
    ThresholdRead,
    ThresholdWrite,
    Ignition,
    Block,
    Poll,
    IgnitionWrite
};

inline QByteArray sumFrame(int byte7) {
    // Bytes 0-6 add up to 0x1FF.
    QByteArray f("\xFF\xFF\x01\x00\x00\x00\x00", 7);
    f.append(char(byte7));
    f.append('\0');
    return f;
}

} // namespace

Q_DECLARE_METATYPE(Exchange)
Q_DECLARE_METATYPE(Controller::Arrival)

class TestController : public QObject {
    Q_OBJECT
private slots:
    void timelines_data();
    void timelines();
    void versionSilent();
    void versionSix();
    void versionOnlyFromItsOwnAnswer_data();
    void versionOnlyFromItsOwnAnswer();
    void frameLengths_data();
    void frameLengths();
    void checksum_data();
    void checksum();
    void pollAttempts_data();
    void pollAttempts();
    void ignitionTable_data();
    void ignitionTable();
    void probeKind_data();
    void probeKind();
    void analogCapability_data();
    void analogCapability();
    void featureVersionClosesPort();
    void thresholdWrite_data();
    void thresholdWrite();
    void shortAnswersAreNotDecoded_data();
    void shortAnswersAreNotDecoded();
    void thresholdKeptWithoutAnswer_data();
    void thresholdKeptWithoutAnswer();
    void lateBytesDoNotShiftTheBlock();
    void buildText();
};
