#include "params/ui/DrukowaniePage.h"

#include "core/DataPaths.h"
#include "core/SessionTexts.h"
#include "core/TextKeys.h"
#include "live/LiveModel.h"
#include "params/ParameterModel.h"
#include "params/ParameterSession.h"
#include "params/ui/PageTexts.h"
#include "widgets/TColorButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QVBoxLayout>

namespace {
// Rows 1-11 stand in GroupBox17, rows 12-23 in GroupBox18.
constexpr int FirstRowOfSecondGroup = 11;
} // namespace

DrukowaniePage::DrukowaniePage(Models models, QWidget* parent) : QWidget(parent), m_(models) {
    setObjectName(QStringLiteral("DrukowanieTab"));
    build();
    fill();
    connect(&m_.shell, &ShellModel::textsChanged, this, [this] {
        fill();
        retranslateButtons();
    });
    connect(fileCheck_, &QCheckBox::toggled, this, &DrukowaniePage::fill);
}

void DrukowaniePage::build() {
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("LabelPS"));
    QFont tf = title_->font();
    tf.setBold(true);
    tf.setPixelSize(16);
    title_->setFont(tf);

    print_ = new TColorButton(this);
    print_->setObjectName(QStringLiteral("DrukujButt"));
    print_->setText(QStringLiteral("Drukuj"));
    pdf_ = new TColorButton(this);
    pdf_->setObjectName(QStringLiteral("ZapiszPdfButt"));
    retranslateButtons();
    for (TColorButton* b : {print_, pdf_})
        b->setMinimumSize(110, 28);
    connect(print_, &QAbstractButton::clicked, this, &DrukowaniePage::DrukujButtClick);
    connect(pdf_, &QAbstractButton::clicked, this, &DrukowaniePage::ZapiszPdfButtClick);
    QWidget::setTabOrder(print_, pdf_);

    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("NaglowekPliku"));
    heading_->setTextFormat(Qt::PlainText);
    heading_->setWordWrap(true);
    QPalette hp = heading_->palette();
    hp.setColor(QPalette::WindowText, QColor(192, 0, 0));
    heading_->setPalette(hp);
    QFont hf = heading_->font();
    hf.setBold(true);
    heading_->setFont(hf);
    fileCheck_ = new QCheckBox(this);
    fileCheck_->setObjectName(QStringLiteral("DrukujPlikCheck"));
    QWidget::setTabOrder(pdf_, fileCheck_);

    auto* g17 = new QGroupBox(this);
    g17->setObjectName(QStringLiteral("GroupBox17"));
    auto* g18 = new QGroupBox(this);
    g18->setObjectName(QStringLiteral("GroupBox18"));
    auto* grid17 = new QGridLayout(g17);
    auto* grid18 = new QGridLayout(g18);
    for (QGridLayout* grid : {grid17, grid18}) {
        grid->setContentsMargins(8, 6, 8, 6);
        grid->setHorizontalSpacing(10);
        grid->setVerticalSpacing(8);
        grid->setColumnStretch(0, 1);
    }

    for (int i = 0; i < SheetRowCount; ++i) {
        const SheetRowDef& def = sheetRowDefs()[static_cast<std::size_t>(i)];
        QGroupBox* g = i < FirstRowOfSecondGroup ? g17 : g18;
        QGridLayout* grid = i < FirstRowOfSecondGroup ? grid17 : grid18;
        const int r = i < FirstRowOfSecondGroup ? i : i - FirstRowOfSecondGroup;
        RowLabels& row = rows_[static_cast<std::size_t>(i)];
        row.caption = new QLabel(g);
        row.caption->setObjectName(def.captionLabel);
        row.value = new QLabel(g);
        row.value->setObjectName(def.valueLabel);
        grid->addWidget(row.caption, r, 0);
        grid->addWidget(row.value, r, 1);
        if (!def.value2Label.isEmpty()) {
            row.value2 = new QLabel(g);
            row.value2->setObjectName(def.value2Label);
            grid->addWidget(row.value2, r, 2);
        }
    }
    for (QGridLayout* grid : {grid17, grid18})
        grid->setRowStretch(grid->rowCount(), 1);

    auto* top = new QHBoxLayout;
    top->addWidget(title_, 1);
    top->addWidget(print_);
    top->addWidget(pdf_);
    auto* groups = new QHBoxLayout;
    groups->setSpacing(6);
    groups->addWidget(g17, 1);
    groups->addWidget(g18, 1);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(8, 6, 8, 6);
    page->setSpacing(6);
    page->addLayout(top);
    page->addWidget(fileCheck_);
    page->addWidget(heading_);
    page->addLayout(groups, 1);
}

