#include "shell/ui/MainWindow.h"
#include "core/Controls.h"

#include "adapt/ui/WizardPage.h"
#include "core/DataPaths.h"
#include "core/LanguageKeys.h"
#include "core/Numeric.h"
#include "core/PollTimers.h"
#include "link/Autodetect.h"
#include "link/PortMap.h"
#include "link/QtSerialPort.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "live/ui/EngineSpeedPage.h"
#include "live/ui/LivePage.h"
#include "params/ParameterModel.h"
#include "params/ParameterSession.h"
#include "params/RestorePoints.h"
#include "params/WriteGate.h"
#include "params/ui/ParametersPage.h"
#include "params/ui/PrintPage.h"
#include "shell/LanguageFile.h"
#include "shell/PortSession.h"
#include "shell/SettingsFile.h"
#include "shell/ShellTexts.h"
#include "shell/SkinKeys.h"
#include "shell/Startup.h"
#include "shell/ui/AboutDialog.h"
#include "shell/ui/Artwork.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/LanguageApplier.h"
#include "shell/ui/PlainText.h"
#include "shell/ui/PortControl.h"
#include "shell/ui/RecordingControl.h"
#include "shell/ui/SkinApplier.h"
#include "shell/ui/TraceWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
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
#include <QToolButton>

using Id = ctl::ControlId;

using shell::Page;

namespace {
constexpr int ClientWidth = 799;
constexpr int ClientHeight = 540;
// pagecontrol1 as designed in the 799 x 540 client area, above the status bar.
QRect pagesDesign() {
    return ctl::row(ctl::ControlId::pagecontrol1).design;
}
constexpr int ExitQuestion = 30005;
constexpr int NoLanguageFiles = 30004;
} // namespace

MainWindow::MainWindow() : MainWindow(Setup{}) {}

MainWindow::MainWindow(Setup setup, QWidget* parent) : QMainWindow(parent), setup_(std::move(setup)) {
    setObjectName(ctl::name(Id::Form1));
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
    // The one gate every write to the controller passes, keeping a restore
    // point before each in the user's data folder.
    restorePoints_ = std::make_unique<params::RestorePointStore>();
    gate_ = std::make_unique<params::WriteGate>(restorePoints_.get());
    paramSession_ = std::make_unique<params::ParameterSession>(
        *link_, *gate_, *params_,
        params::ParameterSession::Poll{polltimer::name(polltimer::ParamOdcz),
                                       polltimer::ParamOdcz.intervalMs});
    paramSession_->setTexts([this](int key, const QString& fallback) { return shell_->text(key, fallback); });
    paramSession_->setRestorePoints(restorePoints_.get());
    connect(paramSession_.get(), &params::ParameterSession::status, shell_.get(), &ShellModel::setMessage);
    live_ = std::make_unique<LiveModel>(*link_, *params_);
    liveSession_ = std::make_unique<LiveSession>(*link_, *live_, *params_, *gate_);
    portSession_ = std::make_unique<shell::PortSession>(*link_);
    navigator_ = std::make_unique<shell::Navigator>(models());
    ports_ =
        std::make_unique<PortControl>(this, *link_, *portSession_, *shell_, *live_, setup_.serialDevices);
    recording_ = std::make_unique<RecordingControl>(this, *liveSession_, *shell_, *navigator_);

    buildStatusBar();
    buildPages();
    buildMenu();
    connectLink();
    form3_ = new AboutDialog(this);
    form3_->hide();

    layout_ = new LayoutApplier(this);
    layout_->placePageControl = [this](const QRect& r) {
        pagesBounds_ = r;
        placePageControl();
    };
    layout_->placeParamPage = [this](const shell::layout::ParamPageNumbers& n) {
        parametry_->applyLayoutNumbers(n);
        drukowanie_->applyLayoutNumbers(n);
    };
    store_ = std::make_unique<shell::SettingsStore>();

    // Fixed border: the designed 799 x 540 below the menu, until a layout sizes the window.
    setFixedSize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    FormCreate();
}

