#include "shell/ui/LayoutApplier.h"
#include "core/Controls.h"

#include "widgets/TAnalogGauge.h"
#include "widgets/TColorButton.h"
#include "widgets/TFlatCheckBox.h"
#include "widgets/TGauge.h"
#include "widgets/TGradientPanel.h"
#include "widgets/THalfRoundMeter.h"
#include "widgets/TLedLamp.h"
#include "widgets/TReadout.h"
#include "widgets/TRoundMeter.h"
#include "widgets/TThermometer.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QStackedWidget>
#include <QTabWidget>
#include <optional>

using Id = ctl::ControlId;

using namespace shell::layout;

namespace {

const QString ParamPage = ctl::name(Id::ParametryTab);
const QString PrintTab = ctl::name(Id::DrukowanieTab);
const QString WizardTabs = ctl::name(Id::PageControl2);

bool isContainer(const QWidget* w) {
    const QMetaObject* m = w->metaObject();
    return m == &QWidget::staticMetaObject || m == &QFrame::staticMetaObject ||
           qobject_cast<const QGroupBox*>(w) || qobject_cast<const TGradientPanel*>(w) ||
           qobject_cast<const QStackedWidget*>(w);
}

// Page backgrounds: a control covering its parent exactly, or a gradient panel
// at the corner of a tab page (the tab widget sizes its pages itself, and the
// layout table sizes the page controls apart from the factor: a background
// scaled by the factor would leave bare bands or reach past the page).
bool fillsParent(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    const bool onTabPage = qobject_cast<const QStackedWidget*>(parent->parentWidget()) &&
                           qobject_cast<const QTabWidget*>(parent->parentWidget()->parentWidget());
    if (onTabPage && qobject_cast<const TGradientPanel*>(w) && w->pos() == QPoint(0, 0)) return true;
    if (kindByName(w->objectName())) return false;
    return !parent->rect().isEmpty() && w->geometry() == parent->rect();
}

ControlKind classify(const QWidget* w) {
    if (const auto k = kindByName(w->objectName())) return *k;
    if (qobject_cast<const THalfRoundMeter*>(w)) return ControlKind::HalfMeter;
    if (qobject_cast<const TRoundMeter*>(w)) return ControlKind::RoundMeter;
    if (qobject_cast<const TThermometer*>(w)) return ControlKind::Thermometer;
    if (qobject_cast<const TGauge*>(w)) return ControlKind::VerticalGauge;
    if (qobject_cast<const TLedLamp*>(w)) return ControlKind::Lamp;
    if (qobject_cast<const TColorButton*>(w)) return ControlKind::ColourButton;
    if (qobject_cast<const QAbstractButton*>(w)) return ControlKind::CheckBox;
    if (qobject_cast<const QComboBox*>(w) || qobject_cast<const QLineEdit*>(w)) return ControlKind::Combo;
    if (const auto* l = qobject_cast<const QLabel*>(w))
        return l->pixmap().isNull() ? ControlKind::Label : ControlKind::NoFont;
    if (qobject_cast<const TReadout*>(w)) return ControlKind::Label;
    if (qobject_cast<const QGroupBox*>(w)) return ControlKind::Group;
    if (isContainer(w)) return ControlKind::Group;
    return ControlKind::NoFont; // instruments without a font, pictures, spin buttons, charts
}

void setPointSize(QWidget* w, int size, bool bold) {
    QFont f = w->font();
    f.setPointSize(size);
    f.setBold(bold);
    w->setFont(f);
}

// Parameter rows: caption label and its fields, top to bottom.
struct Row {
    Id label;
    std::optional<Id> fields[2];
};
constexpr Row ParamRows[] = {
    {Id::Label1, {Id::ComboBox1, std::nullopt}},   {Id::Label2, {Id::Edit2, std::nullopt}},
    {Id::Label3, {Id::Edit3, std::nullopt}},       {Id::Label4, {Id::ComboBox4, std::nullopt}},
    {Id::Label5, {Id::Edit5, std::nullopt}},       {Id::Label6, {Id::Edit6, std::nullopt}},
    {Id::Label7, {Id::Edit7, std::nullopt}},       {Id::Label8, {Id::Edit8_1, std::nullopt}},
    {Id::Label9, {Id::ComboBox9, std::nullopt}},   {Id::Label10, {Id::Edit10, std::nullopt}},
    {Id::Label12, {Id::Edit11_1, Id::Edit11_2}},   {Id::Label13, {Id::Edit12, std::nullopt}},
    {Id::Label14, {Id::Edit13_1, Id::Edit13_2}},   {Id::Label16, {Id::Edit14, std::nullopt}},
    {Id::Label17, {Id::CheckBox15, std::nullopt}}, {Id::Label18, {Id::Edit16, std::nullopt}},
    {Id::Label19, {Id::Edit17, std::nullopt}},     {Id::Label20, {Id::Edit18, std::nullopt}},
    {Id::Label21, {Id::Edit19, std::nullopt}},     {Id::Label22, {Id::ComboBox20, std::nullopt}},
    {Id::Label23, {Id::ComboBox21, std::nullopt}}, {Id::minprzelbgLabel, {Id::Edit22_1, std::nullopt}},
};
// Check boxes at the left edge with their labels beside them.
constexpr std::pair<Id, Id> LeftChecks[] = {
    {Id::CheckBox8_2, Id::CheckBox8_2_label},
    {Id::CheckBox13_3, Id::CheckBox13_3_Label},
    {Id::CheckBox22_2, Id::checkbox22_2_label},
};
constexpr Id ParamLabels[] = {Id::Label1,
                              Id::Label2,
                              Id::Label3,
                              Id::Label4,
                              Id::Label5,
                              Id::Label6,
                              Id::Label7,
                              Id::Label8,
                              Id::Label9,
                              Id::Label10,
                              Id::Label12,
                              Id::Label13,
                              Id::Label14,
                              Id::Label16,
                              Id::Label17,
                              Id::Label18,
                              Id::Label19,
                              Id::Label20,
                              Id::Label21,
                              Id::Label22,
                              Id::Label23,
                              Id::checkbox22_2_label,
                              Id::CheckBox13_3_Label,
                              Id::CheckBox8_2_label,
                              Id::CheckBox15_Label,
                              Id::minprzelbgLabel};
constexpr Id LeftGroups[] = {Id::GroupBox20, Id::GroupBox9, Id::GroupBox14};
constexpr Id RightGroups[] = {Id::GroupBox22, Id::GroupBox8, Id::GroupBox21};
constexpr Id ParamButtons[] = {Id::ResButt, Id::ZapButPic, Id::odczButPic, Id::OdczytButtPlik,
                               Id::ZapiszButtPlik};

} // namespace

