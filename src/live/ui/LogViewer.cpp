#include "live/ui/LogViewer.h"

#include "core/ShellModel.h"
#include "core/TextKeys.h"
#include "live/LiveSession.h"
#include "live/Recorder.h"
#include "live/ui/LogChart.h"

#include <QAction>
#include <QComboBox>
#include <QDir>

#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

using live::LogField;

namespace {
// Language texts of the viewer.
enum Text {
    Title = 31200,
    FileMenu = 31201,
    OpenLog = 31202,
    CloseWindow = 31203,
    ColumnsCaption = 31204,
    ValuesCaption = 31205,
    TimeName = 31206,
    LambdaName = 31207,
    TpsName = 31208,
    RpmName = 31209,
    RpmShownName = 31210,
    StepperName = 31211,
    TemperatureName = 31212,
    GasName = 31213,
    GasLowName = 31214,
    FrameName = 31216,
    WholeName = 31217,
    RawByte = 31218, // "%1" the reading
    SwitchOverCaption = 31219,
    BrokenCaption = 31220,
    LogFilter = 31221,
    AllFilter = 31222,
    CannotOpen = 31223,    // %1 file, %2 the system's reason
    NoLog = 31224,         // %1 file
    LoadedStatus = 31225,  // %1 file, %2 rows, %3 lines skipped
    TruncatedNote = 31226, // %1 rows
    Yes = 31227,
    No = 31228,
    WholeDrive = 31229,
    ColumnHeader = 31230,
    ValueHeader = 31231,
    KeysHelp = 31232,
    FuelName = 31215,
    PetrolText = 10408,
    GasText = 10409,
};

// The live chart's trace colours (lambda, TPS, engine speed, stepper), then
// colours that stand apart from them and from the background.
const QColor ChartColors[4] = {QColor(255, 0, 0), QColor(255, 0, 255), QColor(255, 128, 64),
                               QColor(0, 200, 200)};
const QColor OtherColors[] = {QColor(0, 0, 160),   QColor(0, 128, 0),  QColor(128, 64, 0),
                              QColor(128, 0, 128), QColor(96, 96, 0),  QColor(0, 110, 110),
                              QColor(80, 80, 80),  QColor(200, 120, 0)};
constexpr int ColumnRole = Qt::UserRole;
} // namespace

