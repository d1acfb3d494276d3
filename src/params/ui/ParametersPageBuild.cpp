// The parameters page: its controls, layout, reactions and tab order.
#include "core/Controls.h"
#include "params/ui/ParametersPage.h"

#include "core/PageMetrics.h"
#include "core/SessionTexts.h"
#include "live/LiveModel.h"
#include "params/KeyboardMap.h"
#include "params/ParamTable.h"
#include "params/ParameterModel.h"
#include "params/Validation.h"
#include "params/ui/ParametersPageParts.h"
#include "params/ui/PasteFilter.h"
#include "params/ui/ReadingsFeed.h"
#include "ui/Instruments.h"
#include "ui/ReadingsPanel.h"
#include "widgets/FollowColours.h"
#include "widgets/TColor.h"
#include "widgets/TColorButton.h"
#include "widgets/TGradientPanel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QVBoxLayout>

using Id = ctl::ControlId;

using namespace parametrypage;

// ---------------------------------------------------------------- building

void ParametersPage::buildControls() {
    for (const PageLabel& c : pageLabels()) {
        auto* l = new QLabel(c.label.text, this);
        l->setObjectName(c.label.name);
        l->installEventFilter(this);
        labels_.insert(l->objectName(), l);
    }
    for (const keyboard::EntryControl& e : keyboard::entryControls()) {
        QWidget* w = nullptr;
        switch (e.kind) {
        case ControlKind::Edit: {
            // The most characters the fitter may type is held by the key filter:
            // QLineEdit's own limit would also cut texts the program sets.
            auto* le = new QLineEdit(this);
            w = le;
            break;
        }
        case ControlKind::List: {
            auto* cb = new QComboBox(this);
            cb->addItems(paramDef(e.id).items);
            // Wide enough for its longest item in every language.
            cb->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            // Enter in an open list is the closing Enter.
            cb->view()->installEventFilter(this);
            cb->view()->setObjectName(e.control + QStringLiteral("_view"));
            w = cb;
            break;
        }
        case ControlKind::Check: {
            // Two boxes carry a caption of their own beside their caption label.
            auto* box = new QCheckBox(paramDef(e.id).boxCaption, this);
            box->setAccessibleName(paramDef(e.id).label);
            // Only the box shows, as designed: its caption label beside it
            // names it in the page's language.
            box->setFixedWidth(box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) + 4);
            w = box;
            break;
        }
        }
        w->setObjectName(e.control);
        w->installEventFilter(this);
        controls_.insert(e.control, w);
    }
    // Pasted, dropped and input-method text passes the key filters too.
    PasteFilter::installOn(findChildren<QLineEdit*>());
    for (Id n : {Id::Edit10, Id::Edit16, Id::Edit17})
        control(ctl::name(n))->setEnabled(false);
    combo(ctl::name(Id::ComboBox21))->setCurrentIndex(1);

    const QStringList captions = {QString::fromUtf8("Reset parametrów"),
                                  QString::fromUtf8("Zapisz parametry"),
                                  QString::fromUtf8("odczyt parametrów"), QString::fromUtf8("Odczyt Plik"),
                                  QString::fromUtf8("zapisz do pliku")};
    for (int i = 0; i < keyboard::pageButtons().size(); ++i) {
        auto* b = new TColorButton(this);
        b->setText(captions[i]);
        b->setObjectName(keyboard::pageButtons()[i]);
        b->setMinimumHeight(28);
        buttons_.insert(b->objectName(), b);
    }
    // Not one of the five buttons the page's Enter handling names, but Enter
    // on it runs it all the same.
    compare_ = new TColorButton(this);
    compare_->setObjectName(QStringLiteral("PorownajButt"));
    compare_->setMultiline(true);
    // As wide as the column of buttons, whatever the caption: a long one wraps.
    compare_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    compare_->setMinimumHeight(28);
    buttons_.insert(compare_->objectName(), compare_);
    compare_->installEventFilter(this);
    // The restore points: after the comparison, reached and run the same way.
    historyButton_ = new TColorButton(this);
    historyButton_->setObjectName(QStringLiteral("HistoriaButt"));
    buttons_.insert(historyButton_->objectName(), historyButton_);
    fitCompareCaption();
    connect(&m_.shell, &ShellModel::textsChanged, this, &ParametersPage::fitCompareCaption);

    info_ = ctl::make<QLabel>(Id::info, this);
    info_->setWordWrap(true);
    info_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont f = info_->font();
    f.setBold(true);
    info_->setFont(f);
    QPalette p = info_->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    info_->setPalette(p);
    info_->setMinimumHeight(44);

    commentsOff_ = ctl::make<QCheckBox>(Id::WylaczkomentarzeCheck, this);
    auto* commentsLabel = new QLabel(QStringLiteral("Wylacz komentarze"), this);
    commentsLabel->setObjectName(ctl::name(Id::WylaczkomentarzeCheckLabel));
    commentsLabel->setBuddy(commentsOff_);
    commentsLabel->installEventFilter(this);

    readings_ = new ReadingsPanel(this);
    feedReadingsPanel(*readings_, m_);
    // The readings stand in the column of buttons over whatever background a
    // skin gives it: they show in the fields' colours, as a read-out does.
    readings_->setAutoFillBackground(true);
    followColours(control(ctl::name(Id::Edit2)), readings_,
                  {{QPalette::Text, QPalette::WindowText}, {QPalette::Base, QPalette::Window}});
}

