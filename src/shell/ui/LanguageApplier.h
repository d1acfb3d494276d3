#pragma once
#include "shell/LanguageFile.h"

#include <QPointer>
#include <QString>
#include <functional>

class LanguageTexts;
class QWidget;

// The message of a line too short to hold a key: the file's bad-line text,
// then where the line is.
QString badLineMessage(const QString& text, const QString& fileName, int lineNumber,
                       const std::function<QString(int key)>& lookup = {});

// Puts a language file on a window: captions, menu items, tab captions,
// combo-box items, meter captions and the language texts, found by object name
// under the root. Controls that do not exist are skipped.
//
// The main window calls, for the language menu and at start:
//   LanguageApplier a(this, &session.texts);
//   a.afterEachLine = [..] { LanguageApplier::showPetrolGas(this, session.texts, petrol); };
//   a.showBadLine = a.showError = [..](const QString& m) { message box };
//   auto r = a.loadFile(shell::dataFile("lang", "english.lng"));
//   if (!r.helpFile.isEmpty()) session.helpFile = r.helpFile;
class LanguageApplier {
public:
    LanguageApplier(QWidget* root, LanguageTexts* texts);

    // After every line read, comment lines included (the petrol/gas indicator).
    std::function<void()> afterEachLine;
    // A line too short to hold a key: language text 30003 with the file and line.
    std::function<void(const QString&)> showBadLine;
    // A file that cannot be opened or stops at a bad key or too long a line.
    std::function<void(const QString&)> showError;

    struct Result {
        bool complete = false; // every line of the file was read
        QString helpFile;      // the help file that goes with the file's name; empty for an unknown name
        QString error;         // what stopped the file
    };
    // Applies the file at path; its name (polish.lng, ...) picks the character
    // set and the help file. The selections of the five parameter lists are
    // kept; the language menu items get texts 20001-20005 afterwards.
    Result loadFile(const QString& path);
    Result apply(const shell::LanguageFileContents& contents, const QString& fileName);

    // The petrol/gas indicator: ZmiennaGazBenzyna and the lamp GasLed show
    // text 10408 in red on petrol; otherwise text 10409, the label in green and
    // the lamp in Label47's font colour.
    static void showPetrolGas(QWidget* root, const LanguageTexts& texts, bool petrol);

private:
    QPointer<QWidget> root_;
    LanguageTexts* texts_;
};
