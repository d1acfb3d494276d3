#include "shell/ui/MainWindow.h"

#include "adapt/ui/AutoadaptacjaPage.h"
#include "link/QtSerialPort.h"
#include "live/ui/ObrotyPage.h"
#include "live/ui/WizualizacjaPage.h"
#include "params/ui/DrukowaniePage.h"
#include "params/ui/ParametryPage.h"
#include "shell/Autodetect.h"
#include "shell/DataPaths.h"
#include "shell/Session.h"
#include "shell/SettingsFile.h"
#include "shell/Startup.h"
#include "shell/ui/AboutBox.h"
#include "shell/ui/Artwork.h"
#include "shell/ui/HelpWindow.h"

#include "link/PortMap.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <cmath>

using shell::Page;

namespace {
constexpr int ClientWidth = 799;
constexpr int ClientHeight = 540;
constexpr int ExitQuestion = 30005;

int roundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}
} // namespace

TForm1::TForm1() : TForm1(Setup{}) {}

TForm1::TForm1(Setup setup, QWidget* parent) : QMainWindow(parent), setup_(std::move(setup)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quendrix 4.3"));
    setWindowIcon(artwork::windowIcon());
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);

    SerialPort* port = setup_.port;
    if (!port) {
        ownPort_ = std::make_unique<QtSerialPort>();
        port = ownPort_.get();
    }
    Clock* clock = setup_.clock;
    if (!clock) {
        ownClock_ = std::make_unique<SystemClock>();
        clock = ownClock_.get();
    }
    session_ = std::make_unique<Session>(*port, *clock);
    session_->channel.setObserver(this);
    session_->setMessagePanel = [this](const QString& t) {
        if (panel1_) panel1_->setText(t);
    };
    session_->messagePanel = [this]() { return panel1_ ? panel1_->text() : QString(); };
    navigator_ = std::make_unique<shell::Navigator>(*session_);

    buildStatusBar();
    buildTimers(); // before the pages: they connect to them
    buildPages();
    buildMenu();
    form3_ = new TForm3(this);
    form3_->hide();

    // Fixed border: the client area is the designed 799 x 540 below the menu.
    setFixedSize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    FormCreate();
}

TForm1::~TForm1() {
    // The pages hold references to the session; they go before it does.
    delete pages_;
    pages_ = nullptr;
    session_->channel.StopPolling();
    session_->channel.setObserver(nullptr);
}

void TForm1::buildTimers() {
    struct Def {
        QTimer* Timers::*slot;
        const char* name;
        int interval;
    };
    static const Def defs[] = {
        {&Timers::TimerObr, "TimerObr", 100},
        {&Timers::TimerParamOdcz, "TimerParamOdcz", 200},
        {&Timers::TimerWiz, "TimerWiz", 50},
        {&Timers::TimerAdaptTerm, "TimerAdaptTerm", 100},
        {&Timers::TimerUstTpsProg, "TimerUstTpsProg", 100},
        {&Timers::TimerKalibSonda, "TimerKalibSonda", 100},
        {&Timers::TimerPrzedRed, "TimerPrzedRed", 100},
        {&Timers::TimerRR, "TimerRR", 100},
        {&Timers::TimerMinMax1, "TimerMinMax1", 100},
        {&Timers::TimerMinMax2, "TimerMinMax2", 100},
    };
    Timers& t = session_->timers;
    for (const Def& d : defs) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QString::fromLatin1(d.name));
        timer->setInterval(d.interval);
        t.*d.slot = timer;
    }
    session_->channel.setPollingTimers({t.TimerObr, t.TimerWiz, t.TimerAdaptTerm, t.TimerUstTpsProg,
                                        t.TimerKalibSonda, t.TimerPrzedRed, t.TimerRR, t.TimerMinMax1,
                                        t.TimerMinMax2, t.TimerParamOdcz});
}

