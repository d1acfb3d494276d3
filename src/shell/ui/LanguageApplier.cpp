#include "shell/ui/LanguageApplier.h"
#include "core/Controls.h"

#include "core/LanguageKeys.h"
#include "core/LanguageTexts.h"
#include "shell/Codepage.h"
#include "shell/ui/NamedObjects.h"
#include "widgets/TAnalogGauge.h"
#include "widgets/TColor.h"
#include "widgets/TLedLamp.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>

using Id = ctl::ControlId;

namespace {

using Problem = shell::LanguageFileContents::Problem;
using shell::lang::Target;
using shell::lang::TargetKind;

// A language text is plain text wherever it goes (shell/ui/PlainText.h).
void setCaption(QObject* o, const QString& text) {
    if (auto* l = qobject_cast<QLabel*>(o)) {
        l->setTextFormat(Qt::PlainText);
        l->setText(text);
    } else if (auto* b = qobject_cast<QAbstractButton*>(o))
        b->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(o))
        g->setTitle(text);
    else if (auto* lamp = qobject_cast<TLedLamp*>(o))
        lamp->setCaption(text);
    else if (auto* a = qobject_cast<QAction*>(o))
        a->setText(text);
    else if (auto* m = qobject_cast<QMenu*>(o))
        m->setTitle(text);
    else if (o->metaObject()->indexOfProperty("text") >= 0)
        o->setProperty("text", text);
}

void setTabCaption(QWidget* page, const QString& text) {
    for (QWidget* w = page->parentWidget(); w; w = w->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            const int i = tabs->indexOf(page);
            if (i >= 0) {
                tabs->setTabText(i, text);
                return;
            }
        }
}

void applyKey(const NamedObjects& named, LanguageTexts* texts, int key, const QString& text) {
    // Every text is kept by its key too: pages that show a control's caption
    // elsewhere (the printed sheet) take it from there.
    if (texts) texts->set(key, text);
    for (const Target& t : shell::lang::targets(key)) {
        switch (t.kind) {
        case TargetKind::Caption:
            for (QObject* o : named.all(t.objectName))
                if (o->isWidgetType()) setCaption(o, text);
            break;
        case TargetKind::MenuItem:
            for (QAction* a : named.of<QAction>(t.objectName))
                a->setText(text);
            break;
        case TargetKind::TabCaption:
            for (QWidget* page : named.of<QWidget>(t.objectName))
                setTabCaption(page, text);
            break;
        case TargetKind::ComboItem:
            for (QComboBox* c : named.of<QComboBox>(t.objectName))
                if (t.item < c->count()) c->setItemText(t.item, text);
            break;
        case TargetKind::MeterCaption:
            for (TAnalogGauge* g : named.of<TAnalogGauge>(t.objectName)) {
                g->signalSettings().Name1 = text;
                g->settingsChanged();
            }
            break;
        case TargetKind::Text:
            break;
        }
    }
}

} // namespace

QString badLineMessage(const QString& text, const QString& fileName, int lineNumber,
                       const std::function<QString(int key)>& lookup) {
    return text + QStringLiteral("\n\n") +
           shell::filetext::text(shell::filetext::Where, lookup).arg(fileName).arg(lineNumber);
}

LanguageApplier::LanguageApplier(QWidget* root, LanguageTexts* texts) : root_(root), texts_(texts) {}

LanguageApplier::Result LanguageApplier::loadFile(const QString& path) {
    return apply(shell::readLanguageFile(path), QFileInfo(path).fileName());
}

LanguageApplier::Result LanguageApplier::apply(const shell::LanguageFileContents& contents,
                                               const QString& fileName) {
    const NamedObjects named(root_);
    // Replacing item texts must not lose what the fitter chose in these lists.
    QList<QPair<QComboBox*, int>> kept;
    for (const QString& name : shell::lang::keptSelections())
        for (QComboBox* c : named.of<QComboBox>(name))
            kept.append({c, c->currentIndex()});

    for (const shell::LanguageLine& line : contents.lines) {
        switch (line.kind) {
        case shell::LanguageLine::Kind::Short:
            if (showBadLine)
                showBadLine(
                    badLineMessage(texts_ ? texts_->text(30003) : QString(), fileName, line.lineNumber,
                                   [this](int key) { return texts_ ? texts_->text(key) : QString(); }));
            continue; // a bad line is not applied
        case shell::LanguageLine::Kind::Comment:
            break;
        case shell::LanguageLine::Kind::Text:
            applyKey(named, texts_, line.key, line.text);
            break;
        }
        if (afterEachLine) afterEachLine();
    }

    Result r;
    r.complete = contents.outcome.complete() && contents.problem == Problem::None;
    // A file read whole that gives nothing: the fitter is told why.
    const LanguageTexts defaults;
    const LanguageTexts& texts = texts_ ? *texts_ : defaults;
    r.error = shell::outcomeMessage(contents.outcome, [&texts](int key) { return texts.text(key); });
    if (contents.problem == Problem::NotCodePage)
        r.error = texts.text(shell::lang::NotCodePageText)
                      .arg(fileName, shell::codePageName(shell::charsetForLanguageFile(fileName)));
    else if (contents.problem == Problem::NoTexts)
        r.error = texts.text(shell::lang::NoTextsText).arg(fileName);
    r.helpFile = shell::lang::helpFileFor(fileName);
    if (!r.complete && showError) showError(r.error);

    if (texts_)
        for (const shell::lang::LanguageChoice& c : shell::lang::languageChoices())
            for (QAction* a : named.of<QAction>(QString::fromLatin1(c.menuItem)))
                a->setText(texts_->text(c.nameKey));

    for (const auto& [combo, index] : kept) {
        const QSignalBlocker block(combo); // a program's selection runs no change reaction
        combo->setCurrentIndex(index);
    }
    return r;
}

void LanguageApplier::showPetrolGas(QWidget* root, const LanguageTexts& texts, bool petrol) {
    if (!root) return;
    auto* label = root->findChild<QLabel*>(ctl::name(Id::ZmiennaGazBenzyna));
    auto* lamp = root->findChild<TLedLamp*>(ctl::name(Id::GasLed));
    const QString text = texts.text(petrol ? 10408 : 10409);
    QColor labelColour = petrol ? tColor(255) : tColor(32768);
    QColor lampColour = tColor(255);
    if (!petrol) {
        auto* ref = root->findChild<QLabel*>(ctl::name(Id::Label47));
        lampColour = ref ? ref->palette().color(QPalette::WindowText) : QColor(Qt::black);
    }
    if (label) {
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, labelColour);
        label->setPalette(p);
    }
    if (lamp) {
        lamp->setCaption(text);
        lamp->setCaptionColor(lampColour);
    }
}
