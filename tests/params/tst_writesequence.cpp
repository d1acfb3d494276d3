// The full parameter write on a fake line: every byte and every pause of the
// 28 steps, the checks and their messages, and what each check skips.
#include "link/Controller.h"
#include "link/SerialChannel.h"
#include "params/ParamTable.h"
#include "params/WriteSequence.h"
#include "support/FakeLink.h"

#include <QTest>
#include <algorithm>

namespace {

// The timeline of each step for the default set written with constant 4800 on
// a controller whose flags byte was read as 0. "p" is a 20 ms pause, hex pairs are
// bytes sent (each followed by its 3 ms), "open"/"close" the port.
QStringList defaultSteps() {
    return {
        "open AA",                     // 1
        "1E 01",                       // 2 ProbeKind 0
        "p 0B 00",                     // 3 inversion
        "p 0F 19",                     // 4 LambdaThreshold 0,50
        "p 08 80 07",                  // 5 SwitchRpm 2000 -> 1920
        "p 07 19",                     // 6 TpsThreshold 1,25
        "p 14 25 02",                  // 7 MaxGasRpm 7000 -> 549
        "p 0B 00",                     // 8 RpmKind
        "p 16 80 02",                  // 9 RpmDelta 2560 - 1920
        "p 12 F5 37",                  // 10 StepMin 10, StepMax 200
        "p 13 9B",                     // 11 StepStart 100
        "p 06 7A 00 F4 00",            // 12 lambda 500/500
        "p 1A 7A 00 F4 00",            // 13 second pair
        "p 19 05",                     // 14 StartDelay 1
        "p 0B 00",                     // 15 CutoffOn
        "p 17 E1",                     // 16 CutoffStep 30
        "p 18 00 0A",                  // 17 CutoffRpm 1500 -> 2560
        "p 1B 1E",                     // 18 StepOpening 30
        "p 0B 00",                     // 19 TpsKind
        "p 20 BC E3",                  // 20 (25 - 3) x 2650
        "p 1C AE C4",                  // 21 (25 - 6) x 2650
        "p 15 18 00",                  // 22 SwitchDelay 100 -> 24
        "p 0B 00 0B 00",               // 23 TempSensorOn, twice
        "p 0B 00",                     // 24 ControllerMode
        "p 0B 00",                     // 25 ReserveSensorKind 1
        "p 05 6F",                     // 26 SwitchTemp 0 -> 111
        "p close open AA p 23 p 01 p", // 27 analog threshold 1
        "p 0A close",                  // 28
        "p",                           // the pause after the sequence
    };
}

QStringList expand(const QStringList& steps) {
    QStringList out;
    for (const QString& step : steps) {
        for (const QString& tok : step.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (tok == QLatin1String("p"))
                out << QStringLiteral("sleep 20");
            else if (tok == QLatin1String("open"))
                out << QStringLiteral("open /dev/ttyS0");
            else if (tok == QLatin1String("close"))
                out << QStringLiteral("close");
            else
                out << QStringLiteral("tx ") + tok.toUpper() << QStringLiteral("sleep 3");
        }
    }
    return out;
}

int bytesIn(const QStringList& steps, int upToStep) {
    int n = 0;
    for (int i = 0; i < upToStep && i < steps.size(); ++i)
        for (const QString& tok : steps[i].split(QLatin1Char(' '), Qt::SkipEmptyParts))
            if (tok.size() == 2 && tok != QLatin1String("p")) ++n;
    return n;
}

struct Recorder : WriteMessageSink {
    struct Shown {
        QString text;
        QString caption;
        int bytesSentBefore;
    };
    explicit Recorder(const std::vector<LinkEvent>& log) : log_(log) {}
    void writeMessage(const QString& text, const QString& caption) override {
        int tx = 0;
        for (const LinkEvent& e : log_)
            if (e.kind == LinkEvent::Tx) ++tx;
        shown.push_back({text, caption, tx});
    }
    QStringList texts() const {
        QStringList out;
        for (const Shown& s : shown)
            out << s.caption + QStringLiteral(": ") + s.text;
        return out;
    }
    std::vector<Shown> shown;
    const std::vector<LinkEvent>& log_;
};

struct OpenFailures : LinkObserver {
    void portOpenFailed(const PortError&) override { ++count; }
    int count = 0;
};

struct Rig {
    std::vector<LinkEvent> log;
    FakeClock clock{&log};
    FakePort port{clock, &log};
    OpenFailures failures;
    SerialChannel channel{port, clock, &failures};
    Controller controller{channel};
    Recorder sink{log};