MainWindow::~MainWindow() {
    // A search in progress stops at its next port instead of trying them all.
    ports_.reset();
    // The tab widget goes before the window's own children; nothing may ask it
    // for its tab bar while it is being destroyed, and no event of a widget
    // being destroyed reaches this half-destroyed window's filter.
    if (pages_) {
        pages_->tabBar()->removeEventFilter(this);
        pages_->removeEventFilter(this);
    }
    if (client_) client_->removeEventFilter(this);
    disconnect(pages_, nullptr, this, nullptr);
    link_->stopAllPolling();
    // The pages observe the models and the link; they go first.
    delete pages_;
    pages_ = nullptr;
}

Models MainWindow::models() {
    return Models{*link_, *params_, *gate_, *paramSession_, *live_, *liveSession_, *shell_};
}

void MainWindow::connectLink() {
    ControllerLink& l = *link_;
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
    busyBar_->setToolTip(shell_->text(textkey::BusyTip)); // in the language of the moment
    busyBar_->setVisible(shown);
    if (shown)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWindow::buildPages() {
    // pagecontrol1 sits at the bounds the screen-size layout gives it, inside
    // the client area (not stretched over it).
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("Form1Client"));
    client_->installEventFilter(this);
    setCentralWidget(client_);
    pages_ = ctl::make<QTabWidget>(Id::pagecontrol1, client_);
    // Captions whole: should a language or a font need more than the bar, its
    // arrows show, and the arrow keys and Ctrl+Tab still reach every page.
    pages_->setElideMode(Qt::ElideNone);
    pages_->setUsesScrollButtons(true);
    obroty_ = new EngineSpeedPage(models(), pages_);
    parametry_ = new ParametersPage(models(), pages_);
    wizualizacja_ = new LivePage(models(), pages_);
    autoadaptacja_ = new WizardPage(models(), *gate_, pages_);
    drukowanie_ = new PrintPage(models(), pages_);
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
    navigator_->setPrintTabVisible = [this](bool v) { setPrintTabVisible(v); };
    navigator_->changed = [this] { updateStepShortcuts(); };
    // The wizard's last step hands over to the parameters page: read, fill, write back.
    connect(shell_.get(), &ShellModel::wizardFinished, this, [this] {
        navigator_->finishWizard();
        parametry_->finishWizard();
    });

    // A tab click must be seen before the switch, while the old page is still
    // the active one, so that it can refuse; menu selection bypasses this.
    pages_->tabBar()->installEventFilter(this);
    pages_->installEventFilter(this);
    connect(pages_, &QTabWidget::currentChanged, this, &MainWindow::onCurrentChanged);
}

void MainWindow::FormCreate() {
    Models m = models();
    shell::resetRuntimeState(m);
    // Initial folder of the parameter-file dialogs: "Quendrix" in the user's
    // documents (shell::parameterDialogFolder(), taken by the dialogs when they open).
    setPrintTabVisible(false);
    shell_->paramsVisited = false;
    shell_->texts().loadDefaults();
    shell_->languageCode = QStringLiteral("PL");
    shell_->languageFile = QStringLiteral("polish.lng");
    link_->setSelectedPort(QStringLiteral("com1"));
    if (QAction* a = menuItem(ctl::name(Id::PamOstRozdz))) a->setChecked(false);
    layout_->recordDesignBounds();
    params_->setWritten(true);
    shell_->helpFile = QStringLiteral("help/quendrix_pl.html");

    const QString languageFile = loadSettings();
    if (setup_.configureLink) setup_.configureLink(*link_);
    ports_->syncPortItems();

    // Without language files most messages have no text: say so and where they
    // were looked for, and go on.
    if (!shell::languageFilesPresent(shell::dataDir(QStringLiteral("lang"))))
        shellMessage(QMessageBox::Warning, shell_->text(NoLanguageFiles) + QStringLiteral("\n\n") +
                                               shell::searchedDataFolders().join(QLatin1Char('\n')));
    else if (!languageFile.isEmpty())
        loadLanguageFile(languageFile);

    ports_->clearLinkState();
    if (!layout_->fullScreen()) centreOnScreen();

    navigator_->setCurrent(Page::Obroty);
    showPage(Page::Obroty);
    shell::runStartupExchanges(m);
    updateStepShortcuts();
}

