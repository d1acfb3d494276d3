#pragma once
// Base of the analog instruments: holds the raw digit, the derived value,
// sectors, scale and fonts; subclasses only paint. The parts that depend only
// on size and settings (bezel, face, scale, caption, limit marks) are drawn
// once into a cached pixmap; a repaint draws that pixmap plus the pointer and
// the read-out, happens only when what is shown really changes, and covers
// only what changed: the read-out when its text changes, the pixels between
// the indicator's old and new place when it moves.
#include "widgets/GaugeModel.h"
#include "widgets/InstrumentPaint.h"

#include <QPixmap>
#include <QRegion>
#include <QVarLengthArray>
#include <QWidget>

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
    // Pointer, column or level and the read-out: drawn on every paint, each
    // only where needsPaint() says this paint reaches it.
    virtual void paintDynamic(QPainter& p) = 0;
    // Static parts that lie over the moving ones (the tank wall), if any.
    virtual bool hasStaticOverlay() const { return false; }
    virtual void paintStaticOverlay(QPainter&) {}
    // Settings of a subclass that its static parts depend on.
    using StaticKey = QVarLengthArray<qint64, 12>;
    virtual void writeStaticKey(StaticKey&) const {}
    static void addColour(StaticKey& k, const QColor& c) {
        k.append(qint64(quint64(c.rgba64())));
        k.append(c.spec());
    }

    // The digital read-out: its box (empty when there is none), type, colour
    // and whether its text carries the unit. The box is kept with the static
    // parts; paintReadout() draws the text over it.
    struct Readout {
        QRectF box;
        QFont font;
        QColor ink;
        bool withUnit = true;
    };
    virtual Readout readout() const { return {}; }
    void paintReadout(QPainter& p, const Readout& r);
    // Every pixel the indicator touches at a share of the scale, for repaints
    // of only what a new value changes; by default the whole widget.
    virtual QRectF indicatorBounds(double) const { return rect(); }
    // Repaints what differs between the indicator at two shares of the scale;
    // recoloured when its colour changed too. By default both places whole.
    virtual void updateIndicator(double from, double to, bool recoloured);
    // Called when the cached layers are drawn anew (new size or settings):
    // subclasses rebuild what they keep for painting the moving parts.
    virtual void layersChanged() {}
    // True when the paint under way reaches r (always outside a paint).
    bool needsPaint(const QRectF& r) const;
    // The device pixel ratio when an image made at it would meet p's pixel
    // grid (a whole ratio, p only moved by whole pixels), else 0.
    static int wholeRatio(const QPainter& p);
    // Draws the part of img (put at `at`) inside area over the paint's region,
    // each rectangle of it alone.
    void copyImage(QPainter& p, const QPoint& at, const QImage& img, const QRect& area) const;
    // The value's text, with the unit when asked for, made once per value.
    const QString& shownText(bool withUnit) const;
    // Position of the indicator in steps a viewer can tell apart (a quarter
    // pixel of its travel by default). Asked only while the layers are
    // current: layout figures may come from what layersChanged() kept.
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
        double fraction = 0; // where the indicator stood (not compared)
        bool operator==(const Shown& o) const {
            return step == o.step && alarm == o.alarm && sector == o.sector && text == o.text;
        }
    };
    // Everything the cached layers are drawn from.
    struct Inputs {
        QSize size;
        qreal dpr = 0;
        SignalSettings signal;
        SectorSettings sectors;
        ScaleSettings scale;
        double limitLower = 0, limitUpper = 0;
        int options = 0;
        QFont font, fontUnit, fontValue;
        QColor fontColor, fontUnitColor, fontValueColor, face;
        StaticKey extra;
        bool operator==(const Inputs&) const = default;
    };
    Shown shownNow() const;
    // Repaints what differs from what the screen shows.
    void updateIfShownChanged();
    Inputs inputs() const;
    // True when the cached layers were drawn from the settings in force; the
    // scale is left out when asked with every value (a new screen repaints all).
    bool layersCurrent(bool withRatio = true) const;
    // The layer under the moving parts (with the read-out's box in the alarm
    // state given), or the one over them.
    QPixmap renderLayer(bool overlay, bool inAlarm = false);
    // Draws a cached layer over the paint's region.
    void copyLayer(QPainter& p, const QPixmap& layer) const;
    // The box goes into the layer only where the layer beneath it is opaque:
    // there it comes out exactly as if painted over the widget's background.
    bool boxBaked_ = false;

    // Kept with the layers: the read-out and the indicator's travel.
    Readout readout_spec_;
    double travel_ = 0;
    mutable StaticKey extraNow_; // layersCurrent()'s own, kept for its room
    QPixmap base_;
    QPixmap alarmBase_; // made when first needed
    QPixmap overlay_;
    Inputs inputs_;
    bool layersMade_ = false;
    // What the window's picture shows: set by paints that reach the screen,
    // not by renders into images.
    Shown shown_;
    bool shownValid_ = false;
    int staticRenders_ = 0;
    QRegion paintRegion_;
    bool painting_ = false;
    ipaint::ReadoutPainter readout_;
    struct TextMemo {
        bool valid = false;
        double key = 0; // the value as rounded for the format
        bool negative = false;
        int decimals = -1;
        double scale = 1;
        QString format, unit, text;
    };
    mutable TextMemo texts_[2];
};
