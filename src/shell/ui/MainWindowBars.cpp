// The main window's menu bar and status bar, and what the language, skin and
// layout menus do.
#include "core/Controls.h"
#include "shell/ui/MainWindow.h"

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
#include <QLibraryInfo>
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
#include <QTranslator>

using Id = ctl::ControlId;

using shell::Page;

namespace {
// A procedure shorter than this shows no wait cursor: it would only flicker.
constexpr int BusyCursorDelayMs = 150;

// Qt's own words (the print preview's tools, the file boxes, Yes and No) in
// the window's language, where the system has Qt's translations for it.
void useQtTexts(const QString& languageFile) {
    static QTranslator* installed = nullptr;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    const shell::lang::LanguageChoice* c = shell::lang::choiceByFile(languageFile);
    if (!c || qstrcmp(c->code, "EN") == 0) return;
    const QString locale =
        qstrcmp(c->code, "CZ") == 0 ? QStringLiteral("cs") : QString::fromLatin1(c->code).toLower();
    auto* t = new QTranslator(qApp);
    if (t->load(QStringLiteral("qtbase_") + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(t))
        installed = t;
    else
        delete t;
}
} // namespace

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
    bar->setObjectName(ctl::name(Id::MainMenu1));
    auto submenu = [this](QMenu* parentMenu, const QString& name, const QString& caption) {
        QMenu* m = parentMenu ? parentMenu->addMenu(caption) : menuBar()->addMenu(caption);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name);
        return m;
    };

    QMenu* menu = submenu(nullptr, ctl::name(Id::MenuTab), QStringLiteral("Menu"));
    connect(addItem(menu, ctl::name(Id::ParButton), QStringLiteral("Parametry systemu"), Qt::Key_F2),
            &QAction::triggered, this, [this] { selectPageFromMenu(Page::Parametry); });
    connect(addItem(menu, ctl::name(Id::WizButton), QStringLiteral("Wizualizacja"), Qt::Key_F3),
            &QAction::triggered, this, [this] { selectPageFromMenu(Page::Wizualizacja); });
    connect(addItem(menu, ctl::name(Id::ObrButton), QStringLiteral("Obroty"), Qt::Key_F4),
            &QAction::triggered, this, [this] { selectPageFromMenu(Page::Obroty); });
    connect(addItem(menu, ctl::name(Id::AutoButton), QStringLiteral("Autoadaptacja"), Qt::Key_F5),
            &QAction::triggered, this, [this] { selectPageFromMenu(Page::Autoadaptacja); });
    connect(addItem(menu, ctl::name(Id::DruButton), QStringLiteral("Drukowanie parametrów"), Qt::Key_F9),
            &QAction::triggered, this, [this] { selectPageFromMenu(Page::Drukowanie); });

    // Hidden items: not in the visible menu, but their shortcuts work because
    // they belong to the window.
    QAction* back = addItem(nullptr, ctl::name(Id::a1), QStringLiteral("Cofnij"), Qt::Key_Backspace);
    QAction* next = addItem(nullptr, ctl::name(Id::Dalej1), QStringLiteral("Dalej"));
    next->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    QAction* version = addItem(nullptr, ctl::name(Id::wersjasterownika1), QStringLiteral("wersja sterownika"),
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F1));
    for (QAction* a : {back, next, version}) {
        a->setVisible(true);
        addAction(a);
    }
    connect(back, &QAction::triggered, this, &MainWindow::a1Click);
    connect(next, &QAction::triggered, this, &MainWindow::Dalej1Click);
    connect(version, &QAction::triggered, this, &MainWindow::wersjasterownika1Click);

    menu->addSeparator()->setObjectName(ctl::name(Id::N2));
    connect(addItem(menu, ctl::name(Id::DefaultOption), QStringLiteral("Domyślne ustawienia")),
            &QAction::triggered, this, &MainWindow::DefaultOptionClick);
    QAction* trace = addItem(menu, QStringLiteral("ProtocolTrace"), shell_->text(tracetext::Title),
                             QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(trace, &QAction::triggered, this, &MainWindow::protocolTraceClick);
    connect(shell_.get(), &ShellModel::textsChanged, trace,
            [this, trace] { trace->setText(shell_->text(tracetext::Title)); });
    recording_->buildMenu(menu);

    ports_->buildMenu(submenu(nullptr, ctl::name(Id::PortGroup), QStringLiteral("Port")));

    // Language, layout and skin choices: the items and their radio groups.
    QMenu* lang = submenu(nullptr, ctl::name(Id::Jezyki), QStringLiteral("Język"));
    auto* langGroup = new QActionGroup(this);
    const std::pair<Id, const char*> langs[] = {{Id::JPolski, "Polski"},
                                                {Id::JAngielski, "Angielski"},
                                                {Id::JRosyjski, "Rosyjski"},
                                                {Id::JCzeski, "Czeski"},
                                                {Id::JWloski, "Włoski"}};
    for (const auto& [name, caption] : langs) {
        QAction* a = addItem(lang, ctl::name(name), QString::fromUtf8(caption));
        a->setCheckable(true);
        a->setChecked(name == Id::JPolski);
        langGroup->addAction(a);
        for (const shell::lang::LanguageChoice& c : shell::lang::languageChoices())
            if (QLatin1String(c.menuItem) == ctl::name(name)) {
                const QString file = QString::fromLatin1(c.file);
                connect(a, &QAction::triggered, this, [this, file] { languageMenuClick(file); });
            }
    }

    QMenu* look = submenu(nullptr, ctl::name(Id::Wyglad), QStringLiteral("Wyglad"));
    QMenu* size = submenu(look, ctl::name(Id::Czcionka), QStringLiteral("Rozdzielczość"));
    auto* sizeGroup = new QActionGroup(this);
    const std::pair<Id, const char*> sizes[] = {
        {Id::CzcionkaMala, "640x480"}, {Id::CzcionkaSrednia, "720x576"}, {Id::CzcionkaDuza, "800x600"},
        {Id::N1024, "1024x768"},       {Id::N1152, "1152x864"},          {Id::N1280, "1280x1024"}};
    int item = 0;
    for (const auto& [name, caption] : sizes) {
        QAction* a = addItem(size, ctl::name(name), QString::fromLatin1(caption));
        a->setCheckable(true);
        a->setChecked(name == Id::CzcionkaSrednia);
        sizeGroup->addAction(a);
        ++item;
        connect(a, &QAction::triggered, this, [this, item] { layoutMenuClick(item); });
    }
    QMenu* skin = submenu(look, ctl::name(Id::Skorka), QStringLiteral("Skorka"));
    auto* skinGroup = new QActionGroup(this);
    const std::tuple<Id, const char*, int> skins[] = {{Id::skorkaKol, "skorka kolor", Qt::Key_F1},
                                                      {Id::skorkaZwy, "skorka zwykla", Qt::Key_F2},
                                                      {Id::SkorkaSil, "skorka srebrna", Qt::Key_F3},
                                                      {Id::SkorkaBez, "skorka bezbarwna", Qt::Key_F4}};
    for (const auto& [name, caption, key] : skins) {
        QAction* a = addItem(skin, ctl::name(name), QString::fromLatin1(caption),
                             QKeySequence(Qt::CTRL | static_cast<Qt::Key>(key)));
        a->setCheckable(true);
        a->setChecked(name == Id::skorkaZwy);
        if (a->isChecked()) skinItem_ = a;
        skinGroup->addAction(a);
        if (const shell::skin::SkinChoice* c = shell::skin::choiceByMenuItem(ctl::name(name))) {
            const QString code = QString::fromLatin1(c->code);
            // The item is checked only when its whole file was read: until
            // then the item of the skin in force keeps the mark.
            connect(a, &QAction::triggered, this, [this, a, code] {
                if (skinItem_)
                    skinItem_->setChecked(true);
                else
                    a->setChecked(false);
                skinMenuClick(code);
            });
        }
    }
    QAction* remember =
        addItem(look, ctl::name(Id::PamOstRozdz), QStringLiteral("pamietaj ost rozdzielczosc"));
    remember->setCheckable(true);

    QAction* help = addItem(nullptr, ctl::name(Id::PomocButton), QStringLiteral("Pomoc"), Qt::Key_F1);
    bar->addAction(help);
    connect(help, &QAction::triggered, this, &MainWindow::PomocButtonClick);
    QAction* quit = addItem(nullptr, ctl::name(Id::KoniecButton), QStringLiteral("Koniec"));
    bar->addAction(quit);
    connect(quit, &QAction::triggered, this, &MainWindow::KoniecButtonClick);
    QAction* about = addItem(nullptr, ctl::name(Id::oprogramiebutton), QStringLiteral("o programie"));
    bar->addAction(about);
    connect(about, &QAction::triggered, this, &MainWindow::oprogramiebuttonClick);
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(ctl::name(Id::StatusBar1));
    bar->setSizeGripEnabled(false);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    QLabel* panel0 = ports_->linkPanel();
    panel1_ = ctl::make<QLabel>(Id::StatusPanel1, bar);
    panel1_->setMinimumWidth(50);
    for (QLabel* l : {panel0, panel1_}) {
        l->setFont(f);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // As tall as a line of its type with its frame: descenders and the
        // frame's lower edge stay inside.
        l->setMinimumHeight(QFontMetrics(f).height() + 2 * l->frameWidth() + 2);
    }
    bar->addWidget(panel0);
    bar->addWidget(panel1_, 1);
    recording_->panel()->setFont(f);
    bar->addPermanentWidget(recording_->panel());

    busyBar_ = new QProgressBar(bar);
    busyBar_->setObjectName(QStringLiteral("BusyIndicator"));
    busyBar_->setRange(0, 0); // no end known: it only says the program is working
    busyBar_->setFixedWidth(70);
    busyBar_->setMaximumHeight(14);
    busyBar_->setTextVisible(false);
    busyBar_->hide();
    bar->addPermanentWidget(busyBar_);

    // The autodetection's progress through its ports, and its stop button.
    bar->addPermanentWidget(ports_->autodetectProgress());
    bar->addPermanentWidget(ports_->autodetectStopButton());
    busyDelay_ = new QTimer(this);
    busyDelay_->setSingleShot(true);
    busyDelay_->setInterval(BusyCursorDelayMs);
    connect(busyDelay_, &QTimer::timeout, this, [this] { setBusyShown(link_->busy()); });
    bar->setFixedHeight(bar->sizeHint().height());
}

