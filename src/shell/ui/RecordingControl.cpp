#include "shell/ui/RecordingControl.h"

#include "live/LiveSession.h"
#include "live/ui/LogViewer.h"
#include "shell/Navigator.h"
#include "shell/ShellTexts.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>

RecordingControl::RecordingControl(QWidget* window, LiveSession& session, ShellModel& shell,
                                   shell::Navigator& navigator)
    : window_(window), session_(session), shell_(shell), navigator_(navigator) {
    panel_ = new QLabel(window);
    panel_->setObjectName(QStringLiteral("RecordingPanel"));
    panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QPalette p = panel_->palette();
    p.setColor(QPalette::WindowText, QColor(192, 0, 0));
    panel_->setPalette(p);
    panel_->hide();

    live::Recorder& rec = session_.recorder();
    connect(&rec, &live::Recorder::started, this, [this](const QString& csv, const QString& msl) {
        shell_.setMessage(
            shell_.text(textkey::Recording).arg(QDir::toNativeSeparators(csv), QFileInfo(msl).fileName()));
        refreshRecording();
    });
    connect(&rec, &live::Recorder::stopped, this,
            [this](live::Recorder::StopReason reason) { recordingStopped(int(reason)); });
    connect(&session_, &LiveSession::recordingRefused, this, [this](const QString& reason) {
        shell_.setMessage(shell_.text(textkey::RecordCannot).arg(QDir::toNativeSeparators(reason)));
        refreshRecording();
    });
    connect(&shell_, &ShellModel::textsChanged, this, &RecordingControl::retranslate);
}

RecordingControl::~RecordingControl() {
    delete viewer_.data();
}

void RecordingControl::buildMenu(QMenu* menu) {
    menu->addSeparator()->setObjectName(QStringLiteral("NRecord"));
    record_ = menu->addAction(QString(), this, &RecordingControl::NagrywajItemClick);
    record_->setObjectName(QStringLiteral("NagrywajItem"));
    record_->setCheckable(true);
    record_->setShortcut(Qt::Key_F7);
    fast_ = menu->addAction(QString());
    fast_->setObjectName(QStringLiteral("SzybkiZapisItem"));
    fast_->setCheckable(true);
    connect(fast_, &QAction::toggled, &session_, &LiveSession::setFastLog);
    viewerItem_ = menu->addAction(QString(), this, [this] { showViewer(); });
    viewerItem_->setObjectName(QStringLiteral("PrzegladarkaItem"));
    viewerItem_->setShortcut(Qt::Key_F8);
    retranslate();
}

void RecordingControl::retranslate() {
    if (record_) record_->setText(shell_.text(textkey::Record));
    if (fast_) fast_->setText(shell_.text(textkey::FastLog));
    if (viewerItem_) viewerItem_->setText(shell_.text(textkey::LogViewerItem));
    refreshRecording();
}

void RecordingControl::NagrywajItemClick() {
    if (session_.recorder().recording())
        session_.stopRecording();
    else
        session_.startRecording();
    refreshRecording();
}

void RecordingControl::setFastLog(bool on) {
    if (fast_)
        fast_->setChecked(on);
    else
        session_.setFastLog(on);
}

bool RecordingControl::fastLog() const {
    return session_.fastLog();
}

void RecordingControl::refreshRecording() {
    const live::Recorder& rec = session_.recorder();
    if (record_) record_->setChecked(rec.recording());
    panel_->setVisible(rec.recording());
    if (rec.recording())
        panel_->setText(shell_.text(textkey::RecordingPanel).arg(QFileInfo(rec.csvPath()).fileName()));
}

void RecordingControl::recordingStopped(int reason) {
    const live::Recorder& rec = session_.recorder();
    const QString file = QDir::toNativeSeparators(rec.csvPath());
    const QString rows = QString::number(rec.rowsRecorded());
    switch (static_cast<live::Recorder::StopReason>(reason)) {
    case live::Recorder::StopReason::Stopped:
        shell_.setMessage(shell_.text(textkey::RecordStopped).arg(rows, file));
        break;
    case live::Recorder::StopReason::PortLost:
        shell_.setMessage(shell_.text(textkey::RecordPortLost).arg(rows, file));
        break;
    case live::Recorder::StopReason::WriteFailed:
        shell_.setMessage(
            shell_.text(textkey::RecordFailed).arg(QDir::toNativeSeparators(rec.errorString())));
        break;
    }
    refreshRecording();
}

LogViewer* RecordingControl::showViewer() {
    if (!viewer_) {
        // A window of its own, beside the main window; the program's texts.
        viewer_ = new LogViewer(shell_, window_);
        viewer_->setWindowFlag(Qt::Window);
        viewer_->setAttribute(Qt::WA_DeleteOnClose, false);
        viewer_->setLiveSession(&session_);
        connect(viewer_, &LogViewer::replayRequested, this, [this] {
            if (!viewer_ || !viewer_->log()) return;
            if (navigator_.current() != shell::Page::Wizualizacja)
                navigator_.selectFromMenu(shell::Page::Wizualizacja);
            session_.startReplay(viewer_->log(), QFileInfo(viewer_->path()).fileName());
        });
    }
    viewer_->show();
    viewer_->raise();
    viewer_->activateWindow();
    return viewer_;
}

void RecordingControl::programClosing() {
    session_.stopReplay();
    session_.stopRecording();
    if (viewer_) viewer_->close();
}
