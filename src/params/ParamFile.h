#pragma once
// Parameter files (*.qx4): the 50 lines written from what the parameters page
// shows, and loading them back onto a page state with the check boxes' click
// reactions. No widgets: the page and quendrix-cli share every rule here.
//
// What the page shows is held as a ParameterSet in the form the page takes it
// from its controls: edit texts as they stand, lists as the selected index
// ("-1" for no selection), check boxes "1" (checked) or "0".
#include "params/ParameterSet.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// Language key and built-in text of the message a too-short line shows.
constexpr int FileErrorTextKey = 30002;
// A file without a single parameter line ("%1" the file).
constexpr int FileWithoutParametersKey = 31082;
QString fileErrorText(); // "Błąd w pliku"

// Longest line a file may hold (characters without the line end) and largest file read.
constexpr int MaxFileLineLength = 1000;
constexpr qint64 MaxParamFileSize = 1024 * 1024;

// What a list shows for a stored text: the index when it is a whole number
// inside the list, -1 (no selection) otherwise.
int shownListIndex(ParamId id, const QString& text);
// What a check box shows for a stored text: checked unless empty or "0".
bool shownChecked(const QString& text);

// ----------------------------------------------------------------- writing

// The 50 lines in file order, without line ends. Lists are written as the
// index they show, check boxes as "1"/"0", edit texts unconverted.
QStringList parameterFileLines(const ParameterSet& shown);
// The file's bytes: the lines, each ended by CR LF, single-byte (Latin-1).
QByteArray parameterFileBytes(const ParameterSet& shown);

// Writes the file atomically: the old file stays untouched until the new one is
// complete, and a failed save leaves no partial file. On failure *error names
// the file and the system's reason.
bool saveParameterFile(const QString& path, const ParameterSet& shown, QString* error);

// ----------------------------------------------------------------- loading

// One value line whose key is a parameter's file number.
struct ParamFileEntry {
    int line; // 1-based line number in the file
    int key;  // 100..124, 126
    QString value;
};

// A file that passed every check. Lines with unknown keys and comments are not kept.
struct ParamFileContents {
    QString path;
    std::vector<ParamFileEntry> entries; // in file order
    std::vector<int> shortLines;         // lines too short to hold a key: each shows fileErrorText()
};

struct ParamFileLoad {
    bool ok = false;
    QString error;             // when !ok: file, line and offending text; nothing may be applied
    bool noParameters = false; // !ok because no line held a parameter (an empty file)
    ParamFileContents contents;
    // What error says, for a window to say it in its language.
    enum class Problem { None, CannotOpen, TooLarge, LineTooLong, NotInteger, NoParameters };
    Problem problem = Problem::None;
    int line = 0;     // LineTooLong, NotInteger: the line
    QString lineText; // that line
    QString detail;   // CannotOpen: why, in the window's words; NotInteger: the text that is no number
};

// Checks the whole file before anything is applied. Lines end with CR LF or LF
// alone; a last line without a line end counts. Errors: a key, or a list or
// check-box value, that is not a whole number; a line longer than
// MaxFileLineLength; a file that cannot be read or is larger than MaxParamFileSize;
// a file without a single parameter line (it would change nothing, silently).
ParamFileLoad parseParameterFile(const QByteArray& bytes, const QString& pathForMessages);
ParamFileLoad readParameterFile(const QString& path);

// ----------------------------------------------------------------- applying

// The parameters page as far as loading a file touches it.
struct ParamPageState {
    ParameterSet shown;
    bool rpmDeltaEnabled = false;     // Edit10
    bool cutoffFieldsEnabled = false; // Edit16 and Edit17
    bool temperatureCapable = false;  // given: the controller reports temperatures
    bool temperatureReadout = false;  // the temperature read-out of the readings panel
    bool written = true;              // cleared by every check-box reaction
};

// The page state a ParameterSet fills in (as after a read or a reset).
ParamPageState pageStateFor(const ParameterSet& shown, bool temperatureCapable);

// A check box whose state a line changed; its click reaction ran.
struct CheckReaction {
    ParamId box;
    bool checked;
};

// Applies the lines in file order: edit texts unchanged, list selections
// (an index outside the list leaves no selection), check boxes for "1"/"0"
// with their click reactions when the state changes (117: both lambda times
// "0" when checked, "500" when cleared; 118: the cutoff fields enabled with
// the box; 126: the temperature read-out; every one clears the written flag).
// Afterwards Edit10 is enabled exactly when a rising/falling choice other than
// the first is selected, as after a read. Returns the reactions in order.
std::vector<CheckReaction> applyParameterFile(ParamPageState& state, const ParamFileContents& file);
