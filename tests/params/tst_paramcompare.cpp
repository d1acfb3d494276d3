// The page's parameters against the controller's: what differs, as the
// controller would take it.
#include "params/ParamCompare.h"
#include "params/ParamTable.h"

#include <QTest>

class TestParamCompare : public QObject {
    Q_OBJECT
private slots:
    void differences_data();
    void differences();
    void captionsFollowTheCaller();
};

void TestParamCompare::differences_data() {
    QTest::addColumn<QStringList>("page");       // "Identifier=text" changes to the defaults
    QTest::addColumn<QStringList>("controller"); // the same for the controller's set
    QTest::addColumn<QStringList>("expected");   // "Identifier: page -> controller"
    QTest::newRow("same") << QStringList{} << QStringList{} << QStringList{};
    QTest::newRow("leading zeros and short volts are the same value")
        << QStringList{"SwitchRpm=02000", "LambdaThreshold=0,5", "TpsThreshold=1.25"} << QStringList{}
        << QStringList{};
    QTest::newRow("numbers, volts, texts")
        << QStringList{"SwitchRpm=2500", "LambdaThreshold=0,55", "StepMin=abc", "SwitchTemp=40",
                       "AnalogThreshold=50"}
        << QStringList{}
        << QStringList{"LambdaThreshold: 0,55 -> 0,50", "SwitchRpm: 2500 -> 2000", "StepMin: abc -> 10",
                       "SwitchTemp: 40 -> 0", "AnalogThreshold: 50 -> 1"};
    QTest::newRow("lists show their items")
        << QStringList{"ProbeKind=3", "ReserveSensorKind=9"} << QStringList{"ProbeKind=1"}
        << QStringList{"ProbeKind: 0,8 - 1,6 [V] -> 0 - 5 [V]", "ReserveSensorKind:  -> 90R"};
    QTest::newRow("check boxes by state") << QStringList{"CutoffOn=1", "TempSensorOn=0"}
                                          << QStringList{"TempSensorOn="} << QStringList{"CutoffOn: 1 -> 0"};
    QTest::newRow("Bosch follows the times")
        << QStringList{"LambdaBosch=1"} << QStringList{} << QStringList{};
    QTest::newRow("speed limit off on both sides")
        << QStringList{"MaxGasRpmOff=1", "MaxGasRpm=7000"} << QStringList{"MaxGasRpmOff=1", "MaxGasRpm=5000"}
        << QStringList{};
    QTest::newRow("speed limit off on one side")
        << QStringList{"MaxGasRpmOff=1"} << QStringList{"MaxGasRpm=5000"}
        << QStringList{"MaxGasRpm: 7000 -> 5000", "MaxGasRpmOff: 1 -> 0"};
}

void TestParamCompare::differences() {
    QFETCH(QStringList, page);
    QFETCH(QStringList, controller);
    QFETCH(QStringList, expected);
    auto build = [](const QStringList& changes) {
        ParameterSet s = defaultParameterSet();
        for (const QString& c : changes) {
            const QString name = c.section('=', 0, 0);
            for (const ParamDef& d : paramTable())
                if (d.identifier == name) s[d.id] = c.section('=', 1);
        }
        return s;
    };
    QStringList got;
    for (const ParamDifference& d : compareParameterSets(build(page), build(controller))) {
        QCOMPARE(d.caption, paramDef(d.id).label);
        got << paramDef(d.id).identifier + ": " + d.pageValue + " -> " + d.controllerValue;
    }
    QCOMPARE(got, expected);
}

void TestParamCompare::captionsFollowTheCaller() {
    ParameterSet page = defaultParameterSet();
    page[ParamId::StepStart] = "120";
    page[ParamId::ProbeKind] = "1";
    const ParamWords english{[](ParamId id) { return "EN " + paramDef(id).identifier; },
                             [](ParamId id, int item) {
                                 return id == ParamId::ProbeKind ? QString("item %1").arg(item) : QString();
                             }};
    const auto diffs = compareParameterSets(page, defaultParameterSet(), english);
    QCOMPARE(int(diffs.size()), 2);
    QCOMPARE(diffs[0].caption, QString("EN ProbeKind"));
    QCOMPARE(diffs[0].pageValue + "/" + diffs[0].controllerValue, QString("item 1/item 0"));
    QCOMPARE(diffs[1].caption, QString("EN StepStart"));
    QCOMPARE(diffs[1].pageValue + "/" + diffs[1].controllerValue, QString("120/100"));
}

QTEST_GUILESS_MAIN(TestParamCompare)
#include "tst_paramcompare.moc"
