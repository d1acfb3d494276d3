#pragma once
#include <QMetaType>
#include <QString>
#include <array>
#include <cstdint>

// What the link knows about the controller after its last job; the GUI keeps
// a copy so that pages read it without reaching the worker thread.
struct LinkState {
    QString selectedPort = QStringLiteral("com1");
    bool portOpen = false;
    // The port ought to be open but is not: its last open failed or its device
    // went away. Polls try it again about once a second.
    bool portDown = false;
    int versionCode = 0;
    bool controllerPresent = false;
    int ignitionIndex = 2;
    int ignitionConstant = 4800;
    bool ignitionKnown = false; // read from the controller or chosen by the fitter
    std::uint8_t flags = 0;
    int probeKind = 0;
    QString analogThreshold = QStringLiteral("1");
    bool analogCapable = false;
    // The code of the last feature read that got its answer; -1 before one did.
    int featureVersion = -1;

    bool operator==(const LinkState&) const = default;
};
Q_DECLARE_METATYPE(LinkState)

// One live poll as it arrived: the first bytes of the receive buffer after
// the poll, how many bytes this poll received, the poll's own verdict
// (answered in time, or the checksum of a version-5 frame) and the version
// code it was polled under, which says what its bytes mean.
struct LiveFrame {
    std::array<std::uint8_t, 9> bytes{};
    int length = 8; // 8, or 9 from version code 5 on
    int received = 0;
    bool ok = false;
    int version = 0;

    std::uint8_t operator[](int i) const { return bytes[static_cast<std::size_t>(i)]; }
};
Q_DECLARE_METATYPE(LiveFrame)
