#pragma once
#include <QWidget>

class QLabel;

// The splash window Logo: navy, borderless, a picture and "Ładowanie programu ...".
class SplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit SplashScreen(QWidget* parent = nullptr);
    // Centres the window on the screen and every control horizontally in it.
    void centre();
    // Shows the window, lets it paint, then waits for ms milliseconds.
    void showFor(int ms);

private:
    QLabel* image_;
    QLabel* label_;
};
