#include "params/ui/ParametryPage.h"

#include "live/IgnitionPage.h"
#include "live/LiveModel.h"
#include "live/ui/Instruments.h"
#include "live/ui/ReadingsPanel.h"
#include "params/KeyboardMap.h"
#include "params/ParamCompare.h"
#include "params/ParamFile.h"
#include "params/ParamTable.h"
#include "params/ParameterModel.h"
#include "params/SessionTexts.h"
#include "params/Validation.h"
#include "params/ui/DifferencesDialog.h"
#include "params/ui/PageTexts.h"
#include "params/ui/PasteFilter.h"
#include "shell/DataPaths.h"
#include "shell/Layouts.h"
#include "shell/ShellTexts.h"
#include "widgets/TColor.h"
#include "widgets/TColorButton.h"
#include "widgets/TGradientPanel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

using keyboard::ControlKind;

namespace {

// The entry controls in tab order with the parameter each shows.
const std::vector<ParamId>& bindings() {
    return pageTabOrder();
}

QString controlOf(ParamId id) {
    return paramDef(id).control;
}

QString listName(int number) {
    for (const keyboard::EntryControl& e : keyboard::entryControls())
        if (e.listNumber == number) return e.control;
    return {};
}

bool flagOn(const QString& text) {
    return !text.isEmpty() && text != QLatin1String("0");
}

void setPointSize(QWidget* w, int size) {
    QFont f = w->font();
    if (f.pointSize() == size) return;
    f.setPointSize(size);
    w->setFont(f);
}

// Caption labels of check boxes: the check-box label font of the layout.
bool isCheckLabel(const QString& name) {
    return name == QLatin1String("CheckBox8_2_label") || name == QLatin1String("CheckBox13_3_Label") ||
           name == QLatin1String("checkbox22_2_label") || name == QLatin1String("CheckBox15_Label");
}

} // namespace

ParametryPage::ParametryPage(Models models, QWidget* parent) : QWidget(parent), m_(models) {
    setObjectName(QStringLiteral("ParametryTab"));
    buildControls();
    buildLayout();
    connectReactions();
    setTabOrderChain();
    fillFrom(m_.params.page());
    applyFeatures(m_.live.features());

    connect(&m_.params, &ParameterModel::filled, this, [this] { fillFrom(m_.params.page()); });
    connect(&m_.params, &ParameterModel::marksChanged, this, &ParametryPage::showMarks);
    connect(&m_.live, &LiveModel::featuresChanged, this, &ParametryPage::applyFeatures);

    // What the session's exchanges bring.
    params::ParameterSession& session = m_.paramSession;
    session.setCaptions([this](ParamId id) { return caption(id); });
    connect(&session, &params::ParameterSession::message, this,
            [this](params::ParameterSession::Severity s, const QString& caption, const QString& text) {
                using S = params::ParameterSession::Severity;
                const QMessageBox::Icon icon = s == S::Critical      ? QMessageBox::Critical
                                               : s == S::Warning     ? QMessageBox::Warning
                                               : s == S::Information ? QMessageBox::Information
                                                                     : QMessageBox::NoIcon;
                showMessage(icon, caption, text);
            });
    connect(&session, &params::ParameterSession::featureVersionRead, &m_.live, &LiveModel::setVersionCode);
    connect(&session, &params::ParameterSession::ignitionRead, &m_.live, &LiveModel::setIgnitionChoice);
    connect(&session, &params::ParameterSession::wizardFinished, this, [this] {
        m_.shell.keyboardFlag = false;
        control(QStringLiteral("ComboBox1"))->setFocus(Qt::OtherFocusReason);
    });
    connect(&session, &params::ParameterSession::compared, this, &ParametryPage::showDifferences);
    connect(&session, &params::ParameterSession::compareFailed, this,
            [this](const QString& text) { showMessage(QMessageBox::Warning, compare_->text(), text); });
}

// ---------------------------------------------------------------- building

