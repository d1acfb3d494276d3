#pragma once
#include "link/ControllerLink.h"
#include "shell/Navigator.h"
#include "shell/ShellModel.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

class ParameterModel;
class LiveModel;
class QAction;
class QDateTime;
class QActionGroup;
class QLabel;
class QMenu;
class QProgressBar;
class QTabWidget;
class QTimer;
class ObrotyPage;
class ParametryPage;
class WizualizacjaPage;
class AutoadaptacjaPage;
class DrukowaniePage;
class AboutDialog;
class HelpWindow;

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
    };

    MainWindow();
    explicit MainWindow(Setup setup, QWidget* parent = nullptr);
    ~MainWindow() override;

    ControllerLink& link() { return *link_; }
    ParameterModel& params() { return *params_; }
    LiveModel& live() { return *live_; }
    ShellModel& shell() { return *shell_; }
    Models models();
    shell::Navigator& navigator() { return *navigator_; }
    QTabWidget* pageControl() const { return pages_; }
    QAction* menuItem(const QString& name) const;
    AboutDialog* aboutBox() const { return form3_; }
    HelpWindow* helpWindow() const { return help_; }

    // Handlers of the menu items.
    void selectPageFromMenu(shell::Page page);
    void KoniecButtonClick();
    void DefaultOptionClick();
    void PomocButtonClick();
    void oprogramiebuttonClick();
    void wersjasterownika1Click();
    void PCOMClick(int n);
    void AutodetekcjaMenuClick();
    void Dalej1Click();
    void a1Click();

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
    void loadSettings();
    void centreOnScreen();
    void showPage(shell::Page page);
    void updateStepShortcuts();
    void tabRequested(int index);
    int neighbourTab(int from, int step, bool wrap) const;
    void onCurrentChanged(int index);
    void FormClose();
    void showPortError(const PortError& error);
    // Status panel 0 from the link's state: a port down, bad frames, silence.
    void refreshLinkPanel();
    // Another port chosen, or the port works again: the next failure gets its box.
    void resetPortEpisode();
    static QString clockText(const QDateTime& t);
    void setBusyShown(bool shown);
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& key = {});

    Setup setup_;
    std::unique_ptr<ControllerLink> link_;
    std::unique_ptr<ShellModel> shell_;
    std::unique_ptr<ParameterModel> params_;
    std::unique_ptr<LiveModel> live_;
    std::unique_ptr<shell::Navigator> navigator_;

    QTabWidget* pages_ = nullptr;
    ObrotyPage* obroty_ = nullptr;
    ParametryPage* parametry_ = nullptr;
    WizualizacjaPage* wizualizacja_ = nullptr;
    AutoadaptacjaPage* autoadaptacja_ = nullptr;
    DrukowaniePage* drukowanie_ = nullptr;
    QLabel* panel0_ = nullptr;
    QLabel* panel1_ = nullptr;
    QProgressBar* busyBar_ = nullptr;
    QTimer* busyDelay_ = nullptr;
    QActionGroup* portGroup_ = nullptr;
    AboutDialog* form3_ = nullptr;
    HelpWindow* help_ = nullptr;

    QString portBoxShownFor_; // the port whose open failure (or loss) has been reported
    std::optional<PortError> lastPortError_;
    bool answered_ = true;
    bool busyShown_ = false;
    bool programmaticSwitch_ = false;
    bool settingsSavedOnExit_ = false;
    int saves_ = 0;
};
