#pragma once
// The helpers of tst_shellwindow: stored settings, where the COM ports lead, skin colours.
#include "core/Controls.h"
#include "core/LanguageKeys.h"
#include "link/SerialDevices.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "params/PrintSheet.h"
#include "shell/Layouts.h"
#include "shell/SkinFile.h"
#include "shell/SkinKeys.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/PortControl.h"
#include "shell/ui/SkinApplier.h"
#include "support/MainWindowRig.h"
#include "widgets/TAnalogGauge.h"
#include "widgets/TColor.h"
#include "widgets/TColorButton.h"
#include "widgets/TFlatCheckBox.h"
#include "widgets/TGradientPanel.h"
#include "widgets/TLedLamp.h"
#include "widgets/TSweepChart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolButton>
#include <QtTest>

namespace {

using Options = MainWindowRig::Options;
using DataFolder = MainWindowRig::DataFolder;
const auto copyFolder = &MainWindowRig::copyFolder;
using shell::layout::itemWidth;

const LayoutApplier::Screen Wide{QSize(1920, 1200), QRect(0, 0, 1920, 1170)};

inline QString source(const QString& relative) {
    return QDir(qEnvironmentVariable("QUENDRIX_SOURCE", QStringLiteral("."))).filePath(relative);
}

inline QSettings store() {
    return QSettings(MainWindowRig::settingsPath(), QSettings::IniFormat);
}

// Every COM port on the emulator, none selected: the stored choice stands.
inline void allComsOnEmulator(ControllerLink& link, const QString& pty) {
    for (int n = 1; n <= 8; ++n)
        link.setDevicePath(n, pty);
}

// COM1 ... COM8 lead nowhere: only the listed devices can answer.
inline void comsNowhere(ControllerLink& link) {
    for (int n = 1; n <= 8; ++n)
        link.setDevicePath(n, QStringLiteral("/nonexistent/quendrix-com%1").arg(n));
}

// The value of a key in a skin file as the window shows it.
inline QColor skinColour(const QString& file, int key) {
    for (const shell::SkinLine& l : shell::readSkinFile(source(QStringLiteral("skins/") + file)).lines)
        if (l.kind == shell::SkinLine::Kind::Value && l.key == key) return SkinApplier::colour(l.value);
    return {};
}

inline shell::SkinFileContents oneSkinLine(int key, qint32 value) {
    shell::SkinFileContents c;
    c.lines << shell::SkinLine{shell::SkinLine::Kind::Value, 1, key, value};
    return c;
}

inline QString propertyName(shell::skin::Property p) {
    static const QStringList names =
        QStringLiteral(
            "Visible GradFrom GradTo ButtonFore ButtonBack ButtonHover FieldFont FieldBack FontColor "
            "BackColor LabelHighlight MeterFont MeterFontUnit MeterScaleFont ChartLineD")
            .split(QLatin1Char(' '));
    return names.value(int(p));
}

// The colour a control shows for a skin property; invalid when it has no such part.
inline QColor skinPart(QWidget* w, shell::skin::Property p) {
    using P = shell::skin::Property;
    auto* g = qobject_cast<TGradientPanel*>(w);
    auto* b = qobject_cast<TColorButton*>(w);
    auto* m = qobject_cast<TAnalogGauge*>(w);
    auto* flat = qobject_cast<TFlatCheckBox*>(w);
    auto* lamp = qobject_cast<TLedLamp*>(w);
    auto* chart = qobject_cast<TSweepChart*>(w);
    const QPalette pal = w->palette();
    switch (p) {
    case P::GradFrom:
        return g ? g->colorFrom() : QColor();
    case P::GradTo:
        return g ? g->colorTo() : QColor();
    case P::ButtonFore:
        return b ? b->foreColor() : pal.color(QPalette::ButtonText);
    case P::ButtonBack:
        return b ? b->backColor() : pal.color(QPalette::Button);
    case P::ButtonHover:
        return b ? b->hoverColor() : QColor();
    case P::FieldFont:
        return pal.color(QPalette::Text);
    case P::FieldBack:
        return pal.color(QPalette::Base);
    case P::FontColor:
        return lamp   ? lamp->captionColor()
               : flat ? flat->fontColor()
               : b    ? b->foreColor()
                      : pal.color(QPalette::WindowText);
    case P::BackColor:
        if (flat) return flat->color();
        if (b) return b->backColor();
        return w->autoFillBackground() ? pal.color(QPalette::Window) : QColor();
    case P::MeterFont:
        return m ? m->valueFontColor() : QColor();
    case P::MeterFontUnit:
        return m ? m->fontUnitColor() : QColor();
    case P::MeterScaleFont:
        return m ? m->scaleSettings().FontColor : QColor();
    case P::ChartLineD:
        return chart ? chart->Linecolor_d : QColor();
    case P::Visible:
    case P::LabelHighlight:
        break;
    }
    return {};
}

inline void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace
