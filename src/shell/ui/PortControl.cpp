#include "shell/ui/PortControl.h"
#include "core/Controls.h"

#include "core/ShellModel.h"
#include "link/ControllerLink.h"
#include "link/SerialChannel.h"
#include "live/LiveModel.h"
#include "shell/PortSession.h"
#include "shell/ShellTexts.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QToolButton>
#include <algorithm>

using Id = ctl::ControlId;

PortControl::PortControl(QWidget* window, ControllerLink& link, shell::PortSession& session,
                         ShellModel& shell, LiveModel& live, std::function<QList<SerialDevice>()> devices)
    : window_(window), link_(link), session_(session), shell_(shell), live_(live),
      devices_(std::move(devices)) {
    if (!devices_) devices_ = [] { return serialDevices(); };

    panel0_ = ctl::make<QLabel>(Id::StatusPanel0, window);
    // 150 pixels wide as designed, wider when the link state needs it: the
    // no-answer text must be read whole.
    panel0_->setMinimumWidth(150);

    autodetectBar_ = new QProgressBar(window);
    autodetectBar_->setObjectName(QStringLiteral("AutodetectProgress"));
    autodetectBar_->setFixedWidth(90);
    autodetectBar_->setMaximumHeight(14);
    autodetectBar_->setFormat(QStringLiteral("%v / %m"));
    autodetectBar_->hide();
    autodetectStop_ = new QToolButton(window);
    autodetectStop_->setObjectName(QStringLiteral("AutodetectCancel"));
    autodetectStop_->setAutoRaise(true);
    autodetectStop_->setMaximumHeight(18);
    autodetectStop_->hide();
    connect(autodetectStop_, &QToolButton::clicked, this, &PortControl::cancelAutodetection);

    connect(&link_, &ControllerLink::answerStatusChanged, this, [this](bool answered) {
        answered_ = answered;
        refreshLinkPanel();
    });
    connect(&link_, &ControllerLink::portOpenFailed, this, &PortControl::showPortError);
    connect(&link_, &ControllerLink::portLost, this, &PortControl::portLost);
    connect(&link_, &ControllerLink::portOpened, this, &PortControl::portOpened);
    connect(&live_, &LiveModel::transmissionErrorChanged, this, &PortControl::refreshLinkPanel);
    connect(&live_, &LiveModel::frameErrorChanged, this, &PortControl::refreshLinkPanel);
    // Texts shown from the language texts follow a new language file at once.
    connect(&shell_, &ShellModel::textsChanged, this, &PortControl::refreshLinkPanel);
}

PortControl::~PortControl() {
    // A search in progress stops at its next port instead of trying them all.
    if (autodetectCancel_) autodetectCancel_->store(true);
}

void PortControl::buildMenu(QMenu* portMenu) {
    portMenu_ = portMenu;
    portGroup_ = new QActionGroup(this);
    portGroup_->setExclusive(true);
    const Id items[] = {Id::PCOM1, Id::PCOM2, Id::PCOM3, Id::PCOM4,
                        Id::PCOM5, Id::PCOM6, Id::PCOM7, Id::PCOM8};
    for (int n = 1; n <= 8; ++n) {
        auto* a = new QAction(QStringLiteral("COM%1").arg(n), window_);
        a->setObjectName(ctl::name(items[n - 1]));
        a->setCheckable(true);
        a->setChecked(n == 1);
        portGroup_->addAction(a);
        portMenu_->addAction(a);
        connect(a, &QAction::triggered, this, [this, n] { PCOMClick(n); });
        comItems_[n - 1] = a;
    }
    // The serial devices present (USB adapters and the like) follow COM1 ...
    // COM8; the list is made again whenever the menu opens.
    devicesStart_ = portMenu_->addSeparator();
    devicesStart_->setObjectName(QStringLiteral("PortDevicesSeparator"));
    devicesStart_->setVisible(false);
    portDevicesEnd_ = portMenu_->addSeparator();
    portDevicesEnd_->setObjectName(ctl::name(Id::N1));
    autodetectItem_ = new QAction(QStringLiteral("Autodetekcja"), window_);
    autodetectItem_->setObjectName(ctl::name(Id::AutodetekcjaMenu));
    portMenu_->addAction(autodetectItem_);
    connect(autodetectItem_, &QAction::triggered, this, &PortControl::AutodetekcjaMenuClick);
    connect(portMenu_, &QMenu::aboutToShow, this, &PortControl::refreshPortDevices);
}

