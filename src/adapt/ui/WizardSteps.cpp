// The eight step pages of the wizard: controls, captions and places. Every
// control is placed by coordinates on its step's background so the
// screen-size layouts can scale it; the fonts are the ones those layouts give
// (instructions 18 pt, other texts 12 pt), so nothing is cut when they apply.
#include "adapt/ui/SensorPicture.h"
#include "adapt/ui/WizardPage.h"
#include "core/Controls.h"
#include "live/IgnitionPage.h"
#include "ui/Instruments.h"
#include "widgets/FitText.h"
#include "widgets/TColor.h"
#include "widgets/TColorButton.h"
#include "widgets/TFlatCheckBox.h"
#include "widgets/TGradientPanel.h"
#include "widgets/THorizontalBar.h"
#include "widgets/TLedLamp.h"
#include "widgets/TReadout.h"
#include "widgets/TRoundMeter.h"
#include "widgets/TThermometer.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

using Id = ctl::ControlId;

namespace {

// What the steps use of their page in the window's design size: the page
// control of every screen-size layout holds this much at its scale.
constexpr int PageW = 735;
constexpr int PageH = 400;
// Left column (instructions and read-outs), right column (the meter), bottom row (buttons).
const QRect LeftFrame(8, 8, 404, 312);
const QRect RightFrame(418, 8, 309, 312);
constexpr int ButtonY = 332;
constexpr int ButtonW = 150;
constexpr int ButtonH = 52;
const QRect DoneBox(164, 326, 407, 66); // between the two buttons
static_assert(ButtonY + ButtonH <= PageH && 8 + 2 * ButtonW < PageW);

constexpr int TextPt = 12;
constexpr int InstructionPt = 18;
const QColor InstructionColor(0x10, 0x2A, 0x60);
constexpr unsigned LampOn = 43008; // green of the window definition's lamps

QFont sized(QFont f, int points, bool bold) {
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

// Passed for a rectangle: the control's design rectangle from the control table,
// where ctl::make has placed it. Other rectangles are computed from the constants above.
const QRect Design;

void place(QWidget* w, const QRect& r) {
    if (!r.isNull()) w->setGeometry(r);
}

TGradientPanel* gradient(QWidget* parent, Id name, const QRect& r = Design) {
    auto* g = ctl::make<TGradientPanel>(name, parent);
    place(g, r);
    liveui::setLightGradient(g);
    return g;
}

QLabel* text(QWidget* parent, Id name, const QString& t, const QRect& r, int points = TextPt,
             bool bold = false, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* l = ctl::make<QLabel>(name, parent);
    l->setText(t);
    place(l, r);
    l->setAlignment(align);
    l->setFont(sized(l->font(), points, bold));
    // A caption of another language or a small layout's box: smaller type rather than cut.
    fitTextToBox(l);
    return l;
}

// The step's instruction and its other large messages.
QLabel* instruction(QWidget* parent, Id name, const QString& t, const QRect& r,
                    Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop) {
    QLabel* l = text(parent, name, t, r, InstructionPt, false, align);
    l->setWordWrap(true);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, InstructionColor);
    l->setPalette(p);
    return l;
}

TReadout* readout(QWidget* parent, Id name, const QRect& r, int points = 14) {
    return r.isNull() ? liveui::makePanel(parent, name, points) : liveui::makePanel(parent, name, r, points);
}

TLedLamp* lamp(QWidget* parent, Id name, const QRect& r) {
    auto* l = ctl::make<TLedLamp>(name, parent);
    place(l, r);
    l->setColorOn(tColor(LampOn));
    l->setColorOff(tColor(0x0000FF));
    l->setLedHeight(25);
    l->setFont(sized(l->font(), TextPt, true));
    return l;
}

TRoundMeter* speedMeter(QWidget* parent, Id name, const QRect& r) {
    auto* m = ctl::make<TRoundMeter>(name, parent);
    place(m, r);
    liveui::setupSpeedMeter(m, QStringLiteral("Obroty"));
    return m;
}

THorizontalBar* bar(QWidget* parent, Id name, const QRect& r, int digitalTo, const QString& format,
                    const QString& unit, int options) {
    auto* b = ctl::make<THorizontalBar>(name, parent);
    place(b, r);
    liveui::setSignal(b, 0, digitalTo, 0.0, double(digitalTo), format, unit);
    b->setOptions(options);
    b->settingsChanged();
    return b;
}

// A step page: its background fills it; everything else sits on the background.
QWidget* stepPage(QTabWidget* tabs, Id name, const char* caption, Id background, TGradientPanel** bg) {
    auto* page = ctl::make<QWidget>(name, tabs);
    auto* lay = new QVBoxLayout(page);
    lay->setContentsMargins(0, 0, 0, 0);
    *bg = gradient(page, background);
    lay->addWidget(*bg);
    tabs->addTab(page, QString::fromUtf8(caption));
    return page;
}

// The meter column of a step: round meter and its speed panel.
void meterColumn(QWidget* frame, TRoundMeter*& meter, Id meterName, TReadout*& panel, Id panelName,
                 int width) {
    const int side = 240;
    meter = speedMeter(frame, meterName, QRect((width - side) / 2, 8, side, side));
    panel = readout(frame, panelName, QRect((width - 170) / 2, 256, 170, 46), 20);
    panel->setText(QStringLiteral("0"));
}

} // namespace

