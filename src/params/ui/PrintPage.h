#pragma once
#include "core/PageHooks.h"
#include "core/ShellModel.h"
#include "params/PrintSheet.h"
#include "core/PageHooks.h"
#include "core/PageMetrics.h"
#include "core/ShellModel.h"

#include <QMessageBox>
#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QGroupBox;
class QGridLayout;
class TColorButton;

// The print page DrukowanieTab: the sheet's title and 23 rows shown as labels,
// "Drukuj" (print preview and the printer dialog) and "Zapisz PDF". The labels
// are filled on every entry and whenever the language texts change; what is
// printed is what they show. The values are the set the controller holds as
// last read or written; a loaded file the controller never got is printed
// only when the fitter asks for it (DrukujPlikCheck), under a heading that
// names the file and says so.
class PrintPage : public QWidget, public PageHooks {
    Q_OBJECT
public:
    explicit PrintPage(Models models, QWidget* parent = nullptr);

    void enterPage() override;
    // Enter prints (or saves the PDF while its button has the focus); Backspace has no use here.
    bool usesStepKeys() const override { return true; }
    void stepForward() override;

    // Title and captions from the current language; values from the parameter
    // set once the parameters page has been shown.
    void fill();
    // The sheet as the labels show it.
    PrintSheet sheet() const;

    // The type and spacing of a screen-size layout, by the parameters page's numbers.
    void applyLayoutNumbers(const shell::layout::ParamPageNumbers& n);

    void DrukujButtClick();
    void ZapiszPdfButtClick();

    // Seams for tests: what prints a sheet (default: the print preview with
    // the platform's print dialog), where the PDF goes (default: a save dialog;
    // an empty path cancels) and how messages are shown.
    using PrintHandler = std::function<void(const PrintSheet&)>;
    void setPrintHandler(PrintHandler h) { printHandler_ = std::move(h); }
    using PathChooser = std::function<QString()>;
    void setPdfPathChooser(PathChooser c) { pdfPath_ = std::move(c); }
    using MessageHandler =
        std::function<void(QMessageBox::Icon icon, const QString& caption, const QString& text)>;
    void setMessageHandler(MessageHandler h) { messageHandler_ = std::move(h); }

private:
    struct RowLabels {
        QLabel* caption = nullptr;
        QLabel* value = nullptr;
        QLabel* value2 = nullptr;
    };

    void build();
    void retranslateButtons();
    void printWithPreview(const PrintSheet& sheet);
    QString choosePdfPath();
    void showMessage(QMessageBox::Icon icon, const QString& text);

    Models m_;
    // The page holds a loaded file the controller never got.
    bool unwrittenFile() const;

    QLabel* title_ = nullptr;
    QLabel* heading_ = nullptr;
    QCheckBox* fileCheck_ = nullptr;
    std::array<RowLabels, SheetRowCount> rows_{};
    std::array<QGridLayout*, 2> grids_{};
    TColorButton* print_ = nullptr;
    TColorButton* pdf_ = nullptr;
    PrintHandler printHandler_;
    PathChooser pdfPath_;
    MessageHandler messageHandler_;
};
