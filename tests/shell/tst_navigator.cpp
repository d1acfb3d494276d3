// Page changes over the link's worker with an in-memory port: the common
// steps' bytes, the flag rules, the one automatic-write rule, held changes,
// the start-up exchanges, autodetection and the shell's texts.
#include "core/PollTimers.h"
#include "link/Autodetect.h"
#include "link/ControllerLink.h"
#include "live/LiveModel.h"
#include "params/ParamTable.h"
#include "params/ParameterModel.h"
#include "shell/Navigator.h"
#include "shell/ShellTexts.h"
#include "shell/Startup.h"
#include "support/ModelsRig.h"
#include "support/ParamBlocks.h"

#include <QSemaphore>
#include <QTest>

using shell::Page;

namespace {

// A page that records what the navigator asks of it.
struct FakePage : PageHooks {
    QString name;
    QStringList* calls;
    bool allowLeave = true;
    std::function<void()> onEnter;
    std::function<void()> onLeaveSteps;
    FakePage(QString n, QStringList* c) : name(std::move(n)), calls(c) {}
    void enterPage() override {
        *calls << QStringLiteral("enter ") + name;
        if (onEnter) onEnter();
    }
    bool leaveByTab() override {
        *calls << QStringLiteral("leave ") + name;
        return allowLeave;
    }
    void leaveSteps() override {
        if (onLeaveSteps) onLeaveSteps();
    }
};

struct Rig : ModelsRig {
    shell::Navigator nav{models()};
    QStringList calls;
    std::vector<std::unique_ptr<FakePage>> pages;
    int version = 5;
    QList<Page> shown;
    int printTabShows = 0;

    Rig() {
        port.responder = [this](std::uint8_t b) -> QByteArray {
            if (b == 0x01) return QByteArray(1, char(version)) + QByteArray(1, '\0');
            // The block the gate reads before a write, when nothing told it the block.
            if (b == 0x09) {
                const ParameterBlock block = defaultParameterBlock();
                return QByteArray(reinterpret_cast<const char*>(block.data()), int(block.size()));
            }
            return {};
        };
        const char* names[] = {"Obroty", "Parametry", "Wizualizacja", "Autoadaptacja", "Drukowanie"};
        for (int i = 0; i < shell::PageCount; ++i) {
            pages.push_back(std::make_unique<FakePage>(QString::fromLatin1(names[i]), &calls));
            nav.setPage(static_cast<Page>(i), pages.back().get());
        }
        live.setIgnitionChoice(4);
        live.setWizardIgnitionChoice(0x0102);
        shell.setMessage(QStringLiteral("old message"));
        nav.showPage = [this](Page p) { shown << p; };
        nav.setPrintTabVisible = [this](bool v) {
            if (v) ++printTabShows;
        };
    }
    FakePage& page(Page p) { return *pages[static_cast<size_t>(p)]; }
    QStringList events() { return describe(log, false); }
    void openPort() {
        link.run(nullptr, [](Controller& c) { c.channel().OpenPort(); });
        waitIdle();
        log.clear();
    }
    // A polling timer that never ticks in the test: only its running state counts.
    void polling(const polltimer::Def& d) { link.startPolling(polltimer::name(d), 1000000); }
    // The page holds a set read from the controller and the fitter has edited it.
    void readAndEdited() {
        params.fill(defaultParameterSet(), ParameterModel::Origin::Controller);
        params.setWritten(false);
    }
    bool wroteParameters() const {
        const auto sent = port.sentBytes();
        return std::find(sent.begin(), sent.end(), std::uint8_t(0xAA)) != sent.end();
    }
};

} // namespace

class TestNavigator : public QObject {
    Q_OBJECT
private slots:
    void pageNames();
    void leavingIgnitionPageWritesIgnitionThenReadsVersion();
    void ignitionWriteReopensPortClosedByLeaveStep();
    void wizardFirstStepWritesItsOwnChoice();
    void nothingPollingWritesNoIgnition();
    void menuSelectionSkipsLeaveChecks();
    void tabClickRunsLeaveChecksAndMayBeRefused();
    void writtenFlagRules_data();
    void writtenFlagRules();
    void automaticWriteOnlyForReadOrLoadedSets_data();
    void automaticWriteOnlyForReadOrLoadedSets();
    void changeDuringWriteWaitsForIt();
    void parametersPageShowsPrintTab();
    void startupExchangesInOrder();
    void autodetectFindsFirstAnsweringPort();
    void autodetectWithoutPorts();
    void autodetectSilentPortsKeepsLastOpened();
    void captionAndPortMessage();
    void portReasonsInTheWindowsWords();
};