void DrukowaniePage::retranslateButtons() {
    print_->setText(pagetexts::text(m_.shell, pagetexts::captionKey(print_->objectName()), print_->text()));
    pdf_->setText(pagetexts::text(m_.shell, pagetexts::SavePdfCaption, QStringLiteral("Zapisz PDF")));
}

void DrukowaniePage::enterPage() {
    fill();
}

bool DrukowaniePage::unwrittenFile() const {
    return m_.params.origin() == ParameterModel::Origin::File && !m_.params.unwrittenValues().empty();
}

void DrukowaniePage::fill() {
    namespace st = params::sessiontext;
    const SheetTexts texts = pagetexts::sheetTexts(m_.shell);
    title_->setText(texts.title);
    for (std::size_t i = 0; i < rows_.size(); ++i)
        rows_[i].caption->setText(texts.captions[i]);
    const QString file = QFileInfo(m_.params.fileName()).fileName();
    const bool offerFile = m_.shell.paramsVisited && unwrittenFile();
    fileCheck_->setText(m_.paramSession.text(st::PrintFileCheck).arg(file));
    fileCheck_->setVisible(offerFile);
    if (!offerFile && fileCheck_->isChecked()) fileCheck_->setChecked(false); // fills again
    const bool printFile = offerFile && fileCheck_->isChecked();
    heading_->setText(printFile ? m_.paramSession.text(st::PrintFileHeading).arg(file) : QString());
    heading_->setVisible(printFile);
    // Until the parameters page has been shown the values are not known.
    if (!m_.shell.paramsVisited) return;
    const PrintSheet s = buildPrintSheet(printFile ? m_.params.page() : m_.params.controllerSet(),
                                         pagetexts::ignitionItem(m_.shell, m_.live.ignitionChoice()), texts);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        rows_[i].value->setText(s.rows[i].value);
        if (rows_[i].value2) rows_[i].value2->setText(s.rows[i].value2);
    }
}

PrintSheet DrukowaniePage::sheet() const {
    PrintSheet s;
    s.title = title_->text();
    s.heading = heading_->text();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        s.rows[i].caption = rows_[i].caption->text();
        s.rows[i].value = rows_[i].value->text();
        s.rows[i].twoValues = rows_[i].value2 != nullptr;
        if (rows_[i].value2) s.rows[i].value2 = rows_[i].value2->text();
    }
    return s;
}

void DrukowaniePage::stepForward() {
    // Enter prints; a fitter who moved the focus to "Zapisz PDF" gets that instead.
    if (pdf_->hasFocus())
        pdf_->click();
    else
        print_->click();
}

void DrukowaniePage::DrukujButtClick() {
    const PrintSheet s = sheet();
    if (printHandler_)
        printHandler_(s);
    else
        printWithPreview(s);
}

void DrukowaniePage::printWithPreview(const PrintSheet& s) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(s.title);
    // The preview's print button opens the platform's print dialog; cancelling
    // either prints nothing.
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    preview.setWindowTitle(print_->text());
    bool failed = false;
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter* p) {
        if (!printSheet(*p, s)) failed = true;
    });
    preview.exec();
    if (failed) {
        const QString where =
            printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        showMessage(QMessageBox::Critical, pagetexts::text(m_.shell, pagetexts::PrintFailed,
                                                           QStringLiteral("Nie można drukować: %1"))
                                               .arg(where));
    }
}

QString DrukowaniePage::choosePdfPath() {
    if (pdfPath_) return pdfPath_();
    QFileDialog dialog(this, pdf_->text(), shell::parameterDialogFolder(true), QStringLiteral("PDF (*.pdf)"));
    dialog.setObjectName(QStringLiteral("SavePdf"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void DrukowaniePage::ZapiszPdfButtClick() {
    const QString path = choosePdfPath();
    if (path.isEmpty()) return;
    QString error;
    if (!saveSheetPdf(path, sheet(), &error)) {
        showMessage(QMessageBox::Critical, error);
        return;
    }
    m_.shell.setMessage(
        pagetexts::text(m_.shell, pagetexts::PdfSaved, QStringLiteral("Zapisano plik PDF %1")).arg(path));
}

void DrukowaniePage::showMessage(QMessageBox::Icon icon, const QString& fullText) {
    // A printer or file name may be any length.
    const QString text = shortened(fullText);
    if (messageHandler_) {
        messageHandler_(icon, QStringLiteral("Quendrix"), text);
        return;
    }
    QMessageBox box(icon, QStringLiteral("Quendrix"), text, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
