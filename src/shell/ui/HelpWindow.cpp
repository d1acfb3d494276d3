#include "shell/ui/HelpWindow.h"

#include "shell/HelpText.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString tooLargeText(const QString& path, qint64 limit) {
    return QStringLiteral("Plik pomocy %1 jest za duży (największy dozwolony rozmiar to %2 kB).")
        .arg(path)
        .arg(limit / 1024);
}

// Every document and picture the viewer loads passes the size limit; an HTML
// document nested too deep is handed over as plain text.
class HelpBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override {
        const QUrl url = name.isRelative() ? source().resolved(name) : name;
        if (!url.isLocalFile() ||
            (type != QTextDocument::HtmlResource && type != QTextDocument::ImageResource &&
             type != QTextDocument::MarkdownResource))
            return QTextBrowser::loadResource(type, name);
        const QString path = url.toLocalFile();
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
            return QTextBrowser::loadResource(type, name);
        const qint64 limit =
            type == QTextDocument::ImageResource ? shell::MaxHelpImageSize : shell::MaxHelpFileSize;
        // Read no more than the limit: the file may grow while it is read.
        const QByteArray data = file.size() > limit ? QByteArray() : file.read(limit + 1);
        if (file.size() > limit || data.size() > limit) {
            if (type == QTextDocument::ImageResource) return QVariant();
            return QStringLiteral("<p>%1</p>").arg(tooLargeText(path, limit).toHtmlEscaped());
        }
        if (type == QTextDocument::ImageResource) return data;
        if (!shell::htmlShape(data).withinLimits())
            return QStringLiteral("<pre>%1</pre>").arg(shell::htmlPlainText(data).toHtmlEscaped());
        return data;
    }
};

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Quendrix - Pomoc"));
    resize(720, 560);
    browser_ = new HelpBrowser(this);
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
    error_.clear();
    const QFileInfo fi(file);
    if (!fi.isFile() || !fi.isReadable()) {
        error_ = QStringLiteral("Nie można otworzyć pliku pomocy:\n%1").arg(file);
        return false;
    }
    if (fi.size() > shell::MaxHelpFileSize) {
        error_ = tooLargeText(file, shell::MaxHelpFileSize);
        return false;
    }
    QUrl url = QUrl::fromLocalFile(fi.absoluteFilePath());
    url.setFragment(topic);
    browser_->setSource(url);
    browser_->scrollToAnchor(topic);
    show();
    raise();
    activateWindow();
    return true;
}