void TForm1::buildPages() {
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("pagecontrol1"));
    obroty_ = new ObrotyPage(*session_, pages_);
    parametry_ = new ParametryPage(*session_, pages_);
    wizualizacja_ = new WizualizacjaPage(*session_, pages_);
    autoadaptacja_ = new AutoadaptacjaPage(*session_, pages_);
    drukowanie_ = new DrukowaniePage(*session_, pages_);
    pages_->addTab(obroty_, QStringLiteral("Obroty"));
    pages_->addTab(parametry_, QStringLiteral("Parametry systemu"));
    pages_->addTab(wizualizacja_, QStringLiteral("Wizualizacja"));
    pages_->addTab(autoadaptacja_, QStringLiteral("Autoadaptacja"));
    pages_->addTab(drukowanie_, QStringLiteral("Drukowanie parametrów"));
    navigator_->setPage(Page::Obroty, obroty_);
    navigator_->setPage(Page::Parametry, parametry_);
    navigator_->setPage(Page::Wizualizacja, wizualizacja_);
    navigator_->setPage(Page::Autoadaptacja, autoadaptacja_);
    navigator_->setPage(Page::Drukowanie, drukowanie_);
    navigator_->showPage = [this](Page p) { showPage(p); };
    navigator_->setPrintTabVisible = [this](bool v) {
        pages_->setTabVisible(static_cast<int>(Page::Drukowanie), v);
    };
    setCentralWidget(pages_);

    // A tab click must be seen before the switch, while the old page is still
    // the active one, so that it can refuse; menu selection bypasses this.
    pages_->tabBar()->installEventFilter(this);
    pages_->installEventFilter(this);
    connect(pages_, &QTabWidget::currentChanged, this, &TForm1::onCurrentChanged);
}

QAction* TForm1::addItem(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& key) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    if (!key.isEmpty()) a->setShortcut(key);
    if (menu) menu->addAction(a);
    return a;
}

