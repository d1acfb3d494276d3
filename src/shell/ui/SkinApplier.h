#pragma once
#include "shell/SkinFile.h"

#include <QColor>
#include <QPointer>
#include <functional>

class QWidget;

// Puts a skin file on a window: gradient panels, coloured buttons, label,
// field and instrument colours, found by object name under the root; then,
// after every line that is not a comment, the label highlight colour goes
// behind the parameter labels.
//
// The main window calls, for the skin menu and at start:
//   SkinApplier a(this, &session.labelHighlight);
//   a.showBadLine = a.showError = [..](const QString& m) { message box };
//   if (a.loadFile(shell::dataFile("skins", "default.skr"))) check skorkaZwy;
class SkinApplier {
public:
    // labelHighlight: the label highlight colour (0x00BBGGRR) the parameters
    // page paints behind the focused field's label; key 10010 changes it.
    SkinApplier(QWidget* root, unsigned* labelHighlight);

    std::function<void(const QString&)> showBadLine; // "Blad w Pliku Ze skorkami"
    // The language's text of a key, for the messages; the built-in wording without it.
    std::function<QString(int key)> text;
    std::function<void(const QString&)> showError; // the file stopped (unreadable, bad key or value)

    // True when the whole file was read (only then is the menu item checked).
    bool loadFile(const QString& path);
    bool apply(const shell::SkinFileContents& contents);

    // A skin value as a colour; negative values take the system colour of
    // that index from the application palette.
    static QColor colour(qint32 value);

private:
    QPointer<QWidget> root_;
    unsigned* labelHighlight_;
};
