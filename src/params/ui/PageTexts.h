#pragma once
// Captions the parameter pages take from the language texts rather than from
// another page's widgets: the language key that fills a control's caption,
// a list item or a menu item, and the text the shell holds for it (the
// built-in Polish text until a language file gives one).
#include "params/PrintSheet.h"

#include <QString>

class ShellModel;

namespace pagetexts {

// Keys of texts of our own (31000 up) used by the parameter pages.
constexpr int CompareCaption = 31010;    // "Porównaj ze sterownikiem"
constexpr int FileLoaded = 31011;        // status panel after a parameter file was loaded, %1 the file
constexpr int CompareSame = 31012;       // the page holds what the controller holds
constexpr int CompareParameter = 31013;  // column headers of the differences
constexpr int ComparePage = 31014;       //
constexpr int CompareController = 31015; //
constexpr int SavePdfCaption = 31016;    // "Zapisz PDF"
constexpr int PdfSaved = 31017;          // status panel after the sheet was saved as PDF, %1 the file
constexpr int PrintFailed = 31018;       // the printer could not be drawn on, %1 the printer

// The language key that fills the caption of the control of that name (the
// first when several do); 0 when no key does.
int captionKey(const QString& objectName);
// The key of a menu item's caption; 0 for none.
int menuItemKey(const QString& objectName);
// The key of item `item` of a list; 0 for none.
int listItemKey(const QString& list, int item);

// The shell's text for a key, `fallback` when it holds none.
QString text(const ShellModel& shell, int key, const QString& fallback);

// Title, row captions and list items of the printed sheet in the current language.
SheetTexts sheetTexts(const ShellModel& shell);
// The item of the engine-speed page's ignition list at index; empty outside the list.
QString ignitionItem(const ShellModel& shell, int index);

} // namespace pagetexts
