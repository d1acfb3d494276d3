#pragma once
// What the wizard's logic exchanges with the page that shows it and with the
// controller link: live frames in, link actions and step views out.
#include "adapt/Adaptation.h"
#include "adapt/Bar.h"
#include "core/Controls.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace adapt {

// One PollLiveFrame: bytes 0..8 as polled (a frame of 8 bytes leaves byte 8
// at 0) and what the poll reported.
struct LiveFrame {
    std::array<std::uint8_t, 9> bytes{};
    bool ok = false;
    std::uint8_t operator[](int i) const { return bytes[static_cast<std::size_t>(i)]; }
};

// The wizard's 100 ms timers, in the order StopPolling disables them.
enum class Timer { AdaptTerm, UstTpsProg, KalibSonda, PrzedRed, RR, MinMax1, MinMax2 };
constexpr int TimerCount = 7;
constexpr int TimerIntervalMs = 100;

// What a gated write is for: the adaptation set-up, the final write of the
// learnt values, or the ignition system chosen on step 1.
enum class WriteKind { Setup, Final, Ignition };

// One thing the link (or the shell) must do, in the order given.
struct LinkAction {
    enum class Kind {
        OpenPort,
        ClosePort,
        Write,          // the commands of group through the write gate, value a WriteKind; when
                        // they do not all go out, Wizard::writeLost decides what follows
        Pause,          // value ms
        PollEntry,      // PollLiveFrame, then Wizard::entryPolled with its frame
        ReadIgnition,   // ReadIgnition, then Wizard::ignitionRead with its result
        StartTimer,     // timer
        StopTimer,      // timer
        StopPolling,    // every polling timer off
        MarkNotWritten, // the parameter set counts as not written
        Resume,         // Wizard::resume(value) once everything before it is done
        Finish,         // leave for the parameters page: read the block, fill the page, write it
    };
    Kind kind = Kind::OpenPort;
    int value = 0;
    Timer timer = Timer::AdaptTerm;
    std::vector<Bytes> group;

    static LinkAction make(Kind k) { return {k, 0, Timer::AdaptTerm, {}}; }
    static LinkAction write(std::vector<Bytes> commands, WriteKind kind) {
        return {Kind::Write, static_cast<int>(kind), Timer::AdaptTerm, std::move(commands)};
    }
    static LinkAction pause(int ms) { return {Kind::Pause, ms, Timer::AdaptTerm, {}}; }
    static LinkAction start(Timer t) { return {Kind::StartTimer, 0, t, {}}; }
    static LinkAction stop(Timer t) { return {Kind::StopTimer, 0, t, {}}; }
    static LinkAction resume(int token) { return {Kind::Resume, token, Timer::AdaptTerm, {}}; }
    WriteKind writeKind() const { return static_cast<WriteKind>(value); }
    bool operator==(const LinkAction&) const = default;
};

struct Reaction {
    std::vector<LinkAction> actions;
    bool empty() const { return actions.empty(); }
    Bytes sentBytes() const; // the bytes of every Write, in order
    void add(LinkAction a) { actions.push_back(std::move(a)); }
    void add(const Reaction& r) { actions.insert(actions.end(), r.actions.begin(), r.actions.end()); }
};

// Bar options of the instrument widgets, as bits.
namespace BarOption {
constexpr int Limit = 1;
constexpr int Overflow = 2;
constexpr int Sector = 4;
constexpr int Unit = 8;
constexpr int Name1 = 16;
} // namespace BarOption

// An engine-speed round meter and its panel (speed rounded to 50).
struct SpeedView {
    int digit = 0;
    QString panel;
};

// Step 1, adaptterm.
struct TermView {
    int thermometer = 0;            // AdaptTherm digit
    SpeedView speed;                // ObrTerm, PanelTerm
    bool forwardEnabled = false;    // termbutton
    bool sensorSwitchShown = false; // WlCzujtTempAd, WlCzujtTempCheckAd
    bool sensorChecked = false;     // WlCzujtTempCheckAd (and CheckBox22_2)
    int ignitionIndex = 2;          // ComboTerm
};

