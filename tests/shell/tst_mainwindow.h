#pragma once
#include "emulator/Emulator.h"
#include "live/LiveModel.h"
#include "live/LiveSession.h"
#include "live/LogFile.h"
#include "params/ParameterModel.h"
#include "params/ui/ParametersPage.h"
#include "shell/ui/AboutDialog.h"
#include "shell/ui/DemoCarWindow.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/RecordingControl.h"
#include "shell/ui/TraceWindow.h"
#include "support/MainWindowRig.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSlider>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <memory>

namespace {

using Bytes = std::vector<uint8_t>;

struct Rig : MainWindowRig {
    using MainWindowRig::MainWindowRig;
    Bytes received() const { return emu->received(); }
    long count(uint8_t byte) const {
        const Bytes b = received();
        return std::count(b.begin(), b.end(), byte);
    }
    // Bytes received until the first live poll (0x02) of the new page.
    Bytes untilFirstPoll() const {
        Bytes b = received();
        auto it = std::find(b.begin(), b.end(), uint8_t(0x02));
        return Bytes(b.begin(), it);
    }
    void clickTab(int index) {
        QTabBar* bar = form->pageControl()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        waitIdle();
    }
};

// Answers the next modal message box with the given button.
inline void answerNextBox(QMessageBox::StandardButton button, QString* text = nullptr) {
    QTimer::singleShot(150, [button, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (text) *text = box->text();
        if (QAbstractButton* b = box->button(button)) b->click();
    });
}

inline QString hex(const Bytes& b) {
    QStringList s;
    for (uint8_t v : b)
        s << QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0'));
    return s.join(' ');
}

} // namespace

class UrlSink : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void startupExchangesAndCaption();
    void captionWithoutController();
    void windowFrame();
    void menuItems_data();
    void menuItems();
    void hiddenItemsAreShortcutsOnly();
    void pageChangeRunsCommonSteps();
    void menuSelectionSkipsLeaveChecksTabClickRunsThem();
    void printTabAppearsAfterParametersPage();
    void stepKeysOnlyOnParametersPage();
    void versionItemOnlyOnParametersPage();
    void portItemsSelectPort();
    void exitAsksAndNoKeepsRunning();
    void exitYesSavesAndCloses();
    void closeBoxSavesWithoutAsking();
    void aboutBoxCopiesCaptionAndOpensLinks();
    void helpOpensAtTopic();
    void printPageFromMenuBeforeParametersVisited();
    void defaultSettingsRestorePortAndReadBlock();
    void keysWhileTheWizardHandsOverDoNothing();
    void neverReadPageIsNotWritten();
    void demoCarDrivesTheModel();
    void recordByKeysAcrossPagesUntilTheProgramCloses();
    void protocolTraceWindow();
    void smallLayoutsShowEveryCaption();

private:
    QTemporaryDir dir_;
};