LayoutApplier::LayoutApplier(QMainWindow* window) : QObject(window), window_(window) {}

QWidget* LayoutApplier::named(const QString& name) const {
    return window_->findChild<QWidget*>(name);
}

QRect LayoutApplier::paramDesign(const QString& name) const {
    return paramDesign_.value(name);
}

QRect LayoutApplier::designBounds(const QWidget* w) const {
    if (!w) return {};
    if (w == pages_) return pagesDesign_;
    if (w == wizardPages_) return wizardDesign_;
    for (const Scaled& s : scaled_)
        if (s.widget == w) return s.design;
    return paramDesign_.value(w->objectName());
}

void LayoutApplier::addFiller(QWidget* w) {
    fillers_.append(w);
    w->parentWidget()->installEventFilter(this);
}

void LayoutApplier::walk(QWidget* parent, bool record) {
    const bool laidOut = parent->layout() != nullptr;
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow()) continue;
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            if (w->objectName() == WizardTabs) {
                wizardPages_ = tabs;
                wizardDesign_ = tabs->geometry();
            } else if (record && !laidOut) {
                scaled_.append({w, w->geometry(), ControlKind::NoFont, false});
            }
            for (int i = 0; i < tabs->count(); ++i)
                walk(tabs->widget(i), record);
            continue;
        }
        if (!laidOut) {
            if (fillsParent(w))
                addFiller(w);
            else if (record)
                scaled_.append({w, w->geometry(), classify(w), w->font().bold()});
        }
        if (isContainer(w)) walk(w, record);
    }
}

