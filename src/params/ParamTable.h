#pragma once
#include "params/ParameterSet.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// One row per parameter: where it lives on the pages, what it means, what it
// may hold and how it travels to and from the controller. Pages, files,
// printout, entry checks and keyboard handling all read this one table; no
// range, caption or comment is written down anywhere else.

// Keys a field takes (the filters themselves are validation::filterKey).
enum class KeyFilter {
    None,   // lists and check boxes: typing does not edit them
    Digit,  // "0".."9", backspace, 127
    Decimal // as Digit, and the comma ("." becomes ",")
};

// What the focus display does with status panel 1 when a control is entered.
enum class PanelRule {
    Comment, // the panel shows the comment
    Clear,   // the panel is emptied (CheckBox15)
    Keep     // the panel is left as it was (CheckBox8_2, CheckBox13_3, CheckBox22_2)
};

// A caption label of the parameters page.
struct CaptionLabel {
    QString name;           // object name
    QString text;           // built-in Polish caption
    bool givesFocus = true; // a click gives the focus to its control (minprzelbgLabel: no click action)
};

// The flags byte: block byte 8, written whole with command 0x0B; several
// parameters keep one bit each in it.
constexpr std::uint8_t FlagsCommand = 0x0B;
constexpr int FlagsByte = 8;

// Where a parameter travels on the wire. Values are the low 8 bits of their
// number; 16-bit values go low byte first, in the block and in the commands.
struct WireFacts {
    std::uint8_t command = 0; // write command carrying the value, 0 for none
    int valueOffset = 0;      // its first byte among the command's value bytes
    int blockByte = -1;       // its first byte in the 37-byte block, -1 when not in the block
    int width = 0;            // bytes of the value: 1 or 2; 0 for a bit of the flags byte
    int flagBit = -1;         // its bit of the flags byte, -1 for none
    // Block decoding: a decoded value outside blockMin..blockMax is shown as
    // the fallback text. No fallback when blockMax < blockMin.
    int blockMin = 0;
    int blockMax = -1;
    QString fallback{};
};

struct ParamDef {
    ParamId id = ParamId::Count;
    QString identifier{}; // "SwitchRpm"
    QString control{};    // object name of its control (edit field, combo box or check box)
    QString label{};      // caption naming it: its caption label's text; check boxes with a caption of
                          // their own use that ("Wyłącz max. obroty")
    int fileNo = -1;      // line number in parameter files, -1 when not saved
    QString unit{};       // "obr/min", "ms", "s", "V", "°C" or empty
    enum Kind { Number, Volts, Choice, Flag } kind = Number;
    int min = 0; // inclusive; hundredths of a volt for Volts
    int max = 0;
    QString defaultText{};
    QStringList items{}; // list items of choices (and the drop-down of Edit23)
    int maxLength = 0;   // most characters the fitter may type, 0 for lists and check boxes
    KeyFilter filter = KeyFilter::None;

    // The parameters page. AnalogThreshold is on the engine-speed page: group 0,
    // no caption labels, comment or list number there.
    int group = 0;                      // group box 1..6 (see pageGroups())
    std::vector<CaptionLabel> labels{}; // caption labels highlighted while it has the focus
    QString boxCaption{};               // check boxes: the caption of the box itself, else empty
    int commentKey = 0;                 // language text of its comment, 0 for none
    QString comment{};                  // built-in Polish comment, empty for none
    PanelRule panel = PanelRule::Comment;
    int listNumber = 0; // 1..5 for the five lists, 0 otherwise

    WireFacts wire{};

    // The bounds as the entry checks write them: "1000", or volts with one
    // decimal ("0,1", "4,9").
    QString lowerText() const;
    QString upperText() const;
    bool onParametersPage() const { return group != 0; }
};

// Every parameter in ParamId order.
const std::vector<ParamDef>& paramTable();
const ParamDef& paramDef(ParamId id);
// A parameter's caption and an item of its list in the words given, the
// built-in ones where they give none (an item outside the list: empty).
QString captionIn(const ParamWords& words, const ParamDef& d);
QString itemIn(const ParamWords& words, const ParamDef& d, int item);
// The parameter of a control, nullptr for any other object name.
const ParamDef* paramByControl(const QString& objectName);
// The parameter saved under a file line number, nullptr when none is.
const ParamDef* paramByFileNo(int fileNo);
// Every parameter at its default text.
ParameterSet defaultParameterSet();

// The 27 entry controls of the parameters page in tab order, group by group.
const std::vector<ParamId>& pageTabOrder();

// A group box of the parameters page, in tab order.
struct PageGroup {
    int number;    // 1..6
    QString name;  // object name
    QString title; // built-in caption
};
const std::vector<PageGroup>& pageGroups();

// A caption label with the control it belongs to: a click on it gives that
// control the focus when label.givesFocus.
struct PageLabel {
    CaptionLabel label;
    ParamId target; // a label shared by two controls belongs to the first in tab order
};
// The 26 caption labels of the parameters page, each once, in the tab order
// of their controls.
const std::vector<PageLabel>& pageLabels();