TColorButton* WizardPage::addButton(QWidget* parent, Id name, const QString& caption, int x, int y) {
    auto* b = ctl::make<TColorButton>(name, parent);
    b->setText(caption);
    b->setGeometry(x, y, ButtonW, ButtonH);
    b->setFont(sized(b->font(), TextPt, true));
    b->setForeColor(QColor(0x1A, 0x1A, 0x1A));
    b->setBackColor(QColor(0xD4, 0xD0, 0xC8));
    b->setHoverColor(QColor(0xEA, 0xE8, 0xE2));
    return b;
}

void WizardPage::buildSteps() {
    steps_[0] = buildTermStep();
    steps_[1] = buildTpsStep();
    steps_[2] = buildProbeStep();
    steps_[3] = buildCarStep();
    steps_[4] = buildSensorStep();
    steps_[5] = buildSwitchOverStep();
    steps_[6] = buildReducerStep();
    steps_[7] = buildStepperStep();
    for (int i = 0; i < adapt::StepCount; ++i) {
        const adapt::StepInfo& info = adapt::stepInfo(i + 1);
        forward_[i] = steps_[i]->findChild<TColorButton*>(ctl::name(info.forward));
        if (info.back) back_[i] = steps_[i]->findChild<TColorButton*>(ctl::name(*info.back));
    }
}

QWidget* WizardPage::buildTermStep() {
    TGradientPanel* bg = nullptr;
    QWidget* page = stepPage(pageControl2_, Id::adaptterm, "Ad2 - termometr", Id::GradPanel6, &bg);
    TGradientPanel* left = gradient(bg, Id::GradPanel7, LeftFrame);
    instruction(
        left, Id::Label105,
        QStringLiteral("Proszę ustawić samochód na zasilaniu benzynowym i odczekać do momentu osiągnięcia "
                       "przez silnik temperatury pracy. Następnie proszę nacisnąć przycisk dalej."),
        Design);
    comboTerm_ = ctl::make<QComboBox>(Id::ComboTerm, left);
    comboTerm_->addItems(live::ignitionSystemItems());
    comboTerm_->setFont(sized(comboTerm_->font(), TextPt, false));
    wlCzujtTempCheckAd_ = ctl::make<QCheckBox>(Id::WlCzujtTempCheckAd, left);
    wlCzujtTempAd_ = instruction(left, Id::WlCzujtTempAd, QStringLiteral("Włącz czujnik temperatury"), Design,
                                 Qt::AlignLeft | Qt::AlignVCenter);
    wlCzujtTempAd_->setWordWrap(false);
    fitTextToBox(wlCzujtTempAd_);
    wlCzujtTempAd_->setBuddy(wlCzujtTempCheckAd_);
    wlCzujtTempAd_->installEventFilter(this);

    TGradientPanel* right = gradient(bg, Id::GradPanel25, RightFrame);
    adaptTherm_ = ctl::make<TThermometer>(Id::AdaptTherm, right);
    liveui::setSignal(adaptTherm_, 111, 171, 0.0, 120.0, QStringLiteral("0"), QStringLiteral("°C"));
    adaptTherm_->setOptions(opUnit);
    adaptTherm_->settingsChanged();
    adaptTherm_->setDigit(111); // 0 °C until the first reading
    obrTerm_ = speedMeter(right, Id::ObrTerm, Design);
    panelTerm_ = readout(right, Id::PanelTerm, Design, 20);
    panelTerm_->setText(QStringLiteral("0"));

    addButton(bg, Id::termbutton, QStringLiteral("DALEJ"), PageW - 8 - ButtonW, ButtonY);
    return page;
}

