#include "params/ui/PrintPage.h"
#include "core/Controls.h"

#include "core/DataPaths.h"
#include "core/PageMetrics.h"
#include "core/SessionTexts.h"
#include "core/TextKeys.h"
#include "live/LiveModel.h"
#include "params/ParameterModel.h"
#include "params/ParameterSession.h"
#include "params/ui/PageTexts.h"
#include "ui/Instruments.h"
#include "widgets/FollowColours.h"
#include "widgets/TColorButton.h"
#include "widgets/TGradientPanel.h"

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

using Id = ctl::ControlId;

namespace {
// Rows 1-11 stand in GroupBox17, rows 12-23 in GroupBox18.
constexpr int FirstRowOfSecondGroup = 11;
} // namespace

PrintPage::PrintPage(Models models, QWidget* parent) : QWidget(parent), m_(models) {
    setObjectName(ctl::name(Id::DrukowanieTab));
    build();
    fill();
    connect(&m_.shell, &ShellModel::textsChanged, this, [this] {
        fill();
        retranslateButtons();
    });
    connect(fileCheck_, &QCheckBox::toggled, this, &PrintPage::fill);
}

void PrintPage::build() {
    // Backgrounds the skins colour: the page, the title strip and one behind
    // each column of rows; the labels stand on them.
    auto gradient = [](QWidget* parent, Id name) {
        auto* g = ctl::make<TGradientPanel>(name, parent);
        liveui::setLightGradient(g);
        return g;
    };
    TGradientPanel* pageBack = gradient(this, Id::GradPanel34);
    auto* whole = new QVBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->addWidget(pageBack);
    TGradientPanel* titleBack = gradient(pageBack, Id::GradPanel35);

    title_ = ctl::make<QLabel>(Id::LabelPS, titleBack);
    QFont tf = title_->font();
    tf.setBold(true);
    title_->setFont(tf);

    print_ = ctl::make<TColorButton>(Id::DrukujButt, titleBack);
    print_->setText(QStringLiteral("Drukuj"));
    pdf_ = new TColorButton(titleBack);
    pdf_->setObjectName(QStringLiteral("ZapiszPdfButt"));
    retranslateButtons();
    connect(print_, &QAbstractButton::clicked, this, &PrintPage::DrukujButtClick);
    connect(pdf_, &QAbstractButton::clicked, this, &PrintPage::ZapiszPdfButtClick);
    QWidget::setTabOrder(print_, pdf_);

    // The warning that a file the controller never got is printed: dark red
    // on a light strip of its own, legible on every skin.
    heading_ = new QLabel(pageBack);
    heading_->setObjectName(QStringLiteral("NaglowekPliku"));
    heading_->setTextFormat(Qt::PlainText);
    heading_->setWordWrap(true);
    heading_->setAutoFillBackground(true);
    heading_->setMargin(4);
    QPalette hp = heading_->palette();
    hp.setColor(QPalette::WindowText, QColor(160, 0, 0));
    hp.setColor(QPalette::Window, QColor(255, 244, 200));
    heading_->setPalette(hp);
    fileCheck_ = new QCheckBox(pageBack);
    fileCheck_->setObjectName(QStringLiteral("DrukujPlikCheck"));
    followTextColour(title_, fileCheck_);
    QWidget::setTabOrder(pdf_, fileCheck_);

    auto* g17 = ctl::make<QGroupBox>(Id::GroupBox17, pageBack);
    auto* g18 = ctl::make<QGroupBox>(Id::GroupBox18, pageBack);
    TGradientPanel* back17 = gradient(g17, Id::GradPanel36);
    TGradientPanel* back18 = gradient(g18, Id::GradPanel37);
    for (auto [g, back] : {std::pair{g17, back17}, std::pair{g18, back18}}) {
        auto* frame = new QVBoxLayout(g);
        frame->setContentsMargins(2, 2, 2, 2);
        frame->addWidget(back);
    }
    auto* grid17 = new QGridLayout(back17);
    auto* grid18 = new QGridLayout(back18);
    grids_ = {grid17, grid18};
    for (QGridLayout* grid : grids_)
        grid->setColumnStretch(0, 1);

    for (int i = 0; i < SheetRowCount; ++i) {
        const SheetRowDef& def = sheetRowDefs()[static_cast<std::size_t>(i)];
        QWidget* back = i < FirstRowOfSecondGroup ? back17 : back18;
        QGridLayout* grid = i < FirstRowOfSecondGroup ? grid17 : grid18;
        const int r = i < FirstRowOfSecondGroup ? i : i - FirstRowOfSecondGroup;
        RowLabels& row = rows_[static_cast<std::size_t>(i)];
        row.caption = new QLabel(back);
        row.caption->setObjectName(def.captionLabel);
        // A caption longer than its column takes a second line.
        row.caption->setWordWrap(true);
        row.value = new QLabel(back);
        row.value->setObjectName(def.valueLabel);
        grid->addWidget(row.caption, r, 0);
        grid->addWidget(row.value, r, 1);
        if (!def.value2Label.isEmpty()) {
            row.value2 = new QLabel(back);
            row.value2->setObjectName(def.value2Label);
            grid->addWidget(row.value2, r, 2);
        }
    }
    for (QGridLayout* grid : grids_)
        grid->setRowStretch(grid->rowCount(), 1);

    auto* top = new QHBoxLayout(titleBack);
    top->setContentsMargins(8, 4, 8, 4);
    top->addWidget(title_, 1);
    top->addWidget(print_);
    top->addWidget(pdf_);
    auto* groups = new QHBoxLayout;
    groups->setSpacing(6);
    groups->addWidget(g17, 1);
    groups->addWidget(g18, 1);
    auto* page = new QVBoxLayout(pageBack);
    page->setContentsMargins(8, 6, 8, 6);
    page->setSpacing(6);
    page->addWidget(titleBack);
    page->addWidget(fileCheck_);
    page->addWidget(heading_);
    page->addLayout(groups, 1);
    // The 800x600 layout's type until a layout gives the page its own.
    applyLayoutNumbers(shell::layout::DesignParamPage);
}

