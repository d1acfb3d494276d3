// render_check OUTDIR
// render_check --compare DIR_A DIR_B
// Draws every instrument widget in four colour themes, at several sizes and in
// a run of states, and the live pages under the four skins, into PNG sheets:
//   grab_*   each state drawn whole (QWidget::grab);
//   screen_* the window's own picture after the run of states forward and
//            back, each drawn by the repaints the widget asked for.
// --compare checks two such directories pixel by pixel (a build before and a
// build after a change to the painting): exit code 1 when any sheet differs.
#include "core/ShellModel.h"
#include "link/Clock.h"
#include "link/ControllerLink.h"
#include "link/QtSerialPort.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "live/ui/EngineSpeedPage.h"
#include "live/ui/LivePage.h"
#include "params/ParameterModel.h"
#include "params/ParameterSession.h"
#include "params/WriteGate.h"
#include "shell/ui/SkinApplier.h"
#include "widgets/TColorButton.h"
#include "widgets/TFlatCheckBox.h"
#include "widgets/TGauge.h"
#include "widgets/TGradientPanel.h"
#include "widgets/THalfRoundMeter.h"
#include "widgets/THorizontalBar.h"
#include "widgets/TLedBar.h"
#include "widgets/TLedLamp.h"
#include "widgets/TRoundMeter.h"
#include "widgets/TSweepChart.h"
#include "widgets/TTankGauge.h"
#include "widgets/TThermometer.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <QWindow>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr int States = 8;

struct Theme {
    const char* name;
    QColor face, scaleFont, unitFont, valueFont, panelFrom, panelTo, led1, led3, chart;
};

// Like the four skins: plain, dark dial with light type, coloured, silver.
const Theme themes[] = {
    {"plain", QColor(246, 246, 242), QColor(20, 20, 20), QColor(25, 25, 30), QColor(120, 255, 140),
     QColor(238, 242, 247), QColor(200, 210, 224), QColor(0, 255, 0), QColor(255, 0, 0),
     QColor(255, 255, 202)},
    {"dark", QColor(34, 38, 46), QColor(240, 240, 240), QColor(255, 255, 160), QColor(10, 10, 10),
     QColor(40, 44, 52), QColor(10, 12, 16), QColor(0, 200, 255), QColor(255, 128, 0), QColor(20, 24, 32)},
    {"colour", QColor(255, 236, 200), QColor(120, 0, 60), QColor(0, 60, 160), QColor(255, 255, 0),
     QColor(0, 0, 128), QColor(0, 0, 0), QColor(255, 255, 0), QColor(255, 0, 255), QColor(220, 240, 255)},
    {"silver", QColor(200, 204, 210), QColor(40, 40, 48), QColor(60, 60, 70), QColor(200, 230, 255),
     QColor(230, 230, 232), QColor(150, 156, 166), QColor(0, 168, 0), QColor(200, 0, 0),
     QColor(240, 240, 240)},
};

// Share of the scale in state k: both ends, over and under the scale, nearby
// values that differ by less than a pixel, and a jump back.
double fractionFor(int k) {
    static const double f[States] = {0.0, 0.021, 0.37, 0.3702, 0.5, 0.86, 1.0, -0.1};
    return f[k];
}

void themeGauge(TAnalogGauge* g, const Theme& t) {
    g->setFaceColor(t.face);
    g->setScaleFontColor(t.scaleFont);
    g->scaleSettings().Color = t.scaleFont;
    g->setFontUnitColor(t.unitFont);
    g->setValueFontColor(t.valueFont);
    g->setFontValueColor(t.valueFont);
    g->settingsChanged();
}

void signal(TAnalogGauge* g, int from, int to, double vFrom, double vTo, const char* format, const char* unit,
            const char* name) {
    auto& s = g->signalSettings();
    s.DigitalFrom = from;
    s.DigitalTo = to;
    s.ValueFrom = vFrom;
    s.ValueTo = vTo;
    s.ValueFormat = QString::fromLatin1(format);
    s.ValueUnit = QString::fromUtf8(unit);
    s.Name1 = QString::fromLatin1(name);
    g->setLimitLower(vFrom + (vTo - vFrom) * 0.1);
    g->setLimitUpper(vFrom + (vTo - vFrom) * 0.8);
    g->settingsChanged();
}

