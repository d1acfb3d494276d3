#pragma once
#include <QDialog>

class QLabel;

// The about box Form3: the program's picture, the main window caption, the
// build date and the maker's web and e-mail links.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* WebAddress = "https://www.quendrix.example";
    static constexpr const char* SupportAddress = "serwis@quendrix.example";

    explicit AboutDialog(QWidget* parent = nullptr);
    void setCaptionCopy(const QString& caption);
    void setBuildDate(const QString& date);

    void wwwLabelClick();
    void emailLabelClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* labelQuen_;
    QLabel* czasLabel_;
    QLabel* www_;
    QLabel* email_;
};