QString MainWindow::loadSettings() {
    // The store first: it rids the file of what cannot be read before anything reads it.
    const shell::StartPlan plan = store_->load();
    {
        auto settings = shell::openSettings();
        const PortMapping map = readPortMap(*settings);
        for (auto it = map.constBegin(); it != map.constEnd(); ++it)
            link_->setDevicePath(it.key(), it.value());
    }
    if (!plan.unreadable.isEmpty())
        shellMessage(QMessageBox::Warning,
                     shell_->text(textkey::SettingsUnreadable) + QStringLiteral("\n\n") + plan.unreadable);
    if (!plan.unwritable.isEmpty())
        shellMessage(QMessageBox::Warning,
                     shell_->text(textkey::SettingsUnwritable) + QStringLiteral("\n\n") + plan.unwritable);
    const shell::ShellSettings& st = plan.settings;

    shell_->languageCode = st.languageCode;
    shell_->languageFile = st.languageFile;
    if (const shell::lang::LanguageChoice* c = shell::lang::choiceByFile(st.languageFile))
        if (QAction* a = menuItem(QString::fromLatin1(c->menuItem))) a->setChecked(true);
    // Set by program, the switch runs its reaction as a click does.
    if (auto* comments = parametry_->findChild<QCheckBox*>(ctl::name(Id::WylaczkomentarzeCheck)))
        comments->setChecked(st.commentsOff);

    ports_->setLastCom(st.comPort);
    link_->setSelectedPort(QStringLiteral("com%1").arg(st.comPort));
    if (!st.portDevice.isEmpty()) link_->setSelectedPort(st.portDevice);

    if (plan.firstRun) {
        layout_->setParamLabelsBold(true);
        if (const auto numbers = shell::layout::forWidth(800).paramPage) layout_->applyParamPage(*numbers);
    }
    const LayoutApplier::Screen sc = screen();
    layout_->applyLayout(0, sc);
    if (plan.rememberedLayout) layout_->layoutMenuCommand(plan.rememberedLayout, sc);
    if (QAction* a = menuItem(ctl::name(Id::PamOstRozdz))) a->setChecked(st.rememberLayout);
    recording_->setFastLog(st.fastLog);

    if (!plan.skinCode.isEmpty()) loadSkin(plan.skinCode);
    return plan.languageFileToLoad;
}

shell::ShellSettings MainWindow::currentSettings() const {
    shell::ShellSettings st;
    st.languageCode = shell_->languageCode;
    for (const shell::lang::LanguageChoice& c : shell::lang::languageChoices())
        if (QAction* a = menuItem(QString::fromLatin1(c.menuItem)); a && a->isChecked())
            st.languageFile = QString::fromLatin1(c.file);
    st.comPort = ports_->lastCom();
    st.portDevice = ports_->portDevice();
    for (const shell::skin::SkinChoice& c : shell::skin::skinChoices())
        if (QAction* a = menuItem(QString::fromLatin1(c.menuItem)); a && a->isChecked())
            st.skin = QString::fromLatin1(c.code);
    if (auto* comments = parametry_->findChild<QCheckBox*>(ctl::name(Id::WylaczkomentarzeCheck)))
        st.commentsOff = comments->isChecked();
    st.layoutItem = layout_->checkedItem();
    if (QAction* a = menuItem(ctl::name(Id::PamOstRozdz))) st.rememberLayout = a->isChecked();
    st.fastLog = recording_->fastLog();
    return st;
}

void MainWindow::saveSettings() {
    // Every close passes here; the settings of the port map ("Ports") are only
    // ever read, so nothing of them is rewritten.
    ++saves_;
    const QString unwritable = store_->save(currentSettings());
    if (!unwritable.isEmpty())
        shellMessage(QMessageBox::Warning,
                     shell_->text(textkey::SettingsUnwritable) + QStringLiteral("\n\n") + unwritable);
}

LayoutApplier::Screen MainWindow::screen() const {
    if (setup_.screen) return setup_.screen();
    const QScreen* s = QGuiApplication::primaryScreen();
    if (!s)
        return {QSize(ClientWidth + 1, ClientHeight + 60), QRect(0, 0, ClientWidth + 1, ClientHeight + 60)};
    return {s->geometry().size(), s->availableGeometry()};
}

void MainWindow::centreOnScreen() {
    move(shell::layout::centred(screen().size, size()));
}

