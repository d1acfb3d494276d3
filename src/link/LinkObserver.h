#pragma once
#include <QString>

// How the link reaches the window without knowing about widgets. Every method
// has a do-nothing default so tests implement only what they look at.
class LinkObserver {
public:
    virtual ~LinkObserver() = default;
    // Status-bar panel 0: empty while answers arrive, the no-answer text after a silent receive.
    virtual void linkStateText(const QString& text) { (void)text; }
    // The transmission-error label of the live page.
    virtual void transmissionErrorText(const QString& text) { (void)text; }
    // A port that cannot be opened: the message box (error icon, OK).
    virtual void portOpenFailed(const QString& message) { (void)message; }
    // The window caption, rebuilt by every version read.
    virtual void captionChanged(const QString& caption) { (void)caption; }
    // The analog-threshold group is shown exactly when the controller has the threshold.
    virtual void analogGroupVisible(bool visible) { (void)visible; }
    // A language text by key; empty when there is none.
    virtual QString languageText(int key) const {
        (void)key;
        return {};
    }
};