    // The controller of the given version, its flags byte read as `flags`
    // (nullopt: never read) with ignition index 2.
    explicit Rig(int version = 4, std::optional<std::uint8_t> flags = 0) {
        port.responder = [version](std::uint8_t b) -> QByteArray {
            if (b == 0x01) return QByteArray(1, char(version)) + QByteArray(1, '\0');
            return {};
        };
        controller.ReadVersion();
        controller.setIgnitionIndex(2);
        if (flags) {
            QVERIFY(readBlock(*flags, 37));
            QCOMPARE(controller.knownFlags(), flags);
        }
        port.responder = nullptr;
        log.clear();
    }
    // ReadIgnition answered with `length` bytes of a block holding `flags`.
    bool readBlock(std::uint8_t flags, int length) {
        QByteArray block(37, '\0');
        block[8] = char(flags);
        block[32] = 2;
        port.responder = [block, length](std::uint8_t b) {
            return b == 0x09 ? block.left(length) : QByteArray();
        };
        const bool whole = controller.ReadIgnition();
        port.responder = nullptr;
        return whole;
    }
    QStringList events() const { return describe(log); }
};

ParameterSet edited(const QStringList& edits) {
    ParameterSet s = defaultParameterSet();
    for (const QString& e : edits) {
        const int eq = e.indexOf(QLatin1Char('='));
        s[paramByControl(e.left(eq))->id] = e.mid(eq + 1);
    }
    return s;
}

const QString Err = QStringLiteral("Błąd: ");

QString badField(const char* label, const char* control, const char* text) {
    return Err + QStringLiteral("Niepoprawna wartość pola „%1” (%2): „%3” — polecenie pominięte.")
                     .arg(QString::fromUtf8(label), QString::fromUtf8(control), QString::fromUtf8(text));
}

} // namespace

class TestWriteSequence : public QObject {
    Q_OBJECT
private slots:
    void defaultsByteForByteAndPauseForPause();
    void variants_data();
    void variants();
    void messageShownAtItsStep();
    void portFailsUnderTheWrite_data();
    void portFailsUnderTheWrite();
    void unreadThresholdIsNotWritten();
    void planMatchesTheSequence();
    void flagsNeverReadAreNeverWritten();
    void onlyWholeBlocksMakeTheFlagsKnown();
};

void TestWriteSequence::defaultsByteForByteAndPauseForPause() {
    Rig r;
    QCOMPARE(r.controller.versionCode(), 4);
    WriteParameters(r.controller, defaultParameterSet(), &r.sink);
    QCOMPARE(r.events(), expand(defaultSteps()));
    QVERIFY(r.sink.shown.empty());
    QVERIFY(!r.port.isOpen());
    QCOMPARE(int(r.controller.flags()), 0);
    QCOMPARE(r.controller.analogThreshold(), QStringLiteral("1"));
    // 24 pauses between steps 2..26, four in step 27, one before 0x0A, one after.
    QCOMPARE(r.events().count(QStringLiteral("sleep 20")), 30);
}