void TestNavigator::pageNames() {
    QCOMPARE(shell::pageObjectName(Page::Drukowanie), QStringLiteral("DrukowanieTab"));
    for (int i = 0; i < shell::PageCount; ++i) {
        const Page p = static_cast<Page>(i);
        QCOMPARE(shell::pageFromOptionName(shell::pageOptionName(p)), std::optional<Page>(p));
    }
    QCOMPARE(shell::pageFromOptionName(QStringLiteral("  Parametry ")), std::optional<Page>(Page::Parametry));
    QVERIFY(!shell::pageFromOptionName(QStringLiteral("param")));
}

void TestNavigator::leavingIgnitionPageWritesIgnitionThenReadsVersion() {
    Rig r;
    r.openPort();
    r.polling(polltimer::Obr);
    r.live.periodFilter().push(1000);
    r.nav.selectFromMenu(Page::Wizualizacja);
    r.waitIdle();
    const QStringList ev = r.events();
    // ignition index 4 as 16-bit little-endian, on the open port, then the version read
    const QStringList expectedStart{"tx 1F", "tx 04",    "tx 00", "close", "open /dev/ttyS0",
                                    "tx 01", "sleep 20", "rx 2",  "close"};
    QCOMPARE(ev.mid(0, expectedStart.size()), expectedStart);
    QVERIFY(r.link.activePolls().isEmpty());
    QVERIFY(!r.link.state().portOpen);
    QCOMPARE(r.live.periodFilter().count(), 0);
    QCOMPARE(r.shell.message(), QString());
    QCOMPARE(r.link.state().versionCode, 5);
    QCOMPARE(r.calls, QStringList{"enter Wizualizacja"});
    QCOMPARE(r.nav.current(), Page::Wizualizacja);
    QCOMPARE(r.shown, QList<Page>{Page::Wizualizacja});
}

void TestNavigator::ignitionWriteReopensPortClosedByLeaveStep() {
    Rig r;
    r.openPort();
    r.polling(polltimer::Obr);
    // A leave step of the ignition page closes the port (the threshold exchange does).
    r.page(Page::Obroty).onLeaveSteps = [&] {
        r.link.run(nullptr, [](Controller& c) { c.channel().ClosePort(); });
    };
    r.nav.tabClicked(Page::Parametry);
    r.waitIdle();
    QCOMPARE(r.events().mid(0, 5), (QStringList{"close", "open /dev/ttyS0", "tx 1F", "tx 04", "tx 00"}));
}

void TestNavigator::wizardFirstStepWritesItsOwnChoice() {
    Rig r;
    r.openPort();
    r.polling(polltimer::AdaptTerm);
    r.polling(polltimer::RR);
    r.nav.selectFromMenu(Page::Obroty);
    r.waitIdle();
    QCOMPARE(r.events().mid(0, 4), (QStringList{"tx 1F", "tx 02", "tx 01", "close"}));
    QVERIFY(r.link.activePolls().isEmpty());
}

void TestNavigator::nothingPollingWritesNoIgnition() {
    Rig r;
    r.nav.setCurrent(Page::Drukowanie);
    r.nav.selectFromMenu(Page::Wizualizacja);
    r.waitIdle();
    QCOMPARE(r.port.sentBytes(), std::vector<std::uint8_t>{0x01});
}

void TestNavigator::menuSelectionSkipsLeaveChecks() {
    Rig r;
    r.nav.setCurrent(Page::Parametry);
    r.page(Page::Parametry).allowLeave = false;
    bool leaveSteps = false;
    r.page(Page::Parametry).onLeaveSteps = [&] { leaveSteps = true; };
    r.nav.selectFromMenu(Page::Obroty);
    r.waitIdle();
    QCOMPARE(r.nav.leaveChecks(), 0);
    QCOMPARE(r.nav.current(), Page::Obroty);
    QVERIFY(leaveSteps); // leave steps run on every leave, the checks only on a tab click
    QVERIFY(!r.calls.contains(QStringLiteral("leave Parametry")));
    QVERIFY(r.calls.contains(QStringLiteral("enter Obroty")));
}

