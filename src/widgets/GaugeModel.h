#pragma once
// Data and rules shared by the analog instruments (round and half-round
// meters, horizontal bars, thermometer, tank). No painting here, so the
// mapping, sector and marker rules can be tested without a window.
#include <QColor>
#include <QFont>
#include <QString>

enum GaugeOption { opLimit = 0x01, opOverflow = 0x02, opSector = 0x04, opUnit = 0x08, opName1 = 0x10 };

struct SignalSettings {
    int DigitalFrom = 0;
    int DigitalTo = 1000;
    double ValueFrom = 0.0;
    double ValueTo = 100.0;
    QString ValueFormat = QStringLiteral("##0.0");
    QString ValueUnit;
    QString Name1;
    QString Name2;
    bool operator==(const SignalSettings&) const = default;
};

// Sector bounds are per mille of the raw range.
struct SectorSettings {
    int Sector1From = 0;
    int Sector1To = 333;
    int Sector2From = 334;
    int Sector2To = 666;
    int Sector3From = 667;
    int Sector3To = 1000;
    QColor Sector1Color = QColor(255, 255, 0);
    QColor Sector2Color = QColor(0, 128, 0);
    QColor Sector3Color = QColor(255, 0, 0);
    // Extra inset and extra width (pixels) of the sector arc or strip.
    int Offset = 0;
    int WidthOffset = 0;

    bool operator==(const SectorSettings&) const = default;
    int from(int sector) const;
    int to(int sector) const;
    QColor color(int sector) const;
};

struct ScaleSettings {
    int Steps = 10;
    int SubSteps = 2;
    QString ValueFormat = QStringLiteral("0");
    QFont Font;
    QColor FontColor = QColor(20, 20, 20);
    QColor Color = QColor(20, 20, 20);
    QColor PointerColor = QColor(220, 30, 20);
    bool DrawLine = true;
    bool PosLeftTop = false;
    bool operator==(const ScaleSettings&) const = default;
};

enum BarStyle { bsBar, bsLED_Bar };

// Bars and the thermometer column.
struct BarSettings {
    BarStyle Style = bsBar;
    QColor Color = QColor(0, 160, 60);
    QColor BkColor = QColor(40, 44, 50);
    int minHeight = 0;
    int minWidth = 0;
};

enum TankStyle { tsRectangle };

struct TankSettings {
    TankStyle Style = tsRectangle;
    QColor Color = QColor(40, 120, 220);
    QColor BkColor = QColor(225, 230, 236);
    QColor PenColor = QColor(50, 55, 65);
    int PenWidth = 2;
    int CraterWidth = 30; // filler neck width, percent of the tank width
};

// Formats like the number formats of the window definition: "0" required
// digit, "#" optional digit, "." decimal point, "," grouping (ignored);
// other characters are copied as literals. "##0.0" gives "3.0", "0" gives "3".
QString formatValue(double v, const QString& format);
// The decimals formatValue rounds to (-1 for a format without digits): values
// that round to the same whole number of them, with the same sign, read the same.
int formatDecimals(const QString& format);

class GaugeModel {
public:
    SignalSettings signal;
    SectorSettings sectors;
    double limitLower = 0.0;
    double limitUpper = 0.0;
    int options = 0;

    // Returns false (and changes nothing) when d equals the current digit.
    bool setDigit(int d);
    int digit() const { return digit_; }
    // A value written directly stays until the next new digit.
    void setValue(double v);
    double value() const;

    bool has(GaugeOption o) const { return (options & o) != 0; }

    double valueForDigit(int d) const;
    // round(1000 * (d - DigitalFrom) / (DigitalTo - DigitalFrom)), not limited.
    int perMilleForDigit(int d) const;
    int perMille() const { return perMilleForDigit(digit_); }
    // First sector (1..3) whose inclusive bounds contain the per mille; 0 when none.
    int sectorIndexForPerMille(int perMille) const;
    int sectorIndex() const { return sectorIndexForPerMille(perMille()); }

    // Place of a value on the scale, 0..1 (limited), and unlimited.
    double fractionForValue(double v) const;
    double fraction() const;

    QString valueText() const;
    bool overLimit() const;
    bool underLimit() const;

    void resetMarkers();
    int minMarkerPosition() const { return minPos_; }
    int maxMarkerPosition() const { return maxPos_; }
    double minMarkerValue() const { return minValue_; }
    double maxMarkerValue() const { return maxValue_; }

private:
    int markerPosition() const;
    void recordMarkers();

    int digit_ = 0;
    bool direct_ = false;
    double directValue_ = 0.0;
    bool markersSet_ = false;
    double minValue_ = 0.0;
    double maxValue_ = 0.0;
    int minPos_ = 0;
    int maxPos_ = 0;
};
