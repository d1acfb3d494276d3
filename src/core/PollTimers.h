#pragma once
#include <QString>

// The window's polling timers: their names and intervals. They run on the
// link's worker thread; a page starts its own and every page change stops all.
namespace polltimer {
struct Def {
    const char* name;
    int intervalMs;
};
constexpr Def Obr{"TimerObr", 100};
constexpr Def ParamOdcz{"TimerParamOdcz", 200};
constexpr Def Wiz{"TimerWiz", 50};
// TimerWiz while the fast drive log records: shorter than a quick poll takes,
// so each poll follows the last at once.
constexpr int FastLogIntervalMs = 10;
constexpr Def AdaptTerm{"TimerAdaptTerm", 100};
constexpr Def UstTpsProg{"TimerUstTpsProg", 100};
constexpr Def KalibSonda{"TimerKalibSonda", 100};
constexpr Def PrzedRed{"TimerPrzedRed", 100};
constexpr Def RR{"TimerRR", 100};
constexpr Def MinMax1{"TimerMinMax1", 100};
constexpr Def MinMax2{"TimerMinMax2", 100};

inline QString name(const Def& d) {
    return QString::fromLatin1(d.name);
}
} // namespace polltimer
