#pragma once
#include "link/Autodetect.h"
#include "link/LinkObserver.h"
#include "link/SerialDevices.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class ControllerLink;
class LiveModel;
namespace shell {
class PortSession;
}
class ShellModel;
class QAction;
class QActionGroup;
class QDateTime;
class QLabel;
class QMenu;
class QProgressBar;
class QToolButton;
class QWidget;

// Which serial port the link uses, how the fitter finds it, and what he is
// told when it fails: the Port menu (COM1 ... COM8, the devices present,
// Autodetekcja), the autodetection's progress and stop button, status panel 0
// and the port box, shown once per failure episode.
class PortControl : public QObject {
    Q_OBJECT
public:
    // window: parent of the menu items (their shortcuts and object names are
    // the window's) and of the box; session: the autodetection's exchanges;
    // devices: the serial devices present.
    PortControl(QWidget* window, ControllerLink& link, shell::PortSession& session, ShellModel& shell,
                LiveModel& live, std::function<QList<SerialDevice>()> devices);
    ~PortControl() override;

    // Fills the Port menu.
    void buildMenu(QMenu* portMenu);
    // The status bar's widgets, for the window to place.
    QLabel* linkPanel() const { return panel0_; }
    QProgressBar* autodetectProgress() const { return autodetectBar_; }
    QToolButton* autodetectStopButton() const { return autodetectStop_; }

    // Handlers of the Port menu's items.
    void PCOMClick(int n);
    // A serial device of the Port menu (a path outside COM1 ... COM8).
    void selectPortDevice(const QString& path);
    void AutodetekcjaMenuClick();
    // The device items again from the devices present now.
    void refreshPortDevices();
    // Stops a running autodetection before its next port.
    void cancelAutodetection();
    bool autodetecting() const { return autodetectCancel_ != nullptr; }

    // Another port chosen by the program (settings, default settings): the
    // link uses it, the menu marks it and its failures get a box again.
    void selectPort(const QString& port);
    // The menu's mark follows the link's selected port.
    void syncPortItems();
    // The COM port the "Port" setting keeps, and the chosen device outside
    // COM1 ... COM8 (empty for a COM port).
    int lastCom() const { return lastCom_; }
    void setLastCom(int n) { lastCom_ = n; }
    QString portDevice() const { return portDevice_; }
    // Start of the program: nothing to report yet.
    void clearLinkState();

private:
    void showPortError(const PortError& error);
    void portLost(const PortError& error);
    void portOpened(const QString& port);
    // Status panel 0 from the link's state: a port down, bad frames, silence.
    void refreshLinkPanel();
    // Another port chosen, or the port works again: the next failure gets its box.
    void resetPortEpisode();
    static QString clockText(const QDateTime& t);
    QList<SerialDevice> listedDevices() const;
    void showAutodetectProgress(int total);
    void autodetectStep(const AutodetectStep& step);
    void autodetectFinished(const AutodetectResult& result);

    QWidget* window_;
    ControllerLink& link_;
    shell::PortSession& session_;
    ShellModel& shell_;
    LiveModel& live_;
    std::function<QList<SerialDevice>()> devices_;

    QLabel* panel0_ = nullptr;
    QProgressBar* autodetectBar_ = nullptr;
    QToolButton* autodetectStop_ = nullptr;
    QMenu* portMenu_ = nullptr;
    QActionGroup* portGroup_ = nullptr;
    QAction* comItems_[8] = {};
    QAction* devicesStart_ = nullptr;   // the separator before the device items
    QAction* portDevicesEnd_ = nullptr; // the separator before Autodetekcja
    QAction* autodetectItem_ = nullptr;
    QList<QAction*> deviceItems_;
    std::shared_ptr<std::atomic<bool>> autodetectCancel_;

    QString portDevice_; // chosen device outside COM1 ... COM8, empty for COMn
    int lastCom_ = 1;
    QString portBoxShownFor_; // the port whose open failure (or loss) has been reported
    std::optional<PortError> lastPortError_;
    bool answered_ = true;
};