void MainWindow::placePageControl() {
    // The layout's bounds, kept inside the client area: a page control wider
    // than its window would cut off the pages' right edge. The layouts' window
    // sizes count the frame and title bar, which a Qt window's size does not:
    // the page control reaches down to the status bar instead of leaving that
    // height bare below it.
    QRect r = pagesBounds_.isValid() ? pagesBounds_ : pagesDesign();
    if (client_->isVisible()) {
        r.setWidth(std::max(0, std::min(r.width(), client_->width() - r.x() - pagesDesign().x())));
        r.setHeight(std::max(0, client_->height() - r.y()));
    }
    if (pages_->geometry() != r) pages_->setGeometry(r);
}

void MainWindow::shellMessage(QMessageBox::Icon icon, const QString& fullText) {
    // File names and lines of the settings, language and skin files may be any length.
    const QString text = shortened(fullText);
    if (setup_.message) {
        setup_.message(icon, text);
        return;
    }
    QMessageBox box(icon, QStringLiteral("Quendrix"), text, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void MainWindow::setPrintTabVisible(bool visible) {
    const int index = static_cast<int>(Page::Drukowanie);
    pages_->setTabVisible(index, visible);
    // F9 shows the page while its tab is still hidden; the tab bar would then
    // draw the hidden tab's caption squeezed into its corner.
    pages_->tabBar()->setTabTextColor(index, visible ? QColor() : QColor(Qt::transparent));
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
    if (QAction* a = menuItem(ctl::name(Id::Dalej1))) a->setEnabled(used);
    if (QAction* a = menuItem(ctl::name(Id::a1))) a->setEnabled(used);
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
    if (watched == client_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
        placePageControl();
        return false;
    }
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
    QMessageBox ask(QMessageBox::Question, QStringLiteral("Quendrix"), shell_->text(ExitQuestion),
                    QMessageBox::Yes | QMessageBox::No, this);
    ask.setDefaultButton(QMessageBox::No);
    ask.button(QMessageBox::Yes)->setText(shell_->text(textkey::Yes));
    ask.button(QMessageBox::No)->setText(shell_->text(textkey::No));
    ask.setTextFormat(Qt::PlainText);
    if (ask.exec() != QMessageBox::Yes) return;
    link_->stopAllPolling();
    saveSettings();
    settingsSavedOnExit_ = true;
    close();
}

void MainWindow::FormClose() {
    recording_->programClosing();
    autoadaptacja_->programClosing();
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
        if (QWidget* combo = obroty_ ? obroty_->findChild<QWidget*>(ctl::name(Id::ComboBox2)) : nullptr)
            if (combo->isVisible() && combo->isEnabled() && combo->focusPolicy() != Qt::NoFocus)
                combo->setFocus();
    }
    return QMainWindow::event(e);
}

void MainWindow::DefaultOptionClick() {
    portSession_->whenIdle(this, [this] {
        portSession_->closePort();
        ports_->selectPort(QStringLiteral("com1"));
        languageMenuClick(QStringLiteral("polish.lng"));
        layout_->applyLayout(0, screen());
        if (QAction* a = menuItem(ctl::name(Id::skorkaZwy))) a->trigger();
        // The parameter side: block read, parameters page filled, port opened.
        parametry_->DefaultOptionClick();
    });
}

void MainWindow::PomocButtonClick() {
    const QString file = shell::resolveDataPath(shell_->helpFile);
    if (!help_) help_ = new HelpWindow(this);
    if (!help_->showTopic(file, QStringLiteral("IDH_210")))
        shellMessage(QMessageBox::Warning, help_->lastError());
}

void MainWindow::protocolTraceClick() {
    if (!trace_) trace_ = std::make_unique<TraceWindow>(link_->trace(), *shell_, this);
    trace_->show();
    trace_->raise();
    trace_->activateWindow();
}

void MainWindow::oprogramiebuttonClick() {
    form3_->setBuildDate(QStringLiteral("30.VI.2005"));
    form3_->setCaptionCopy(windowTitle());
    form3_->exec();
}

void MainWindow::wersjasterownika1Click() {
    if (navigator_->current() != Page::Parametry) return;
    portSession_->readVersion();
}
