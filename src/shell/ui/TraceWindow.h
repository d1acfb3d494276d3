#pragma once
#include "shell/TraceLog.h"

#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class ShellModel;

// The protocol trace window: what went over the line, byte by byte, while it
// is open. Opening it switches the link's trace on, closing it off again.
class TraceWindow : public QWidget {
    Q_OBJECT
public:
    TraceWindow(TraceBuffer& buffer, ShellModel& shell, QWidget* parent = nullptr);

    TraceLog& log() { return log_; }
    QTableView* table() const { return table_; }
    // The save dialog's answer; tests give the file name.
    std::function<QString()> askSavePath;

    void copySelection();
    bool saveAs(const QString& path);
    void save();

public slots:
    void retranslate();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void refreshCounts();

    ShellModel& shell_;
    TraceLog log_;
    QComboBox* filter_ = nullptr;
    QLabel* filterLabel_ = nullptr;
    QPushButton* hold_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* save_ = nullptr;
    QLabel* counts_ = nullptr;
    QLabel* keys_ = nullptr;
    QTableView* table_ = nullptr;
    bool followEnd_ = true;
};
