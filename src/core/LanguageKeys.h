#pragma once
#include <QList>
#include <QString>
#include <QStringList>

namespace shell::lang {

// What one language-file key fills. Controls are found by object name.
enum class TargetKind {
    Caption,      // text of a label, button, check box, group box or lamp
    MenuItem,     // text of the QAction of that name (menus and their items)
    TabCaption,   // tab text of the page widget of that name in its tab widget
    ComboItem,    // entry `item` (from 0) of the combo box of that name
    MeterCaption, // SignalSettings.Name1 of the round meter of that name
    Text,         // the language text of the same number
};

struct Target {
    TargetKind kind;
    QString objectName; // empty for Text
    int item = 0;       // ComboItem only
};

// Every target of a key; empty for keys the program does not use (they are
// read and ignored).
QList<Target> targets(int key);
// Every key the program uses, ascending: the language files must hold them all.
QList<int> allKeys();

// Keys of our own beyond the shared table (31000 up).
constexpr int ReadFailedText = 31000;      // "odczyt parametrów" got no answer
constexpr int SettingsUnsavedText = 31001; // the settings store could not be written
constexpr int NotFloatText = 31020;        // a field's text is no number ("%1" the text)
constexpr int NotIntegerText = 31021;      // a field's text is no whole number
// A language file that gives nothing, "%1" the file: one in another code page
// ("%2" its own), and one without a single text.
constexpr int NotCodePageText = 31080;
constexpr int NoTextsText = 31081;
// The others from 31002 up are the built-in texts of LanguageTexts: every one of
// them is a key the language files must hold.

// Texts of the languages' names, put on the language menu items after every file.
struct LanguageChoice {
    const char* code;     // the "Lang" setting
    const char* file;     // the "LangNazw" setting, in lang/
    const char* menuItem; // radio item of the "Język" menu
    int nameKey;          // its caption's language text
};
const QList<LanguageChoice>& languageChoices();              // PL, EN, CZ, RU, IT order of the name keys
const LanguageChoice* choiceByCode(const QString& code);     // exact match
const LanguageChoice* choiceByFile(const QString& fileName); // exact match

// Help file (relative to the working folder) that goes with a language file;
// empty for an unknown name, which leaves the help file unchanged.
QString helpFileFor(const QString& languageFile);

// Combo boxes whose selection survives a change of language.
const QStringList& keptSelections();

} // namespace shell::lang