QWidget* WizardPage::buildTpsStep() {
    TGradientPanel* bg = nullptr;
    QWidget* page = stepPage(pageControl2_, Id::AdaptTps, "Ad2 - ustalenie progu TPS", Id::GradPanel9, &bg);
    TGradientPanel* left = gradient(bg, Id::GradPanel16, LeftFrame);
    instruction(left, Id::Label106,
                QStringLiteral("Proszę zwiększać obroty do czasu zmiany koloru wskaźnika na zielony."),
                Design);
    TGradientPanel* frame = gradient(left, Id::GradPanelTPSRamka, Design);
    const Id captions[] = {Id::Label59, Id::Label61, Id::Label60};
    const char* texts[] = {"TPS - dolny", "TPS - górny", "TPS - Próg"};
    const Id panels[] = {Id::TPSdolny, Id::TPSgorny, Id::TPSprog};
    const Id units[] = {Id::Label80, Id::Label81, Id::Label82};
    TReadout* values[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int y = 12 + i * 46;
        text(frame, captions[i], QString::fromUtf8(texts[i]), QRect(10, y, 130, 36), TextPt, true);
        values[i] = readout(frame, panels[i], QRect(142, y, 106, 36), 14);
        text(frame, units[i], QStringLiteral("V"), QRect(252, y, 24, 36), TextPt, true);
    }
    tpsDolny_ = values[0];
    tpsGorny_ = values[1];
    tpsProg_ = values[2];
    dbLed4_ = lamp(frame, Id::DbLed4, Design);
    TGradientPanel* right = gradient(bg, Id::GradPanel26, RightFrame);
    meterColumn(right, adaptObr1_, Id::AdaptObr1, adapt2PanelObr_, Id::Adapt2PanelObr, RightFrame.width());

    addButton(bg, Id::CofnijAD2, QStringLiteral("cofnij"), 8, ButtonY);
    addButton(bg, Id::tpsbutton, QStringLiteral("Dalej"), PageW - 8 - ButtonW, ButtonY);
    label56_ =
        instruction(bg, Id::Label56, QStringLiteral("TPS został ustawiony Proszę nacisnąć klawisz DALEJ"),
                    DoneBox, Qt::AlignCenter);
    return page;
}

QWidget* WizardPage::buildProbeStep() {
    TGradientPanel* bg = nullptr;
    QWidget* page = stepPage(pageControl2_, Id::adaptsonda, "Kalibracja Sondy Lambda", Id::GradPanel10, &bg);
    TGradientPanel* left = gradient(bg, Id::GradPanel17, LeftFrame);
    instruction(
        left, Id::Label107,
        QStringLiteral("Proszę kilka razy zwiększać obroty do czasu zmiany koloru wskaźnika na zielony."),
        Design);
    TGradientPanel* frame = gradient(left, Id::GradPanelSonda, Design);
    lambdaBar_ = bar(frame, Id::lambdabar, Design, 60, QStringLiteral("0"), QString(), opSector);
    ad4LabelV_ = text(frame, Id::Ad4LabelV, QStringLiteral("1 V"), Design, TextPt, true);
    miernik_ = bar(frame, Id::miernik, Design, 100, QStringLiteral("0"), QStringLiteral("%"), opUnit);
    const Id captions[] = {Id::Label62, Id::Label63, Id::Label64};
    const char* texts[] = {"Uboga", "Bogata", "Próg"};
    const Id panels[] = {Id::PUboga, Id::PBogata, Id::PProg};
    TReadout* values[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int y = 78 + i * 34;
        text(frame, captions[i], QString::fromUtf8(texts[i]), QRect(10, y, 100, 30), TextPt, true);
        values[i] = readout(frame, panels[i], QRect(112, y, 106, 30), 14);
        values[i]->setText(adapt::placeholderText());
    }
    pUboga_ = values[0];
    pBogata_ = values[1];
    pProg_ = values[2];
    led1_ = lamp(frame, Id::LED1, Design);
    TGradientPanel* right = gradient(bg, Id::GradPanel28, RightFrame);
    meterColumn(right, obrSondy_, Id::ObrSondy, adapt4PanelObr_, Id::Adapt4PanelObr, RightFrame.width());

    addButton(bg, Id::CofnijAD3, QStringLiteral("cofnij"), 8, ButtonY);
    addButton(bg, Id::SondButton, QStringLiteral("Dalej"), PageW - 8 - ButtonW, ButtonY);
    label87_ = instruction(bg, Id::Label87, QStringLiteral("Sonda skalibrowana."), DoneBox, Qt::AlignCenter);
    return page;
}

