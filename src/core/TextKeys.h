#pragma once
#include <QString>
#include <QStringList>

class ShellModel;

// Keys of the language texts the program adds to the design's own.
namespace textkey {
constexpr int NoAnswer = 10390;
constexpr int PortOpenFailed = 30012;
constexpr int CaptionController = 30000;
constexpr int CaptionNoController = 30001;
constexpr int Written = 30006;
constexpr int Read = 30007;
constexpr int Reset = 30008;
constexpr int ReadFailed = 31000;
constexpr int SettingsUnwritable = 31001;
constexpr int AutoWriteNotRead = 31002;
constexpr int AutoWriteDefaults = 31003;
constexpr int AutoWriteMarked = 31004;
constexpr int FieldsMarked = 31005;
constexpr int AutodetectStopped = 31006;
constexpr int AutodetectStop = 31007;
// A field's text that is no number / no whole number ("%1" the text).
constexpr int NotFloat = 31020;
constexpr int NotInteger = 31021;
// The line's state: the port lost, back and down since, a write cut short, bad frames.
constexpr int PortLost = 31030;      // %1 port, %2 time
constexpr int PortBack = 31031;      // %1 port, %2 time, %3 time it went down
constexpr int PortDownSince = 31032; // %1 port, %2 time
constexpr int WriteStopped = 31033;  // %1 the parameters not written
constexpr int BadFrame = 31034;
constexpr int DialoutHint = 31040;  // a refused port: the 'dialout' group
constexpr int PortUnlisted = 31313; // why a COM port nothing maps is not opened
// The standard file boxes' own captions, and their filters.
constexpr int FileBoxLookIn = 31307;
constexpr int FileBoxFileName = 31308;
constexpr int FileBoxFileType = 31309;
constexpr int FileBoxOpen = 31310;
constexpr int FileBoxSave = 31311;
constexpr int FileBoxCancel = 31312;
constexpr int ParameterFiles = 31305;
constexpr int PdfFiles = 31306;
// The busy indicator's tip; the buttons of the question before the program ends.
constexpr int BusyTip = 31319;
constexpr int Yes = 31320;
constexpr int No = 31321;
// A parameter file without parameters (%1 the file); settings values that could not be read.
constexpr int FileWithoutParameters = 31082;
constexpr int SettingsUnreadable = 31083;
constexpr int Petrol = 10408;
constexpr int Gas = 10409;
// The drive log: recording, fast log, viewer and replay.
constexpr int Record = 31233;         // the live page's button and the menu item
constexpr int Recording = 31234;      // %1 .csv file, %2 .msl file
constexpr int RecordStopped = 31235;  // %1 rows, %2 .csv file
constexpr int RecordPortLost = 31236; // %1 rows, %2 .csv file
constexpr int RecordFailed = 31237;   // %1 the file and the system's reason
constexpr int RecordCannot = 31238;   // %1 the folder or file and reason
constexpr int FastLog = 31239;        // menu item
constexpr int LogViewerItem = 31240;  // menu item
constexpr int RecordingPanel = 31241; // status bar while recording, %1 file name
constexpr int Replaying = 31242;      // live page, %1 file name, %2 time, %3 speed
constexpr int ReplayPlay = 31243;     // viewer: play into the live page
constexpr int ReplayPause = 31244;
constexpr int ReplayStop = 31245;
constexpr int ReplaySpeed = 31246;
constexpr int ReplayMenu = 31247;
} // namespace textkey

// A text cut to at most maxChars characters, the middle given up for " … ":
// a device name from the settings may be any length, and laying out a
// megabyte of text freezes the window.
QString shortened(const QString& text, int maxChars = 400);

// The captions a file box shows of its own, in the window's language, in the
// order of QFileDialog::DialogLabel: look in, file name, file type, accept
// (open or save), cancel.
QStringList fileBoxLabels(const ShellModel& shell, bool save);