void TForm1::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto submenu = [this](QMenu* parentMenu, const QString& name, const QString& caption) {
        QMenu* m = parentMenu ? parentMenu->addMenu(caption) : menuBar()->addMenu(caption);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name);
        return m;
    };

    QMenu* menu = submenu(nullptr, QStringLiteral("MenuTab"), QStringLiteral("Menu"));
    connect(addItem(menu, QStringLiteral("ParButton"), QStringLiteral("Parametry systemu"), Qt::Key_F2),
            &QAction::triggered, this, [this] { selectPageFromMenu(Page::Parametry); });
    connect(addItem(menu, QStringLiteral("WizButton"), QStringLiteral("Wizualizacja"), Qt::Key_F3),
            &QAction::triggered, this, [this] { selectPageFromMenu(Page::Wizualizacja); });
    connect(addItem(menu, QStringLiteral("ObrButton"), QStringLiteral("Obroty"), Qt::Key_F4),
            &QAction::triggered, this, [this] { selectPageFromMenu(Page::Obroty); });
    connect(addItem(menu, QStringLiteral("AutoButton"), QStringLiteral("Autoadaptacja"), Qt::Key_F5),
            &QAction::triggered, this, [this] { selectPageFromMenu(Page::Autoadaptacja); });
    connect(addItem(menu, QStringLiteral("DruButton"), QStringLiteral("Drukowanie parametrów"), Qt::Key_F9),
            &QAction::triggered, this, [this] { selectPageFromMenu(Page::Drukowanie); });

    // Hidden items: not in the visible menu, but their shortcuts work because
    // they belong to the window.
    QAction* back = addItem(nullptr, QStringLiteral("a1"), QStringLiteral("Cofnij"), Qt::Key_Backspace);
    QAction* next = addItem(nullptr, QStringLiteral("Dalej1"), QStringLiteral("Dalej"));
    next->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    QAction* version =
        addItem(nullptr, QStringLiteral("wersjasterownika1"), QStringLiteral("wersja sterownika"),
                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F1));
    for (QAction* a : {back, next, version}) {
        a->setVisible(true);
        addAction(a);
    }
    connect(back, &QAction::triggered, this, &TForm1::a1Click);
    connect(next, &QAction::triggered, this, &TForm1::Dalej1Click);
    connect(version, &QAction::triggered, this, &TForm1::wersjasterownika1Click);

    menu->addSeparator()->setObjectName(QStringLiteral("N2"));
    connect(addItem(menu, QStringLiteral("DefaultOption"), QStringLiteral("Domyślne ustawienia")),
            &QAction::triggered, this, &TForm1::DefaultOptionClick);

    QMenu* portMenu = submenu(nullptr, QStringLiteral("PortGroup"), QStringLiteral("Port"));
    portGroup_ = new QActionGroup(this);
    portGroup_->setExclusive(true);
    for (int n = 1; n <= 8; ++n) {
        QAction* a = addItem(portMenu, QStringLiteral("PCOM%1").arg(n), QStringLiteral("COM%1").arg(n));
        a->setCheckable(true);
        a->setChecked(n == 1);
        portGroup_->addAction(a);
        connect(a, &QAction::triggered, this, [this, n] { PCOMClick(n); });
    }
    portMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
    connect(addItem(portMenu, QStringLiteral("AutodetekcjaMenu"), QStringLiteral("Autodetekcja")),
            &QAction::triggered, this, &TForm1::AutodetekcjaMenuClick);

    // Language, layout and skin choices: the items and their radio groups. The
    // language files, screen-size layouts and skins attach to these items.
    QMenu* lang = submenu(nullptr, QStringLiteral("Jezyki"), QStringLiteral("Język"));
    auto* langGroup = new QActionGroup(this);
    const std::pair<const char*, const char*> langs[] = {{"JPolski", "Polski"},
                                                         {"JAngielski", "Angielski"},
                                                         {"JRosyjski", "Rosyjski"},
                                                         {"JCzeski", "Czeski"},
                                                         {"JWloski", "Włoski"}};
    for (const auto& [name, caption] : langs) {
        QAction* a = addItem(lang, QString::fromLatin1(name), QString::fromUtf8(caption));
        a->setCheckable(true);
        a->setChecked(QLatin1String(name) == QLatin1String("JPolski"));
        langGroup->addAction(a);
    }

    QMenu* look = submenu(nullptr, QStringLiteral("Wyglad"), QStringLiteral("Wyglad"));
    QMenu* size = submenu(look, QStringLiteral("Czcionka"), QStringLiteral("Rozdzielczość"));
    auto* sizeGroup = new QActionGroup(this);
    const std::pair<const char*, const char*> sizes[] = {
        {"CzcionkaMala", "640x480"}, {"CzcionkaSrednia", "720x576"}, {"CzcionkaDuza", "800x600"},
        {"N1024", "1024x768"},       {"N1152", "1152x864"},          {"N1280", "1280x1024"}};
    for (const auto& [name, caption] : sizes) {
        QAction* a = addItem(size, QString::fromLatin1(name), QString::fromLatin1(caption));
        a->setCheckable(true);
        a->setChecked(QLatin1String(name) == QLatin1String("CzcionkaSrednia"));
        sizeGroup->addAction(a);
    }
    QMenu* skin = submenu(look, QStringLiteral("Skorka"), QStringLiteral("Skorka"));
    auto* skinGroup = new QActionGroup(this);
    const std::tuple<const char*, const char*, int> skins[] = {{"skorkaKol", "skorka kolor", Qt::Key_F1},
                                                               {"skorkaZwy", "skorka zwykla", Qt::Key_F2},
                                                               {"SkorkaSil", "skorka srebrna", Qt::Key_F3},
                                                               {"SkorkaBez", "skorka bezbarwna", Qt::Key_F4}};
    for (const auto& [name, caption, key] : skins) {
        QAction* a = addItem(skin, QString::fromLatin1(name), QString::fromLatin1(caption),
                             QKeySequence(Qt::CTRL | static_cast<Qt::Key>(key)));
        a->setCheckable(true);
        a->setChecked(QLatin1String(name) == QLatin1String("skorkaZwy"));
        skinGroup->addAction(a);
    }
    QAction* remember =
        addItem(look, QStringLiteral("PamOstRozdz"), QStringLiteral("pamietaj ost rozdzielczosc"));
    remember->setCheckable(true);

    QAction* help = addItem(nullptr, QStringLiteral("PomocButton"), QStringLiteral("Pomoc"), Qt::Key_F1);
    bar->addAction(help);
    connect(help, &QAction::triggered, this, &TForm1::PomocButtonClick);
    QAction* quit = addItem(nullptr, QStringLiteral("KoniecButton"), QStringLiteral("Koniec"));
    bar->addAction(quit);
    connect(quit, &QAction::triggered, this, &TForm1::KoniecButtonClick);
    QAction* about = addItem(nullptr, QStringLiteral("oprogramiebutton"), QStringLiteral("o programie"));
    bar->addAction(about);
    connect(about, &QAction::triggered, this, &TForm1::oprogramiebuttonClick);
}

