#pragma once
#include "live/LogView.h"

#include <QMainWindow>
#include <memory>

class LogChart;
class LiveSession;
class QAction;
class QComboBox;
class QTimer;
class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QTreeWidget;
class ShellModel;

// The window a fitter reads a drive in afterwards: a CSV or .msl log of the
// recorder (or the CLI's CSV) over the whole drive - the live chart's four
// traces and any other column ticked, zoom, pan, a cursor whose values the side
// panel reads, and markers at the switch-overs to gas and at frames that were
// not whole. Every caption is a language text; every action has a key.
class LogViewer : public QMainWindow {
    Q_OBJECT
public:
    explicit LogViewer(ShellModel& shell, QWidget* parent = nullptr);
    ~LogViewer() override;

    // Reads and shows the file; false (the reason in the status bar and on the
    // plot) when it holds no log.
    bool openLog(const QString& path);
    // A log already read (by a replay, say); name goes into the caption.
    void showLog(std::shared_ptr<const live::LogData> log, const QString& name);
    std::shared_ptr<const live::LogData> log() const { return log_; }
    QString path() const { return path_; }

    live::LogView& view() { return view_; }
    LogChart* chart() const { return chart_; }
    // Column indices (in the log) ticked for the plot.
    QVector<int> tickedColumns() const;
    void setTicked(int column, bool ticked);

    // Replay into the live page: the session that plays it. Play asks for the
    // page through replayRequested() when this log is not playing yet; the
    // cursor follows the replay and moving it seeks.
    void setLiveSession(LiveSession* session);
    bool replayingThis() const;

public slots:
    // The file dialog, in the recorder's folder when there is one.
    void openDialog();
    void retranslate();

signals:
    void logOpened(const QString& path);
    void replayRequested();

private:
    QString columnName(int column) const;
    QString valueText(int column, int row) const;
    void fillColumns();
    void refreshTraces();
    void refreshValues();
    void refreshStatus();
    void refreshReplay();
    void followReplay();
    void playClicked();

    ShellModel& shell_;
    std::shared_ptr<const live::LogData> log_;
    live::LogView view_;
    QString path_;
    QString name_;
    QString problem_; // why the last open showed nothing

    LogChart* chart_;
    QMenu* fileMenu_;
    QAction* openAction_;
    QAction* allAction_;
    QAction* closeAction_;
    QGroupBox* valuesBox_;
    QTreeWidget* values_;
    QGroupBox* columnsBox_;
    QListWidget* columns_;
    QLabel* keys_;
    QMenu* replayMenu_;
    QAction* playAction_;
    QAction* pauseAction_;
    QAction* stopAction_;
    QLabel* speedLabel_;
    QComboBox* speed_;
    QTimer* follow_;
    LiveSession* session_ = nullptr;
};