void TestWriteSequence::variants_data() {
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("flagsIn");
    QTest::addColumn<QStringList>("changedSteps"); // "7:p 14 01 00"
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("flagsOut");
    const QStringList none;
    const QString range =
        QStringLiteral("Errore: Dati fuori limiti   HIGH, LOW - 0...4000ms\r\nHIGH+LOW max 4000ms");

    QTest::newRow("max gas off") << QStringList{"CheckBox8_2=1", "Edit8_1=1234"} << 4 << 0
                                 << QStringList{"7:p 14 01 00"} << none << 0;
    QTest::newRow("lambda 3000 + 1500 out of limits") << QStringList{"Edit13_1=3000", "Edit13_2=1500"} << 4
                                                      << 0 << QStringList{"12:p"} << QStringList{range} << 0;
    QTest::newRow("speed above TPS 25") << QStringList{"Edit6=25"} << 4 << 0 << QStringList{"20:p"}
                                        << QStringList{Err + "Prędkość w granicach 1...24"} << 0;
    QTest::newRow("speed below TPS not a number")
        << QStringList{"Edit7=x"} << 4 << 0 << QStringList{"21:p"}
        << QStringList{Err + "Błędna dana", Err + "Prędkość w granicach 1...24"} << 0;
    QTest::newRow("switch delay out of range") << QStringList{"Edit19=20000"} << 4 << 0 << QStringList{"22:p"}
                                               << QStringList{Err + "Błędna dana"} << 0;
    QTest::newRow("step opening 60 silently")
        << QStringList{"Edit18=60"} << 4 << 0 << QStringList{"18:p"} << none << 0;
    QTest::newRow("temperature sensor on version 4")
        << QStringList{"CheckBox22_2=1"} << 4 << 0
        << QStringList{"23:p 0B 08 0B 08", "24:p 0B 08", "25:p 0B 08"} << none << 0x08;
    QTest::newRow("temperature sensor forced clear on version 3")
        << QStringList{"CheckBox22_2=1"} << 3 << 0x08
        << QStringList{"3:p 0B 08", "8:p 0B 08", "15:p 0B 08", "19:p 0B 08", "23:p 0B 00 0B 00"} << none << 0;
    QTest::newRow("flags carry from step to step, bit 5 kept")
        << QStringList{"ComboBox1=4", "CheckBox15=1", "ComboBox20=1", "ComboBox21=0"} << 4 << 0x20
        << QStringList{"3:p 0B 22",        "8:p 0B 22",  "15:p 0B 32", "19:p 0B 32",
                       "23:p 0B 32 0B 32", "24:p 0B 72", "25:p 0B F2"}
        << none << 0xF2;
    QTest::newRow("flag text neither 0 nor 1 sends nothing")
        << QStringList{"ComboBox9=", "CheckBox15=x"} << 4 << 0x04
        << QStringList{"3:p 0B 04",        "8:p",        "15:p",      "19:p 0B 04",
                       "23:p 0B 04 0B 04", "24:p 0B 04", "25:p 0B 04"}
        << none << 0x04;
    QTest::newRow("probe kind out of list")
        << QStringList{"ComboBox1=7"} << 4 << 0 << QStringList{"2:"} << none << 0;
    QTest::newRow("rpm delta above switch speed") << QStringList{"Edit3=1500", "Edit10=2000"} << 4 << 0
                                                  << QStringList{"5:p 08 00 0A", "9:p 16 00 D8"} << none << 0;
    QTest::newRow("analog threshold 260 low byte")
        << QStringList{"Edit23=260"} << 4 << 0 << QStringList{"27:p close open AA p 23 p 04 p"} << none << 0;
    QTest::newRow("analog threshold not a number")
        << QStringList{"Edit23=ab"} << 4 << 0 << QStringList{"27:p close open"}
        << QStringList{badField("Próg analogowy obrotów", "Edit23", "ab")} << 0;
    QTest::newRow("switch speed not a number: both its commands skipped")
        << QStringList{"Edit3=abc"} << 4 << 0 << QStringList{"5:p", "9:p"}
        << QStringList{badField("Obroty dla przejścia B/G", "Edit3", "abc"),
                       badField("Obroty dla przejścia B/G", "Edit3", "abc")}
        << 0;
    QTest::newRow("a file full of bad texts still closes the group")
        << QStringList{"Edit2=?", "Edit16=1,5", "Edit18=", "Edit14= 1", "Edit13_2=x", "Edit22_1=12a"} << 4
        << 0 << QStringList{"4:p", "12:p", "14:p", "16:p", "18:p", "26:p"}
        << QStringList{badField("Próg sondy lambda", "Edit2", "?"),
                       Err + "Niepoprawne dane",
                       badField("Opóźnienie startowe", "Edit14", " 1"),
                       badField("Silnik krokowy przy cutoff", "Edit16", "1,5"),
                       badField("Otwarcie silnika krokowego", "Edit18", ""),
                       badField("Min temp przełączenia na gaz", "Edit22_1", "12a")}
        << 0;
}