void TForm1::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(20);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    panel0_ = new QLabel(bar);
    panel0_->setObjectName(QStringLiteral("StatusPanel0"));
    panel0_->setFixedWidth(150);
    panel1_ = new QLabel(bar);
    panel1_->setObjectName(QStringLiteral("StatusPanel1"));
    panel1_->setMinimumWidth(50);
    for (QLabel* l : {panel0_, panel1_}) {
        l->setFont(f);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    bar->addWidget(panel0_);
    bar->addWidget(panel1_, 1);
}

QAction* TForm1::menuItem(const QString& name) const {
    return findChild<QAction*>(name);
}

void TForm1::FormCreate() {
    shell::resetRuntimeState(*session_);
    // Initial folder of the parameter-file dialogs: <working folder>/param
    // (shell::parameterDialogFolder(), taken by the dialogs when they open).
    pages_->setTabVisible(static_cast<int>(Page::Drukowanie), false);
    session_->paramsVisited = false;
    session_->languageCode = QStringLiteral("PL");
    session_->languageFile = QStringLiteral("polish.lng");
    session_->channel.setSelectedPort(QStringLiteral("com1"));
    if (QAction* a = menuItem(QStringLiteral("PamOstRozdz"))) a->setChecked(false);
    session_->written = true;
    session_->helpFile = QStringLiteral("help/quendrix_pl.html");

    loadSettings();
    if (setup_.configureLink) setup_.configureLink(*session_);
    const int n = SerialChannel::comNumber(session_->channel.selectedPort());
    if (QAction* a = menuItem(QStringLiteral("PCOM%1").arg(n))) a->setChecked(true);

    panel0_->clear();
    centreOnScreen();

    navigator_->setCurrent(Page::Obroty);
    showPage(Page::Obroty);
    shell::StartupSteps steps;
    steps.versionDependentControls = [this] { obroty_->applyVersionDependentControls(); };
    steps.analogThreshold = [this] { obroty_->analogThresholdStartup(); };
    steps.readIgnition = [this] { obroty_->readIgnitionIntoCombos(); };
    shell::runStartupExchanges(*session_, steps);
    updateStepShortcuts();
}

void TForm1::loadSettings() {
    auto settings = shell::openSettings();
    loadPortMap(*settings, session_->channel);
}

void TForm1::saveSettings() {
    // Every close passes here; the settings of the port map ("Ports") are only
    // ever read, so nothing of them is rewritten.
    ++saves_;
    auto settings = shell::openSettings();
    settings->sync();
}

void TForm1::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect g = screen->geometry();
    move(g.left() + roundEven(g.width() * 0.5) - roundEven(width() * 0.5),
         g.top() + roundEven(g.height() * 0.5) - roundEven(height() * 0.5));
}

