#include "shell/ui/HelpWindow.h"

#include "core/SystemTexts.h"
#include "shell/HelpText.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString tooLargeText(const QString& path, qint64 limit) {
    return systemtext::text(systemtext::HelpTooLarge).arg(path).arg(limit / 1024);
}

QString unreadableText(const QString& path) {
    return systemtext::text(systemtext::HelpUnreadable).arg(path);
}

// Only the help folder's own regular files load, each within the size limit;
// an HTML document nested too deep is handed over as plain text. Nothing else
// reaches a loader: a null answer would make the document open the file
// itself, with no limit (a picture of /dev/urandom would never end).
class HelpBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    QString folder; // canonical; set with each help file shown

    QVariant loadResource(int type, const QUrl& name) override {
        const QUrl url = name.isRelative() ? source().resolved(name) : name;
        const bool page = type == QTextDocument::HtmlResource || type == QTextDocument::MarkdownResource;
        const qint64 limit =
            type == QTextDocument::ImageResource ? shell::MaxHelpImageSize : shell::MaxHelpFileSize;
        const QString path = url.isLocalFile() ? url.toLocalFile() : url.toString();
        bool tooLarge = false;
        std::optional<QByteArray> data;
        if (url.isLocalFile() &&
            (page || type == QTextDocument::ImageResource || type == QTextDocument::StyleSheetResource))
            data = shell::readHelpResource(folder, path, limit, &tooLarge);
        if (!data) {
            if (!page) return QByteArray(""); // shown as a missing picture; no style
            const QString why = tooLarge ? tooLargeText(path, limit) : unreadableText(path);
            return QStringLiteral("<p>%1</p>").arg(why.toHtmlEscaped());
        }
        if (type == QTextDocument::HtmlResource && !shell::htmlShape(*data).withinLimits())
            return QStringLiteral("<pre>%1</pre>").arg(shell::htmlPlainText(*data).toHtmlEscaped());
        return *data;
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
    // The help folder is the one the file stands in; its pages and pictures
    // may link only inside it.
    const QString folder = QFileInfo(fi.absolutePath()).canonicalFilePath();
    bool tooLarge = false;
    if (!shell::readHelpResource(folder, fi.absoluteFilePath(), shell::MaxHelpFileSize, &tooLarge)) {
        error_ = tooLarge ? tooLargeText(file, shell::MaxHelpFileSize) : unreadableText(file);
        return false;
    }
    static_cast<HelpBrowser*>(browser_)->folder = folder;
    QUrl url = QUrl::fromLocalFile(fi.absoluteFilePath());
    url.setFragment(topic);
    browser_->setSource(url);
    browser_->scrollToAnchor(topic);
    show();
    raise();
    activateWindow();
    return true;
}
