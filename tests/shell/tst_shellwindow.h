#pragma once
// The helpers of tst_shellwindow: stored settings, where the COM ports lead, skin colours.
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
#include "widgets/TColor.h"
#include "widgets/TColorButton.h"
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

inline void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace
