#include "shell/ui/MainWindow.h"

#include "adapt/ui/AutoadaptacjaPage.h"
#include "link/Autodetect.h"
#include "link/Numeric.h"
#include "link/PortMap.h"
#include "link/QtSerialPort.h"
#include "live/LiveModel.h"
#include "live/ui/ObrotyPage.h"
#include "live/ui/WizualizacjaPage.h"
#include "params/ParameterModel.h"
#include "params/ui/DrukowaniePage.h"
#include "params/ui/ParametryPage.h"
#include "shell/DataPaths.h"
#include "shell/PollTimers.h"
#include "shell/SettingsFile.h"
#include "shell/ShellTexts.h"
#include "shell/Startup.h"
#include "shell/ui/AboutDialog.h"
#include "shell/ui/Artwork.h"
#include "shell/ui/HelpWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

using shell::Page;

namespace {
constexpr int ClientWidth = 799;
constexpr int ClientHeight = 540;
constexpr int ExitQuestion = 30005;
// A procedure shorter than this shows no wait cursor: it would only flicker.
constexpr int BusyCursorDelayMs = 150;

int roundInt(double v) {
    return static_cast<int>(roundEven(v));
}
} // namespace

MainWindow::MainWindow() : MainWindow(Setup{}) {}

MainWindow::MainWindow(Setup setup, QWidget* parent) : QMainWindow(parent), setup_(std::move(setup)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quendrix 4.3"));
    setWindowIcon(artwork::windowIcon());
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);

    ControllerLink::PortFactory makePort = setup_.makePort;
    if (!makePort) makePort = [] { return std::make_unique<QtSerialPort>(); };
    ControllerLink::ClockFactory makeClock = setup_.makeClock;
    if (!makeClock) makeClock = [] { return std::make_unique<SystemClock>(); };
    link_ = std::make_unique<ControllerLink>(std::move(makePort), std::move(makeClock));
    shell_ = std::make_unique<ShellModel>();
    params_ = std::make_unique<ParameterModel>();
    live_ = std::make_unique<LiveModel>(*link_, *params_);
    navigator_ = std::make_unique<shell::Navigator>(models());

    buildStatusBar();
    buildPages();
    buildMenu();
    connectLink();
    form3_ = new AboutDialog(this);
    form3_->hide();

    // Fixed border: the client area is the designed 799 x 540 below the menu.
    setFixedSize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    FormCreate();
}

MainWindow::~MainWindow() {
    // The tab widget goes before the window's own children; nothing may ask it
    // for its tab bar while it is being destroyed.
    if (pages_) {
        pages_->tabBar()->removeEventFilter(this);
        pages_->removeEventFilter(this);
    }
    disconnect(pages_, nullptr, this, nullptr);
    link_->stopAllPolling();
    // The pages observe the models and the link; they go first.
    delete pages_;
    pages_ = nullptr;
}

Models MainWindow::models() {
    return Models{*link_, *params_, *live_, *shell_};
}

void MainWindow::connectLink() {
    ControllerLink& l = *link_;
    connect(&l, &ControllerLink::answerStatusChanged, this, [this](bool answered) {
        answered_ = answered;
        refreshLinkPanel();
    });
    connect(&l, &ControllerLink::portOpenFailed, this, &MainWindow::showPortError);
    connect(&l, &ControllerLink::portLost, this, [this](const PortError& e) {
        // No box: the adapter was pulled or the line died under a running
        // page. The status bar says when, and polling tries the port again.
        lastPortError_ = e;
        portBoxShownFor_ = e.port;
        shell_->setMessage(shell_->text(textkey::PortLost)
                               .arg(shortened(e.port, 80), clockText(QDateTime::currentDateTime())));
        refreshLinkPanel();
    });
    connect(&l, &ControllerLink::portOpened, this, [this](const QString& port) {
        // The port works again: say since when it did not. A later failure is
        // a new episode and gets its box.
        if (port == portBoxShownFor_) {
            shell_->setMessage(shell_->text(textkey::PortBack)
                                   .arg(shortened(port, 80), clockText(QDateTime::currentDateTime()),
                                        clockText(live_->portDownSince())));
            resetPortEpisode();
        }
        refreshLinkPanel();
    });
    connect(live_.get(), &LiveModel::transmissionErrorChanged, this, &MainWindow::refreshLinkPanel);
    connect(live_.get(), &LiveModel::frameErrorChanged, this, &MainWindow::refreshLinkPanel);
    connect(shell_.get(), &ShellModel::textsChanged, this, &MainWindow::refreshLinkPanel);
    connect(&l, &ControllerLink::versionRead, this,
            [this](int code) { setWindowTitle(shell::windowCaption(code, *shell_)); });
    connect(&l, &ControllerLink::busyChanged, this, [this](bool busy) {
        if (busy) {
            busyDelay_->start();
        } else {
            busyDelay_->stop();
            setBusyShown(false);
        }
    });
    connect(shell_.get(), &ShellModel::messageChanged, this,
            [this](const QString& t) { panel1_->setText(shortened(t)); });
}

void MainWindow::setBusyShown(bool shown) {
    if (shown == busyShown_) return;
    busyShown_ = shown;
    busyBar_->setVisible(shown);
    if (shown)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWindow::refreshLinkPanel() {
    // The port's trouble comes first, then bad data, then silence.
    QString text;
    if (live_->portDown() && lastPortError_)
        text = portErrorPanelText(*lastPortError_);
    else if (live_->frameError())
        text = shell_->text(textkey::BadFrame);
    else if (!answered_ || live_->portDown())
        text = shell_->text(textkey::NoAnswer);
    if (panel0_->text() != text) panel0_->setText(text);
}

void MainWindow::resetPortEpisode() {
    portBoxShownFor_.clear();
    lastPortError_.reset();
    refreshLinkPanel();
}

QString MainWindow::clockText(const QDateTime& t) {
    return t.toString(QStringLiteral("HH:mm:ss"));
}

void MainWindow::showPortError(const PortError& e) {
    // One box per failure episode: until the port opens again or another port
    // is chosen, the status bar keeps telling.
    lastPortError_ = e;
    refreshLinkPanel();
    if (portBoxShownFor_ == e.port) return;
    portBoxShownFor_ = e.port;
    const QString msg = portErrorMessage(e, *shell_);
    // A wait cursor over a message box would hide that the program waits for the fitter.
    const bool busy = busyShown_;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox::critical(this, QStringLiteral("Quendrix"), msg, QMessageBox::Ok);
    if (busy) QApplication::restoreOverrideCursor();
}

void MainWindow::buildPages() {
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("pagecontrol1"));
    obroty_ = new ObrotyPage(models(), pages_);
    parametry_ = new ParametryPage(models(), pages_);
    wizualizacja_ = new WizualizacjaPage(models(), pages_);
    autoadaptacja_ = new AutoadaptacjaPage(models(), pages_);
    drukowanie_ = new DrukowaniePage(models(), pages_);
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
    navigator_->showWriteMessages = [this](const std::vector<std::pair<QString, QString>>& boxes) {
        std::vector<WriteMessage> messages;
        for (const auto& [text, caption] : boxes)
            messages.push_back({text, caption});
        parametry_->showWriteMessages(messages);
    };
    navigator_->changed = [this] { updateStepShortcuts(); };
    setCentralWidget(pages_);

    // A tab click must be seen before the switch, while the old page is still
    // the active one, so that it can refuse; menu selection bypasses this.
    pages_->tabBar()->installEventFilter(this);
    pages_->installEventFilter(this);
    connect(pages_, &QTabWidget::currentChanged, this, &MainWindow::onCurrentChanged);
}

QAction* MainWindow::addItem(QMenu* menu, const QString& name, const QString& caption,
                             const QKeySequence& key) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    if (!key.isEmpty()) a->setShortcut(key);
    if (menu) menu->addAction(a);
    return a;
}

