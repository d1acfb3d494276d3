#pragma once
// A numeric read-out: a sunken panel with bold text in its middle. Its value
// changes with every frame of the controller, so the panel and each character
// are drawn once into images, and a new value repaints only where its text
// lies, by copying them: no text is laid out while the values run.
#include "widgets/GlyphText.h"

#include <QBrush>
#include <QFrame>
#include <QPixmap>
#include <QString>

class TReadout : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit TReadout(QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);

    // How many times the panel and its characters have been drawn anew.
    int faceRenders() const { return faceRenders_; }
    int glyphRenders() const { return glyphs_.renders(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int frameKey() const;
    void renderFace(qreal dpr);

    QString text_;
    GlyphText glyphs_;
    QPixmap face_;
    QBrush faceBrush_; // what face_ was drawn with
    int faceFrame_ = -1;
    int faceRenders_ = 0;
};
