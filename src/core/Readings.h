#pragma once
// What one live frame shows, as plain values: the decoding lives with the
// session (live/LiveDecode.h); the pages and the shared panels only show it.
#include <QString>
#include <algorithm>
#include <array>
#include <optional>

namespace live {

constexpr unsigned ColorRed = 0x0000FF;
constexpr unsigned ColorGreen = 0x008000;
constexpr unsigned ColorLime = 0x00FF00;

// Gas level in the tank.
struct GasLevel {
    int percent;
    bool low; // shown red
};

// The lambda bar, its labels and the chart's lambda scale by probe kind.
struct ProbeScale {
    enum class Labels { Swapped, Design, Unchanged };
    Labels labels;
    int upperEnd;
    int startColor2;
    int startColor3;
    std::optional<unsigned> ledColor1; // low end; nullopt = unchanged
    std::optional<unsigned> ledColor3; // high end
    std::array<QString, 5> scale;      // WykresLambdaY1 .. Y5, bottom to top
};

// LED bar position of the lambda byte with the floor of the bar's upper end.
inline int lambdaLedPosition(int upperEnd, int raw) {
    switch (upperEnd) {
    case 290:
        return std::max(raw, 10);
    case 50:
        return std::max(raw, 2);
    case 96:
        return std::max(raw, 4);
    default:
        return raw;
    }
}

// Everything one frame shows, decoded once for every page that shows it.
struct Readings {
    int lambdaRaw = 0;
    QString lambdaVolts;
    int lambdaTrace = 1;
    int tpsRaw = 0;
    QString tpsVolts;
    int tpsTrace = 1;
    std::optional<int> temperatureRaw;
    std::optional<int> temperature;
    std::optional<GasLevel> gas;
    std::optional<int> speed; // nullopt: keep the speed displays
    std::optional<int> speedTrace;
    std::optional<int> speedPanel;
    int stepper = 0;
    int stepperTrace = 1;
    bool petrol = false;
};

} // namespace live