void TestWriteSequence::variants() {
    QFETCH(QStringList, edits);
    QFETCH(int, version);
    QFETCH(int, flagsIn);
    QFETCH(QStringList, changedSteps);
    QFETCH(QStringList, messages);
    QFETCH(int, flagsOut);

    Rig r(version, static_cast<std::uint8_t>(flagsIn));
    WriteParameters(r.controller, edited(edits), &r.sink);

    QStringList steps = defaultSteps();
    for (const QString& c : changedSteps) {
        const int colon = c.indexOf(QLatin1Char(':'));
        steps[c.left(colon).toInt() - 1] = c.mid(colon + 1);
    }
    QCOMPARE(r.events(), expand(steps));
    QCOMPARE(r.sink.texts(), messages);
    QCOMPARE(int(r.controller.flags()), flagsOut);
    QVERIFY(!r.port.isOpen());
}

void TestWriteSequence::messageShownAtItsStep() {
    Rig r;
    WriteParameters(r.controller, edited({"Edit6=25", "Edit13_1=4001"}), &r.sink);
    QCOMPARE(int(r.sink.shown.size()), 2);
    QStringList steps = defaultSteps();
    steps[11] = QStringLiteral("p");
    // After the bytes of the steps before it, before those after it.
    QCOMPARE(r.sink.shown[0].bytesSentBefore, bytesIn(steps, 11));
    QCOMPARE(r.sink.shown[0].caption, QStringLiteral("Errore"));
    QCOMPARE(r.sink.shown[1].bytesSentBefore, bytesIn(steps, 19));
    QCOMPARE(r.sink.shown[1].text, QStringLiteral("Prędkość w granicach 1...24"));
    QCOMPARE(r.sink.shown[1].caption, QStringLiteral("Błąd"));
}

void TestWriteSequence::portFailsUnderTheWrite_data() {
    QTest::addColumn<int>("failAt");  // the step whose first byte finds the device gone; 1: no open
    QTest::addColumn<bool>("vanish"); // the device's path goes too: the reopen of step 27 fails
    QTest::addColumn<int>("failedStep");
    QTest::newRow("port does not open") << 1 << true << 1;
    QTest::newRow("lost at step 12") << 12 << false << 12;
    QTest::newRow("lost at step 23") << 23 << true << 23;
    QTest::newRow("gone before step 27") << 27 << true << 27;
}

void TestWriteSequence::portFailsUnderTheWrite() {
    QFETCH(int, failAt);
    QFETCH(bool, vanish);
    QFETCH(int, failedStep);
    Rig r;
    const QStringList steps = defaultSteps();
    const int before = bytesIn(steps, failAt - 1);
    if (failAt == 1) {
        r.port.existing.clear();
    } else {
        // The device goes right after the last byte of the step before.
        r.port.responder = [&r, before, vanish](std::uint8_t) {
            if (int(r.port.sentBytes().size()) == before) r.port.unplug(vanish);
            return QByteArray();
        };
    }
    const WriteOutcome out = WriteParameters(r.controller, defaultParameterSet(), &r.sink);

    // Stopped there: nothing after, no closing byte, the port closed, told once.
    QVERIFY(!out.complete);
    QCOMPARE(out.failedStep, failedStep);
    const std::vector<std::uint8_t> sent = r.port.sentBytes();
    QCOMPARE(int(sent.size()), before);
    QCOMPARE(describe(r.log).filter(QStringLiteral("tx ")),
             expand(steps).filter(QStringLiteral("tx ")).mid(0, before));
    QVERIFY(!r.port.isOpen());
    QCOMPARE(r.failures.count, failAt == 1 || failAt == 27 ? 1 : 0);
    // What did not reach the controller: this step's parameters and all after, in order.
    std::vector<ParamId> expected;
    for (int step = failedStep; step <= 27; ++step)
        for (ParamId id : parametersOfStep(step))
            if (std::find(expected.begin(), expected.end(), id) == expected.end()) expected.push_back(id);
    QCOMPARE(int(out.notWritten.size()), int(expected.size()));
    QVERIFY(out.notWritten == expected);
    QCOMPARE(out.notWritten.back(), ParamId::AnalogThreshold);
}

