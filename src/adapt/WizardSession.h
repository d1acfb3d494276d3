#pragma once
// The autoadaptation wizard's session: the Wizard and every exchange it asks
// for, on the controller link and through the write gate. It owns the step
// timers (as link polls), the entry read, the port order, the checks of what
// each write got to the controller, and the restore of a wizard left before
// it finished. The page passes the fitter's intents in and shows view().
#include "adapt/Wizard.h"
#include "core/ShellModel.h"

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace params {
class WriteGate;
struct GateReport;
struct RestoreReport;
struct WriteContext;
} // namespace params

namespace adapt {

class ReactionRunner;

// Language texts the session puts on the status bar.
namespace wizardtext {
constexpr int Restored = 31060;       // the controller holds again what it held before the wizard
constexpr int RestorePending = 31061; // the port is gone: the restore waits for it
constexpr int RestoreFailed = 31062;  // the block could not be given back
constexpr int SetupLost = 31063;      // %1 the parameters that did not reach the controller
constexpr int FinalLost = 31064;      // %1 likewise, for the final write
} // namespace wizardtext

class WizardSession : public QObject {
    Q_OBJECT
public:
    // The gate must outlive the link's jobs (the window creates it before the link).
    WizardSession(Models models, params::WriteGate& gate, QObject* parent = nullptr);
    ~WizardSession() override;

    // The main page: the wizard entered, left by a page change, the program closing.
    void enter();
    void leave();
    void programClosing();

    // The fitter's intents.
    void forward();                     // "Dalej": the current step's forward button, when enabled
    void back();                        // "Cofnij"
    void press(int step, bool forward); // a step's own forward or back button
    void comboTermEnter();              // Enter in ComboTerm
    void selectTab(int step);           // a wizard tab chosen in PageControl2
    void chooseIgnition(int index);     // ComboTerm
    void chooseTemperatureSensor(bool on);
    void clickGearbox(Gearbox clicked, bool checkedAfterClick);
    void selectCapacity(Capacity capacity);
    void clickManifold(Manifold clicked, bool checkedAfterClick);
    void selectReserveSensor(ReserveSensor sensor);

    const Wizard& wizard() const { return wizard_; }
    const WizardView& view() const { return wizard_.view(); }
    // True while the entry or a reaction (exchanges, the switch-over pause) is under way.
    bool busy() const;
    // The controller may still hold the adaptation set-up; the restore waits for the port.
    bool restorePending() const { return pending_; }

signals:
    void changed();
    // The entry's reads are done and step 1 polls.
    void entered();
    // A set-up or the final write did not all reach the controller: its step
    // stopped; the text says what is missing and what to do (on the status bar too).
    void writeLost(const QString& text);

private:
    struct RestoreResult;
    void run(const Reaction& reaction);
    void act(std::function<Reaction()> action);
    void ticked(Timer timer, const std::vector<LiveFrame>& polls);
    bool onWritten(WriteKind kind, const params::GateReport& report);
    params::WriteContext context(const QString& what) const;
    bool sensorOnInParameters() const;
    void restoreIfAbandoned();
    void postRestore();
    void restored(const RestoreResult& result);
    // A status-bar text, shown after the page change that is under way has cleared the bar.
    void sayLater(const QString& text);

    Models m_;
    params::WriteGate& gate_;
    Wizard wizard_;
    ReactionRunner* runner_ = nullptr;
    bool active_ = false;   // the wizard is the main page (from enter to its leave or finish)
    bool entering_ = false; // the entry's port and version exchange is under way
    int entryGeneration_ = 0;
    bool ignitionRead_ = false;

    // What an abandoned wizard gives back.
    std::optional<std::array<std::uint8_t, 37>> kept_; // the block the wizard found
    bool sent_ = false;                                // a set-up or the final write was sent since
    bool finished_ = false;
    bool pending_ = false; // left while the port was gone
    bool writtenBefore_ = true;
    bool clearedBeforeEntry_ = false;
};

} // namespace adapt
