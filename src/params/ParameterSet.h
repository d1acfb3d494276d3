#pragma once
#include <QString>
#include <array>
#include <functional>

// The controller's configurable parameters, each held as the text its page
// control shows (numbers, volts "0,50", choice index, flag "0"/"1").
// Flags are "1" when their check box is checked, in every direction: after a
// read, in files and before a write. For MaxGasRpmOff that means "1" = speed
// limit off = the controller holds period 1.
enum class ParamId {
    ProbeKind,
    LambdaThreshold,
    SwitchRpm,
    TpsKind,
    TpsThreshold,
    StepSpeedAboveTps,
    StepSpeedBelowTps,
    MaxGasRpm,
    MaxGasRpmOff,
    RpmKind,
    RpmDelta,
    StepMin,
    StepMax,
    StepStart,
    StartDelay,
    LambdaLowTime,
    LambdaHighTime,
    LambdaBosch,
    CutoffOn,
    CutoffStep,
    CutoffRpm,
    StepOpening,
    SwitchDelay,
    ControllerMode,
    ReserveSensorKind,
    TempSensorOn,
    SwitchTemp,
    AnalogThreshold,
    Count
};

// How a parameter and an item of its list are named to the fitter: the page's
// words in the window's language. Empty functions, or an empty text, give the
// built-in Polish ones.
struct ParamWords {
    std::function<QString(ParamId)> caption;
    std::function<QString(ParamId, int item)> item;
};

constexpr int ParamCount = static_cast<int>(ParamId::Count);

class ParameterSet {
public:
    QString& operator[](ParamId id) { return values_[static_cast<std::size_t>(id)]; }
    const QString& operator[](ParamId id) const { return values_[static_cast<std::size_t>(id)]; }
    bool operator==(const ParameterSet& o) const { return values_ == o.values_; }

private:
    std::array<QString, ParamCount> values_{};
};