void TestNavigator::tabClickRunsLeaveChecksAndMayBeRefused() {
    Rig r;
    r.nav.setCurrent(Page::Parametry);
    r.readAndEdited();
    r.page(Page::Parametry).allowLeave = false;
    r.nav.tabClicked(Page::Wizualizacja);
    r.waitIdle();
    QCOMPARE(r.calls, QStringList{"leave Parametry"});
    QCOMPARE(r.nav.current(), Page::Parametry);
    QVERIFY(r.shown.isEmpty());
    QVERIFY(r.port.sentBytes().empty()); // refused: no common steps at all

    r.page(Page::Parametry).allowLeave = true;
    r.nav.tabClicked(Page::Wizualizacja);
    r.waitIdle();
    QCOMPARE(r.calls, (QStringList{"leave Parametry", "leave Parametry", "enter Wizualizacja"}));
    QCOMPARE(r.nav.current(), Page::Wizualizacja);
    QVERIFY(r.wroteParameters());

    // A click on the tab that is already current does nothing.
    r.log.clear();
    r.nav.tabClicked(Page::Wizualizacja);
    r.waitIdle();
    QVERIFY(r.port.sentBytes().empty());
}

void TestNavigator::writtenFlagRules_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("writtenBefore");
    QTest::addColumn<bool>("writtenAfter");
    QTest::addColumn<bool>("writes");
    QTest::newRow("obroty after edits writes") << int(Page::Obroty) << false << true << true;
    QTest::newRow("obroty when written") << int(Page::Obroty) << true << true << false;
    QTest::newRow("wizualizacja after edits writes") << int(Page::Wizualizacja) << false << true << true;
    QTest::newRow("wizualizacja when written") << int(Page::Wizualizacja) << true << true << false;
    QTest::newRow("parametry clears") << int(Page::Parametry) << true << false << false;
    QTest::newRow("autoadaptacja clears") << int(Page::Autoadaptacja) << true << false << false;
    QTest::newRow("drukowanie clears") << int(Page::Drukowanie) << true << false << false;
}

void TestNavigator::writtenFlagRules() {
    QFETCH(int, page);
    QFETCH(bool, writtenBefore);
    QFETCH(bool, writtenAfter);
    QFETCH(bool, writes);
    Rig r;
    r.nav.setCurrent(page == int(Page::Obroty) ? Page::Drukowanie : Page::Obroty);
    r.params.fill(defaultParameterSet(), ParameterModel::Origin::Controller);
    r.params.setWritten(writtenBefore);
    bool flagAtEntry = !writtenBefore;
    r.page(static_cast<Page>(page)).onEnter = [&] { flagAtEntry = r.params.written(); };
    r.nav.selectFromMenu(static_cast<Page>(page));
    r.waitIdle();
    QCOMPARE(r.params.written(), writtenAfter);
    QCOMPARE(r.wroteParameters(), writes);
    // The automatic write goes out before the page's own entry steps.
    if (writes) {
        const QStringList ev = r.events();
        QVERIFY(ev.indexOf(QStringLiteral("tx AA")) > ev.indexOf(QStringLiteral("tx 01")));
    }
    // Editing pages see the flag cleared already when they enter.
    if (page == int(Page::Parametry) || page == int(Page::Autoadaptacja) || page == int(Page::Drukowanie))
        QVERIFY(!flagAtEntry);
}

void TestNavigator::automaticWriteOnlyForReadOrLoadedSets_data() {
    QTest::addColumn<int>("origin");
    QTest::addColumn<int>("marked");
    QTest::addColumn<bool>("writes");
    QTest::addColumn<int>("messageKey");
    QTest::newRow("never read") << int(ParameterModel::Origin::None) << 0 << false
                                << textkey::AutoWriteNotRead;
    QTest::newRow("defaults") << int(ParameterModel::Origin::Defaults) << 0 << false
                              << textkey::AutoWriteDefaults;
    QTest::newRow("read") << int(ParameterModel::Origin::Controller) << 0 << true << 0;
    QTest::newRow("file") << int(ParameterModel::Origin::File) << 0 << true << 0;
    QTest::newRow("read, a field marked")
        << int(ParameterModel::Origin::Controller) << 1 << false << textkey::AutoWriteMarked;
}