void MainWindow::buildMenu() {
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
    connect(back, &QAction::triggered, this, &MainWindow::a1Click);
    connect(next, &QAction::triggered, this, &MainWindow::Dalej1Click);
    connect(version, &QAction::triggered, this, &MainWindow::wersjasterownika1Click);

    menu->addSeparator()->setObjectName(QStringLiteral("N2"));
    connect(addItem(menu, QStringLiteral("DefaultOption"), QStringLiteral("Domyślne ustawienia")),
            &QAction::triggered, this, &MainWindow::DefaultOptionClick);

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
            &QAction::triggered, this, &MainWindow::AutodetekcjaMenuClick);

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
    connect(help, &QAction::triggered, this, &MainWindow::PomocButtonClick);
    QAction* quit = addItem(nullptr, QStringLiteral("KoniecButton"), QStringLiteral("Koniec"));
    bar->addAction(quit);
    connect(quit, &QAction::triggered, this, &MainWindow::KoniecButtonClick);
    QAction* about = addItem(nullptr, QStringLiteral("oprogramiebutton"), QStringLiteral("o programie"));
    bar->addAction(about);
    connect(about, &QAction::triggered, this, &MainWindow::oprogramiebuttonClick);
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(20);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    panel0_ = new QLabel(bar);
    panel0_->setObjectName(QStringLiteral("StatusPanel0"));
    // 150 pixels wide as designed, wider when the link state needs it: the
    // no-answer text must be read whole.
    panel0_->setMinimumWidth(150);
    panel1_ = new QLabel(bar);
    panel1_->setObjectName(QStringLiteral("StatusPanel1"));
    panel1_->setMinimumWidth(50);
    for (QLabel* l : {panel0_, panel1_}) {
        l->setFont(f);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    bar->addWidget(panel0_);
    bar->addWidget(panel1_, 1);

    busyBar_ = new QProgressBar(bar);
    busyBar_->setObjectName(QStringLiteral("BusyIndicator"));
    busyBar_->setRange(0, 0); // no end known: it only says the program is working
    busyBar_->setFixedWidth(70);
    busyBar_->setMaximumHeight(14);
    busyBar_->setTextVisible(false);
    busyBar_->setToolTip(QStringLiteral("Trwa wymiana danych ze sterownikiem"));
    busyBar_->hide();
    bar->addPermanentWidget(busyBar_);
    busyDelay_ = new QTimer(this);
    busyDelay_->setSingleShot(true);
    busyDelay_->setInterval(BusyCursorDelayMs);
    connect(busyDelay_, &QTimer::timeout, this, [this] { setBusyShown(link_->busy()); });
}

QAction* MainWindow::menuItem(const QString& name) const {
    return findChild<QAction*>(name);
}

void MainWindow::FormCreate() {
    Models m = models();
    shell::resetRuntimeState(m);
    // Initial folder of the parameter-file dialogs: <working folder>/param
    // (shell::parameterDialogFolder(), taken by the dialogs when they open).
    pages_->setTabVisible(static_cast<int>(Page::Drukowanie), false);
    shell_->paramsVisited = false;
    shell_->languageCode = QStringLiteral("PL");
    shell_->languageFile = QStringLiteral("polish.lng");
    link_->setSelectedPort(QStringLiteral("com1"));
    if (QAction* a = menuItem(QStringLiteral("PamOstRozdz"))) a->setChecked(false);
    params_->setWritten(true);
    shell_->helpFile = QStringLiteral("help/quendrix_pl.html");

    loadSettings();
    if (setup_.configureLink) setup_.configureLink(*link_);
    const int n = SerialChannel::comNumber(link_->selectedPort());
    if (QAction* a = menuItem(QStringLiteral("PCOM%1").arg(n))) a->setChecked(true);

    panel0_->clear();
    centreOnScreen();

    navigator_->setCurrent(Page::Obroty);
    showPage(Page::Obroty);
    shell::runStartupExchanges(m);
    updateStepShortcuts();
}

void MainWindow::loadSettings() {
    auto settings = shell::openSettings();
    const PortMapping map = readPortMap(*settings);
    for (auto it = map.constBegin(); it != map.constEnd(); ++it)
        link_->setDevicePath(it.key(), it.value());
}

void MainWindow::saveSettings() {
    // Every close passes here; the settings of the port map ("Ports") are only
    // ever read, so nothing of them is rewritten.
    ++saves_;
    auto settings = shell::openSettings();
    settings->sync();
}

void MainWindow::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect g = screen->geometry();
    move(g.left() + roundInt(g.width() * 0.5) - roundInt(width() * 0.5),
         g.top() + roundInt(g.height() * 0.5) - roundInt(height() * 0.5));
}

void MainWindow::showPage(Page page) {
    programmaticSwitch_ = true;
    pages_->setCurrentIndex(static_cast<int>(page));
    programmaticSwitch_ = false;
    updateStepShortcuts();
}

void MainWindow::updateStepShortcuts() {
    // Enter and Backspace belong to the hidden items only where a page gives
    // them a meaning; elsewhere they keep their ordinary use in the widgets.
    const PageHooks* page = navigator_->page(navigator_->current());
    const bool used = navigator_->current() == Page::Parametry || (page && page->usesStepKeys());
    if (QAction* a = menuItem(QStringLiteral("Dalej1"))) a->setEnabled(used);
    if (QAction* a = menuItem(QStringLiteral("a1"))) a->setEnabled(used);
}

void MainWindow::selectPageFromMenu(Page page) {
    navigator_->selectFromMenu(page);
}

void MainWindow::tabRequested(int index) {
    if (index < 0 || index >= shell::PageCount || index == pages_->currentIndex()) return;
    if (!pages_->isTabVisible(index) || !pages_->isTabEnabled(index)) return;
    navigator_->tabClicked(static_cast<Page>(index));
}

