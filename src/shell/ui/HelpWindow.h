#pragma once
#include <QDialog>

class QTextBrowser;

// The program's help viewer: shows an HTML help file at a topic anchor.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Opens file at topic (an anchor name); false when the file cannot be read.
    bool showTopic(const QString& file, const QString& topic);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};