void TestNavigator::automaticWriteOnlyForReadOrLoadedSets() {
    QFETCH(int, origin);
    QFETCH(int, marked);
    QFETCH(bool, writes);
    QFETCH(int, messageKey);
    // Both pages that write on entry ask the same rule.
    for (Page target : {Page::Obroty, Page::Wizualizacja}) {
        Rig r;
        r.nav.setCurrent(Page::Autoadaptacja);
        if (origin != int(ParameterModel::Origin::None))
            r.params.fill(defaultParameterSet(), static_cast<ParameterModel::Origin>(origin));
        std::vector<FieldMark> marks;
        if (marked) marks.push_back({ParamId::SwitchTemp, FieldMark::OutOfRange, QStringLiteral("-222")});
        r.params.setMarks(marks);
        r.params.setWritten(false);
        r.nav.selectFromMenu(target);
        r.waitIdle();
        QCOMPARE(r.wroteParameters(), writes);
        QCOMPARE(r.params.written(), writes);
        // A write that went out whole says so.
        QCOMPARE(r.shell.message(), r.shell.text(messageKey ? messageKey : textkey::Written));
    }
}

void TestNavigator::changeDuringWriteWaitsForIt() {
    Rig r;
    r.nav.setCurrent(Page::Parametry);
    QSemaphore gate;
    QStringList order;
    // A write the fitter started is still on the line.
    r.link.run(
        nullptr, [&](Controller&) { gate.acquire(); }, [&] { order << "write done"; });
    r.page(Page::Obroty).onEnter = [&] { order << "enter Obroty"; };
    r.nav.selectFromMenu(Page::Obroty);
    r.nav.tabClicked(Page::Wizualizacja);
    QTest::qWait(30);
    QVERIFY(order.isEmpty());
    QCOMPARE(r.nav.current(), Page::Parametry);
    gate.release();
    r.waitIdle();
    QCOMPARE(order, (QStringList{"write done", "enter Obroty"}));
    QCOMPARE(r.nav.current(), Page::Wizualizacja);
}

void TestNavigator::parametersPageShowsPrintTab() {
    Rig r;
    r.nav.selectFromMenu(Page::Drukowanie);
    r.waitIdle();
    QCOMPARE(r.printTabShows, 0);
    QVERIFY(!r.shell.paramsVisited);
    r.nav.selectFromMenu(Page::Parametry);
    r.waitIdle();
    QCOMPARE(r.printTabShows, 1);
    QVERIFY(r.shell.paramsVisited);
    r.nav.selectFromMenu(Page::Obroty);
    r.waitIdle();
    QVERIFY(r.shell.paramsVisited); // stays set
}

void TestNavigator::startupExchangesInOrder() {
    Rig r;
    r.version = 8;
    r.port.responder = [&](std::uint8_t b) -> QByteArray {
        if (b == 0x01) return QByteArray(1, char(r.version)) + QByteArray(7, '\0');
        if (b == 0x22) return QByteArray("\0\x28", 2);
        if (b == 0x09) {
            QByteArray block(37, '\0');
            block[32] = 4;
            return block;
        }
        return {};
    };
    Models m = r.models();
    shell::runStartupExchanges(m);
    r.waitIdle();
    const QStringList ev = r.events();
    auto at = [&](const QString& e, int from = 0) { return ev.indexOf(e, from); };
    // feature version (400 ms), capability (200 ms), threshold, version (20 ms), ignition (100 ms)
    const int features = at("sleep 400");
    const int capability = at("sleep 200");
    const int threshold = at("tx 22");
    const int version = at("sleep 20", threshold);
    const int ignition = at("tx 09");
    QVERIFY(features >= 0 && features < capability && capability < threshold && threshold < version &&
            version < ignition);
    QCOMPARE(ev.last(), QStringLiteral("open /dev/ttyS0"));
    QCOMPARE(r.link.activePolls(), QStringList{QStringLiteral("TimerObr")});
    QCOMPARE(r.live.ignitionChoice(), 4);
    QCOMPARE(r.live.wizardIgnitionChoice(), 4);
    QCOMPARE(r.params.pageValue(ParamId::AnalogThreshold), QStringLiteral("40"));
    QVERIFY(r.live.features().temperatureCapable);
    QVERIFY(r.link.state().analogCapable);
}

