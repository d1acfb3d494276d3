#pragma once
// Every exchange of the engine-speed page, the live page and the parameters
// page's readings panel, in the order the link needs it (polling stopped,
// port closed, reads, port opened, polling started again), and the one place
// their polled frames are decoded. Pages call its intents and show what it
// publishes; they never see the link or a frame.
#include "live/IgnitionPage.h"
#include "live/LiveDecode.h"
#include "live/PeriodFilter.h"
#include "live/Recorder.h"
#include "live/Replay.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>
#include <memory>
#include <optional>

class ControllerLink;
class LiveModel;
class ParameterModel;
namespace params {
class WriteGate;
}
struct LiveFrame;
struct LinkState;

class LiveSession : public QObject {
    Q_OBJECT
public:
    LiveSession(ControllerLink& link, LiveModel& live, ParameterModel& params, params::WriteGate& gate,
                QObject* parent = nullptr);
    // A recording still open is closed; nothing of this session hears of it.
    ~LiveSession() override;

    // The creation sequence's exchanges: version-dependent controls, analog
    // threshold, version read (caption), ignition read into both lists, port
    // closed and opened again, TimerObr started.
    void startUp();

    // Engine-speed page: ignition read, port opened, TimerObr, then the
    // threshold check and read.
    void enterEngineSpeedPage();
    // However the page is left: on a controller with the threshold, the
    // fitter's threshold reaches it, unless it is only the list's start item
    // (never read, loaded nor typed).
    void leaveEngineSpeedPage();
    // ComboBox2: the next tick converts with the choice; the controller gets
    // it when the page is left.
    void chooseIgnition(int index);
    // Edit23's text; typed: the fitter changed it by hand.
    void setThreshold(const QString& text, bool typed);
    // "Odczyt układu zapłonowego": threshold, features, version and ignition
    // read again with TimerObr stopped, then polling goes on.
    void OdczytUkladuButtClick();
    bool analogCapable() const { return analogCapable_; }

    // Live page: block read (probe kind, reserve sensor, ignition constant),
    // features, port opened, TimerWiz.
    void enterLivePage();

    // The live page is left (its leave steps): a replay ends, polls go back to
    // their usual pace.
    void leaveLivePage();

    // The drive log: every frame any polling page receives, from start to
    // stop, whatever page is shown. Closed when the port is lost.
    live::Recorder& recorder() { return recorder_; }
    // Into folder; when empty, the one set here, else the recorder's default.
    bool startRecording(const QString& folder = QString());
    void setLogFolder(const QString& folder) { logFolder_ = folder; }
    void stopRecording();
    // Fast log: while recording on the live page, TimerWiz polls as fast as
    // the line carries frames; every frame is decoded and recorded, the page
    // gets the newest readings at TimerWiz's usual pace.
    void setFastLog(bool on);
    bool fastLog() const { return fastLog_; }
    bool fastPolling() const { return fastPolling_; }

    // A log played into the live page instead of the controller's frames:
    // TimerWiz stops until the replay ends (stopReplay or the page is left).
    live::Replay& replay() { return replay_; }
    void startReplay(std::shared_ptr<const live::LogData> log, const QString& name);
    void stopReplay();
    bool replaying() const { return replaying_; }
    QString replayName() const { return replayName_; }

    // One tick of each page's timer, on the frame it polled. The link's
    // polls arrive here; tests that poll by hand hand their frames in too.
    void TimerObrTimer(const LiveFrame& frame);
    void TimerWizTimer(const LiveFrame& frame);
    void TimerParamOdczTimer(const LiveFrame& frame);

signals:
    // A TimerObr tick that gave a speed (otherwise the read-out stays).
    void engineSpeedRead(const live::SpeedReadout& readout);
    // A good frame of TimerWiz / TimerParamOdcz, decoded.
    void liveRead(const live::Readings& readings);
    void panelRead(const live::Readings& readings);
    // The live page's entry read is in (ok: a whole block came and fills the
    // parameter set): its scalings follow the probe kind.
    void livePageRead(bool ok);
    void analogCapabilityChanged(bool capable);
    void replayingChanged(bool replaying);
    // startRecording could not create the files (the folder or file and the system's reason).
    void recordingRefused(const QString& reason);

private:
    void framesPolled(const QString& timer, const QVector<LiveFrame>& frames);
    void stateChanged(const LinkState& state);
    // Decoded once; the petrol state follows every good frame.
    live::Readings decode(const LiveFrame& frame);
    // A frame that brought bytes goes into the drive log, with its readings
    // when it was decoded (frames no page decodes are decoded for the log).
    void record(const LiveFrame& frame, const std::optional<live::Readings>& readings, int constant);
    void record(const LiveFrame& frame, const std::optional<live::Readings>& readings);
    void startLivePolling();
    void updatePollPace();

    ControllerLink& link_;
    LiveModel& live_;
    ParameterModel& params_;
    params::WriteGate& gate_;
    bool thresholdTyped_ = false;
    bool analogCapable_ = false;

    live::Recorder recorder_;
    PeriodFilter logFilter_;
    live::Replay replay_;
    QString replayName_;
    QString logFolder_;
    QTimer pageTick_; // fast log: the newest readings to the page
    std::optional<live::Readings> newest_;
    bool fastLog_ = false;
    bool fastPolling_ = false;
    bool onLivePage_ = false;
    bool replaying_ = false;
};
