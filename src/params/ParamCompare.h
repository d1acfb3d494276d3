#pragma once
// What the parameters page holds that the controller does not: the page's set
// against the set decoded from the controller's block.
#include "params/ParameterSet.h"

#include <QString>
#include <functional>
#include <vector>

struct ParamDifference {
    ParamId id;
    QString caption;         // the parameter's caption in the current language
    QString pageValue;       // as the page shows it: list item text, "1"/"0", edit text
    QString controllerValue; // the same for the controller's set
    bool bytesOnly = false;  // the texts agree, a write would change the controller's bytes
};

// Every parameter whose page value differs from the controller's, in table
// order. Values are compared as the controller takes them: lists by index,
// check boxes by state, numbers by value ("0500" equals "500") and volts by
// hundredths ("0,5" equals "0,50"); texts that are no number compare as texts.
// Left out: LambdaBosch, which the controller does not store (it follows from
// the lambda times, which are compared), and MaxGasRpm while both sides have
// the speed limit switched off. Captions and list items are in `words`.
std::vector<ParamDifference> compareParameterSets(const ParameterSet& page, const ParameterSet& controller,
                                                  const ParamWords& words = {});

// compareParameterSets, and the parameters whose texts agree although the
// page cannot show what the controller's bytes hold (the fields the block's
// decoding marks, Fidelity): a write of the page would change those bytes
// (bytesOnly). In table order.
std::vector<ParamDifference> compareWithMarks(const ParameterSet& page, const ParameterSet& controller,
                                              const std::vector<ParamId>& marked,
                                              const ParamWords& words = {});