QWidget* WizardPage::buildCarStep() {
    TGradientPanel* bg = nullptr;
    QWidget* page = stepPage(pageControl2_, Id::adapt5, "Wybór parametrow samochodu", Id::GradPanel11, &bg);
    TGradientPanel* head = gradient(bg, Id::GradPanel18, Design);
    text(head, Id::Label89, QStringLiteral("Wybierz parametry samochodu"), Design, 20, true, Qt::AlignCenter);
    TGradientPanel* choices = gradient(bg, Id::GradPanel29, Design);

    // A check box with its caption beside it; a click on the caption clicks the box.
    auto pairMember = [this](QWidget* parent, Id box, Id label, const char* caption, int y) {
        auto* b = ctl::make<QCheckBox>(box, parent);
        b->setGeometry(16, y + 6, 24, 28);
        QLabel* l = text(parent, label, QString::fromUtf8(caption), QRect(44, y, 180, 40), 14, true);
        l->setBuddy(b);
        l->installEventFilter(this);
        return b;
    };
    auto heading = [](QWidget* parent, Id name, const char* caption) {
        QLabel* l = text(parent, name, QString::fromUtf8(caption), Design, 14, true, Qt::AlignCenter);
        l->setWordWrap(true);
        return l;
    };

    TGradientPanel* gear = gradient(choices, Id::GradPanelParS1, Design);
    heading(gear, Id::Label74, "Rodzaj skrzyni biegów");
    srCheckBox8_ = pairMember(gear, Id::SRCheckbox8, Id::SRCheckbox8Label, "Ręczna", 124);
    srCheckBox9_ = pairMember(gear, Id::srcheckbox9, Id::srcheckbox9Label, "Automatyczna", 172);

    TGradientPanel* capacity = gradient(choices, Id::GradPanelParS2, Design);
    heading(capacity, Id::Label29, "Pojemność silnika");
    auto* group = new QButtonGroup(this);
    const char* capacities[] = {"<1 L", "1 - 1.5 L", "1.5 - 2 L", "2 - 3 L", "> 3 L"};
    const Id capacityIds[] = {Id::SRCheckBox3, Id::SRCheckBox4, Id::SRCheckBox5, Id::SRCheckBox6,
                              Id::SRCheckBox7};
    for (int i = 0; i < 5; ++i) {
        auto* r = new QRadioButton(QString::fromLatin1(capacities[i]), capacity);
        r->setObjectName(ctl::name(capacityIds[i]));
        // Moved by the screen-size layouts but never resized or refonted: a
        // size that still fits their spacing in the smallest layout.
        r->setGeometry(40, 112 + i * 26, 170, 20);
        r->setFont(sized(r->font(), 11, false));
        group->addButton(r, i);
        capacity_[i] = r;
    }

    TGradientPanel* manifold = gradient(choices, Id::GradPanelParS3, Design);
    heading(manifold, Id::Label66, "Rodzaj kolektora ssacego");
    srCheckBox1_ = pairMember(manifold, Id::SRCheckBox1, Id::SRCheckBox1Label, "Metal", 124);
    srCheckBox2_ = pairMember(manifold, Id::srcheckbox2, Id::srcheckbox2Label, "Tworzywo", 172);

    TGradientPanel* bottom = gradient(bg, Id::GradPanelKoniec, Design);
    addButton(bottom, Id::CofnijAD4, QStringLiteral("Cofnij"), 6, 6);
    addButton(bottom, Id::ParSamButton, QStringLiteral("Dalej"), 719 - 6 - ButtonW, 6);
    return page;
}