void gaugeState(QWidget* w, int k) {
    auto* g = static_cast<TAnalogGauge*>(w);
    const auto& s = g->signalSettings();
    g->setDigit(s.DigitalFrom + int(std::lround((s.DigitalTo - s.DigitalFrom) * fractionFor(k))));
}

struct Kind {
    const char* name;
    std::function<QWidget*(const Theme&)> make;
    std::function<void(QWidget*, int)> state;
    QList<QSize> sizes;
};

QList<Kind> kinds() {
    const int all = opLimit | opOverflow | opSector | opUnit | opName1;
    QList<Kind> k;
    k.append({"round",
              [all](const Theme& t) {
                  auto* m = new TRoundMeter;
                  signal(m, 0, 8000, 0, 8.0, "##0.0", "x1000 rpm", "Obroty");
                  m->setOptions(all);
                  themeGauge(m, t);
                  return m;
              },
              gaugeState,
              {{178, 178}, {250, 200}, {90, 140}}});
    k.append({"half",
              [all](const Theme& t) {
                  auto* m = new THalfRoundMeter;
                  signal(m, 0, 240, 0, 12, "##0.0", "V", "TPS");
                  m->setOptions(all);
                  themeGauge(m, t);
                  return m;
              },
              gaugeState,
              {{148, 130}, {260, 150}, {90, 160}}});
    for (const bool led : {false, true})
        k.append({led ? "bar_led" : "bar",
                  [all, led](const Theme& t) {
                      auto* b = new THorizontalBar;
                      signal(b, 0, 255, 0, 1.0, "0.00", "V", "Lambda");
                      b->setBarStyle(led ? bsLED_Bar : bsBar);
                      b->setOptions(all);
                      themeGauge(b, t);
                      return b;
                  },
                  gaugeState,
                  {{260, 44}, {330, 20}, {120, 90}}});
    k.append({"thermo",
              [all](const Theme& t) {
                  auto* m = new TThermometer;
                  signal(m, 96, 155, -30, 90, "0", "°C", "Temp");
                  m->scaleSettings().Steps = 4;
                  m->setOptions(all);
                  themeGauge(m, t);
                  return m;
              },
              gaugeState,
              {{80, 158}, {100, 300}, {200, 120}}});
    k.append({"tank",
              [](const Theme& t) {
                  auto* m = new TTankGauge;
                  signal(m, 0, 255, 0, 255, "0", "STEPS", "Krok");
                  m->setOptions(opOverflow | opSector | opName1);
                  themeGauge(m, t);
                  return m;
              },
              gaugeState,
              {{56, 126}, {130, 160}, {200, 80}}});
    for (const Direction d : {Direction::mdUp, Direction::mdDown, Direction::mdLeft, Direction::mdRight})
        k.append({d == Direction::mdUp     ? "ledbar_up"
                  : d == Direction::mdDown ? "ledbar_down"
                  : d == Direction::mdLeft ? "ledbar_left"
                                           : "ledbar_right",
                  [d](const Theme& t) {
                      auto* l = new TLedBar;
                      l->setDirection(d);
                      l->setMax(50);
                      l->setStartColor2(20);
                      l->setStartColor3(30);
                      l->setColorLED1(t.led1);
                      l->setColorLED3(t.led3);
                      l->setSingleLED(d == Direction::mdUp || d == Direction::mdRight);
                      return l;
                  },
                  [](QWidget* w, int k) {
                      static_cast<TLedBar*>(w)->setPosition(int(std::lround(50 * fractionFor(k))));
                  },
                  d == Direction::mdUp || d == Direction::mdDown
                      ? QList<QSize>{{36, 136}, {30, 200}, {22, 61}}
                      : QList<QSize>{{136, 36}, {200, 30}, {61, 22}}});
    k.append({"gauge",
              [](const Theme& t) {
                  auto* g = new TGauge;
                  g->setForeColor(t.led1.darker(150));
                  return g;
              },
              [](QWidget* w, int k) {
                  static_cast<TGauge*>(w)->setProgress(int(std::lround(100 * fractionFor(k))));
              },
              {{40, 168}, {60, 90}}});
    k.append({"lamp",
              [](const Theme& t) {
                  auto* l = new TLedLamp;
                  l->setCaption(QStringLiteral("Benzyna"));
                  l->setCaptionColor(t.unitFont);
                  return l;
              },
              [](QWidget* w, int k) { static_cast<TLedLamp*>(w)->setChecked(k % 2 == 1); },
              {{146, 32}, {100, 20}}});
    k.append({"chart",
              [](const Theme& t) {
                  auto* c = new TSweepChart;
                  c->Color = t.chart;
                  c->channel_b = c->channel_c = c->channel_d = true;
                  return c;
              },
              [](QWidget* w, int k) {
                  auto* c = static_cast<TSweepChart*>(w);
                  for (int i = 0; i < 30; ++i) {
                      const int v = (k * 37 + i * 11) % 101;
                      c->Position_a = v;
                      c->Position_b = 100 - v;
                      c->Position_c = (v * 3) % 100;
                      c->Position_d = 50;
                      c->sampleTick();
                  }
              },
              {{400, 200}, {265, 220}}});
    k.append({"gradient",
              [](const Theme& t) {
                  auto* g = new TGradientPanel;
                  g->setColorFrom(t.panelFrom);
                  g->setColorTo(t.panelTo);
                  return g;
              },
              [](QWidget* w, int k) {
                  auto* g = static_cast<TGradientPanel*>(w);
                  if (k == 5) g->setColorTo(QColor(255, 0, 0));
                  if (k == 6) g->setColorTo(QColor(0, 0, 255));
              },
              {{200, 60}}});
    k.append({"button",
              [](const Theme& t) {
                  auto* b = new TColorButton;
                  b->setText(QStringLiteral("Reset parametrów"));
                  b->setBackColor(t.face);
                  b->setForeColor(t.scaleFont);
                  return b;
              },
              [](QWidget*, int) {},
              {{120, 40}}});
    k.append({"check",
              [](const Theme& t) {
                  auto* c = new TFlatCheckBox(QStringLiteral("20K"));
                  c->setColor(t.face);
                  c->setFontColor(t.scaleFont);
                  return c;
              },
              [](QWidget* w, int k) { static_cast<TFlatCheckBox*>(w)->setChecked(k % 2 == 0); },
              {{80, 24}}});
    return k;
}

