#pragma once
#include "params/ParameterSet.h"

#include <QString>
#include <QStringList>
#include <vector>

// One row per parameter: where it lives on the pages, what it means and what
// it may hold. Pages, files, printout and checks all read this one table.
struct ParamDef {
    ParamId id;
    QString identifier; // "SwitchRpm"
    QString control;    // objectName of its control: "Edit3", "ComboBox1", "CheckBox8_2"
    QString label;      // caption of its label (check boxes: their caption)
    int fileNo;         // line number in parameter files, -1 when not saved
    QString unit;       // "obr/min", "ms", "s", "V", "°C" or empty
    enum Kind { Number, Volts, Choice, Flag } kind;
    int min; // inclusive; hundredths of a volt for Volts
    int max;
    QString defaultText;
    QStringList items; // list items of choices (and the drop-down of Edit23)
    int maxLength;     // most characters the fitter may type, 0 for lists and check boxes
};

// Every parameter in ParamId order.
const std::vector<ParamDef>& paramTable();
const ParamDef& paramDef(ParamId id);
// The parameter of a control, nullptr for any other object name.
const ParamDef* paramByControl(const QString& objectName);
// The parameter saved under a file line number, nullptr when none is.
const ParamDef* paramByFileNo(int fileNo);
// Every parameter at its default text.
ParameterSet defaultParameterSet();