void ParametersPage::buildLayout() {
    // Each group box holds its parameters in tab order, one row per caption
    // label: two fields sharing a label (the stepper limits, the lambda times)
    // stand on one row, and a check box's own caption label follows it.
    QHash<int, QGroupBox*> groups;
    for (const PageGroup& pg : pageGroups()) {
        // Untitled frames: the captions of their rows say what they hold in
        // every language.
        auto* g = new QGroupBox(this);
        g->setObjectName(pg.name);
        g->setAccessibleName(pg.title);
        auto* grid = new QGridLayout(g);
        grid->setContentsMargins(5, 1, 5, 1);
        grid->setHorizontalSpacing(5);
        grid->setVerticalSpacing(0);
        grid->setColumnStretch(0, 1);
        groups.insert(pg.number, g);
    }
    QHash<QString, QHBoxLayout*> rows;
    for (ParamId id : bindings()) {
        const ParamDef& d = paramDef(id);
        QGroupBox* g = groups.value(d.group);
        if (!g || d.labels.empty()) continue;
        auto* grid = static_cast<QGridLayout*>(g->layout());
        const QString first = d.labels.front().name;
        QHBoxLayout* box = rows.value(first);
        QWidget* c = control(d.control);
        if (!box) {
            QLabel* l = labels_.value(first);
            l->setParent(g);
            const int r = grid->rowCount();
            // A caption longer than its column takes a second line.
            l->setWordWrap(true);
            captionColumn_ << l;
            box = new QHBoxLayout;
            box->setSpacing(3);
            if (qobject_cast<QComboBox*>(c)) {
                // A list is wider than the fields: its row keeps out of the
                // caption column, which the fields' rows alone decide; the
                // list stands at the group's right edge.
                box->addWidget(l, 1);
                grid->addLayout(box, r, 0, 1, 2);
            } else {
                grid->addWidget(l, r, 0);
                grid->addLayout(box, r, 1);
            }
            rows.insert(first, box);
        }
        c->setParent(g);
        box->addWidget(c);
        for (std::size_t i = 1; i < d.labels.size(); ++i) {
            QLabel* extra = labels_.value(d.labels[i].name);
            extra->setParent(g);
            box->addWidget(extra);
        }
    }
    for (QHBoxLayout* box : rows)
        if (!qobject_cast<QComboBox*>(box->itemAt(box->count() - 1)->widget())) box->addStretch(1);
    for (QGroupBox* g : groups) {
        auto* grid = static_cast<QGridLayout*>(g->layout());
        grid->setRowStretch(grid->rowCount(), 1);
        groups_ << g;
    }

    // Backgrounds the skins colour: the two columns of groups, the column of
    // readings and buttons, and the comment under the right column.
    auto gradient = [this](Id name) {
        auto* g = ctl::make<TGradientPanel>(name, this);
        liveui::setLightGradient(g);
        return g;
    };
    TGradientPanel* columns = gradient(Id::GradPanel23);
    TGradientPanel* side = gradient(Id::GradPanel24);
    TGradientPanel* bottom = gradient(Id::GradPanelPanelDol);

    // Left column: lambda probe, TPS, engine speed and switching; right
    // column: stepper motor, cutoff, controller.
    auto column = [&groups](std::initializer_list<int> numbers) {
        auto* col = new QVBoxLayout;
        col->setSpacing(2);
        for (int n : numbers)
            col->addWidget(groups.value(n));
        col->addStretch(1);
        return col;
    };
    auto* twoColumns = new QHBoxLayout(columns);
    twoColumns->setContentsMargins(4, 2, 4, 1);
    twoColumns->setSpacing(6);
    twoColumns->addLayout(column({1, 2, 3}));
    rightColumn_ = column({4, 5, 6});
    twoColumns->addLayout(rightColumn_);
    twoColumns->addStretch(1);

    auto* commentsRow = new QHBoxLayout;
    commentsRow->addWidget(commentsOff_, 0, Qt::AlignTop);
    QLabel* commentsLabel = findChild<QLabel*>(ctl::name(Id::WylaczkomentarzeCheckLabel));
    commentsLabel->setWordWrap(true);
    commentsRow->addWidget(commentsLabel, 1);
    auto* sideColumn = new QVBoxLayout(side);
    sideColumn->setContentsMargins(4, 2, 4, 2);
    sideColumn->setSpacing(3);
    sideColumn->addWidget(readings_);
    QStringList sideButtons = keyboard::pageButtons();
    sideButtons << compare_->objectName() << historyButton_->objectName();
    for (const QString& name : std::as_const(sideButtons)) {
        TColorButton* b = static_cast<TColorButton*>(buttons_.value(name));
        // As wide as the column, as tall as the caption's lines there.
        b->setMultiline(true);
        b->setMinimumHeight(0);
        QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        b->setSizePolicy(policy);
        sideColumn->addWidget(b);
    }
    sideColumn->addLayout(commentsRow);
    sideColumn->addStretch(1);

    auto* strip = new QHBoxLayout(bottom);
    strip->setContentsMargins(8, 2, 8, 2);
    strip->addWidget(info_);

    // The comment goes below the right column's groups.
    rightColumn_->insertWidget(rightColumn_->count() - 1, bottom, 1);
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addWidget(columns, 1);
    page->addWidget(side, 0);
    sizeFields();
}

