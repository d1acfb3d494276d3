#include "shell/ui/SplashScreen.h"

#include "core/Numeric.h"
#include "shell/ui/Artwork.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QScreen>
#include <QThread>

SplashScreen::SplashScreen(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Logo"));
    setFixedSize(536, 260);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 128));
    setPalette(pal);

    image_ = new QLabel(this);
    image_->setObjectName(QStringLiteral("Image2"));
    image_->setGeometry(0, 24, 473, 177);
    image_->setScaledContents(true);
    image_->setPixmap(artwork::splashPicture(QSize(473, 177)));

    label_ = new QLabel(QStringLiteral("Ładowanie programu ..."), this);
    label_->setObjectName(QStringLiteral("Label1"));
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(21);
    label_->setFont(f);
    label_->setAlignment(Qt::AlignCenter);
    label_->setStyleSheet(QStringLiteral("color: yellow; background: transparent;"));
    label_->setGeometry(0, 212, 400, 30);
    centre();
}

void SplashScreen::centre() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect g = screen->geometry();
        move(g.left() + static_cast<int>(roundEven(g.width() * 0.5 - width() * 0.5)),
             g.top() + static_cast<int>(roundEven(g.height() * 0.5 - height() * 0.5)));
    }
    for (QLabel* c : {image_, label_})
        c->move(static_cast<int>(roundEven(width() * 0.5 - c->width() * 0.5)), c->y());
}

void SplashScreen::showFor(int ms) {
    centre();
    show();
    QElapsedTimer t;
    t.start();
    // Keep painting while waiting, so the splash does not show as a blank frame.
    while (t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(10);
    }
}
