#pragma once
// Base of the analog instruments: holds the raw digit, the derived value,
// sectors, scale and fonts; subclasses only paint. The parts that depend only
// on size and settings (bezel, face, scale, caption, limit marks) are drawn
// once into a cached pixmap; a repaint draws that pixmap plus the pointer and
// the read-out, and happens only when what is shown really changes.
#include "widgets/GaugeModel.h"

#include <QByteArray>
#include <QPixmap>
#include <QWidget>

class QDataStream;

class TAnalogGauge : public QWidget {
    Q_OBJECT
public:
    explicit TAnalogGauge(QWidget* parent = nullptr);

    // Same digit again does nothing (no repaint, no marker update). A new digit
    // repaints only when the pointer or the read-out would look different.
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

    // Times the cached static parts were drawn (a new size or new settings).
    int staticRenderCount() const { return staticRenders_; }

public slots:
    // Call after changing settings through the references above.
    void settingsChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // Parts below the moving ones that depend only on size and settings.
    virtual void paintStatic(QPainter& p) = 0;
    // Pointer, column or level and the read-out: drawn on every paint.
    virtual void paintDynamic(QPainter& p) = 0;
    // Static parts that lie over the moving ones (the tank wall), if any.
    virtual bool hasStaticOverlay() const { return false; }
    virtual void paintStaticOverlay(QPainter&) {}
    // Settings of a subclass that its static parts depend on.
    virtual void writeStaticKey(QDataStream&) const {}
    // Position of the indicator in steps a viewer can tell apart (a quarter
    // pixel of its travel by default).
    virtual qint64 indicatorStep() const;
    // Pixels the indicator moves over the whole scale.
    virtual double indicatorTravel() const;

    // Drops the cached static parts and schedules a repaint.
    void invalidateStatic();

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

private:
    struct Shown {
        qint64 step = 0;
        QString text;
        bool alarm = false;
        int sector = 0;
        bool operator==(const Shown&) const = default;
    };
    Shown shownNow() const;
    // Repaints unless the widget already shows what the model holds now.
    void updateIfShownChanged();
    QByteArray staticKey() const;
    QPixmap renderLayer(bool overlay);

    QPixmap base_;
    QPixmap overlay_;
    QByteArray key_;
    Shown shown_;
    bool shownValid_ = false;
    int staticRenders_ = 0;
};