QWidget* WizardPage::buildSensorStep() {
    TGradientPanel* bg = nullptr;
    QWidget* page = stepPage(pageControl2_, Id::adapt6, "Wybór oczka", Id::GradPanel12, &bg);
    TGradientPanel* frame = gradient(bg, Id::GradPanel19, Design);
    text(frame, Id::Label90, QStringLiteral("Wybierz rodzaj szkiełka"), Design, TextPt, true,
         Qt::AlignCenter);
    instruction(frame, Id::Label84,
                QStringLiteral("Wybierz rodzaj czujnika poziomu gazu (dla kontaktronowego czujnika rezerwy "
                               "należy wybrać 90R)"),
                Design, Qt::AlignHCenter | Qt::AlignTop);
    image4_ = new SensorPicture(SensorPicture::Kind::Resistive20k, frame);
    image4_->setObjectName(ctl::name(Id::Image4));
    image4_->setGeometry(ctl::row(Id::Image4).design);
    image5_ = new SensorPicture(SensorPicture::Kind::Reed90R, frame);
    image5_->setObjectName(ctl::name(Id::Image5));
    image5_->setGeometry(ctl::row(Id::Image5).design);
    srCheckBox10_ = new TFlatCheckBox(QStringLiteral("20k"), frame);
    srCheckBox10_->setObjectName(ctl::name(Id::SRCheckBox10));
    srCheckBox10_->setGeometry(ctl::row(Id::SRCheckBox10).design);
    srCheckBox11_ = new TFlatCheckBox(QStringLiteral("90R"), frame);
    srCheckBox11_->setObjectName(ctl::name(Id::SRCheckBox11));
    srCheckBox11_->setGeometry(ctl::row(Id::SRCheckBox11).design);
    for (TFlatCheckBox* b : {srCheckBox10_, srCheckBox11_}) {
        b->setFont(sized(b->font(), TextPt, true));
        b->setFocusPolicy(Qt::StrongFocus);
    }

    addButton(bg, Id::CofnijAD5, QStringLiteral("cofnij"), 8, ButtonY);
    addButton(bg, Id::OczkaButton, QStringLiteral("DALEJ"), PageW - 8 - ButtonW, ButtonY);
    return page;
}

QWidget* WizardPage::buildSwitchOverStep() {
    TGradientPanel* bg = nullptr;
    QWidget* page =
        stepPage(pageControl2_, Id::przedreduktorem, "Przejscie z benzyny na gaz", Id::GradPanel13, &bg);
    TGradientPanel* left = gradient(bg, Id::GradPanel20, LeftFrame);
    instruction(left, Id::Label108,
                QStringLiteral("Proszę regulować reduktor do momentu osiągnięcia mieszanki bogatej."),
                Design);
    ledPrzedRed_ = lamp(left, Id::LedPrzedRed, Design);
    nastapiloPrzejscieBgLabel_ = instruction(left, Id::NastapiloPrzejscieBGLABEL,
                                             QStringLiteral("Nastąpiło przejście z benzyny na gaz"), Design);
    TGradientPanel* right = gradient(bg, Id::GradPanel31, RightFrame);
    meterColumn(right, obrPrzedRed_, Id::ObrPrzedRed, panellPrzedRed_, Id::PanellPrzedRed,
                RightFrame.width());

    addButton(bg, Id::CofnijAD6, QStringLiteral("cofnij"), 8, ButtonY);
    addButton(bg, Id::przedreduktbutton, QStringLiteral("DALEJ"), PageW - 8 - ButtonW, ButtonY);
    return page;
}

