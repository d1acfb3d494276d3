#include "params/ui/DifferencesDialog.h"

#include "params/ParamCompare.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

QDialog* makeDifferencesDialog(QWidget* parent, const QString& title, const QStringList& headers,
                               const std::vector<ParamDifference>& differences, const QString& closeText,
                               const QString& note) {
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(QStringLiteral("PorownanieDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(title);

    auto* table = new QTableWidget(static_cast<int>(differences.size()), 3, dialog);
    table->setObjectName(QStringLiteral("PorownanieTabela"));
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setWordWrap(false);
    for (int r = 0; r < static_cast<int>(differences.size()); ++r) {
        const ParamDifference& d = differences[static_cast<std::size_t>(r)];
        table->setItem(r, 0, new QTableWidgetItem(d.caption));
        table->setItem(r, 1, new QTableWidgetItem(d.pageValue));
        table->setItem(r, 2, new QTableWidgetItem(d.controllerValue));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    buttons->button(QDialogButtonBox::Close)->setText(closeText);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);

    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(table);
    if (!note.isEmpty()) {
        auto* label = new QLabel(note, dialog);
        label->setObjectName(QStringLiteral("PorownanieUwaga"));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    layout->addWidget(buttons);

    // Wide enough for every column, tall enough for the rows up to a screenful.
    int width = 40;
    for (int c = 0; c < 3; ++c)
        width += table->columnWidth(c);
    const int rows = std::min(table->rowCount(), 18);
    const int height = table->horizontalHeader()->sizeHint().height() +
                       rows * table->verticalHeader()->defaultSectionSize() + 80;
    dialog->resize(std::max(width, 420), height);
    return dialog;
}
