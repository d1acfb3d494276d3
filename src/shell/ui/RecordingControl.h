#pragma once
#include <QObject>
#include <QPointer>
#include <QString>

class LiveSession;
#include "live/ui/LogViewer.h"
class QAction;
class QLabel;
class QMenu;
class QWidget;
class ShellModel;
namespace shell {
class Navigator;
}

// The drive log on the main window: the record, fast-log and viewer items of
// the main menu (F7, F8), the status bar's recording panel and messages (where
// the files go, when and why a recording stopped), and the log viewer, whose
// replay plays into the live page.
class RecordingControl : public QObject {
    Q_OBJECT
public:
    RecordingControl(QWidget* window, LiveSession& session, ShellModel& shell, shell::Navigator& navigator);
    ~RecordingControl() override;

    // Adds the items to the main menu.
    void buildMenu(QMenu* menu);
    // The status bar's panel, shown while recording.
    QLabel* panel() const { return panel_; }

    // NagrywajItem: starts or stops the drive log.
    void NagrywajItemClick();
    void setFastLog(bool on);
    bool fastLog() const;
    // PrzegladarkaItem: the viewer, opened (raised when open).
    LogViewer* showViewer();
    LogViewer* viewer() const { return viewer_; }
    // The program closes: the log is closed cleanly, the viewer too.
    void programClosing();

private:
    void retranslate();
    void refreshRecording();
    void recordingStopped(int reason);

    QWidget* window_;
    LiveSession& session_;
    ShellModel& shell_;
    shell::Navigator& navigator_;
    QPointer<LogViewer> viewer_;
    QLabel* panel_;
    QAction* record_ = nullptr;
    QAction* fast_ = nullptr;
    QAction* viewerItem_ = nullptr;
};