void ParametersPage::sizeFields() {
    // Each field as wide as the most characters it takes, in its own font.
    for (ParamId id : bindings()) {
        const ParamDef& d = paramDef(id);
        QWidget* w = control(d.control);
        const QFontMetrics fm(w->font());
        if (auto* le = qobject_cast<QLineEdit*>(w)) {
            const int chars = std::max(2, d.maxLength);
            le->setFixedWidth(fm.horizontalAdvance(QString(chars, QLatin1Char('0'))) + 12);
        }
        // Rows as close as the text allows: the style's own fields are taller.
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)) w->setFixedHeight(fm.height() + 4);
    }
}

void ParametersPage::applyLayoutNumbers(const shell::layout::ParamPageNumbers& n) {
    const shell::layout::ParamPageMetrics m = shell::layout::paramPageMetrics(n.font);
    for (QLabel* l : std::as_const(labels_)) {
        const QString name = l->objectName();
        const bool longLabel = name == ctl::name(Id::Label8) || name == ctl::name(Id::Label18);
        setPointSize(l, isCheckLabel(name) ? m.checkLabelFont() : longLabel ? m.longLabelFont() : m.font);
    }
    for (QWidget* w : std::as_const(controls_)) {
        if (qobject_cast<QComboBox*>(w))
            setPointSize(w, m.comboFont());
        else if (qobject_cast<QLineEdit*>(w))
            setPointSize(w, m.fieldFont());
        else
            setPointSize(w, m.checkLabelFont());
    }
    sizeFields();
    // Groups of the layout's width; the caption column takes what the fields
    // leave (up to the field column), a longer caption wraps.
    for (QGroupBox* g : std::as_const(groups_)) {
        setPointSize(g, m.font);
        g->setFixedWidth(n.groupWidth);
    }
    setPointSize(info_, m.infoFont);
    if (QWidget* l = findChild<QWidget*>(ctl::name(Id::WylaczkomentarzeCheckLabel)))
        setPointSize(l, m.checkLabelFont());
    // The readings and the buttons stand in the third column and share what
    // the two columns of groups leave: a moderate type, captions that wrap.
    const int sideFont = m.font >= 21 ? 12 : m.font >= 16 ? 10 : m.font >= 12 ? 9 : 8;
    for (QAbstractButton* b : std::as_const(buttons_))
        setPointSize(b, sideFont);
    readings_->setTextSize(sideFont);
}

