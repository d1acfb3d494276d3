#pragma once
#include "core/ShellModel.h"
#include "link/ControllerLink.h"
#include "link/SerialDevices.h"
#include "shell/Navigator.h"
#include "shell/SettingsStore.h"
#include "shell/ui/LayoutApplier.h"

#include <QMainWindow>
#include <QMessageBox>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class ParameterModel;
class LiveModel;
namespace params {
class RestorePointStore;
class WriteGate;
class ParameterSession;
} // namespace params
class QAction;
class QDateTime;
class QActionGroup;
class QLabel;
class QMenu;
class QProgressBar;
class QTabWidget;
class QTimer;
class QToolButton;
class EngineSpeedPage;
class ParametersPage;
class LivePage;
class WizardPage;
class PrintPage;
class AboutDialog;
class HelpWindow;
class TraceWindow;
class PortControl;
class RecordingControl;
class LiveSession;
namespace shell {
class PortSession;
}

// The main window Form1: menus, the five pages and the status bar. It creates
// the models and the controller link and wires them together; the page-change
// rules are in shell::Navigator and every page is its own class.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    struct Setup {
        // The serial port and clock, made on the link's thread; the real ones
        // when empty (tests pass fakes).
        ControllerLink::PortFactory makePort;
        ControllerLink::ClockFactory makeClock;
        // Runs after the settings are loaded and before the first exchange:
        // where the command line maps ports (--port, --demo).
        std::function<void(ControllerLink&)> configureLink;
        // The screen the layouts are chosen for; the primary screen when empty.
        std::function<LayoutApplier::Screen()> screen;
        // The serial devices the Port menu and the autodetection offer; the
        // system's own when empty.
        std::function<QList<SerialDevice>()> serialDevices;
        // Message boxes of the shell (language, skin and settings problems);
        // a real box when empty.
        std::function<void(QMessageBox::Icon icon, const QString& text)> message;
    };

    MainWindow();
    explicit MainWindow(Setup setup, QWidget* parent = nullptr);
    ~MainWindow() override;

    ControllerLink& link() { return *link_; }
    ParameterModel& params() { return *params_; }
    params::WriteGate& gate() { return *gate_; }
    params::ParameterSession& paramSession() { return *paramSession_; }
    LiveModel& live() { return *live_; }
    LiveSession& liveSession() { return *liveSession_; }
    ShellModel& shell() { return *shell_; }
    Models models();
    shell::Navigator& navigator() { return *navigator_; }
    QTabWidget* pageControl() const { return pages_; }
    QAction* menuItem(const QString& name) const;
    AboutDialog* aboutBox() const { return form3_; }
    HelpWindow* helpWindow() const { return help_; }
    LayoutApplier& layoutApplier() { return *layout_; }
    LayoutApplier::Screen screen() const;

    // Handlers of the menu items.
    void selectPageFromMenu(shell::Page page);
    void KoniecButtonClick();
    void DefaultOptionClick();
    void PomocButtonClick();
    void oprogramiebuttonClick();
    void wersjasterownika1Click();
    void Dalej1Click();
    void a1Click();
    // ProtocolTrace (Ctrl+T): the protocol trace window, made on first use.
    void protocolTraceClick();
    TraceWindow* traceWindow() const { return trace_.get(); }
    // JPolski ... JWloski: the language file of that item.
    void languageMenuClick(const QString& languageFile);
    // skorkaKol ... SkorkaBez: the skin of that code ("col", "ord", "sil", "nak").
    void skinMenuClick(const QString& skinCode);
    // CzcionkaMala ... N1280: layout item 1 ... 6.
    void layoutMenuClick(int item);
    // The Port menu, the autodetection and the link's status panel.
    PortControl& ports() { return *ports_; }
    // The drive log's items, status panel and viewer.
    RecordingControl& recording() { return *recording_; }

    // Loads lang/<file> onto the window; false when the file stopped early.
    bool loadLanguageFile(const QString& file);
    // Loads the skin of a code; true (and its item checked) when the whole file was read.
    bool loadSkin(const QString& skinCode);

    // The fitter's choices as the menus and the comments switch hold them now.
    shell::ShellSettings currentSettings() const;
    // The single place where the settings are persisted.
    void saveSettings();
    int settingsSaveCount() const { return saves_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPages();
    void buildMenu();
    void buildStatusBar();
    void connectLink();
    void FormCreate();
    // Settings, layout and skin of the creation sequence; the language file to load.
    QString loadSettings();
    void centreOnScreen();
    void setPrintTabVisible(bool visible);
    void showPage(shell::Page page);
    void updateStepShortcuts();
    void tabRequested(int index);
    int neighbourTab(int from, int step, bool wrap) const;
    void onCurrentChanged(int index);
    void FormClose();
    void setBusyShown(bool shown);
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& key = {});
    void shellMessage(QMessageBox::Icon icon, const QString& text);
    void placePageControl();

    Setup setup_;
    // Declared before the link: jobs still on the link's worker when it
    // goes use the gate, and the gate its restore points.
    std::unique_ptr<params::RestorePointStore> restorePoints_;
    std::unique_ptr<params::WriteGate> gate_;
    std::unique_ptr<ControllerLink> link_;
    std::unique_ptr<ShellModel> shell_;
    std::unique_ptr<ParameterModel> params_;
    std::unique_ptr<params::ParameterSession> paramSession_;
    std::unique_ptr<LiveModel> live_;
    std::unique_ptr<LiveSession> liveSession_;
    std::unique_ptr<shell::PortSession> portSession_;
    std::unique_ptr<shell::Navigator> navigator_;
    std::unique_ptr<PortControl> ports_;
    std::unique_ptr<RecordingControl> recording_;
    // Goes before the link whose trace it reads.
    std::unique_ptr<TraceWindow> trace_;

    QTabWidget* pages_ = nullptr;
    EngineSpeedPage* obroty_ = nullptr;
    ParametersPage* parametry_ = nullptr;
    LivePage* wizualizacja_ = nullptr;
    WizardPage* autoadaptacja_ = nullptr;
    PrintPage* drukowanie_ = nullptr;
    QLabel* panel1_ = nullptr;
    QProgressBar* busyBar_ = nullptr;
    QTimer* busyDelay_ = nullptr;
    QAction* skinItem_ = nullptr; // item of the skin in force
    AboutDialog* form3_ = nullptr;
    HelpWindow* help_ = nullptr;
    QWidget* client_ = nullptr;
    LayoutApplier* layout_ = nullptr;
    std::unique_ptr<shell::SettingsStore> store_;
    QRect pagesBounds_; // what the layout asks for pagecontrol1

    bool busyShown_ = false;
    bool programmaticSwitch_ = false;
    bool settingsSavedOnExit_ = false;
    int saves_ = 0;
};
