#pragma once
// Every exchange of the engine-speed page, the live page and the parameters
// page's readings panel, in the order the link needs it (polling stopped,
// port closed, reads, port opened, polling started again), and the one place
// their polled frames are decoded. Pages call its intents and show what it
// publishes; they never see the link or a frame.
#include "live/IgnitionPage.h"
#include "live/LiveDecode.h"

#include <QObject>
#include <QString>
#include <QVector>

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

private:
    void framesPolled(const QString& timer, const QVector<LiveFrame>& frames);
    void stateChanged(const LinkState& state);
    // Decoded once; the petrol state follows every good frame.
    live::Readings decode(const LiveFrame& frame);

    ControllerLink& link_;
    LiveModel& live_;
    ParameterModel& params_;
    params::WriteGate& gate_;
    bool thresholdTyped_ = false;
    bool analogCapable_ = false;
};