void PrintPage::applyLayoutNumbers(const shell::layout::ParamPageNumbers& n) {
    // The parameters page's type for the rows: a sheet that reads as the page it prints.
    const shell::layout::ParamPageMetrics m = shell::layout::paramPageMetrics(n.font);
    auto sized = [](QWidget* w, int points) {
        QFont f = w->font();
        f.setPointSize(points);
        w->setFont(f);
    };
    for (const RowLabels& row : rows_)
        for (QLabel* l : {row.caption, row.value, row.value2})
            if (l) sized(l, m.font);
    sized(title_, m.font + 4);
    sized(heading_, m.font);
    sized(fileCheck_, m.font);
    const int buttonFont = m.font >= 21 ? 14 : m.font >= 16 ? 12 : m.font >= 12 ? 10 : 8;
    for (TColorButton* b : {print_, pdf_}) {
        sized(b, buttonFont);
        const QFontMetrics fm(b->font());
        b->setMinimumSize(fm.horizontalAdvance(QLatin1Char('x')) * 14, fm.height() + 12);
    }
    for (QGridLayout* grid : grids_) {
        grid->setContentsMargins(m.font / 2 + 2, m.font / 3, m.font / 2 + 2, m.font / 3);
        grid->setHorizontalSpacing(m.font);
        grid->setVerticalSpacing(std::max(2, m.font * 2 / 3));
    }
}

void PrintPage::retranslateButtons() {
    print_->setText(pagetexts::text(m_.shell, pagetexts::captionKey(print_->objectName()), print_->text()));
    pdf_->setText(pagetexts::text(m_.shell, pagetexts::SavePdfCaption, QStringLiteral("Zapisz PDF")));
}

void PrintPage::enterPage() {
    fill();
}

bool PrintPage::unwrittenFile() const {
    return m_.params.origin() == ParameterModel::Origin::File && !m_.params.unwrittenValues().empty();
}

void PrintPage::fill() {
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

PrintSheet PrintPage::sheet() const {
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

void PrintPage::stepForward() {
    // Enter prints; a fitter who moved the focus to "Zapisz PDF" gets that instead.
    if (pdf_->hasFocus())
        pdf_->click();
    else
        print_->click();
}

void PrintPage::DrukujButtClick() {
    const PrintSheet s = sheet();
    if (printHandler_)
        printHandler_(s);
    else
        printWithPreview(s);
}

void PrintPage::printWithPreview(const PrintSheet& s) {
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

QString PrintPage::choosePdfPath() {
    if (pdfPath_) return pdfPath_();
    QFileDialog dialog(this, pdf_->text(), shell::parameterDialogFolder(true),
                       m_.shell.text(textkey::PdfFiles));
    const QStringList labels = fileBoxLabels(m_.shell, true);
    for (int i = 0; i < labels.size(); ++i)
        dialog.setLabelText(QFileDialog::DialogLabel(i), labels[i]);
    dialog.setObjectName(QStringLiteral("SavePdf"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void PrintPage::ZapiszPdfButtClick() {
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

void PrintPage::showMessage(QMessageBox::Icon icon, const QString& fullText) {
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
