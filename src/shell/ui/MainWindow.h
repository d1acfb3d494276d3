#pragma once
#include "link/LinkObserver.h"
#include "shell/Navigator.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class Clock;
class SerialPort;
class Session;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QTabWidget;
class QTimer;
class ObrotyPage;
class ParametryPage;
class WizualizacjaPage;
class AutoadaptacjaPage;
class DrukowaniePage;
class TForm3;
class HelpWindow;

// The main window Form1: menus, the five pages, the status bar and the ten
// timers. It only wires things together; the page-change rules are in
// shell::Navigator and every page is its own class.
class TForm1 : public QMainWindow, public LinkObserver {
    Q_OBJECT
public:
    struct Setup {
        // The serial port and clock; the real ones when null (tests pass fakes).
        SerialPort* port = nullptr;
        Clock* clock = nullptr;
        // Runs after the settings are loaded and before the first exchange:
        // where the command line maps ports (--port, --demo).
        std::function<void(Session&)> configureLink;
    };

    TForm1();
    explicit TForm1(Setup setup, QWidget* parent = nullptr);
    ~TForm1() override;

    Session& session() { return *session_; }
    shell::Navigator& navigator() { return *navigator_; }
    QTabWidget* pageControl() const { return pages_; }
    QAction* menuItem(const QString& name) const;
    TForm3* aboutBox() const { return form3_; }
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

    // LinkObserver
    void linkStateText(const QString& text) override;
    void transmissionErrorText(const QString& text) override;
    void portOpenFailed(const QString& message) override;
    void captionChanged(const QString& caption) override;
    void analogGroupVisible(bool visible) override;
    QString languageText(int key) const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTimers();
    void buildPages();
    void buildMenu();
    void buildStatusBar();
    void FormCreate();
    void loadSettings();
    void centreOnScreen();
    void showPage(shell::Page page);
    void updateStepShortcuts();
    void tabRequested(int index);
    int neighbourTab(int from, int step, bool wrap) const;
    void onCurrentChanged(int index);
    void FormClose();
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& key = {});

    std::unique_ptr<SerialPort> ownPort_;
    std::unique_ptr<Clock> ownClock_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<shell::Navigator> navigator_;
    Setup setup_;

    QTabWidget* pages_ = nullptr;
    ObrotyPage* obroty_ = nullptr;
    ParametryPage* parametry_ = nullptr;
    WizualizacjaPage* wizualizacja_ = nullptr;
    AutoadaptacjaPage* autoadaptacja_ = nullptr;
    DrukowaniePage* drukowanie_ = nullptr;
    QLabel* panel0_ = nullptr;
    QLabel* panel1_ = nullptr;
    QActionGroup* portGroup_ = nullptr;
    TForm3* form3_ = nullptr;
    HelpWindow* help_ = nullptr;

    bool programmaticSwitch_ = false;
    bool settingsSavedOnExit_ = false;
    int saves_ = 0;
};
