#include "params/ParamCompare.h"

#include "params/Encoding.h"
#include "params/ParamFile.h"
#include "params/ParamTable.h"
#include "params/Volts.h"

#include <algorithm>

namespace {

bool sameValue(const ParamDef& d, const QString& a, const QString& b) {
    switch (d.kind) {
    case ParamDef::Choice:
        return shownListIndex(d.id, a) == shownListIndex(d.id, b);
    case ParamDef::Flag:
        return shownChecked(a) == shownChecked(b);
    case ParamDef::Volts: {
        const int ha = voltsHundredths(a), hb = voltsHundredths(b);
        if (ha >= 0 && hb >= 0) return ha == hb;
        return a == b;
    }
    case ParamDef::Number: {
        const WholeNumber na = wholeNumber(a), nb = wholeNumber(b);
        if (na.ok() && nb.ok()) return na.value == nb.value;
        return a == b;
    }
    }
    return a == b;
}

QString comparedText(const ParamDef& d, const QString& text, const ParamWords& words) {
    if (d.kind == ParamDef::Choice) return itemIn(words, d, shownListIndex(d.id, text));
    if (d.kind == ParamDef::Flag) return shownChecked(text) ? QStringLiteral("1") : QStringLiteral("0");
    return text;
}

} // namespace

std::vector<ParamDifference> compareParameterSets(const ParameterSet& page, const ParameterSet& controller,
                                                  const ParamWords& words) {
    std::vector<ParamDifference> out;
    const bool limitOff =
        shownChecked(page[ParamId::MaxGasRpmOff]) && shownChecked(controller[ParamId::MaxGasRpmOff]);
    for (const ParamDef& d : paramTable()) {
        if (d.id == ParamId::LambdaBosch) continue;
        if (d.id == ParamId::MaxGasRpm && limitOff) continue;
        if (sameValue(d, page[d.id], controller[d.id])) continue;
        out.push_back({d.id, captionIn(words, d), comparedText(d, page[d.id], words),
                       comparedText(d, controller[d.id], words)});
    }
    return out;
}

std::vector<ParamDifference> compareWithMarks(const ParameterSet& page, const ParameterSet& controller,
                                              const std::vector<ParamId>& marked, const ParamWords& words) {
    std::vector<ParamDifference> out = compareParameterSets(page, controller, words);
    for (ParamId id : marked) {
        if (std::any_of(out.begin(), out.end(), [id](const ParamDifference& d) { return d.id == id; }))
            continue;
        const ParamDef& d = paramDef(id);
        out.push_back({id, captionIn(words, d), comparedText(d, page[id], words),
                       comparedText(d, controller[id], words), true});
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const ParamDifference& a, const ParamDifference& b) { return a.id < b.id; });
    return out;
}