void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// The window's own picture of r (the backing store, as repainted so far).
QImage screenOf(QWidget& top, const QRect& r) {
    return top.screen()
        ->grabWindow(top.winId(), r.x(), r.y(), r.width(), r.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

bool sheets(const Kind& kind, const Theme& theme, const QDir& out) {
    int w = 0, h = 0;
    for (const QSize& s : kind.sizes) {
        w = std::max(w, s.width() + 4);
        h += s.height() + 4;
    }
    QImage grabSheet(w * States, h, QImage::Format_RGB32),
        screenSheet(w * 2 * States, h, QImage::Format_RGB32);
    grabSheet.fill(Qt::white);
    screenSheet.fill(Qt::white);
    int y = 0;
    for (const QSize& size : kind.sizes) {
        {
            std::unique_ptr<QWidget> wgt(kind.make(theme));
            wgt->resize(size);
            QPainter p(&grabSheet);
            for (int k = 0; k < States; ++k) {
                kind.state(wgt.get(), k);
                p.drawImage(k * w, y, wgt->grab().toImage());
            }
        }
        // On a panel in a window, forward and back: what the repaints leave.
        TGradientPanel top;
        top.setColorFrom(theme.panelFrom);
        top.setColorTo(theme.panelTo);
        top.resize(size + QSize(20, 20));
        QWidget* wgt = kind.make(theme);
        wgt->setParent(&top);
        wgt->setGeometry(QRect(QPoint(10, 10), size));
        top.show();
        settle();
        QPainter p(&screenSheet);
        for (int i = 0; i < 2 * States; ++i) {
            kind.state(wgt, i < States ? i : 2 * States - 1 - i);
            settle();
            p.drawImage(i * w, y, screenOf(top, wgt->geometry()));
        }
        y += size.height() + 4;
    }
    const QString base = QStringLiteral("%1_%2.png").arg(QLatin1String(kind.name), QLatin1String(theme.name));
    return grabSheet.save(out.filePath(QStringLiteral("grab_") + base)) &&
           screenSheet.save(out.filePath(QStringLiteral("screen_") + base));
}

// Every instrument of a page at share f of its scale.
void setInstruments(QWidget* page, double f) {
    for (auto* g : page->findChildren<TAnalogGauge*>()) {
        const auto& s = g->signalSettings();
        g->setDigit(s.DigitalFrom + int(std::lround((s.DigitalTo - s.DigitalFrom) * f)));
    }
    for (auto* l : page->findChildren<TLedBar*>())
        l->setPosition(int(std::lround(l->model().Max * f)));
    for (auto* g : page->findChildren<TGauge*>())
        g->setProgress(int(std::lround(100 * f)));
    for (auto* c : page->findChildren<TSweepChart*>()) {
        c->Position_a = int(100 * f);
        c->Position_b = 100 - int(100 * f);
        c->sampleTick();
    }
}

bool pageSheets(const QString& skin, const QDir& skins, const QDir& out) {
    params::WriteGate gate(nullptr);
    ControllerLink link([] { return std::make_unique<QtSerialPort>(); },
                        [] { return std::make_unique<SystemClock>(); });
    ShellModel shell;
    ParameterModel params;
    params::ParameterSession session(link, gate, params, {});
    LiveModel live(link, params);
    LiveSession liveSession(link, live, params, gate);
    const Models models{link, params, gate, session, live, liveSession, shell};
    bool ok = true;
    for (int which = 0; which < 2; ++which) {
        std::unique_ptr<QWidget> page(which == 0 ? static_cast<QWidget*>(new LivePage(models))
                                                 : static_cast<QWidget*>(new EngineSpeedPage(models)));
        page->resize(795, 480);
        unsigned highlight = 0;
        SkinApplier(page.get(), &highlight).loadFile(skins.filePath(skin));
        // The chart samples only when told to, not by its timer.
        if (auto* pause = page->findChild<QToolButton*>(QStringLiteral("SpeedButton4")))
            pause->setChecked(true);
        page->show();
        settle();
        static const double fs[] = {0.0, 0.33, 0.3302, 0.74, 1.0, 0.5};
        QImage sheet(795 * 2, 480 * 6, QImage::Format_RGB32);
        QPainter p(&sheet);
        for (int i = 0; i < 6; ++i) {
            setInstruments(page.get(), fs[i]);
            settle();
            p.drawImage(0, 480 * i, screenOf(*page, page->rect()));
            p.drawImage(795, 480 * i, page->grab().toImage());
        }
        const QString name =
            QStringLiteral("page_%1_%2.png").arg(which == 0 ? "wiz" : "obr", QFileInfo(skin).baseName());
        ok = sheet.save(out.filePath(name)) && ok;
    }
    return ok;
}

int compare(const QDir& a, const QDir& b) {
    int differ = 0, sheets = 0;
    for (const QString& name : a.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
        ++sheets;
        const QImage x = QImage(a.filePath(name)).convertToFormat(QImage::Format_RGB32);
        const QImage y = QImage(b.filePath(name)).convertToFormat(QImage::Format_RGB32);
        if (x.size() != y.size()) {
            std::printf("%s: size %dx%d vs %dx%d\n", qPrintable(name), x.width(), x.height(), y.width(),
                        y.height());
            ++differ;
            continue;
        }
        int pixels = 0, worst = 0;
        for (int r = 0; r < x.height(); ++r)
            for (int c = 0; c < x.width(); ++c) {
                const QRgb p = x.pixel(c, r), q = y.pixel(c, r);
                if (p == q) continue;
                ++pixels;
                worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                  std::abs(qBlue(p) - qBlue(q))});
            }
        if (pixels) {
            std::printf("%s: %d pixels differ, by up to %d\n", qPrintable(name), pixels, worst);
            ++differ;
        }
    }
    std::printf("sheets=%d differing=%d\n", sheets, differ);
    return differ || sheets == 0 ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--compare"))
        return compare(QDir(args[2]), QDir(args[3]));
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: render_check OUTDIR | render_check --compare DIR_A DIR_B\n");
        return 2;
    }
    QDir out(args[1]);
    out.mkpath(QStringLiteral("."));
    bool ok = true;
    for (const Kind& kind : kinds())
        for (const Theme& theme : themes)
            ok = sheets(kind, theme, out) && ok;
    const QDir skins(QStringLiteral(QUENDRIX_SOURCE_DIR "/skins"));
    for (const QString& skin : skins.entryList({QStringLiteral("*.skr")}, QDir::Files, QDir::Name))
        ok = pageSheets(skin, skins, out) && ok;
    return ok ? 0 : 1;
}