void LayoutApplier::recordDesignBounds() {
    if (recorded_) return;
    recorded_ = true;
    pages_ = window_->findChild<QTabWidget*>(ctl::name(Id::pagecontrol1));
    if (!pages_) return;
    pagesDesign_ = pages_->geometry();
    for (int i = 0; i < pages_->count(); ++i) {
        QWidget* page = pages_->widget(i);
        const bool own = page->objectName() == ParamPage || page->objectName() == PrintTab;
        walk(page, !own);
        if (own)
            for (QWidget* w : page->findChildren<QWidget*>())
                if (!w->objectName().isEmpty()) {
                    paramDesign_.insert(w->objectName(), w->geometry());
                }
    }
}

bool LayoutApplier::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize)
        for (const QPointer<QWidget>& f : std::as_const(fillers_))
            if (f && f->parentWidget() == watched) f->setGeometry(f->parentWidget()->rect());
    return QObject::eventFilter(watched, event);
}

void LayoutApplier::setZoomBox(bool on) {
    if (window_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint) == on) return;
    const bool visible = window_->isVisible();
    window_->setWindowFlag(Qt::WindowMaximizeButtonHint, on);
    if (visible) window_->show();
}

void LayoutApplier::checkItem(int item) {
    checkedItem_ = item;
    if (auto* a = window_->findChild<QAction*>(menuItem(item))) a->setChecked(true);
}

void LayoutApplier::placeScaled(const Scaled& s, const Layout& l) {
    QWidget* w = s.widget;
    if (!w) return;
    if (s.kind == ControlKind::PositionOnly) {
        const QRect r = scaled(s.design, l.scale);
        w->move(r.topLeft());
        return;
    }
    w->setGeometry(scaled(s.design, l.scale));
    const FontSizes f = fontsFor(s.kind, w->objectName(), l);
    switch (s.kind) {
    case ControlKind::HalfMeter:
    case ControlKind::RoundMeter:
    case ControlKind::Thermometer:
        if (auto* g = qobject_cast<TAnalogGauge*>(w)) {
            if (f.main) g->valueFont().setPointSize(f.main);
            if (f.unit > 0) g->fontUnit().setPointSize(f.unit);
            if (f.scale) g->scaleSettings().Font.setPointSize(f.scale);
            g->settingsChanged(); // the cached face is drawn again at the new size
        }
        break;
    case ControlKind::Lamp:
        setPointSize(w, f.main, w->font().bold());
        if (auto* lamp = qobject_cast<TLedLamp*>(w)) lamp->setLedHeight(f.lampHeight);
        break;
    case ControlKind::Label:
        // Below 10 points a label is plain; from 10 up it keeps its design weight.
        setPointSize(w, f.main, s.designBold && !f.plain);
        break;
    case ControlKind::NoFont:
    case ControlKind::PositionOnly:
        break;
    default:
        if (f.main) setPointSize(w, f.main, w->font().bold());
        break;
    }
}

Layout LayoutApplier::applyLayout(int w, const Screen& screen) {
    scale_ = 1.0;
    if (w == 0) w = startWidth(screen.size, screen.workArea);
    const Layout l = forWidth(w);
    checkItem(l.item);
    if (l.paramPage) applyParamPage(*l.paramPage);
    const QRect pc1 = l.pageControl1.value_or(pagesDesign_);
    if (placePageControl)
        placePageControl(pc1);
    else if (pages_)
        pages_->setGeometry(pc1);
    // A wizard page that arranges its page control with a Qt layout keeps it so.
    if (wizardPages_ && wizardPages_->parentWidget() && !wizardPages_->parentWidget()->layout())
        wizardPages_->setGeometry(l.pageControl2.value_or(wizardDesign_));

    const WindowRule rule = windowRule(w, screen.size);
    switch (rule.mode) {
    case WindowRule::Mode::FullScreen:
        setZoomBox(true);
        fullScreen_ = true;
        releaseWindowSize();
        window_->setWindowState(Qt::WindowMaximized);
        break;
    case WindowRule::Mode::Fixed:
        setZoomBox(false);
        fullScreen_ = false;
        window_->setWindowState(Qt::WindowNoState);
        setWindowSize(rule.size);
        break;
    case WindowRule::Mode::Centred:
        setZoomBox(false);
        fullScreen_ = false;
        window_->setWindowState(Qt::WindowNoState);
        setWindowSize(rule.size);
        window_->move(rule.position);
        break;
    case WindowRule::Mode::Unchanged:
        break;
    }

    scale_ = l.scale;
    for (const Scaled& s : std::as_const(scaled_))
        placeScaled(s, l);
    for (const QPointer<QWidget>& f : std::as_const(fillers_))
        if (f) f->setGeometry(f->parentWidget()->rect());
    return l;
}

void LayoutApplier::layoutMenuCommand(int item, const Screen& screen) {
    if (item < 1 || item > 6) return;
    if (pages_) pages_->hide();
    if (item <= 3) setZoomBox(false);
    setParamLabelsBold(item != 1);
    const Layout l = forItem(item);
    // For 800x600 the size layout runs first, so its window ends at the
    // parameter page's 800 x 590.
    if (item != 3 && l.paramPage) applyParamPage(*l.paramPage);
    checkItem(item);
    applyLayout(itemWidth(item), screen);
    if (item == 3 && l.paramPage) applyParamPage(*l.paramPage);
    if (!fullScreen_) window_->move(centred(screen.size, window_->size()));
    if (pages_) pages_->show();
}

void LayoutApplier::setParamLabelsBold(bool bold) {
    for (Id name : ParamLabels)
        if (QWidget* w = named(ctl::name(name))) {
            QFont f = w->font();
            f.setBold(bold);
            w->setFont(f);
        }
}

void LayoutApplier::setWindowSize(QSize size) {
    // A fixed border: the layouts set the size, the fitter cannot drag it.
    releaseWindowSize();
    window_->resize(size);
    window_->setFixedSize(size);
}

