#pragma once
#include "core/LanguageTexts.h"
#include "core/SystemTexts.h"

#include <QObject>
#include <QString>

// The shell's own state that pages share: the language texts, status panel 1
// (the outcome of the last operation and the focused field's comment) and the
// flags of the window's lifetime.
class ShellModel : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    LanguageTexts& texts() { return texts_; }
    const LanguageTexts& texts() const { return texts_; }
    QString text(int key) const { return texts_.text(key); }
    // A language text, or `fallback` when the files give none.
    QString text(int key, const QString& fallback) const {
        const QString t = texts_.text(key);
        return t.isEmpty() ? fallback : t;
    }
    // Language files were (re)loaded: captions built from texts refresh.
    void textsReloaded() {
        systemtext::use(texts_); // the words for files and ports refused, deep below the pages
        emit textsChanged();
    }

    QString message() const { return message_; }
    void setMessage(const QString& text);

    // The wizard's last step is done: the window moves to the parameters page,
    // reads the block and writes it back (the wizard page asks for it here).
    void finishWizard() { emit wizardFinished(); }

    // Set on every entry to the parameters page; the printout needs it.
    bool paramsVisited = false;
    // A read/write/reset was started from the keyboard: the focus stays where it is.
    bool keyboardFlag = false;
    // Background of the focused parameter field's caption label (0x00BBGGRR).
    unsigned labelHighlight = 0xEEEEEE;

    QString languageCode = QStringLiteral("PL");
    QString languageFile = QStringLiteral("polish.lng");
    QString helpFile = QStringLiteral("help/quendrix_pl.html");

signals:
    void messageChanged(const QString& text);
    void wizardFinished();
    void textsChanged();

private:
    LanguageTexts texts_;
    QString message_;
};

// The models one owner (the main window) creates and every page is given.
class ControllerLink;
class ParameterModel;
class LiveModel;
namespace params {
class WriteGate;
class ParameterSession;
} // namespace params
class LiveSession;
struct Models {
    ControllerLink& link;
    ParameterModel& params;
    params::WriteGate& gate;
    params::ParameterSession& paramSession;
    LiveModel& live;
    LiveSession& liveSession;
    ShellModel& shell;
};