void TestWriteSequence::unreadThresholdIsNotWritten() {
    Rig r;
    ParameterSet s = defaultParameterSet();
    s[ParamId::AnalogThreshold].clear();
    const WriteOutcome out = WriteParameters(r.controller, s, &r.sink);
    QVERIFY(out.complete);
    QVERIFY(r.sink.shown.empty());
    QStringList expected = defaultSteps();
    expected[26] = QStringLiteral("p close open"); // the port handling and the pause stay
    QCOMPARE(r.events(), expand(expected));
}

void TestWriteSequence::planMatchesTheSequence() {
    // The plan is what the wizard and the sequence share: steps 2..26, in order.
    const std::vector<WriteStep> plan = planParameterWrite(defaultParameterSet(), 4800, 0, 4);
    QCOMPARE(int(plan.size()), 25);
    for (int i = 0; i < 25; ++i) {
        QCOMPARE(plan[static_cast<std::size_t>(i)].number, i + 2);
        QCOMPARE(plan[static_cast<std::size_t>(i)].pauseBeforeMs, i == 0 ? 0 : 20);
    }
    QCOMPARE(int(plan[10].command.bytes[0]), 0x06);
    QCOMPARE(int(plan[24].command.bytes[0]), 0x05);
}

void TestWriteSequence::flagsNeverReadAreNeverWritten() {
    // No block has arrived: the bits the page does not manage are unknown, so
    // no 0x0B goes out at all, not even for a bit the fitter set; every other
    // byte and every pause stays where it was.
    Rig r(4, std::nullopt);
    r.controller.setFlags(0x08); // the temperature box clicked before any read
    WriteParameters(r.controller, edited({"CheckBox22_2=1", "ComboBox21=0"}), &r.sink);
    QStringList steps = defaultSteps();
    for (int step : {3, 8, 15, 19, 23, 24, 25})
        steps[step - 1] = QStringLiteral("p");
    QCOMPARE(r.events(), expand(steps));
    QVERIFY(r.sink.shown.empty());
    QVERIFY(!r.controller.knownFlags());

    // The plan says the same without a controller.
    const std::vector<WriteStep> plan = planParameterWrite(defaultParameterSet(), 4800, std::nullopt, 4);
    for (const WriteStep& s : plan) {
        QVERIFY(!s.command.flags);
        QVERIFY(s.command.bytes.empty() || s.command.bytes[0] != 0x0B);
    }
}

void TestWriteSequence::onlyWholeBlocksMakeTheFlagsKnown() {
    Rig r(4, std::nullopt);
    QVERIFY(!r.readBlock(0xA5, 36));
    QVERIFY(!r.controller.knownFlags());
    // A rejected block (ignition 0x0101) is not taken either.
    QByteArray rejected(37, '\0');
    rejected[8] = char(0xA5);
    rejected[32] = 1;
    rejected[33] = 1;
    r.port.responder = [&](std::uint8_t b) { return b == 0x09 ? rejected : QByteArray(); };
    QVERIFY(!r.controller.ReadParameterBlock());
    QVERIFY(!r.controller.knownFlags());
    rejected[33] = 0;
    QVERIFY(r.controller.ReadParameterBlock());
    QCOMPARE(r.controller.knownFlags(), std::optional<std::uint8_t>(0xA5));

    // Once known, each write changes only the managed bits: bit 5 stays the
    // controller's, and the held byte follows what was sent.
    r.log.clear();
    WriteParameters(r.controller, defaultParameterSet(), &r.sink);
    QCOMPARE(r.controller.knownFlags(), std::optional<std::uint8_t>(0x20));
    QVERIFY(r.events().contains(QStringLiteral("tx 0B")));
}

QTEST_GUILESS_MAIN(TestWriteSequence)
#include "tst_writesequence.moc"