void LayoutApplier::releaseWindowSize() {
    window_->setMinimumSize(0, 0);
    window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void LayoutApplier::applyParamPage(const ParamPageNumbers& n) {
    if (placeParamPage) {
        // The page arranges itself with Qt layouts from the numbers.
        placeParamPage(n);
        if (!fullScreen_) setWindowSize(paramPageMetrics(n.font).window);
        return;
    }
    const ParamPageMetrics m = paramPageMetrics(n.font);
    // Rows are spaced by the group factor against the design (800 x 600, factor 1.05).
    const double k = real48(m.groupFactor) / real48(1.05);
    auto vert = [k](int v) { return roundHalfEven(v * k); };
    const int F = m.font;
    const int fieldRoom = n.groupWidth - n.fieldColumn - 8;

    for (const Row& row : ParamRows) {
        const QString labelName = ctl::name(row.label);
        if (QWidget* label = named(labelName)) {
            const QRect d = paramDesign(labelName);
            const bool longLabel = labelName == ctl::name(Id::Label8) || labelName == ctl::name(Id::Label18);
            label->setGeometry(5, vert(d.y()), std::max(10, n.fieldColumn - 10), vert(d.height()));
            setPointSize(label, longLabel ? m.longLabelFont() : F, label->font().bold());
        }
        int nextLeft = n.fieldColumn;
        for (const std::optional<Id>& fieldId : row.fields) {
            if (!fieldId) break;
            const QString name = ctl::name(*fieldId);
            QWidget* field = named(name);
            if (!field) continue;
            const QRect d = paramDesign(name);
            if (name == ctl::name(Id::CheckBox15)) {
                field->move(n.fieldColumn, vert(d.y()));
                if (QWidget* l = named(ctl::name(Id::CheckBox15_Label))) {
                    const QRect ld = paramDesign(l->objectName());
                    l->setGeometry(n.fieldColumn + 20, vert(ld.y()), ld.width(), vert(ld.height()));
                    setPointSize(l, m.checkLabelFont(), l->font().bold());
                }
                continue;
            }
            const bool pair = row.fields[1].has_value();
            const int width = std::min(vert(d.width()), pair ? (fieldRoom - 4) / 2 : fieldRoom);
            field->setGeometry(nextLeft, vert(d.y()), std::max(16, width), vert(d.height()));
            nextLeft += std::max(16, width) + 4;
            const bool combo = qobject_cast<QComboBox*>(field) != nullptr;
            setPointSize(field, combo ? m.comboFont() : m.fieldFont(), field->font().bold());
        }
    }
    for (const auto& [box, labelName] : LeftChecks) {
        if (QWidget* b = named(ctl::name(box))) b->move(5, vert(paramDesign(b->objectName()).y()));
        if (QWidget* l = named(ctl::name(labelName))) {
            const QRect d = paramDesign(l->objectName());
            l->setGeometry(25, vert(d.y()), std::max(10, n.groupWidth - 30), vert(d.height()));
            setPointSize(l, m.checkLabelFont(), l->font().bold());
        }
    }

    // Two columns of groups, stacked from the top.
    const GroupHeights heights = groupHeights(F);
    auto stack = [&](const Id(&names)[3], const int(&h)[3], int left) {
        int top = m.groupGap;
        for (int i = 0; i < 3; ++i) {
            if (QWidget* g = named(ctl::name(names[i]))) {
                g->setGeometry(left, top, n.groupWidth, h[i]);
                setPointSize(g, F, g->font().bold());
            }
            top += h[i] + m.groupGap;
        }
        return top;
    };
    const int leftBottom = stack(LeftGroups, heights.left, m.leftColumn);
    const int rightBottom = stack(RightGroups, heights.right, rightColumnLeft(n.referenceWidth));

    // Buttons in a row under the groups, then the comment switch and the comment.
    int y = std::max(leftBottom, rightBottom);
    int x = m.leftColumn;
    int rowHeight = 0;
    for (Id name : ParamButtons)
        if (QWidget* b = named(ctl::name(name))) {
            const QRect d = paramDesign(b->objectName());
            const QRect r(x, y, vert(d.width()), vert(d.height()));
            b->setGeometry(r);
            setPointSize(b, F, b->font().bold());
            x += r.width() + m.groupGap;
            rowHeight = std::max(rowHeight, r.height());
        }
    if (QWidget* c = named(ctl::name(Id::WylaczkomentarzeCheck))) {
        c->move(x, y + 2);
        if (QWidget* l = named(ctl::name(Id::WylaczkomentarzeCheckLabel))) {
            l->move(x + 20, y);
            setPointSize(l, m.checkLabelFont(), l->font().bold());
        }
    }
    y += rowHeight + m.groupGap;
    if (QWidget* info = named(ctl::name(Id::info))) {
        const int width = std::max(40, m.window.width() - m.infoRightGap - m.leftColumn);
        info->setGeometry(m.leftColumn, y, width, vert(paramDesign(info->objectName()).height()));
        setPointSize(info, m.infoFont, info->font().bold());
    }
    if (QWidget* print = named(ctl::name(Id::DrukujButt))) print->move(450, 10);
    if (!fullScreen_) setWindowSize(m.window);
}