// Step 2, AdaptTps.
struct TpsView {
    SpeedView speed;             // AdaptObr1, Adapt2PanelObr
    QString idleText;            // TPSdolny
    QString speedText;           // TPSgorny
    QString thresholdText;       // TPSprog
    bool lamp = false;           // DbLed4
    bool forwardEnabled = false; // tpsbutton
    bool doneShown = false;      // Label56
};

// Step 3, adaptsonda.
struct ProbeView {
    SpeedView speed;             // ObrSondy, Adapt4PanelObr
    QString leanText;            // PUboga
    QString richText;            // PBogata
    QString thresholdText;       // PProg
    Bar bar{{0, 60, 0.0, 60.0}}; // lambdabar
    QString barEnd;              // Ad4LabelV: "1 V" or "5 V"
    Bar progress;                // miernik
    bool lamp = false;           // LED1
    bool forwardEnabled = false; // SondButton
    bool doneShown = false;      // Label87
};

// Steps 4 and 5, adapt5 and adapt6: the car's description.
struct CarView {
    Gearbox gearbox = Gearbox::Manual;                // SRCheckbox8 / srcheckbox9
    Capacity capacity = Capacity::From15To2;          // SRCheckBox3 ... SRCheckBox7
    Manifold manifold = Manifold::Metal;              // SRCheckBox1 / srcheckbox2
    ReserveSensor reserve = ReserveSensor::Sensor20k; // SRCheckBox10 / SRCheckBox11
};

// Step 6, przedreduktorem.
struct SwitchOverView {
    SpeedView speed;             // ObrPrzedRed, PanellPrzedRed
    bool lamp = false;           // LedPrzedRed
    bool switchedShown = false;  // NastapiloPrzejscieBGLABEL
    bool forwardEnabled = false; // przedreduktbutton
};

// Step 7, Regulacjareduktora.
struct ReducerView {
    Bar bar{{0, 50, 0.0, 50.0}};   // LambdabarRR
    std::optional<int> barOptions; // set on entry; nullopt: as designed
    bool lamp = false;             // LedRR
    bool forwardEnabled = false;   // RRbutton
};

// Step 8, MinMaxTab.
struct StepperView {
    SpeedView speed;               // ObrMinMax, PanelObrMinMax
    QString minText;               // PanelMin
    QString maxText;               // PanelMax
    QString startText;             // PanelStart
    bool minLamp = false;          // LedMin
    bool maxLamp = false;          // LedMax
    Bar bar{{0, 255, 0.0, 255.0}}; // LambdaBarObr1
    std::optional<int> barOptions; // set on entry
    Bar progress;                  // LambdaBarObr2
    bool doneShown = false;        // KomunikatKoncowy "Autoadaptacja zakończona"
    bool idleHintShown = false;    // Label70
    bool speedHintShown = false;   // Label76
    bool forwardEnabled = false;   // MinMaxButton
};

struct WizardView {
    int step = 0; // 1..8, the only visible tab; 0 before the wizard is entered
    TermView term;
    TpsView tps;
    ProbeView probe;
    CarView car;
    SwitchOverView switchOver;
    ReducerView reducer;
    StepperView stepper;
    bool forwardEnabled(int step) const;
};

// The wizard's pages in order, with the names of their controls.
struct StepInfo {
    int number;
    ctl::ControlId page;                // tab of PageControl2
    const char* caption;                // default caption, shown in Label11 while the step is current
    ctl::ControlId forward;             // forward button
    std::optional<ctl::ControlId> back; // back button, none on step 1
    std::optional<Timer> timer;
};
const StepInfo& stepInfo(int number); // 1..8
constexpr int StepCount = 8;

// Texts the steps put into their panels.
QString placeholderText(); // "......."

} // namespace adapt
