#include "live/ui/Instruments.h"

#include "widgets/TGradientPanel.h"
#include "widgets/TRoundMeter.h"

#include <QLabel>

namespace liveui {

QLabel* makePanel(QWidget* parent, const QString& name, int x, int y, int w, int h, int pointSize) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setGeometry(x, y, w, h);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setLineWidth(2);
    l->setAlignment(Qt::AlignCenter);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, QColor(0x10, 0x18, 0x28));
    p.setColor(QPalette::WindowText, QColor(0x7C, 0xFC, 0x00));
    l->setPalette(p);
    QFont f = l->font();
    f.setPointSize(pointSize);
    f.setBold(true);
    l->setFont(f);
    return l;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y, int w, int h,
                  int pointSize, bool bold) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(x, y, w, h);
    l->setAlignment(Qt::AlignCenter);
    QFont f = l->font();
    f.setPointSize(pointSize);
    f.setBold(bold);
    l->setFont(f);
    return l;
}

void setupSpeedMeter(TRoundMeter* m, const QString& caption) {
    auto& s = m->signalSettings();
    s.DigitalFrom = 0;
    s.DigitalTo = 8000;
    s.ValueFrom = 0;
    s.ValueTo = 8.0f;
    s.ValueFormat = QStringLiteral("##0.0");
    s.ValueUnit = QStringLiteral("RPM");
    s.Name1 = caption;
    auto& sec = m->sectorSettings();
    sec.Sector1From = 0;
    sec.Sector1To = 80;
    sec.Sector2From = 80;
    sec.Sector2To = 820;
    sec.Sector3From = 820;
    sec.Sector3To = 1000;
    m->setLimitLower(0.6f);
    m->setLimitUpper(6.5f);
    auto& sc = m->scaleSettings();
    sc.Steps = 8;
    sc.SubSteps = 2;
    m->setOptions(opName1 | opUnit | opSector | opLimit);
}

void setLightGradient(TGradientPanel* panel) {
    panel->setColorFrom(QColor(238, 242, 247));
    panel->setColorTo(QColor(200, 210, 224));
}

void setTextIfChanged(QLabel* label, const QString& text) {
    if (label->text() != text) label->setText(text);
}

} // namespace liveui