void TestNavigator::autodetectFindsFirstAnsweringPort() {
    std::vector<LinkEvent> log;
    FakeClock clock(&log);
    FakePort port(clock, &log);
    SerialChannel ch(port, clock);
    Controller c(ch);
    port.existing = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};
    port.responder = [&](std::uint8_t b) -> QByteArray {
        if (b == 0x01 && ch.devicePath(ch.selectedPort()) == "/dev/ttyS2") return QByteArray("\x05\x00", 2);
        return {};
    };
    QStringList progress;
    const AutodetectResult res =
        autodetect(c, autodetectComPorts(), [&](const AutodetectStep& s) { progress << s.port; });
    QCOMPARE(res.found, QStringLiteral("com3"));
    QCOMPARE(res.selected, QStringLiteral("com3"));
    QCOMPARE(progress, (QStringList{"com1", "com2", "com3"}));
    for (const QString& e : describe(log))
        QVERIFY2(!e.contains("ttyS3"), qPrintable(e)); // COM4 never opened
    QVERIFY(!ch.isOpen());
    ShellModel shell;
    QCOMPARE(autodetectResultText(res, shell), QStringLiteral("Sterownik znaleziono na com3"));
}

void TestNavigator::autodetectWithoutPorts() {
    std::vector<LinkEvent> log;
    FakeClock clock(&log);
    FakePort port(clock, &log);
    SerialChannel ch(port, clock);
    Controller c(ch);
    port.existing.clear();
    ch.setSelectedPort(QStringLiteral("com2"));
    const AutodetectResult res = autodetect(c, autodetectComPorts());
    QVERIFY(res.found.isEmpty());
    QCOMPARE(res.selected, QStringLiteral("com2"));
    QCOMPARE(int(res.steps.size()), 8);
    QVERIFY(port.sentBytes().empty());
    ShellModel shell;
    QCOMPARE(autodetectResultText(res, shell), shell.text(30001));
}

void TestNavigator::autodetectSilentPortsKeepsLastOpened() {
    std::vector<LinkEvent> log;
    FakeClock clock(&log);
    FakePort port(clock, &log);
    SerialChannel ch(port, clock);
    Controller c(ch);
    port.existing = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};
    ch.setAnswerByte(0, 7); // a stale byte must not look like a controller
    const AutodetectResult res = autodetect(c, autodetectComPorts());
    QCOMPARE(res.selected, QStringLiteral("com4"));
    QVERIFY(res.found.isEmpty());
    QVERIFY(!c.controllerPresent());
}

void TestNavigator::captionAndPortMessage() {
    ShellModel shell;
    shell.texts().set(30000, QStringLiteral("sterownik wersja"));
    shell.texts().set(30001, QStringLiteral("brak sterownika"));
    QCOMPARE(shell::windowCaption(0, shell),
             QStringLiteral("Quendrix wersja 4.3 (Build 94) - brak sterownika"));
    QCOMPARE(shell::windowCaption(6, shell),
             QStringLiteral("Quendrix wersja 4.3 (Build 94) - sterownik wersja 6"));
}

// A Polish window says in Polish why a port failed, never in the system's
// English words; only a refusal for want of rights names the 'dialout' group.
void TestNavigator::portReasonsInTheWindowsWords() {
    const std::pair<PortFailure, const char*> reasons[] = {
        {PortFailure::PermissionDenied, "brak uprawnień do portu"},
        {PortFailure::NotFound, "nie ma takiego urządzenia (czy jest podłączone?)"},
        {PortFailure::Busy, "port jest zajęty przez inny program"},
        {PortFailure::Lost, "urządzenie przestało działać (czy nie odłączono go?)"},
        {PortFailure::Unlisted, "to nie jest port szeregowy znany systemowi"},
        {PortFailure::Other, "system nie pozwolił otworzyć portu"}};
    ShellModel shell;
    for (const auto& [failure, reason] : reasons) {
        const PortError e{"com1", "/dev/ttyUSB0", "Some English words", failure};
        const QString shown = QStringLiteral("/dev/ttyUSB0: ") + QString::fromUtf8(reason);
        const QString box = portErrorMessage(e, shell);
        QVERIFY2(box.startsWith(shell.text(textkey::PortOpenFailed) + "\n\n" + shown), qPrintable(box));
        QCOMPARE(box.contains("dialout"), failure == PortFailure::PermissionDenied);
        QCOMPARE(portErrorPanelText(e, shell), shown);
    }
}

QTEST_GUILESS_MAIN(TestNavigator)
#include "tst_navigator.moc"
