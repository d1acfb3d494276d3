#pragma once
#include <QWidget>

namespace qsim {
class Emulator;
}
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;

// The "simulated car" of demo mode: the engine, throttle, warm-up, gas level,
// the reducer screw, the dashboard's petrol/auto switch and the ignition
// system really fitted to the car, driving the emulated controller so that
// the pages have something to show and the wizard's steps can be walked by
// hand. Every control has a mnemonic and lies in the Tab chain.
class DemoCarWindow : public QWidget {
    Q_OBJECT
public:
    explicit DemoCarWindow(qsim::Emulator& emulator, QWidget* parent = nullptr);
    // Places the window beside the main window; when the screen is wide enough
    // for both, the pair is centred (the main window moves left to make room).
    void placeBeside(QWidget* mainWindow);

private:
    void applyInputs();
    void refreshState();
    // Cold engine: the temperature held at the ambient one.
    void coldEngine();
    // Warm-up: the temperature released, the running engine warms by itself.
    void warmUp();

    qsim::Emulator& emu_;
    QCheckBox* engineOn_;
    QSlider* throttle_;
    QLabel* throttleValue_;
    QCheckBox* forceTemp_;
    QSlider* temp_;
    QLabel* tempValue_;
    QPushButton* warmUp_;
    QPushButton* cold_;
    QSlider* reducer_;
    QLabel* reducerValue_;
    QRadioButton* switchPetrol_;
    QRadioButton* switchAuto_;
    QSlider* gas_;
    QLabel* gasValue_;
    QComboBox* ignition_;
    QLabel* state_;
    QTimer* refresh_;
};
