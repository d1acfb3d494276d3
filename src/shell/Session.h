#pragma once
#include "link/Clock.h"
#include "link/Controller.h"
#include "link/SerialChannel.h"
#include "live/PeriodFilter.h"
#include "params/ParameterSet.h"
#include "shell/LanguageTexts.h"

#include <QString>
#include <functional>

class QTimer;

// The ten timers of the main window, created disabled by the window.
struct Timers {
    QTimer* TimerObr = nullptr;
    QTimer* TimerParamOdcz = nullptr;
    QTimer* TimerWiz = nullptr;
    QTimer* TimerAdaptTerm = nullptr;
    QTimer* TimerUstTpsProg = nullptr;
    QTimer* TimerKalibSonda = nullptr;
    QTimer* TimerPrzedRed = nullptr;
    QTimer* TimerRR = nullptr;
    QTimer* TimerMinMax1 = nullptr;
    QTimer* TimerMinMax2 = nullptr;
};

// State the pages share: the link, the parameter set, the language texts, the
// shell flags and the hooks through which one page reaches another without
// knowing its class. The main window owns it and hands it to every page.
class Session {
public:
    Session(SerialPort& port, Clock& clock) : channel(port, clock), controller(channel) {}

    SerialChannel channel;
    Controller controller;
    ParameterSet params;
    LanguageTexts texts;
    PeriodFilter periodFilter;
    Timers timers;

    // True while the controller holds what the parameters page shows.
    bool written = true;
    // Set on every entry to the parameters page; the printout needs it.
    bool paramsVisited = false;
    // Set while a read/write/reset was started from the keyboard.
    bool keyboardFlag = false;
    // Label highlight colour of the focused parameter field (0x00BBGGRR).
    unsigned labelHighlight = 0xEEEEEE;
    // Temperature-capable controller (version code 4 or more at the feature check).
    bool temperatureCapable = false;

    // Status-bar panel 1: outcome of the last operation, comment of the focused field.
    std::function<void(const QString&)> setMessagePanel;
    std::function<QString()> messagePanel;

    // Filled in by the parameters page: take the set from its fields and run the
    // whole write sequence (used by the automatic write on a page change).
    std::function<void()> collectAndWriteParameters;
    // Filled in by the parameters page: fill its fields from the set.
    std::function<void()> fillParameterPage;
    // Filled in by the engine-speed page and the wizard: show the ignition index.
    std::function<void(int)> showIgnitionIndex;       // ComboBox2
    std::function<void(int)> showWizardIgnitionIndex; // ComboTerm
    std::function<int()> chosenIgnitionIndex;         // ComboBox2's index
    std::function<int()> chosenWizardIgnitionIndex;   // ComboTerm's index
    // Filled in by the engine-speed page: the analog-threshold drop-down Edit23.
    std::function<QString()> analogThresholdText;
    std::function<void(const QString&)> setAnalogThresholdText;
    // Filled in by the live page: its transmission-error label.
    std::function<void(const QString&)> setTransmissionError;
    // Filled in by the engine-speed page: show or hide GroupBoxAnalog.
    std::function<void(bool)> showAnalogGroup;
    // Filled in by the parameters page: show or hide the temperature features
    // (CheckBox22_2, Edit22_1 and their labels).
    std::function<void(bool)> showTemperatureFeatures;

    // Shell values the language switch changes: language code and file, and
    // the help file (relative to the working folder) that F1 opens.
    QString languageCode = QStringLiteral("PL");
    QString languageFile = QStringLiteral("polish.lng");
    QString helpFile = QStringLiteral("help/quendrix_pl.html");

    QString text(int key) const { return texts.text(key); }
    void message(const QString& text) const {
        if (setMessagePanel) setMessagePanel(text);
    }
};