int MainWindow::neighbourTab(int from, int step, bool wrap) const {
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

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
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

void MainWindow::onCurrentChanged(int index) {
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

void MainWindow::KoniecButtonClick() {
    const auto answer = QMessageBox::question(this, QStringLiteral("Quendrix"), shell_->text(ExitQuestion),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) return;
    link_->stopAllPolling();
    saveSettings();
    settingsSavedOnExit_ = true;
    close();
}

void MainWindow::FormClose() {
    link_->stopAllPolling();
    if (!settingsSavedOnExit_) saveSettings();
    settingsSavedOnExit_ = true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    FormClose();
    if (help_) help_->close();
    QMainWindow::closeEvent(event);
}

bool MainWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        // FormActivate: the ignition list gets the focus when it can take it.
        if (QWidget* combo = obroty_ ? obroty_->findChild<QWidget*>(QStringLiteral("ComboBox2")) : nullptr)
            if (combo->isVisible() && combo->isEnabled() && combo->focusPolicy() != Qt::NoFocus)
                combo->setFocus();
    }
    return QMainWindow::event(e);
}

void MainWindow::DefaultOptionClick() {
    link_->whenIdle(this, [this] {
        link_->run(nullptr, [](Controller& c) { c.channel().ClosePort(); });
        link_->setSelectedPort(QStringLiteral("com1"));
        resetPortEpisode();
        if (QAction* a = menuItem(QStringLiteral("PCOM1"))) a->setChecked(true);
        shell_->languageCode = QStringLiteral("PL");
        shell_->languageFile = QStringLiteral("polish.lng");
        if (QAction* a = menuItem(QStringLiteral("JPolski"))) a->setChecked(true);
        if (QAction* a = menuItem(QStringLiteral("skorkaZwy"))) {
            a->setChecked(true);
            a->trigger();
        }
        // The parameter side: block read, parameters page filled, port opened.
        parametry_->DefaultOptionClick();
    });
}

void MainWindow::PomocButtonClick() {
    const QString file = shell::resolveDataPath(shell_->helpFile);
    if (!help_) help_ = new HelpWindow(this);
    if (!help_->showTopic(file, QStringLiteral("IDH_210")))
        QMessageBox::warning(this, QStringLiteral("Quendrix"),
                             QStringLiteral("Nie można otworzyć pliku pomocy:\n%1").arg(file));
}

void MainWindow::oprogramiebuttonClick() {
    form3_->setBuildDate(QStringLiteral("30.VI.2005"));
    form3_->setCaptionCopy(windowTitle());
    form3_->exec();
}

void MainWindow::wersjasterownika1Click() {
    if (navigator_->current() != Page::Parametry) return;
    link_->whenIdle(this, [this] {
        // The version read closes the port; the readings poll of this page goes
        // on on a port reopened for it, or it would find nothing until the next change.
        link_->run(nullptr, [](Controller& c) {
            const bool wasOpen = c.channel().isOpen();
            c.ReadVersion();
            if (wasOpen) c.channel().OpenPort();
        });
    });
}

void MainWindow::PCOMClick(int n) {
    link_->setSelectedPort(QStringLiteral("com%1").arg(n));
    resetPortEpisode();
    if (QAction* a = menuItem(QStringLiteral("PCOM%1").arg(n))) a->setChecked(true);
}

void MainWindow::AutodetekcjaMenuClick() {
    link_->whenIdle(this, [this] {
        link_->call<AutodetectResult>(
            this, [](Controller& c) { return autodetect(c, autodetectComPorts()); },
            [this](const AutodetectResult& r) {
                shell_->setMessage(autodetectResultText(r, *shell_));
                link_->setSelectedPort(r.selected);
                resetPortEpisode();
                const int n = SerialChannel::comNumber(r.selected);
                if (QAction* a = menuItem(QStringLiteral("PCOM%1").arg(n))) a->setChecked(true);
            });
    });
}

void MainWindow::Dalej1Click() {
    if (navigator_->current() == Page::Parametry) {
        parametry_->dalejPressed();
    } else if (PageHooks* page = navigator_->page(navigator_->current()); page && page->usesStepKeys()) {
        page->stepForward();
    }
}

void MainWindow::a1Click() {
    if (navigator_->current() == Page::Parametry) {
        parametry_->cofnijPressed();
    } else if (PageHooks* page = navigator_->page(navigator_->current()); page && page->usesStepKeys()) {
        page->stepBack();
    }
}