LogViewer::LogViewer(ShellModel& shell, QWidget* parent) : QMainWindow(parent), shell_(shell) {
    setObjectName(QStringLiteral("LogViewer"));
    resize(1000, 640);

    fileMenu_ = menuBar()->addMenu(QString());
    fileMenu_->setObjectName(QStringLiteral("LogFileMenu"));
    openAction_ = fileMenu_->addAction(QString(), this, &LogViewer::openDialog);
    openAction_->setObjectName(QStringLiteral("LogOpen"));
    openAction_->setShortcut(QKeySequence::Open);
    allAction_ = fileMenu_->addAction(QString());
    allAction_->setObjectName(QStringLiteral("LogWholeDrive"));
    fileMenu_->addSeparator();
    closeAction_ = fileMenu_->addAction(QString(), this, &QWidget::close);
    closeAction_->setObjectName(QStringLiteral("LogClose"));
    closeAction_->setShortcuts({QKeySequence::Close, QKeySequence(Qt::Key_Escape)});

    replayMenu_ = menuBar()->addMenu(QString());
    replayMenu_->setObjectName(QStringLiteral("LogReplayMenu"));
    playAction_ = replayMenu_->addAction(QString(), this, &LogViewer::playClicked);
    playAction_->setObjectName(QStringLiteral("LogReplayPlay"));
    playAction_->setShortcut(Qt::Key_F5);
    pauseAction_ = replayMenu_->addAction(QString(), this, [this] {
        if (session_) session_->replay().pause();
    });
    pauseAction_->setObjectName(QStringLiteral("LogReplayPause"));
    pauseAction_->setShortcut(Qt::Key_F6);
    stopAction_ = replayMenu_->addAction(QString(), this, [this] {
        if (session_) session_->stopReplay();
    });
    stopAction_->setObjectName(QStringLiteral("LogReplayStop"));
    stopAction_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
    auto* bar = addToolBar(QString());
    bar->setObjectName(QStringLiteral("LogReplayBar"));
    bar->setMovable(false);
    bar->addActions({playAction_, pauseAction_, stopAction_});
    bar->addSeparator();
    speedLabel_ = new QLabel(bar);
    speedLabel_->setObjectName(QStringLiteral("LogReplaySpeedLabel"));
    bar->addWidget(speedLabel_);
    speed_ = new QComboBox(bar);
    speed_->setObjectName(QStringLiteral("LogReplaySpeed"));
    for (double x : {0.5, 1.0, 2.0, 4.0, 8.0})
        speed_->addItem(QStringLiteral("x") + QString::number(x), x);
    speed_->setCurrentIndex(1);
    speedLabel_->setBuddy(speed_);
    bar->addWidget(speed_);
    connect(speed_, &QComboBox::currentIndexChanged, this, [this] {
        if (session_) session_->replay().setSpeed(speed_->currentData().toDouble());
    });
    follow_ = new QTimer(this);
    follow_->setInterval(250);
    connect(follow_, &QTimer::timeout, this, &LogViewer::followReplay);

    auto* splitter = new QSplitter(this);
    chart_ = new LogChart(view_, splitter);
    connect(allAction_, &QAction::triggered, this, [this] {
        view_.showAll();
        chart_->update();
    });
    auto* side = new QWidget(splitter);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(4, 0, 0, 0);
    valuesBox_ = new QGroupBox(side);
    valuesBox_->setObjectName(QStringLiteral("LogValuesBox"));
    values_ = new QTreeWidget(valuesBox_);
    values_->setObjectName(QStringLiteral("LogValues"));
    values_->setColumnCount(2);
    values_->setRootIsDecorated(false);
    values_->setSelectionMode(QAbstractItemView::NoSelection);
    values_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    values_->header()->setStretchLastSection(false);
    (new QVBoxLayout(valuesBox_))->addWidget(values_);
    columnsBox_ = new QGroupBox(side);
    columnsBox_->setObjectName(QStringLiteral("LogColumnsBox"));
    columns_ = new QListWidget(columnsBox_);
    columns_->setObjectName(QStringLiteral("LogColumns"));
    (new QVBoxLayout(columnsBox_))->addWidget(columns_);
    sideLayout->addWidget(valuesBox_, 3);
    sideLayout->addWidget(columnsBox_, 2);
    splitter->addWidget(chart_);
    splitter->addWidget(side);
    splitter->setStretchFactor(0, 1);
    splitter->setSizes({700, 340});

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 2);
    layout->addWidget(splitter, 1);
    keys_ = new QLabel(central);
    keys_->setObjectName(QStringLiteral("LogKeys"));
    keys_->setWordWrap(true);
    layout->addWidget(keys_);
    setCentralWidget(central);
    setTabOrder(chart_, values_);
    setTabOrder(values_, columns_);

    connect(chart_, &LogChart::cursorMoved, this, &LogViewer::refreshValues);
    // The fitter moves the cursor: the live page shows the drive there.
    connect(chart_, &LogChart::cursorMoved, this, [this] {
        if (replayingThis()) session_->replay().seek(view_.cursor());
    });
    connect(columns_, &QListWidget::itemChanged, this, [this](QListWidgetItem*) { refreshTraces(); });
    connect(&shell_, &ShellModel::textsChanged, this, &LogViewer::retranslate);
    retranslate();
    chart_->setFocus();
}

LogViewer::~LogViewer() = default;

void LogViewer::setLiveSession(LiveSession* session) {
    if (session_) disconnect(session_, nullptr, this, nullptr);
    session_ = session;
    if (session_) {
        connect(session_, &LiveSession::replayingChanged, this, &LogViewer::refreshReplay);
        connect(&session_->replay(), &live::Replay::playingChanged, this, &LogViewer::refreshReplay);
    }
    refreshReplay();
}

bool LogViewer::replayingThis() const {
    return session_ && log_ && session_->replaying() && session_->replay().log() == log_.get();
}

void LogViewer::playClicked() {
    if (!session_ || !log_) return;
    if (!replayingThis()) {
        session_->replay().setSpeed(speed_->currentData().toDouble());
        emit replayRequested();
        return;
    }
    session_->replay().play();
}

void LogViewer::refreshReplay() {
    const bool mine = replayingThis();
    const bool playing = mine && session_->replay().playing();
    playAction_->setEnabled(session_ && log_ && !playing);
    pauseAction_->setEnabled(playing);
    stopAction_->setEnabled(session_ && session_->replaying());
    if (playing)
        follow_->start();
    else
        follow_->stop();
    if (mine) followReplay();
}

void LogViewer::followReplay() {
    if (!replayingThis()) return;
    view_.setCursor(session_->replay().position());
    chart_->update();
    refreshValues();
}

