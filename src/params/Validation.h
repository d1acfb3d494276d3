#pragma once
// Entry rules of the parameters page without its widgets: which keys a field
// takes, how a field's text is corrected to the nearest allowed text when it is
// left or Enter is pressed in it, and the rules that tie pairs of fields.
// Ranges, lengths and filters are rows of the parameter table
// (params/ParamTable.h); the field rules here are a view of them.
#include "params/ParamTable.h"

#include <QChar>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace validation {

using Filter = KeyFilter; // Digit or Decimal for the edit fields

// Key filter of an edit field. Returns the character to insert (a "." typed in
// a decimal field becomes ","), or nullopt when the key is discarded. Control
// characters other than backspace (8) and 127 are discarded, so Ctrl+C/X/V do
// nothing.
std::optional<QChar> filterKey(Filter filter, QChar typed);

// Reads a field text as a number with the decimal comma ("12", "0,5", "-3").
std::optional<double> readNumber(const QString& text);
// Reads a text as a whole number ("12", "-3"); nullopt for anything else,
// also for numbers outside the int range ("99999999999").
std::optional<int> readWhole(const QString& text);

// Text pasted, dropped or committed by an input method into a field, filtered
// as typing is: `before` is the field's text before the change, `after` the
// text the change made. The characters the key filter discards are dropped
// from what was inserted (in a decimal field "." becomes ","; backspace and
// 127 insert nothing), and the insertion is cut so that the field holds at most
// maxLength characters; what the field held before stays as it was, even a
// longer text the program set. *cursor (a position in `after`) follows.
QString filterInsertion(Filter filter, int maxLength, const QString& before, const QString& after,
                        int* cursor = nullptr);

// A text the checks cannot read as a number.
enum class Fault { None, NotFloat, NotInteger };

// Outcome of a check: the corrected text, or the fault when the text cannot be
// read as a number (the field then keeps its text).
struct Checked {
    QString text;
    Fault fault = Fault::None;
    QString unreadable = {}; // the text that could not be read
    bool ok() const { return fault == Fault::None; }
};

// The message of a failed check in the program's language: the wording of a
// text that is no number and of one that is no whole number, each with "%1"
// for the unreadable text (language texts 31020 and 31021). Empty when ok.
QString faultMessage(const Checked& checked, const QString& notFloat, const QString& notInteger);

// Empty -> lower bound; above upper -> upper; below lower -> lower; otherwise
// the text as typed (leading zeros kept).
Checked wholeCheck(const QString& text, int lower, int upper);
// Empty or more than one comma -> lower text; above upper -> upper text; at or
// below lower -> lower text; otherwise two digits after the comma ("3" -> "3,00").
Checked decimalCheck(const QString& text, const QString& lowerText, const QString& upperText);

// Pair rules, applied after the field's own check:
//  S  Edit3 >= Edit8_1      -> Edit3 := Edit8_1 - 100
//  M  Edit8_1 <= Edit3      -> Edit8_1 := Edit3 + 100
//  A  Edit11_1 > Edit11_2   -> Edit11_1 := Edit11_2
//  B  Edit11_2 < Edit11_1   -> Edit11_2 := Edit11_1
//  L  Edit13_1 > Edit13_2   -> Edit13_1 := Edit13_2
//  H  Edit13_2 < Edit13_1   -> Edit13_2 := Edit13_1
enum class Pair { None, S, M, A, B, L, H };
// Object name of the field a rule compares against (the maximum gas speed for S ...); empty for None.
QString pairPartner(Pair rule);
// The field's text after the rule, given its own text and the partner's text.
// The result is not held to the field's range again; it is worked out in 64
// bits, so a partner at the int limits gives "2147483747" or "-2147483748".
Checked applyPair(Pair rule, const QString& own, const QString& partner);

enum class Kind { Whole, Decimal };

// One edit field of the page and its checks.
struct FieldRule {
    QString control;
    ParamId id = ParamId::Count;
    Kind kind = Kind::Whole;
    int maxLength = 0;
    int lower = 0, upper = 0;     // whole fields
    QString lowerText, upperText; // decimal fields
    Pair onLeave = Pair::None;    // pair rule after the check on leaving
    Pair onEnter = Pair::None;    // pair rule after the check on Enter
};

// The 18 edit fields in tab order, from the parameter table.
const std::vector<FieldRule>& fieldRules();
const FieldRule* fieldRule(const QString& control);

// The field's own check (whole or decimal), without a pair rule.
Checked rangeCheck(const FieldRule& rule, const QString& text);

// The whole check of a field on leaving (enter == false) or on Enter: its own
// check, then its pair rule. `textOf` gives the current text of another field.
// The first failure stops the check; `Checked::text` then holds what the field
// should show (its own check's result, or the untouched text).
Checked checkField(const FieldRule& rule, const QString& text, bool enter,
                   const std::function<QString(const QString&)>& textOf);

// The checks made when a tab click leaves the parameters page, in their order:
//  30014 start position equal to a limit (the page may still be left);
//  30009 start delay <= 0; 30010 lambda threshold < 0,1; 30011 opening < 3;
//  30013 + " [min ... max]" start position outside [StepMin, StepMax] (unless
//  30014 fired). Each message is a language text with a suffix for the range
//  hint; allowed is false when the page must stay active. Fields that hold no
//  number take no part.
struct LeaveMessage {
    int textKey;
    QString suffix;
};
struct LeaveResult {
    std::vector<LeaveMessage> messages;
    bool allowed = true;
};
LeaveResult leaveChecks(const QString& lowerLimit, const QString& upperLimit, const QString& startPosition,
                        const QString& startDelay, const QString& lambdaThreshold, const QString& opening);

} // namespace validation
