#pragma once
// Base of the analog instruments: holds the raw digit, the derived value,
// sectors, scale and fonts; subclasses only paint.
#include "widgets/GaugeModel.h"

#include <QWidget>

class TAnalogGauge : public QWidget {
    Q_OBJECT
public:
    explicit TAnalogGauge(QWidget* parent = nullptr);

    // Same digit again does nothing (no repaint, no marker update).
    void setDigit(int d);
    int digit() const { return model_.digit(); }
    void setValue(double v);
    double value() const { return model_.value(); }

    SignalSettings& signalSettings() { return model_.signal; }
    const SignalSettings& signalSettings() const { return model_.signal; }
    SectorSettings& sectorSettings() { return model_.sectors; }
    const SectorSettings& sectorSettings() const { return model_.sectors; }
    ScaleSettings& scaleSettings() { return scale_; }
    const ScaleSettings& scaleSettings() const { return scale_; }

    void setLimitLower(double v);
    void setLimitUpper(double v);
    double limitLower() const { return model_.limitLower; }
    double limitUpper() const { return model_.limitUpper; }
    void setOptions(int options);
    int options() const { return model_.options; }

    // Font: value read-out; FontUnit: unit and caption; FontValue: bar values.
    // Sizes follow the widget; family, weight and the colours below are used.
    QFont& valueFont() { return font_; }
    QFont& fontUnit() { return fontUnit_; }
    QFont& fontValue() { return fontValue_; }
    QColor& valueFontColor() { return fontColor_; }
    QColor& fontUnitColor() { return fontUnitColor_; }
    QColor& fontValueColor() { return fontValueColor_; }
    void setValueFontColor(const QColor& c);
    void setFontUnitColor(const QColor& c);
    void setFontValueColor(const QColor& c);
    void setScaleFontColor(const QColor& c);
    // Dial or body background.
    void setFaceColor(const QColor& c);
    QColor faceColor() const { return face_; }

    void resetMarkers() { model_.resetMarkers(); }
    int minMarkerPosition() const { return model_.minMarkerPosition(); }
    int maxMarkerPosition() const { return model_.maxMarkerPosition(); }
    double minMarkerValue() const { return model_.minMarkerValue(); }
    double maxMarkerValue() const { return model_.maxMarkerValue(); }

    int sectorIndexForDigit() const { return model_.sectorIndex(); }
    QString valueText() const { return model_.valueText(); }
    // Share of the scale the pointer stands at, 0..1.
    double pointerFraction() const { return model_.fraction(); }

    const GaugeModel& model() const { return model_; }

public slots:
    // Call after changing settings through the references above.
    void settingsChanged() { update(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    virtual void paintGauge(QPainter& p) = 0;

    // Colour of the sector the digit is in when sectors are on, else fallback.
    QColor indicatorColor(const QColor& fallback) const;
    bool alarm() const;

    GaugeModel model_;
    ScaleSettings scale_;
    QFont font_;
    QFont fontUnit_;
    QFont fontValue_;
    QColor fontColor_ = QColor(120, 255, 140);
    QColor fontUnitColor_ = QColor(25, 25, 30);
    QColor fontValueColor_ = QColor(120, 255, 140);
    QColor face_ = QColor(246, 246, 242);
};
