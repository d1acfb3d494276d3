#include "shell/ui/AboutDialog.h"

#include "shell/ui/Artwork.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// Colour 8388672 of the window definition (red in the low byte).
const QColor kBoxColour(0x40, 0x00, 0x80);

QLabel* linkLabel(const QString& name, const QString& text, const char* colour, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    f.setUnderline(true);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(colour)));
    l->setCursor(Qt::PointingHandCursor);
    l->setAlignment(Qt::AlignCenter);
    // Reachable from the keyboard too: Tab to the link, Enter or Space opens it.
    l->setFocusPolicy(Qt::StrongFocus);
    return l;
}

QGroupBox* colouredBox(const QString& name, QWidget* parent) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(name);
    box->setAutoFillBackground(true);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Window, kBoxColour);
    box->setPalette(pal);
    return box;
}
} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent, Qt::Tool) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral(" "));
    setFixedSize(314, 254);
    setModal(true);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image2"));
    image->setFixedSize(265, 113);
    image->setScaledContents(true);
    image->setPixmap(artwork::aboutPicture(QSize(265, 113)));

    auto* quenBox = colouredBox(QStringLiteral("GroupBox1"), this);
    labelQuen_ = new QLabel(quenBox);
    labelQuen_->setObjectName(QStringLiteral("LabelQuen"));
    QFont qf(QStringLiteral("Arial"));
    qf.setPixelSize(12);
    qf.setBold(true);
    labelQuen_->setFont(qf);
    labelQuen_->setWordWrap(true);
    labelQuen_->setAlignment(Qt::AlignCenter);
    labelQuen_->setStyleSheet(QStringLiteral("color: lime;"));
    (new QVBoxLayout(quenBox))->addWidget(labelQuen_);

    auto* timeBox = colouredBox(QStringLiteral("GroupBox2"), this);
    czasLabel_ = new QLabel(timeBox);
    czasLabel_->setObjectName(QStringLiteral("CzasLabel"));
    QFont cf(QStringLiteral("Arial"));
    cf.setPixelSize(16);
    cf.setBold(true);
    czasLabel_->setFont(cf);
    czasLabel_->setAlignment(Qt::AlignCenter);
    czasLabel_->setStyleSheet(QStringLiteral("color: lime;"));
    (new QVBoxLayout(timeBox))->addWidget(czasLabel_);

    www_ = linkLabel(QStringLiteral("wwwLabel"), QString::fromLatin1(WebAddress), "lime", this);
    email_ = linkLabel(QStringLiteral("emailLabel"), QString::fromLatin1(SupportAddress), "yellow", this);
    www_->installEventFilter(this);
    email_->installEventFilter(this);

    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(8, 8, 8, 8);
    lay->setSpacing(4);
    lay->addWidget(image, 0, Qt::AlignHCenter);
    lay->addWidget(quenBox);
    lay->addWidget(timeBox);
    lay->addWidget(www_);
    lay->addWidget(email_);
    setStyleSheet(QStringLiteral("AboutDialog { background: #000040; }"));
}

void AboutDialog::setCaptionCopy(const QString& caption) {
    labelQuen_->setText(caption);
}

void AboutDialog::setBuildDate(const QString& date) {
    czasLabel_->setText(date);
}

void AboutDialog::wwwLabelClick() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(WebAddress)));
}

void AboutDialog::emailLabelClick() {
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + QString::fromLatin1(SupportAddress) +
                                   QStringLiteral("?subject=Quendrix")));
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
    const bool isLink = watched == www_ || watched == email_;
    bool activate = false;
    if (isLink && event->type() == QEvent::MouseButtonRelease)
        activate = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (isLink && event->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent*>(event)->key();
        activate = k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Space;
    }
    if (activate) {
        if (watched == www_)
            wwwLabelClick();
        else
            emailLabelClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
