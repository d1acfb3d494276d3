#pragma once
#include <QIcon>
#include <QPixmap>
#include <QSize>

// The program's own pictures, drawn at run time so that no image files need
// to be shipped: the splash picture, the about-box picture and the window icon.
namespace artwork {
QPixmap splashPicture(QSize size = QSize(473, 177));
QPixmap aboutPicture(QSize size = QSize(265, 113));
QIcon windowIcon();
} // namespace artwork