void TForm1::showPage(Page page) {
    programmaticSwitch_ = true;
    pages_->setCurrentIndex(static_cast<int>(page));
    programmaticSwitch_ = false;
    updateStepShortcuts();
}

void TForm1::updateStepShortcuts() {
    // Enter and Backspace belong to the hidden items only where a page gives
    // them a meaning; elsewhere they keep their ordinary use in the widgets.
    const PageHooks* page = navigator_->page(navigator_->current());
    const bool used = navigator_->current() == Page::Parametry || (page && page->usesStepKeys());
    if (QAction* a = menuItem(QStringLiteral("Dalej1"))) a->setEnabled(used);
    if (QAction* a = menuItem(QStringLiteral("a1"))) a->setEnabled(used);
}

void TForm1::selectPageFromMenu(Page page) {
    navigator_->selectFromMenu(page);
    updateStepShortcuts();
}

void TForm1::tabRequested(int index) {
    if (index < 0 || index >= shell::PageCount || index == pages_->currentIndex()) return;
    if (!pages_->isTabVisible(index) || !pages_->isTabEnabled(index)) return;
    navigator_->tabClicked(static_cast<Page>(index));
    updateStepShortcuts();
}

int TForm1::neighbourTab(int from, int step, bool wrap) const {
    const int n = pages_->count();
    int i = from;
    for (int k = 0; k < n; ++k) {
        i += step;
        if (i < 0 || i >= n) {
            if (!wrap) return from;
            i = (i + n) % n;
        }
        if (pages_->isTabVisible(i) && pages_->isTabEnabled(i)) return i;
    }
    return from;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    QTabBar* bar = pages_ ? pages_->tabBar() : nullptr;
    if (bar && watched == bar) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() != Qt::LeftButton) break;
            const int index = bar->tabAt(me->position().toPoint());
            if (index < 0 || index == bar->currentIndex()) break;
            tabRequested(index);
            return true;
        }
        case QEvent::Wheel:
            return true; // the wheel does not flip pages
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const int cur = bar->currentIndex();
            int target = -1;
            if (key == Qt::Key_Left || key == Qt::Key_Up) target = neighbourTab(cur, -1, false);
            if (key == Qt::Key_Right || key == Qt::Key_Down) target = neighbourTab(cur, 1, false);
            if (key == Qt::Key_Home) target = neighbourTab(-1, 1, false);
            if (key == Qt::Key_End) target = neighbourTab(pages_->count(), -1, false);
            if (target < 0) break;
            tabRequested(target);
            return true;
        }
        default:
            break;
        }
    }
    if (pages_ && watched == pages_ && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->modifiers() & Qt::ControlModifier) {
            int step = 0;
            if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_PageDown) step = 1;
            if (ke->key() == Qt::Key_Backtab || ke->key() == Qt::Key_PageUp) step = -1;
            if (ke->key() == Qt::Key_Tab && (ke->modifiers() & Qt::ShiftModifier)) step = -1;
            if (step != 0) {
                tabRequested(neighbourTab(pages_->currentIndex(), step, true));
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::onCurrentChanged(int index) {
    if (programmaticSwitch_) return;
    // Any other way the page control switched on its own: go back to the page
    // that is still current and let the change run as a tab click.
    const int previous = static_cast<int>(navigator_->current());
    if (index == previous) return;
    programmaticSwitch_ = true;
    pages_->setCurrentIndex(previous);
    programmaticSwitch_ = false;
    tabRequested(index);
}

void TForm1::KoniecButtonClick() {
    const auto answer = QMessageBox::question(this, QStringLiteral("Quendrix"), session_->text(ExitQuestion),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) return;
    session_->channel.StopPolling();
    saveSettings();
    settingsSavedOnExit_ = true;
    close();
}

void TForm1::FormClose() {
    session_->channel.StopPolling();
    if (!settingsSavedOnExit_) saveSettings();
    settingsSavedOnExit_ = true;
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    if (help_) help_->close();
    QMainWindow::closeEvent(event);
}

bool TForm1::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        // FormActivate: the ignition list gets the focus when it can take it.
        if (QWidget* combo = obroty_ ? obroty_->findChild<QWidget*>(QStringLiteral("ComboBox2")) : nullptr)
            if (combo->isVisible() && combo->isEnabled() && combo->focusPolicy() != Qt::NoFocus)
                combo->setFocus();
    }
    return QMainWindow::event(e);
}