void ParametryPage::buildControls() {
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
    for (const char* n : {"Edit10", "Edit16", "Edit17"})
        control(QString::fromLatin1(n))->setEnabled(false);
    combo(QStringLiteral("ComboBox21"))->setCurrentIndex(1);

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
    fitCompareCaption();
    connect(&m_.shell, &ShellModel::textsChanged, this, &ParametryPage::fitCompareCaption);

    info_ = new QLabel(this);
    info_->setObjectName(QStringLiteral("info"));
    info_->setWordWrap(true);
    info_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont f = info_->font();
    f.setBold(true);
    info_->setFont(f);
    QPalette p = info_->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    info_->setPalette(p);
    info_->setMinimumHeight(44);

    commentsOff_ = new QCheckBox(this);
    commentsOff_->setObjectName(QStringLiteral("WylaczkomentarzeCheck"));
    auto* commentsLabel = new QLabel(QStringLiteral("Wylacz komentarze"), this);
    commentsLabel->setObjectName(QStringLiteral("WylaczkomentarzeCheckLabel"));
    commentsLabel->setBuddy(commentsOff_);
    commentsLabel->installEventFilter(this);

    readings_ = new ReadingsPanel(m_, this);
}

void ParametryPage::buildLayout() {
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
    auto gradient = [this](const char* name) {
        auto* g = new TGradientPanel(this);
        g->setObjectName(QString::fromLatin1(name));
        liveui::setLightGradient(g);
        return g;
    };
    TGradientPanel* columns = gradient("GradPanel23");
    TGradientPanel* side = gradient("GradPanel24");
    TGradientPanel* bottom = gradient("GradPanelPanelDol");

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
    QLabel* commentsLabel = findChild<QLabel*>(QStringLiteral("WylaczkomentarzeCheckLabel"));
    commentsLabel->setWordWrap(true);
    commentsRow->addWidget(commentsLabel, 1);
    auto* sideColumn = new QVBoxLayout(side);
    sideColumn->setContentsMargins(4, 2, 4, 2);
    sideColumn->setSpacing(3);
    sideColumn->addWidget(readings_);
    QStringList sideButtons = keyboard::pageButtons();
    sideButtons << compare_->objectName();
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

void ParametryPage::sizeFields() {
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

void ParametryPage::applyLayoutNumbers(const shell::layout::ParamPageNumbers& n) {
    const shell::layout::ParamPageMetrics m = shell::layout::paramPageMetrics(n.font);
    for (QLabel* l : std::as_const(labels_)) {
        const QString name = l->objectName();
        const bool longLabel = name == QLatin1String("Label8") || name == QLatin1String("Label18");
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
    if (QWidget* l = findChild<QWidget*>(QStringLiteral("WylaczkomentarzeCheckLabel")))
        setPointSize(l, m.checkLabelFont());
    // The readings and the buttons stand in the third column and share what
    // the two columns of groups leave: a moderate type, captions that wrap.
    const int sideFont = m.font >= 21 ? 12 : m.font >= 16 ? 10 : m.font >= 12 ? 9 : 8;
    for (QAbstractButton* b : std::as_const(buttons_))
        setPointSize(b, sideFont);
    setPointSize(readings_, sideFont);
    for (QLabel* l : readings_->findChildren<QLabel*>())
        setPointSize(l, sideFont);
}

void ParametryPage::connectReactions() {
    // Check boxes react to every change of state, also when the program sets it.
    connect(checkBox(QStringLiteral("CheckBox13_3")), &QCheckBox::toggled, this, [this](bool on) {
        const QString t = on ? QStringLiteral("0") : QStringLiteral("500");
        edit(QStringLiteral("Edit13_1"))->setText(t);
        edit(QStringLiteral("Edit13_2"))->setText(t);
        m_.params.setValue(ParamId::LambdaBosch, on ? QStringLiteral("1") : QStringLiteral("0"));
        m_.params.setWritten(false);
    });
    connect(checkBox(QStringLiteral("CheckBox15")), &QCheckBox::toggled, this, [this](bool on) {
        edit(QStringLiteral("Edit16"))->setEnabled(on);
        edit(QStringLiteral("Edit17"))->setEnabled(on);
        m_.params.setValue(ParamId::CutoffOn, on ? QStringLiteral("1") : QStringLiteral("0"));
        m_.params.setWritten(false);
    });
    connect(checkBox(QStringLiteral("CheckBox22_2")), &QCheckBox::toggled, this, [this](bool on) {
        // The temperature read-out follows the switch (on a temperature-capable
        // controller); the sensor bit goes out with the next write.
        m_.params.setValue(ParamId::TempSensorOn, on ? QStringLiteral("1") : QStringLiteral("0"));
        m_.params.setWritten(false);
    });
    connect(checkBox(QStringLiteral("CheckBox8_2")), &QCheckBox::toggled, this,
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
    const std::pair<QAbstractButton*, void (ParametryPage::*)()> actions[] = {
        {buttons_.value(QStringLiteral("odczButPic")), &ParametryPage::odczButPicClick},
        {buttons_.value(QStringLiteral("ZapButPic")), &ParametryPage::ZapButPicClick},
        {buttons_.value(QStringLiteral("ResButt")), &ParametryPage::ResButtClick},
        {buttons_.value(QStringLiteral("OdczytButtPlik")), &ParametryPage::OdczytButtPlikClick},
        {buttons_.value(QStringLiteral("ZapiszButtPlik")), &ParametryPage::ZapiszButtPlikClick},
        {compare_, &ParametryPage::PorownajButtClick}};
    for (const auto& [button, action] : actions)
        connect(button, &QAbstractButton::clicked, this, [this, action = action] {
            m_.paramSession.whenIdle(this, [this, action] { (this->*action)(); });
        });
}

void ParametryPage::setTabOrderChain() {
    tabOrder_.clear();
    for (const keyboard::EntryControl& e : keyboard::entryControls())
        tabOrder_ << e.control;
    tabOrder_ << keyboard::pageButtons();
    tabOrder_ << compare_->objectName();
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

// ---------------------------------------------------------------- access

QLineEdit* ParametryPage::edit(const QString& name) const {
    return qobject_cast<QLineEdit*>(control(name));
}
QComboBox* ParametryPage::combo(const QString& name) const {
    return qobject_cast<QComboBox*>(control(name));
}
QCheckBox* ParametryPage::checkBox(const QString& name) const {
    return qobject_cast<QCheckBox*>(control(name));
}

QString ParametryPage::textOf(const QString& name) const {
    if (QLineEdit* le = edit(name)) return le->text();
    return {};
}

bool ParametryPage::commentsOn() const {
    return !commentsOff_->isChecked();
}

void ParametryPage::showMessage(QMessageBox::Icon icon, const QString& caption, const QString& fullText) {
    const QString text = shortened(fullText);
    if (messageHandler_) {
        messageHandler_(icon, caption, text);
        return;
    }
    // A wait cursor over a message box would hide that the program waits for the fitter.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox box(icon, caption, text, QMessageBox::Ok, this);
    box.exec();
    if (busy) QApplication::restoreOverrideCursor();
}

// ---------------------------------------------------------------- transfers

void ParametryPage::fillFrom(const ParameterSet& set) {
    filling_ = true;
    // Check boxes first: their reactions set dependent fields (the Bosch box
    // sets both lambda times), and the values of the set must win over them.
    for (ParamId id : bindings()) {
        if (QCheckBox* box = checkBox(controlOf(id))) box->setChecked(flagOn(set[id]));
    }
    for (ParamId id : bindings()) {
        const QString name = controlOf(id);
        const QString& value = set[id];
        if (QLineEdit* le = edit(name)) {
            le->setText(value);
        } else if (QComboBox* cb = combo(name)) {
            bool ok = false;
            const int index = value.trimmed().toInt(&ok);
            cb->setCurrentIndex(ok && index >= 0 && index < cb->count() ? index : -1);
        }
    }
    edit(QStringLiteral("Edit10"))->setEnabled(combo(QStringLiteral("ComboBox9"))->currentIndex() > 0);
    const bool cutoff = set[ParamId::CutoffOn] == QLatin1String("1");
    edit(QStringLiteral("Edit16"))->setEnabled(cutoff);
    edit(QStringLiteral("Edit17"))->setEnabled(cutoff);
    filling_ = false;
    for (ParamId id : bindings())
        pushToModel(controlOf(id));
}

void ParametryPage::pushToModel(const QString& name) {
    // While the page is being filled the controls pass through values the set
    // does not hold (a check box's reaction); the model takes the end result.
    if (filling_) return;
    if (const ParamDef* d = paramByControl(name)) {
        QString value;
        if (QLineEdit* le = edit(name))
            value = le->text();
        else if (QComboBox* cb = combo(name))
            value = QString::number(cb->currentIndex());
        else if (QCheckBox* box = checkBox(name))
            value = box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
        m_.params.setPageValue(d->id, value);
    }
}

// ---------------------------------------------------------------- exchanges

QString ParametryPage::caption(ParamId id) const {
    const ParamDef& d = paramDef(id);
    const QString source = d.labels.empty() ? QString() : d.labels.front().name;
    return pagetexts::text(m_.shell, pagetexts::captionKey(source), d.label);
}

ParametryPage::Edits ParametryPage::askAboutUnwritten() {
    const std::vector<ParamId> unwritten = m_.params.unwrittenValues();
    if (unwritten.empty()) return Edits::Discard;
    namespace st = params::sessiontext;
    const params::ParameterSession& session = m_.paramSession;
    const QString text = shortened(session.text(st::UnwrittenQuestion).arg(session.captions(unwritten)));
    if (questionHandler_) return questionHandler_(text);
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Quendrix"), text, QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("NiezapisaneBox"));
    QPushButton* write = box.addButton(session.text(st::UnwrittenWrite), QMessageBox::YesRole);
    QPushButton* discard = box.addButton(session.text(st::UnwrittenDiscard), QMessageBox::NoRole);
    QPushButton* keep = box.addButton(session.text(st::UnwrittenKeep), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    if (busy) QApplication::restoreOverrideCursor();
    return box.clickedButton() == write     ? Edits::Write
           : box.clickedButton() == discard ? Edits::Discard
                                            : Edits::Keep;
}

void ParametryPage::applyFeatures(const live::VersionFeatures& f) {
    for (const char* name : {"CheckBox22_2", "Edit22_1"})
        control(QString::fromLatin1(name))->setVisible(f.temperatureControls);
    for (const char* name : {"checkbox22_2_label", "minprzelbgLabel"})
        labels_.value(QString::fromLatin1(name))->setVisible(f.temperatureControls);
}

void ParametryPage::showMarks() {
    for (ParamId id : bindings()) {
        QWidget* w = control(controlOf(id));
        const FieldMark* mark = m_.params.markOf(id);
        const bool marked = mark != nullptr;
        if (w->property("marked").toBool() == marked && (!marked || w->toolTip() == mark->message)) continue;
        w->setProperty("marked", marked);
        w->setToolTip(marked ? mark->message : QString());
        // A frame and a warm background stand out under every skin.
        w->setStyleSheet(marked ? QStringLiteral("background-color: #ffd27f; border: 2px solid #c03000;")
                                : QString());
    }
    if (const keyboard::EntryControl* e = keyboard::entryControl(focused_)) {
        QString comment;
        if (e->commentKey) comment = m_.shell.text(e->commentKey, e->comment);
        showInfo(focused_, comment);
    }
}

void ParametryPage::showInfo(const QString& control, const QString& comment) {
    QString text = commentsOn() ? comment : QString();
    // A marked field's warning shows whether comments are on or not.
    if (const ParamDef* d = paramByControl(control))
        if (const FieldMark* mark = m_.params.markOf(d->id))
            text = text.isEmpty() ? mark->message : text + QStringLiteral("\n") + mark->message;
    info_->setText(text);
}

void ParametryPage::enterPage() {
    m_.paramSession.enterPage(askAboutUnwritten());
    QWidget* first = control(QStringLiteral("ComboBox1"));
    if (first->hasFocus())
        focusDisplay(first->objectName());
    else
        first->setFocus(Qt::OtherFocusReason);
}

void ParametryPage::odczButPicClick() {
    const Edits edits = askAboutUnwritten();
    if (edits != Edits::Keep) {
        if (!m_.shell.keyboardFlag) control(QStringLiteral("ComboBox1"))->setFocus(Qt::OtherFocusReason);
        m_.paramSession.read(edits);
    }
    m_.shell.keyboardFlag = false;
}

void ParametryPage::ZapButPicClick() {
    const bool keyboard = m_.shell.keyboardFlag;
    if (!keyboard) control(QStringLiteral("ComboBox1"))->setFocus(Qt::OtherFocusReason);
    m_.paramSession.write(keyboard ? params::ParameterSession::WriteKind::Keyboard
                                   : params::ParameterSession::WriteKind::Button);
    m_.shell.keyboardFlag = false;
}

void ParametryPage::ResButtClick() {
    if (!m_.shell.keyboardFlag) control(QStringLiteral("ComboBox1"))->setFocus(Qt::OtherFocusReason);
    m_.paramSession.reset();
    m_.shell.keyboardFlag = false;
}

void ParametryPage::finishWizard() {
    m_.paramSession.finishWizard();
}

// ---------------------------------------------------------------- files

QString ParametryPage::chooseFile(FileDialogKind kind) {
    if (fileChooser_) return fileChooser_(kind);
    const bool save = kind == FileDialogKind::Save;
    QAbstractButton* button =
        buttons_.value(save ? QStringLiteral("ZapiszButtPlik") : QStringLiteral("OdczytButtPlik"));
    QFileDialog dialog(this, button->text(), shell::parameterDialogFolder(),
                       QStringLiteral("Pliki Quendrix (*.qx4)"));
    dialog.setObjectName(save ? QStringLiteral("SaveParametry") : QStringLiteral("OtworzParam"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("qx4"));
    // The save dialog asks before replacing a file (QFileDialog's default).
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void ParametryPage::ZapiszButtPlikClick() {
    const QString path = chooseFile(FileDialogKind::Save);
    if (path.isEmpty()) return;
    QString error;
    if (!saveParameterFile(path, m_.params.page(), &error))
        showMessage(QMessageBox::Critical, QStringLiteral("Quendrix"), error);
}

void ParametryPage::OdczytButtPlikClick() {
    const QString path = chooseFile(FileDialogKind::Open);
    if (path.isEmpty()) return;
    m_.paramSession.loadFile(path, m_.live.temperatureCapable());
}

// ---------------------------------------------------------------- comparison

void ParametryPage::fitCompareCaption() {
    const QString caption =
        pagetexts::text(m_.shell, pagetexts::CompareCaption, QString::fromUtf8("Porównaj ze sterownikiem"));
    if (compare_->text() != caption) compare_->setText(caption);
    // A caption longer than the button is wide goes onto more lines: the
    // button is as tall as they need (its caption sits 6 px in from each side
    // and 3 px from top and bottom).
    const int width = std::max(compare_->width(), 120) - 14;
    const QRect need = compare_->fontMetrics().boundingRect(QRect(0, 0, width, 400),
                                                            Qt::TextWordWrap | Qt::AlignCenter, caption);
    compare_->setMinimumHeight(std::max(28, need.height() + 10));
}

void ParametryPage::PorownajButtClick() {
    m_.paramSession.compare();
}

void ParametryPage::showDifferences(const std::vector<ParamDifference>& differences,
                                    const QStringList& marked) {
    if (differences_) differences_->close();
    // Fields whose bytes the page cannot show are never "the same".
    const QString markedNote =
        marked.isEmpty()
            ? QString()
            : m_.paramSession.text(params::sessiontext::CompareMarked).arg(marked.join(QStringLiteral(", ")));
    if (differences.empty() && marked.isEmpty()) {
        showMessage(QMessageBox::Information, compare_->text(),
                    pagetexts::text(m_.shell, pagetexts::CompareSame,
                                    QString::fromUtf8("Strona pokazuje te same parametry co sterownik.")));
        return;
    }
    if (differences.empty()) {
        showMessage(QMessageBox::Warning, compare_->text(), markedNote);
        return;
    }
    const QStringList headers = {
        pagetexts::text(m_.shell, pagetexts::CompareParameter, QStringLiteral("Parametr")),
        pagetexts::text(m_.shell, pagetexts::ComparePage, QStringLiteral("Na stronie")),
        pagetexts::text(m_.shell, pagetexts::CompareController, QStringLiteral("W sterowniku"))};
    differences_ = makeDifferencesDialog(this, compare_->text(), headers, differences, markedNote);
    differences_->show();
}

void ParametryPage::DefaultOptionClick() {
    m_.paramSession.defaultSettings(askAboutUnwritten());
}

// ---------------------------------------------------------------- checks

bool ParametryPage::runCheck(QLineEdit* field, bool enter) {
    const validation::FieldRule* rule = validation::fieldRule(field->objectName());
    if (!rule || checking_) return true;
    checking_ = true;
    const validation::Checked r =
        validation::checkField(*rule, field->text(), enter, [this](const QString& n) { return textOf(n); });
    if (r.text != field->text()) field->setText(r.text);
    if (!r.ok())
        showMessage(QMessageBox::Critical, QStringLiteral("Quendrix"),
                    validation::faultMessage(r, m_.shell.text(textkey::NotFloat),
                                             m_.shell.text(textkey::NotInteger)));
    checking_ = false;
    return r.ok();
}

bool ParametryPage::checkOnLeave(QLineEdit* field) {
    return runCheck(field, false);
}
bool ParametryPage::checkOnEnter(QLineEdit* field) {
    return runCheck(field, true);
}

bool ParametryPage::leaveByTab() {
    // The field being edited is left by this click too; its check comes first.
    if (auto* le = qobject_cast<QLineEdit*>(QApplication::focusWidget()); le && isAncestorOf(le))
        if (!checkOnLeave(le)) return false;

    const validation::LeaveResult r =
        validation::leaveChecks(textOf(QStringLiteral("Edit11_1")), textOf(QStringLiteral("Edit11_2")),
                                textOf(QStringLiteral("Edit12")), textOf(QStringLiteral("Edit14")),
                                textOf(QStringLiteral("Edit2")), textOf(QStringLiteral("Edit18")));
    for (const validation::LeaveMessage& m : r.messages)
        showMessage(QMessageBox::Critical, QStringLiteral("Quendrix"), m_.shell.text(m.textKey) + m.suffix);
    return r.allowed;
}

// ---------------------------------------------------------------- focus and keys

void ParametryPage::clearHighlights() {
    // Transparent again; the palette (a skin may have set it) is left alone.
    for (const QString& name : keyboard::captionLabels())
        if (QLabel* l = labels_.value(name)) l->setAutoFillBackground(false);
}

void ParametryPage::highlightLabels(const QString& name) {
    clearHighlights();
    const keyboard::EntryControl* e = keyboard::entryControl(name);
    if (!e) return;
    for (const QString& label : e->highlight)
        if (QLabel* l = labels_.value(label)) {
            QPalette p = l->palette();
            p.setColor(QPalette::Window, tColor(m_.shell.labelHighlight));
            l->setPalette(p);
            l->setAutoFillBackground(true);
        }
}

void ParametryPage::refreshLabelHighlight() {
    highlightLabels(focused_);
}

void ParametryPage::focusDisplay(const QString& name) {
    const keyboard::EntryControl* e = keyboard::entryControl(name);
    if (!e) return;
    focused_ = name;
    QString comment;
    if (e->commentKey) {
        comment = m_.shell.text(e->commentKey);
        if (comment.isEmpty()) comment = e->comment;
    }
    showInfo(name, comment);

    highlightLabels(name);

    switch (e->panel) {
    case keyboard::PanelRule::Comment:
        m_.shell.setMessage(comment);
        break;
    case keyboard::PanelRule::Clear:
        m_.shell.setMessage(QString());
        break;
    case keyboard::PanelRule::Keep:
        break;
    }
    lastList_ = e->listNumber;
    if (name == QLatin1String("ComboBox20") || name == QLatin1String("ComboBox21"))
        m_.params.setWritten(false);
}

void ParametryPage::moveByPageKey(QWidget* from, bool down) {
    const QString target = keyboard::pageKeyTarget(
        from ? from->objectName() : QString(), down, tabOrder_, [this](const QString& n) {
            QWidget* w = controls_.contains(n)             ? control(n)
                         : buttons_.contains(n)            ? static_cast<QWidget*>(buttons_.value(n))
                         : n == commentsOff_->objectName() ? commentsOff_
                                                           : nullptr;
            return w && w->isEnabled() && !w->isHidden() && w->isVisibleTo(this);
        });
    if (target.isEmpty()) return;
    QWidget* w = controls_.contains(target)  ? control(target)
                 : buttons_.contains(target) ? static_cast<QWidget*>(buttons_.value(target))
                                             : commentsOff_;
    w->setFocus(down ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void ParametryPage::listActivated(QComboBox* list) {
    m_.params.setWritten(false);
    if (list->objectName() == QLatin1String("ComboBox9"))
        edit(QStringLiteral("Edit10"))->setEnabled(list->currentIndex() != 0);
}

void ParametryPage::closingEnter(QComboBox* list) {
    const int highlighted = list->view()->currentIndex().row();
    list->hidePopup();
    if (highlighted >= 0) list->setCurrentIndex(highlighted);
    // The highlighted item is the fitter's choice, as a selection with the mouse is.
    listActivated(list);
    keyboardWrite();
    moveByPageKey(list, true);
    openList_ = false;
    // ComboBox4 clears the flag on every character typed into it, this Enter included.
    if (list->objectName() == QLatin1String("ComboBox4")) m_.params.setWritten(false);
}

void ParametryPage::labelClicked(const QString& label) {
    if (label == QLatin1String("WylaczkomentarzeCheckLabel")) {
        commentsOff_->setFocus(Qt::MouseFocusReason);
        return;
    }
    const QString target = keyboard::labelTarget(label);
    QWidget* w = control(target);
    if (w && w->isEnabled() && w->isVisibleTo(this)) w->setFocus(Qt::MouseFocusReason);
}

void ParametryPage::keyboardWrite() {
    m_.paramSession.whenIdle(this, [this] {
        m_.shell.keyboardFlag = true;
        ZapButPicClick();
    });
}

void ParametryPage::dalejPressed() {
    QWidget* fw = QApplication::focusWidget();
    // A key that comes while the page is still being filled (the wizard has
    // just handed over, or the page was just entered), or while the focus is
    // elsewhere, would write a set the fitter has not seen.
    if (m_.paramSession.filling() || !fw || !isAncestorOf(fw)) return;
    const QString name = fw->objectName();
    if (QAbstractButton* b = buttons_.value(name)) {
        if (b->isEnabled()) b->click();
        return;
    }
    if (lastList_ >= 1 && lastList_ <= 5) {
        if (openList_) return;
        QComboBox* cb = combo(listName(lastList_));
        if (!cb->hasFocus()) cb->setFocus(Qt::OtherFocusReason);
        openList_ = true;
        cb->showPopup();
        return;
    }
    if (QLineEdit* le = edit(name))
        if (!checkOnEnter(le)) return;
    openList_ = false;
    keyboardWrite();
    moveByPageKey(fw, true);
}

void ParametryPage::cofnijPressed() {
    QWidget* fw = QApplication::focusWidget();
    if (!fw || !isAncestorOf(fw)) return;
    if (auto* le = qobject_cast<QLineEdit*>(fw)) {
        le->cursorBackward(false);
        le->del();
        return;
    }
    for (int key : {Qt::Key_Left, Qt::Key_Delete}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(fw, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(fw, &release);
    }
}

bool ParametryPage::filterEditKey(QLineEdit* field, QKeyEvent* key) {
    if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut) ||
        key->matches(QKeySequence::Copy))
        return true;
    if (key->key() == Qt::Key_Backspace) {
        cofnijPressed();
        return true;
    }
    const QString text = key->text();
    if (text.isEmpty()) return false;
    const QChar c = text.at(0);
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t') || c == QChar(27))
        return false; // Enter, Tab and Escape are not typing
    const validation::FieldRule* rule = validation::fieldRule(field->objectName());
    const validation::Filter filter = rule && rule->kind == validation::Kind::Decimal
                                          ? validation::Filter::Decimal
                                          : validation::Filter::Digit;
    const std::optional<QChar> pass = validation::filterKey(filter, c);
    if (!pass) return true;
    const bool typing = pass->unicode() != 8 && pass->unicode() != 127;
    if (typing && rule && field->text().size() - field->selectedText().size() >= rule->maxLength) return true;
    if (*pass != c) {
        field->insert(QString(*pass));
        return true;
    }
    return false;
}

bool ParametryPage::handleEntryKey(QWidget* w, QKeyEvent* key) {
    const keyboard::EntryControl* e = keyboard::entryControl(w->objectName());
    if (!e) return false;
    if (key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp) {
        moveByPageKey(w, key->key() == Qt::Key_PageDown);
        return true;
    }
    switch (e->kind) {
    case ControlKind::Edit:
        return filterEditKey(static_cast<QLineEdit*>(w), key);
    case ControlKind::List: {
        const QString text = key->text();
        if (text.isEmpty() || text.at(0) == QLatin1Char('\t')) return false;
        // Typing does not select an item in these lists.
        if (e->control == QLatin1String("ComboBox4")) m_.params.setWritten(false);
        return text.at(0) != QLatin1Char('\r');
    }
    case ControlKind::Check:
        return false;
    }
    return false;
}

bool ParametryPage::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) return QWidget::eventFilter(watched, event);
    if (w == compare_) {
        if (event->type() == QEvent::Resize) fitCompareCaption();
        return QWidget::eventFilter(watched, event);
    }
    const QString name = w->objectName();

    if (name.endsWith(QLatin1String("_view"))) {
        // The popup takes Enter already at the shortcut stage; the key press
        // that follows has nothing left to do.
        if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                if (event->type() == QEvent::ShortcutOverride && w->isVisible()) {
                    key->accept();
                    closingEnter(combo(name.chopped(5)));
                }
                return true;
            }
        }
        return QWidget::eventFilter(watched, event);
    }

    if (labels_.contains(name) || name == QLatin1String("WylaczkomentarzeCheckLabel")) {
        if (event->type() == QEvent::MouseButtonPress) labelClicked(name);
        return QWidget::eventFilter(watched, event);
    }

    if (!controls_.contains(name)) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Returning from a message box or a list's popup is not entering the field.
        if ((reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) || name != focused_)
            focusDisplay(name);
        break;
    }
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (auto* le = qobject_cast<QLineEdit*>(w);
            le && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            checkOnLeave(le);
        break;
    }
    case QEvent::MouseButtonPress:
        if (qobject_cast<QLineEdit*>(w)) m_.params.setWritten(false);
        break;
    case QEvent::KeyPress:
        if (handleEntryKey(w, static_cast<QKeyEvent*>(event))) return true;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
