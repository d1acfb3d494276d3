#include "params/ui/HistoryDialog.h"

#include "core/SessionTexts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

QDialog* makeHistoryDialog(QWidget* parent, const params::ParameterSession& session,
                           const std::vector<params::ParameterSession::PointRow>& rows,
                           std::function<void(int id)> restore) {
    namespace st = params::sessiontext;
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(QStringLiteral("HistoriaDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(session.text(st::HistoryTitle));

    auto* table = new QTableWidget(static_cast<int>(rows.size()), 4, dialog);
    table->setObjectName(QStringLiteral("HistoriaTabela"));
    table->setHorizontalHeaderLabels({session.text(st::HistoryTime), session.text(st::HistoryPort),
                                      session.text(st::HistoryWhat), session.text(st::HistoryDiffers)});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setTabKeyNavigation(false); // Tab goes on to the buttons
    table->setWordWrap(false);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const params::ParameterSession::PointRow& p = rows[static_cast<std::size_t>(r)];
        const QStringList cells = {p.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), p.port, p.what,
                                   p.differences};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setToolTip(cells[c]);
            item->setData(Qt::UserRole, p.id);
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
    // Wide enough for the columns, up to the parent window. When they do not
    // all fit, "before writing" and then the port give way down to their
    // headings, so that every heading shows whole; the differences take what
    // the window leaves. Cut cells end in "…"; the whole text is the cell's
    // tool tip.
    QHeaderView* header = table->horizontalHeader();
    constexpr int Frame = 40;
    const int differencesWidth = table->columnWidth(3);
    const int most = parent && parent->window() ? parent->window()->width() : QWIDGETSIZE_MAX;
    int excess = Frame + header->sectionSizeHint(3) - most;
    for (int c = 0; c < 3; ++c)
        excess += table->columnWidth(c);
    for (int c : {2, 1}) {
        if (excess <= 0) break;
        const int narrowest = std::min(table->columnWidth(c), header->sectionSizeHint(c));
        const int width = std::max(narrowest, table->columnWidth(c) - excess);
        excess -= table->columnWidth(c) - width;
        table->setColumnWidth(c, width);
    }
    header->setSectionResizeMode(3, QHeaderView::Stretch);
    table->setTextElideMode(Qt::ElideRight);
    if (!rows.empty()) table->selectRow(0);

    auto* restoreButton = new QPushButton(session.text(st::HistoryRestore), dialog);
    restoreButton->setObjectName(QStringLiteral("PrzywrocButt"));
    restoreButton->setDefault(true);
    restoreButton->setEnabled(!rows.empty());
    auto* close = new QPushButton(session.text(st::HistoryClose), dialog);
    close->setObjectName(QStringLiteral("ZamknijButt"));
    close->setAutoDefault(false);
    QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::close);
    QObject::connect(restoreButton, &QPushButton::clicked, dialog, [dialog, table, restore] {
        const QList<QTableWidgetItem*> chosen = table->selectedItems();
        if (chosen.isEmpty()) return;
        const int id = chosen.first()->data(Qt::UserRole).toInt();
        dialog->close();
        restore(id);
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(restoreButton);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(table);
    layout->addLayout(buttons);
    QWidget::setTabOrder(table, restoreButton);
    QWidget::setTabOrder(restoreButton, close);
    table->setFocus();

    // A screenful of rows.
    int width = Frame + differencesWidth;
    for (int c = 0; c < 3; ++c)
        width += table->columnWidth(c);
    width = std::min(width, most);
    const int shown = std::min(table->rowCount(), 14);
    const int height = table->horizontalHeader()->sizeHint().height() +
                       std::max(shown, 3) * table->verticalHeader()->defaultSectionSize() + 80;
    dialog->resize(std::max(width, 420), height);
    return dialog;
}