void TForm1::DefaultOptionClick() {
    Session& s = *session_;
    s.channel.ClosePort();
    s.channel.setSelectedPort(QStringLiteral("com1"));
    if (QAction* a = menuItem(QStringLiteral("PCOM1"))) a->setChecked(true);
    s.languageCode = QStringLiteral("PL");
    s.languageFile = QStringLiteral("polish.lng");
    if (QAction* a = menuItem(QStringLiteral("JPolski"))) a->setChecked(true);
    if (QAction* a = menuItem(QStringLiteral("skorkaZwy"))) {
        a->setChecked(true);
        a->trigger();
    }
    // The parameter side: block read, parameters page filled, port opened.
    parametry_->DefaultOptionClick();
}

void TForm1::PomocButtonClick() {
    const QString file = shell::resolveDataPath(session_->helpFile);
    if (!help_) help_ = new HelpWindow(this);
    if (!help_->showTopic(file, QStringLiteral("IDH_210")))
        QMessageBox::warning(this, QStringLiteral("Quendrix"),
                             QStringLiteral("Nie można otworzyć pliku pomocy:\n%1").arg(file));
}

void TForm1::oprogramiebuttonClick() {
    form3_->setBuildDate(QStringLiteral("30.VI.2005"));
    form3_->setCaptionCopy(windowTitle());
    form3_->exec();
}

void TForm1::wersjasterownika1Click() {
    if (navigator_->current() != Page::Parametry) return;
    // The version read closes the port; the readings poll of this page goes on
    // on a port reopened for it, or it would find nothing until the next change.
    const bool wasOpen = session_->channel.isOpen();
    session_->controller.ReadVersion();
    if (wasOpen) session_->channel.OpenPort();
}

void TForm1::PCOMClick(int n) {
    session_->channel.setSelectedPort(QStringLiteral("com%1").arg(n));
    if (QAction* a = menuItem(QStringLiteral("PCOM%1").arg(n))) a->setChecked(true);
}

void TForm1::AutodetekcjaMenuClick() {
    shell::autodetectController(*session_, [this](int n) {
        if (QAction* a = menuItem(QStringLiteral("PCOM%1").arg(n))) a->setChecked(true);
    });
}

void TForm1::Dalej1Click() {
    if (navigator_->current() == Page::Parametry) {
        parametry_->dalejPressed();
    } else if (PageHooks* page = navigator_->page(navigator_->current()); page && page->usesStepKeys()) {
        page->stepForward();
    }
}

void TForm1::a1Click() {
    if (navigator_->current() == Page::Parametry) {
        parametry_->cofnijPressed();
    } else if (PageHooks* page = navigator_->page(navigator_->current()); page && page->usesStepKeys()) {
        page->stepBack();
    }
}

void TForm1::linkStateText(const QString& text) {
    if (panel0_) panel0_->setText(text);
}

void TForm1::transmissionErrorText(const QString& text) {
    if (session_->setTransmissionError) session_->setTransmissionError(text);
}

void TForm1::portOpenFailed(const QString& message) {
    QMessageBox::critical(this, QStringLiteral("Quendrix"), message, QMessageBox::Ok);
}

void TForm1::captionChanged(const QString& caption) {
    setWindowTitle(caption);
}

void TForm1::analogGroupVisible(bool visible) {
    if (session_->showAnalogGroup) session_->showAnalogGroup(visible);
}

QString TForm1::languageText(int key) const {
    return session_->text(key);
}