void PortControl::clearLinkState() {
    panel0_->clear();
    answered_ = true;
}

void PortControl::portLost(const PortError& e) {
    // No box: the adapter was pulled or the line died under a running page.
    // The status bar says when, and polling tries the port again.
    lastPortError_ = e;
    portBoxShownFor_ = e.port;
    shell_.setMessage(
        shell_.text(textkey::PortLost).arg(shortened(e.port, 80), clockText(QDateTime::currentDateTime())));
    refreshLinkPanel();
}

void PortControl::portOpened(const QString& port) {
    // The port works again: say since when it did not. A later failure is a
    // new episode and gets its box.
    if (port == portBoxShownFor_) {
        shell_.setMessage(shell_.text(textkey::PortBack)
                              .arg(shortened(port, 80), clockText(QDateTime::currentDateTime()),
                                   clockText(live_.portDownSince())));
        resetPortEpisode();
    }
    refreshLinkPanel();
}

void PortControl::refreshLinkPanel() {
    // The port's trouble comes first, then bad data, then silence.
    QString text;
    if (live_.portDown() && lastPortError_)
        text = portErrorPanelText(*lastPortError_, shell_);
    else if (live_.frameError())
        text = shell_.text(textkey::BadFrame);
    else if (!answered_ || live_.portDown())
        text = shell_.text(textkey::NoAnswer);
    if (panel0_->text() != text) panel0_->setText(text);
}

void PortControl::resetPortEpisode() {
    portBoxShownFor_.clear();
    lastPortError_.reset();
    refreshLinkPanel();
}

QString PortControl::clockText(const QDateTime& t) {
    return t.toString(QStringLiteral("HH:mm:ss"));
}

void PortControl::showPortError(const PortError& e) {
    // One box per failure episode: until the port opens again or another port
    // is chosen, the status bar keeps telling.
    lastPortError_ = e;
    refreshLinkPanel();
    if (portBoxShownFor_ == e.port) return;
    portBoxShownFor_ = e.port;
    const QString msg = portErrorMessage(e, shell_);
    // A wait cursor over a message box would hide that the program waits for the fitter.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quendrix"), msg, QMessageBox::Ok, window_);
    box.setTextFormat(Qt::PlainText); // a language text and a device name, never markup
    box.exec();
    if (busy) QApplication::restoreOverrideCursor();
}

void PortControl::PCOMClick(int n) {
    selectPort(QStringLiteral("com%1").arg(n));
}

void PortControl::selectPortDevice(const QString& path) {
    if (!path.isEmpty()) selectPort(path);
}

void PortControl::selectPort(const QString& port) {
    link_.setSelectedPort(port);
    resetPortEpisode();
    syncPortItems();
}

void PortControl::syncPortItems() {
    // Exactly one item of the Port menu is checked: the selected port's.
    const QString selected = link_.selectedPort();
    const int n = SerialChannel::comNumber(selected);
    if (n > 0) {
        lastCom_ = n;
        portDevice_.clear();
        if (n <= 8 && comItems_[n - 1]) comItems_[n - 1]->setChecked(true);
    } else {
        portDevice_ = selected;
        refreshPortDevices();
    }
}