QAction* MainWindow::menuItem(const QString& name) const {
    return findChild<QAction*>(name);
}

void MainWindow::languageMenuClick(const QString& languageFile) {
    const shell::lang::LanguageChoice* c = shell::lang::choiceByFile(languageFile);
    if (!c) return;
    loadLanguageFile(languageFile);
    shell_->languageCode = QString::fromLatin1(c->code);
    shell_->languageFile = languageFile;
    if (QAction* a = menuItem(QString::fromLatin1(c->menuItem))) a->setChecked(true);
}

bool MainWindow::loadLanguageFile(const QString& file) {
    plaintext::enforce(this);
    LanguageApplier applier(this, &shell_->texts());
    applier.afterEachLine = [this] {
        LanguageApplier::showPetrolGas(this, shell_->texts(), live_->petrol());
    };
    applier.showBadLine = [this](const QString& m) { shellMessage(QMessageBox::Warning, m); };
    applier.showError = [this](const QString& m) { shellMessage(QMessageBox::Critical, m); };
    const LanguageApplier::Result r = applier.loadFile(shell::dataFile(QStringLiteral("lang"), file));
    useQtTexts(file);
    if (!r.helpFile.isEmpty()) shell_->helpFile = r.helpFile;
    // Pages refill what they build from the texts (the printout page, the
    // petrol/gas captions, the status texts).
    shell_->textsReloaded();
    return r.complete;
}

void MainWindow::skinMenuClick(const QString& skinCode) {
    loadSkin(skinCode);
}

bool MainWindow::loadSkin(const QString& skinCode) {
    const shell::skin::SkinChoice* c = shell::skin::choiceByCode(skinCode);
    if (!c) return false;
    SkinApplier applier(this, &shell_->labelHighlight);
    applier.showBadLine = [this](const QString& m) { shellMessage(QMessageBox::Warning, m); };
    applier.showError = [this](const QString& m) { shellMessage(QMessageBox::Critical, m); };
    applier.text = [this](int key) { return shell_->text(key); };
    const bool complete =
        applier.loadFile(shell::dataFile(QStringLiteral("skins"), QString::fromLatin1(c->file)));
    parametry_->refreshLabelHighlight();
    if (complete)
        if (QAction* a = menuItem(QString::fromLatin1(c->menuItem))) {
            a->setChecked(true);
            skinItem_ = a;
        }
    return complete;
}

void MainWindow::layoutMenuClick(int item) {
    layout_->layoutMenuCommand(item, screen());
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
