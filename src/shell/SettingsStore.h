#pragma once
#include <QSettings>
#include <QString>
#include <functional>
#include <memory>

namespace shell {

// The fitter's choices as the main window holds them between a load and a save:
// the check marks of the language, port, skin and layout menus, the comments
// check box and the language code.
struct ShellSettings {
    QString languageCode = QStringLiteral("PL");         // picks the language file loaded at start
    QString languageFile = QStringLiteral("polish.lng"); // file of the checked language item
    int comPort = 1;                                     // checked PCOM1 ... PCOM8
    QString portDevice; // a device outside COM1 ... COM8 chosen from the Port menu; empty for COMn
    QString skin = QStringLiteral("ord"); // code of the checked skin item: "ord", "col", "sil", "nak"
    bool commentsOff = false;             // WylaczkomentarzeCheck
    int layoutItem = 2;                   // checked layout item, 1 = 640x480 ... 6 = 1280x1024
    bool rememberLayout = false;          // PamOstRozdz
    bool fastLog = false;                 // SzybkiZapisItem ("FastLog", kept only while on)
};

// What the creation sequence does with the stored settings, in this order:
// (first run) parameter-page layout for 800x600 with bold labels; the
// screen-width layout; (remembered) the layout item's click; the skin item's
// click; later the language file.
struct StartPlan {
    ShellSettings settings;
    bool firstRun = false;
    bool paramPage800 = false;  // first run only
    int rememberedLayout = 0;   // 1 ... 6: click that layout item after the screen-width layout
    QString skinCode;           // skin whose item is clicked; empty: no skin loaded
    QString languageFileToLoad; // by the language code; empty: none loaded
    QString unwritable;         // where the store could not be written; empty when fine
    QString unreadable;         // where values could not be read and were dropped; empty when fine
};

// The settings store: seven values under Quendrix/Param plus "PortDevice" and "FastLog".
// A value of the wrong type or outside its list is ignored (the design default
// stays) and never affects the others. Lines that cannot be read
// (readableSettingsText) and whatever lies beyond MaxSettingsFileSize leave the
// file before Qt reads it, said once by load(). A store that cannot be
// written is reported once per SettingsStore; the program goes on.
class SettingsStore {
public:
    using Opener = std::function<std::unique_ptr<QSettings>()>;
    // file: where the opened store keeps its file, cleaned before it is
    // opened (cleanSettingsFile); empty for none (a registry).
    SettingsStore(Opener open, QString file);
    SettingsStore(); // the program's own store (openSettings)

    // Load at start. The returned settings start from the design defaults.
    StartPlan load();
    // Save at every close. Returns the place that could not be written, once.
    QString save(const ShellSettings& s);

    // Value names.
    static const QString Lang, LangNazw, Port, PortDevice, WielkCzcionki, Skin, Comments, Dimension, FastLog;

private:
    QString checkWritten(QSettings& s);
    // The store, its file first cleaned (cleanSettingsFile); *unreadable
    // then names it. Null when such a file cannot be rewritten, and
    // *unwritable then names it.
    std::unique_ptr<QSettings> openCleaned(QString* unwritable, QString* unreadable);

    Opener open_;
    QString file_;
    bool reported_ = false;
};

} // namespace shell