QList<SerialDevice> PortControl::listedDevices() const {
    const QList<SerialDevice> all = devices_();
    // COM1 ... COM8 have their own items, whatever device they are mapped to.
    QStringList comDevices;
    for (int n = 1; n <= 8; ++n)
        comDevices << QFileInfo(link_.devicePath(QStringLiteral("com%1").arg(n))).canonicalFilePath();
    QList<SerialDevice> out;
    for (const SerialDevice& d : all) {
        if (d.comNumber > 0) continue;
        const QString canonical = QFileInfo(d.systemPath).canonicalFilePath();
        if (!canonical.isEmpty() && comDevices.contains(canonical)) continue;
        out.append(d);
    }
    return out;
}

void PortControl::refreshPortDevices() {
    if (!portMenu_) return;
    for (QAction* a : std::as_const(deviceItems_)) {
        portGroup_->removeAction(a);
        delete a;
    }
    deviceItems_.clear();
    QList<SerialDevice> devices = listedDevices();
    // The chosen device stays on the menu while it is unplugged, so the mark
    // shows what the next exchange opens.
    const bool chosenListed = std::any_of(devices.begin(), devices.end(),
                                          [this](const SerialDevice& d) { return d.path == portDevice_; });
    if (!portDevice_.isEmpty() && !chosenListed)
        devices.append(SerialDevice{portDevice_, portDevice_, {}, 0});
    int index = 0;
    for (const SerialDevice& d : std::as_const(devices)) {
        QString caption = QFileInfo(d.path).fileName();
        if (!d.description.isEmpty()) caption += QStringLiteral(" - ") + d.description;
        auto* a = new QAction(caption, window_);
        a->setObjectName(QStringLiteral("PortDevice%1").arg(++index));
        a->setData(d.path);
        a->setToolTip(d.path);
        a->setCheckable(true);
        portGroup_->addAction(a);
        portMenu_->insertAction(portDevicesEnd_, a);
        a->setChecked(d.path == portDevice_);
        const QString path = d.path;
        connect(a, &QAction::triggered, this, [this, path] { selectPortDevice(path); });
        deviceItems_.append(a);
    }
    devicesStart_->setVisible(!deviceItems_.isEmpty());
    if (portDevice_.isEmpty() && lastCom_ >= 1 && lastCom_ <= 8) comItems_[lastCom_ - 1]->setChecked(true);
}

void PortControl::AutodetekcjaMenuClick() {
    if (autodetecting()) return;
    // COM1 ... COM8 in order, then the devices present outside them.
    QStringList ports = autodetectComPorts();
    for (const SerialDevice& d : listedDevices())
        ports << d.path;
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    autodetectCancel_ = cancel;
    showAutodetectProgress(int(ports.size()));
    session_.autodetect(
        this, ports, [this](const AutodetectStep& step) { autodetectStep(step); }, cancel,
        [this](const AutodetectResult& r) { autodetectFinished(r); });
}

void PortControl::showAutodetectProgress(int total) {
    autodetectBar_->setRange(0, total);
    autodetectBar_->setValue(0);
    autodetectBar_->show();
    autodetectStop_->setText(shell_.text(textkey::AutodetectStop));
    autodetectStop_->show();
    if (autodetectItem_) autodetectItem_->setEnabled(false);
}

void PortControl::autodetectStep(const AutodetectStep& step) {
    if (!autodetecting()) return;
    autodetectBar_->setValue(autodetectBar_->value() + 1);
    shell_.setMessage(autodetectStepText(step, shell_));
}

void PortControl::cancelAutodetection() {
    if (autodetectCancel_) autodetectCancel_->store(true);
}

void PortControl::autodetectFinished(const AutodetectResult& r) {
    autodetectCancel_.reset();
    autodetectBar_->hide();
    autodetectStop_->hide();
    if (autodetectItem_) autodetectItem_->setEnabled(true);
    if (r.cancelled && r.found.isEmpty())
        shell_.setMessage(shell_.text(textkey::AutodetectStopped));
    else
        shell_.setMessage(autodetectResultText(r, shell_));
    if (!r.selected.isEmpty() && r.selected != link_.selectedPort()) {
        link_.setSelectedPort(r.selected);
        resetPortEpisode();
    }
    syncPortItems();
}
