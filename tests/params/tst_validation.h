#pragma once
// Entry rules of the parameters page without a window: key filters, the
// whole-number and decimal checks of every field, pair rules, page keys and
// leave checks, and how the page's views come out of the parameter table.
#include "params/KeyboardMap.h"
#include "params/Validation.h"

#include <QHash>
#include <QTest>

using namespace validation;

class TestEntryRules : public QObject {
    Q_OBJECT
private slots:
    void filters_data();
    void filters();
    void insertionsPassTheKeyFilter_data();
    void insertionsPassTheKeyFilter();
    void decimalChecks_data();
    void decimalChecks();
    void wholeBoundsOfEveryField_data();
    void wholeBoundsOfEveryField();
    void wholeEdgeCases_data();
    void wholeEdgeCases();
    void unreadableTextKeepsTextWithMessage();
    void pairRules_data();
    void pairRules();
    void pairRuleWithUnreadablePartner();
    void numbersAtTheIntLimits_data();
    void numbersAtTheIntLimits();
    void leaveAndEnterApplyDifferentPairs_data();
    void leaveAndEnterApplyDifferentPairs();
    void fieldTableMatchesPage();
    void pageViewsOfTheTable();
    void pageKeyTargets_data();
    void pageKeyTargets();
    void labelTargets();
    void leaveChecks_data();
    void leaveChecks();
};