QWidget* WizardPage::buildReducerStep() {
    TGradientPanel* bg = nullptr;
    QWidget* page =
        stepPage(pageControl2_, Id::Regulacjareduktora, "regulacja reduktora", Id::GradPanel14, &bg);
    TGradientPanel* top = gradient(bg, Id::GradPanel21, Design);
    instruction(
        top, Id::Label109,
        QStringLiteral("Proszę regulować reduktor na wolnych obrotach do momentu osiągnięcia mieszanki "
                       "bogatej."),
        Design);
    TGradientPanel* frame = gradient(bg, Id::GradPanel32, Design);
    text(frame, Id::Label68, QStringLiteral("Uboga"), Design, TextPt, true);
    text(frame, Id::Label69, QStringLiteral("Bogata"), Design, TextPt, true,
         Qt::AlignRight | Qt::AlignVCenter);
    // Designed with its read-out and sector strip; the step's entry leaves only the strip.
    designBarOptions_ = opSector | opUnit;
    lambdabarRR_ = bar(frame, Id::LambdabarRR, Design, 50, QStringLiteral("0"), QString(), designBarOptions_);
    ledRR_ = lamp(frame, Id::LedRR, Design);

    addButton(bg, Id::CofnijAD7, QStringLiteral("cofnij"), 8, ButtonY);
    addButton(bg, Id::RRbutton, QStringLiteral("DALEJ"), PageW - 8 - ButtonW, ButtonY);
    return page;
}

QWidget* WizardPage::buildStepperStep() {
    TGradientPanel* bg = nullptr;
    QWidget* page =
        stepPage(pageControl2_, Id::MinMaxTab, "Kalibracja silnika krokowego", Id::GradPanel15, &bg);
    TGradientPanel* left = gradient(bg, Id::GradPanel22, Design);
    const QRect message(10, 4, 442, 112);
    label70_ =
        instruction(left, Id::Label70,
                    QStringLiteral("Proszę ustawić wolne obroty i czekać do zmiany koloru wskaźnika MIN na "
                                   "zielony."),
                    message);
    label76_ =
        instruction(left, Id::Label76,
                    QStringLiteral("Proszę ustawić obroty powyżej 2000 obr/min i czekać do zmiany koloru "
                                   "wskaźnika MAX na zielony."),
                    message);
    komunikatKoncowy_ = instruction(left, Id::KomunikatKoncowy, QStringLiteral("Autoadaptacja zakończona"),
                                    message.adjusted(20, 24, -20, -24), Qt::AlignCenter);
    komunikatKoncowy_->setFont(sized(komunikatKoncowy_->font(), InstructionPt, true));
    komunikatKoncowy_->setAutoFillBackground(true);
    {
        QPalette p = komunikatKoncowy_->palette();
        p.setColor(QPalette::Window, QColor(200, 240, 200));
        p.setColor(QPalette::WindowText, QColor(0, 100, 0));
        komunikatKoncowy_->setPalette(p);
    }
    text(left, Id::Label78, QStringLiteral("Min"), Design, TextPt, true);
    text(left, Id::Label79, QStringLiteral("Max"), Design, TextPt, true, Qt::AlignRight | Qt::AlignVCenter);
    lambdaBarObr1_ = bar(left, Id::LambdaBarObr1, Design, 255, QStringLiteral("0"), QString(), opSector);
    lambdaBarObr2_ =
        bar(left, Id::LambdaBarObr2, Design, 100, QStringLiteral("0"), QStringLiteral("%"), opUnit);
    const Id captions[] = {Id::Label72, Id::Label73, Id::Label88};
    const char* texts[] = {"Min", "Max", "Start"};
    const Id panels[] = {Id::PanelMin, Id::PanelMax, Id::PanelStart};
    TReadout* values[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int x = 10 + i * 152;
        text(left, captions[i], QString::fromLatin1(texts[i]), QRect(x, 224, 80, 30), TextPt, true);
        values[i] = readout(left, panels[i], QRect(x, 256, 138, 44), 16);
        values[i]->setText(adapt::placeholderText());
    }
    panelMin_ = values[0];
    panelMax_ = values[1];
    panelStart_ = values[2];
    ledMin_ = lamp(left, Id::LedMin, Design);
    ledMax_ = lamp(left, Id::LedMax, Design);
    // No frame of its own here: the meter stands on the step's background.
    obrMinMax_ = speedMeter(bg, Id::ObrMinMax, Design);
    panelObrMinMax_ = readout(bg, Id::PanelObrMinMax, Design, 20);
    panelObrMinMax_->setText(QStringLiteral("0"));

    addButton(bg, Id::CofnijAD8, QStringLiteral("cofnij"), 8, ButtonY);
    addButton(bg, Id::MinMaxButton, QStringLiteral("DALEJ"), PageW - 8 - ButtonW, ButtonY);
    return page;
}
