#pragma once
#include <QDialog>

class QTextBrowser;

// The program's help viewer: shows an HTML help file at a topic anchor. Help
// files larger than shell::MaxHelpFileSize are refused unread, and a file
// whose layout would take long (shell::HtmlShape) is shown as plain text, so
// that no help file (nor a page it links to) can freeze or crash the program.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Opens file at topic (an anchor name); false when the file cannot be read
    // or is refused, with the reason in lastError().
    bool showTopic(const QString& file, const QString& topic);
    QString lastError() const { return error_; }
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
    QString error_;
};