void ParametersPage::connectReactions() {
    // Check boxes react to every change of state, also when the program sets it.
    connect(checkBox(ctl::name(Id::CheckBox13_3)), &QCheckBox::toggled, this, [this](bool on) {
        const QString t = on ? QStringLiteral("0") : QStringLiteral("500");
        edit(ctl::name(Id::Edit13_1))->setText(t);
        edit(ctl::name(Id::Edit13_2))->setText(t);
        m_.params.setValue(ParamId::LambdaBosch, on ? QStringLiteral("1") : QStringLiteral("0"));
        m_.params.setWritten(false);
    });
    connect(checkBox(ctl::name(Id::CheckBox15)), &QCheckBox::toggled, this, [this](bool on) {
        edit(ctl::name(Id::Edit16))->setEnabled(on);
        edit(ctl::name(Id::Edit17))->setEnabled(on);
        m_.params.setValue(ParamId::CutoffOn, on ? QStringLiteral("1") : QStringLiteral("0"));
        m_.params.setWritten(false);
    });
    connect(checkBox(ctl::name(Id::CheckBox22_2)), &QCheckBox::toggled, this, [this](bool on) {
        // The temperature read-out follows the switch (on a temperature-capable
        // controller); the sensor bit goes out with the next write.
        m_.params.setValue(ParamId::TempSensorOn, on ? QStringLiteral("1") : QStringLiteral("0"));
        m_.params.setWritten(false);
    });
    connect(checkBox(ctl::name(Id::CheckBox8_2)), &QCheckBox::toggled, this,
            [this](bool) { m_.params.setWritten(false); });

    // The model follows every control of the page.
    for (ParamId id : bindings()) {
        const QString name = controlOf(id);
        if (QLineEdit* le = edit(name))
            connect(le, &QLineEdit::textChanged, this, [this, name] { pushToModel(name); });
        else if (QComboBox* cb = combo(name))
            connect(cb, &QComboBox::currentIndexChanged, this, [this, name] { pushToModel(name); });
        else if (QCheckBox* box = checkBox(name))
            connect(box, &QCheckBox::toggled, this, [this, name] { pushToModel(name); });
    }

    for (const keyboard::EntryControl& e : keyboard::entryControls())
        if (e.kind == ControlKind::List) {
            QComboBox* cb = combo(e.control);
            connect(cb, &QComboBox::activated, this, [this, cb](int) { listActivated(cb); });
        }

    connect(commentsOff_, &QCheckBox::toggled, this, [this](bool off) {
        if (off) info_->clear();
    });

    // Each button's exchanges wait for anything the link is still doing.
    // Files wait too: a read still on its way would fill the page after a
    // load, and a save takes the page as the fitter sees it when the dialog shows.
    const std::pair<QAbstractButton*, void (ParametersPage::*)()> actions[] = {
        {buttons_.value(ctl::name(Id::odczButPic)), &ParametersPage::odczButPicClick},
        {buttons_.value(ctl::name(Id::ZapButPic)), &ParametersPage::ZapButPicClick},
        {buttons_.value(ctl::name(Id::ResButt)), &ParametersPage::ResButtClick},
        {buttons_.value(ctl::name(Id::OdczytButtPlik)), &ParametersPage::OdczytButtPlikClick},
        {buttons_.value(ctl::name(Id::ZapiszButtPlik)), &ParametersPage::ZapiszButtPlikClick},
        {compare_, &ParametersPage::PorownajButtClick},
        {historyButton_, &ParametersPage::HistoriaButtClick}};
    for (const auto& [button, action] : actions)
        connect(button, &QAbstractButton::clicked, this, [this, action = action] {
            m_.paramSession.whenIdle(this, [this, action] { (this->*action)(); });
        });
}

void ParametersPage::setTabOrderChain() {
    tabOrder_.clear();
    for (const keyboard::EntryControl& e : keyboard::entryControls())
        tabOrder_ << e.control;
    tabOrder_ << keyboard::pageButtons();
    tabOrder_ << compare_->objectName() << historyButton_->objectName();
    tabOrder_ << commentsOff_->objectName();
    QWidget* prev = nullptr;
    for (const QString& name : tabOrder_) {
        QWidget* w = controls_.contains(name)  ? control(name)
                     : buttons_.contains(name) ? static_cast<QWidget*>(buttons_.value(name))
                                               : commentsOff_;
        if (prev) QWidget::setTabOrder(prev, w);
        prev = w;
    }
}