bool LogViewer::openLog(const QString& path) {
    auto log = std::make_shared<live::LogData>(live::readLog(path));
    path_ = path;
    const QString name = QDir::toNativeSeparators(path);
    if (log->problem == live::LogData::Problem::Unreadable) {
        problem_ = shell_.text(CannotOpen).arg(name, log->systemError);
    } else if (log->rows() == 0) {
        problem_ = shell_.text(NoLog).arg(name);
    } else {
        problem_.clear();
    }
    showLog(problem_.isEmpty() ? std::shared_ptr<const live::LogData>(std::move(log)) : nullptr,
            QFileInfo(path).fileName());
    if (problem_.isEmpty()) emit logOpened(path);
    return problem_.isEmpty();
}

void LogViewer::showLog(std::shared_ptr<const live::LogData> log, const QString& name) {
    log_ = std::move(log);
    name_ = name;
    view_.setLog(log_);
    fillColumns();
    retranslate();
    refreshReplay();
}

void LogViewer::openDialog() {
    const QString folder =
        QDir(live::Recorder::defaultFolder()).exists() ? live::Recorder::defaultFolder() : QDir::homePath();
    const QString filter = shell_.text(LogFilter) + QStringLiteral(";;") + shell_.text(AllFilter);
    QFileDialog dialog(this, shell_.text(OpenLog).remove(QLatin1Char('&')),
                       path_.isEmpty() ? folder : QFileInfo(path_).path(), filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList labels = fileBoxLabels(shell_, false);
    for (int i = 0; i < labels.size(); ++i)
        dialog.setLabelText(QFileDialog::DialogLabel(i), labels[i]);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        openLog(dialog.selectedFiles().constFirst());
    chart_->setFocus();
}

QVector<int> LogViewer::tickedColumns() const {
    QVector<int> out;
    for (int i = 0; i < columns_->count(); ++i)
        if (columns_->item(i)->checkState() == Qt::Checked)
            out.append(columns_->item(i)->data(ColumnRole).toInt());
    return out;
}

void LogViewer::setTicked(int column, bool ticked) {
    for (int i = 0; i < columns_->count(); ++i)
        if (columns_->item(i)->data(ColumnRole).toInt() == column)
            columns_->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

QString LogViewer::columnName(int column) const {
    const live::LogColumn& c = log_->columns[column];
    if (!c.field) return c.name;
    switch (*c.field) {
    case LogField::Lambda:
        return shell_.text(LambdaName);
    case LogField::LambdaRaw:
        return shell_.text(RawByte).arg(shell_.text(LambdaName));
    case LogField::Tps:
        return shell_.text(TpsName);
    case LogField::TpsRaw:
        return shell_.text(RawByte).arg(shell_.text(TpsName));
    case LogField::Rpm:
        return shell_.text(RpmName);
    case LogField::RpmShown:
        return log_->column(LogField::Rpm) >= 0 ? shell_.text(RpmShownName) : shell_.text(RpmName);
    case LogField::Stepper:
        return shell_.text(StepperName);
    case LogField::Temperature:
        return shell_.text(TemperatureName);
    case LogField::TemperatureRaw:
        return shell_.text(RawByte).arg(shell_.text(TemperatureName));
    case LogField::Gas:
        return shell_.text(GasName);
    case LogField::GasLow:
        return shell_.text(GasLowName);
    case LogField::Petrol:
        return shell_.text(FuelName);
    default:
        return c.name;
    }
}

QString LogViewer::valueText(int column, int row) const {
    const live::LogColumn& c = log_->columns[column];
    const float v = c.values[row];
    if (v != v) return QStringLiteral("-");
    if (c.field == LogField::Petrol) return shell_.text(v != 0 ? PetrolText : GasText);
    if (c.field == LogField::GasLow) return shell_.text(v != 0 ? Yes : No);
    // Volts as the live page's panels show them, with two decimals.
    const bool volts = c.field == LogField::Lambda || c.field == LogField::Tps;
    const QString number = volts ? QString::number(double(v), 'f', 2) : QString::number(double(v), 'g', 6);
    return c.unit.isEmpty() ? number : number + QLatin1Char(' ') + c.unit;
}

void LogViewer::fillColumns() {
    const QSignalBlocker block(columns_);
    columns_->clear();
    if (!log_) return;
    const std::array<int, 4> chart = view_.chartColumns();
    for (int c = 0; c < log_->columns.size(); ++c) {
        if (!view_.offered(c)) continue;
        auto* item = new QListWidgetItem(columns_);
        item->setData(ColumnRole, c);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(std::find(chart.begin(), chart.end(), c) != chart.end() ? Qt::Checked
                                                                                    : Qt::Unchecked);
    }
    if (columns_->count() > 0) columns_->setCurrentRow(0);
}

void LogViewer::refreshTraces() {
    QVector<LogChart::Trace> traces;
    if (log_) {
        const std::array<int, 4> chart = view_.chartColumns();
        int other = 0;
        for (int i = 0; i < columns_->count(); ++i) {
            QListWidgetItem* item = columns_->item(i);
            const int c = item->data(ColumnRole).toInt();
            const auto at = std::find(chart.begin(), chart.end(), c);
            const QColor color = at != chart.end() ? ChartColors[at - chart.begin()]
                                                   : OtherColors[other++ % std::size(OtherColors)];
            item->setForeground(color.darker(130));
            if (item->checkState() == Qt::Checked) traces.append({c, color, item->text()});
        }
    }
    chart_->setTraces(traces);
    refreshValues();
}

void LogViewer::refreshValues() {
    values_->clear();
    if (!log_) return;
    const int row = view_.cursorRow();
    const QColor text = palette().color(QPalette::Text);
    auto add = [&](const QString& name, const QString& value, const QColor& color) {
        auto* item = new QTreeWidgetItem(values_, {name, value});
        item->setForeground(0, color);
    };
    add(shell_.text(TimeName), live::LogView::timeText(log_->timeMs[row] - view_.first(), 1), text);
    const QVector<LogChart::Trace>& traces = chart_->traces();
    for (int c = 0; c < log_->columns.size(); ++c) {
        if (!view_.offered(c)) continue;
        const auto t = std::find_if(traces.begin(), traces.end(),
                                    [c](const LogChart::Trace& t) { return t.column == c; });
        add(columnName(c), valueText(c, row), t != traces.end() ? t->color.darker(130) : text);
    }
    add(shell_.text(WholeName), shell_.text(log_->whole[row] ? Yes : No), text);
    if (log_->hasFrames)
        add(shell_.text(FrameName), QString::fromLatin1(log_->frame(row).toHex(' ').toUpper()), text);
}

void LogViewer::refreshStatus() {
    QString status;
    if (log_) {
        status = shell_.text(LoadedStatus).arg(name_).arg(log_->rows()).arg(log_->skippedLines);
        if (log_->truncated) status += QStringLiteral(" - ") + shell_.text(TruncatedNote).arg(log_->rows());
    } else {
        status = problem_;
    }
    statusBar()->showMessage(status);
}

void LogViewer::retranslate() {
    const QString title = shell_.text(Title);
    setWindowTitle(name_.isEmpty() ? title : name_ + QStringLiteral(" - ") + title);
    fileMenu_->setTitle(shell_.text(FileMenu));
    openAction_->setText(shell_.text(OpenLog));
    allAction_->setText(shell_.text(WholeDrive));
    closeAction_->setText(shell_.text(CloseWindow));
    replayMenu_->setTitle(shell_.text(textkey::ReplayMenu));
    playAction_->setText(shell_.text(textkey::ReplayPlay));
    pauseAction_->setText(shell_.text(textkey::ReplayPause));
    stopAction_->setText(shell_.text(textkey::ReplayStop));
    speedLabel_->setText(shell_.text(textkey::ReplaySpeed) + QStringLiteral(" "));
    valuesBox_->setTitle(shell_.text(ValuesCaption));
    columnsBox_->setTitle(shell_.text(ColumnsCaption));
    values_->setHeaderLabels({shell_.text(ColumnHeader), shell_.text(ValueHeader)});
    keys_->setText(shell_.text(KeysHelp));
    chart_->setMarkerCaptions(shell_.text(SwitchOverCaption), shell_.text(BrokenCaption));
    // Before the first file: what to press.
    chart_->setMessage(!problem_.isEmpty() || log_
                           ? problem_
                           : openAction_->text().remove(QLatin1Char('&')) + QStringLiteral(" (") +
                                 openAction_->shortcut().toString(QKeySequence::NativeText) +
                                 QLatin1Char(')'));
    {
        const QSignalBlocker block(columns_);
        for (int i = 0; i < columns_->count(); ++i)
            columns_->item(i)->setText(columnName(columns_->item(i)->data(ColumnRole).toInt()));
    }
    refreshTraces();
    refreshStatus();
}
