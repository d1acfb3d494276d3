#pragma once
// LED lamp with a caption to its right. Flashing lamps all follow one shared
// timer, so lamps flashing at the same frequency blink in step.
#include <QColor>
#include <QWidget>

class QTimer;

enum LedFrequency { ff1Hz, ff8Hz };

class TLedLamp : public QWidget {
    Q_OBJECT
public:
    explicit TLedLamp(QWidget* parent = nullptr);
    ~TLedLamp() override;
    QSize sizeHint() const override;

    void setChecked(bool on);
    bool isChecked() const { return checked_; }
    void setCaption(const QString& text);
    QString caption() const { return caption_; }
    void setCaptionColor(const QColor& c);
    QColor captionColor() const { return captionColor_; }
    void setColorOn(const QColor& c);
    void setColorOff(const QColor& c);
    QColor colorOn() const { return on_; }
    QColor colorOff() const { return off_; }
    // Lamp diameter in pixels (limited to the widget height).
    void setLedHeight(int h);
    int ledHeight() const { return ledHeight_; }
    void setSpacing(int s);
    void setFlashing(bool on);
    bool isFlashing() const { return flashing_; }
    void setFrequency(LedFrequency f);
    LedFrequency frequency() const { return frequency_; }

    // What the lamp shows now: the checked state, or the flash phase while flashing.
    bool isLit() const;
    // The one timer behind every flashing lamp; runs only while some lamp flashes.
    static QTimer* flashTimer();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend class LampFlasher;
    void flashTick(qint64 ms);

    bool checked_ = false;
    QString caption_;
    QColor captionColor_ = QColor(0, 0, 0);
    bool captionColorSet_ = false;
    QColor on_ = QColor(0, 168, 0);
    QColor off_ = QColor(255, 0, 0);
    int ledHeight_ = 25;
    int spacing_ = 6;
    bool flashing_ = false;
    LedFrequency frequency_ = ff1Hz;
    bool phaseOn_ = true;
};
