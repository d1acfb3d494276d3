#include "shell/ui/TraceWindow.h"

#include "core/SystemTexts.h"

#include "core/ShellModel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTextStream>
#include <QVBoxLayout>
#include <algorithm>

TraceWindow::TraceWindow(TraceBuffer& buffer, ShellModel& shell, QWidget* parent)
    : QWidget(parent, Qt::Window), shell_(shell), log_(buffer) {
    setObjectName(QStringLiteral("TraceWindow"));
    resize(900, 560);

    auto* bar = new QHBoxLayout;
    filterLabel_ = new QLabel(this);
    filter_ = new QComboBox(this);
    filter_->setObjectName(QStringLiteral("TraceFilter"));
    filterLabel_->setBuddy(filter_);
    hold_ = new QPushButton(this);
    hold_->setObjectName(QStringLiteral("TraceHold"));
    hold_->setCheckable(true);
    clear_ = new QPushButton(this);
    clear_->setObjectName(QStringLiteral("TraceClear"));
    copy_ = new QPushButton(this);
    copy_->setObjectName(QStringLiteral("TraceCopy"));
    save_ = new QPushButton(this);
    save_->setObjectName(QStringLiteral("TraceSave"));
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("TraceCounts"));
    bar->addWidget(filterLabel_);
    bar->addWidget(filter_);
    bar->addSpacing(12);
    for (QPushButton* b : {hold_, clear_, copy_, save_})
        bar->addWidget(b);
    bar->addStretch(1);
    bar->addWidget(counts_);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("TraceTable"));
    table_->setModel(&log_);
    table_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->horizontalHeader()->setStretchLastSection(true);

    keys_ = new QLabel(this);
    keys_->setObjectName(QStringLiteral("TraceKeys"));
    keys_->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(bar);
    layout->addWidget(table_, 1);
    layout->addWidget(keys_);

    auto shortcut = [this](const QKeySequence& key, auto slot) {
        auto* a = new QAction(this);
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
        connect(a, &QAction::triggered, this, slot);
    };
    shortcut(QKeySequence::Copy, [this] { copySelection(); });
    shortcut(QKeySequence::Save, [this] { save(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_L), [this] { log_.clear(); });
    shortcut(QKeySequence(Qt::Key_Space), [this] { hold_->toggle(); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] { close(); });

    connect(hold_, &QPushButton::toggled, this, [this](bool held) { log_.listen(!held && isVisible()); });
    connect(clear_, &QPushButton::clicked, &log_, &TraceLog::clear);
    connect(copy_, &QPushButton::clicked, this, &TraceWindow::copySelection);
    connect(save_, &QPushButton::clicked, this, &TraceWindow::save);
    connect(filter_, &QComboBox::currentIndexChanged, this,
            [this](int i) { log_.setFilter(static_cast<TraceExchange>(filter_->itemData(i).toInt())); });
    connect(&log_, &TraceLog::countsChanged, this, &TraceWindow::refreshCounts);
    // New rows keep the newest in sight unless the fitter scrolled up to read.
    QScrollBar* scroll = table_->verticalScrollBar();
    connect(scroll, &QScrollBar::valueChanged, this,
            [this, scroll](int v) { followEnd_ = v >= scroll->maximum(); });
    connect(&log_, &QAbstractItemModel::rowsInserted, this, [this] {
        if (followEnd_) table_->scrollToBottom();
    });
    connect(&shell_, &ShellModel::textsChanged, this, &TraceWindow::retranslate);
    retranslate();
}

void TraceWindow::retranslate() {
    auto t = [this](int key) { return shell_.text(key); };
    setWindowTitle(t(tracetext::Title));
    filterLabel_->setText(t(tracetext::FilterLabel));
    hold_->setText(t(tracetext::Hold));
    clear_->setText(t(tracetext::Clear));
    copy_->setText(t(tracetext::Copy));
    save_->setText(t(tracetext::Save));
    keys_->setText(t(tracetext::Keys));
    log_.setNames(tracetext::names(shell_.texts()));
    // Wide enough for the header in every language.
    const int widths[] = {90, 80, 50, 230, 70};
    for (int c = 0; c < 5; ++c) {
        int width = std::max(widths[c], table_->horizontalHeader()->sectionSizeHint(c));
        if (c == TraceLog::Direction)
            for (const QString& kind : log_.names().kinds)
                width = std::max(width, table_->fontMetrics().horizontalAdvance(kind) + 12);
        table_->setColumnWidth(c, width);
    }

    const QSignalBlocker block(filter_);
    const int current = filter_->currentIndex() < 0 ? 0 : filter_->currentIndex();
    filter_->clear();
    filter_->addItem(t(tracetext::AllExchanges), int(TraceExchange::None));
    for (int e = 1; e < int(TraceExchange::Count); ++e)
        filter_->addItem(log_.names().name(static_cast<TraceExchange>(e)), e);
    filter_->setCurrentIndex(current);
    refreshCounts();
}

void TraceWindow::refreshCounts() {
    QString s = shell_.text(tracetext::Count).arg(log_.rowCount()).arg(log_.kept());
    if (log_.lost() > 0) s += QStringLiteral("; ") + shell_.text(tracetext::Lost).arg(log_.lost());
    counts_->setText(s);
}

void TraceWindow::copySelection() {
    QList<int> rows;
    for (const QModelIndex& i : table_->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    QApplication::clipboard()->setText(log_.text(rows));
}

bool TraceWindow::saveAs(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        QMessageBox::warning(this, windowTitle(),
                             shell_.text(tracetext::SaveFailed)
                                 .arg(path, systemtext::fileReason(f, systemtext::Access::Write)));
        return false;
    }
    QTextStream out(&f);
    out << log_.text();
    return true;
}

void TraceWindow::save() {
    const QString path = askSavePath
                             ? askSavePath()
                             : QFileDialog::getSaveFileName(this, windowTitle(), QStringLiteral("trace.txt"),
                                                            shell_.text(tracetext::FileFilter));
    if (!path.isEmpty()) saveAs(path);
}

void TraceWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    log_.listen(!hold_->isChecked());
}

void TraceWindow::closeEvent(QCloseEvent* event) {
    log_.listen(false);
    QWidget::closeEvent(event);
}
