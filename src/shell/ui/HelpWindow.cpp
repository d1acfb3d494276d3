#include "shell/ui/HelpWindow.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Quendrix - Pomoc"));
    resize(720, 560);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    // Help works offline; links outside the help files are not followed.
    browser_->setOpenExternalLinks(false);
    auto* close = new QPushButton(QStringLiteral("OK"), this);
    close->setObjectName(QStringLiteral("HelpClose"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(browser_);
    lay->addWidget(close, 0, Qt::AlignRight);
}

bool HelpWindow::showTopic(const QString& file, const QString& topic) {
    const QFileInfo fi(file);
    if (!fi.isFile() || !fi.isReadable()) return false;
    QUrl url = QUrl::fromLocalFile(fi.absoluteFilePath());
    url.setFragment(topic);
    browser_->setSource(url);
    browser_->scrollToAnchor(topic);
    show();
    raise();
    activateWindow();
    return true;
}
