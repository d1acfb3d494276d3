#pragma once
// Our own words for what the system refuses: files and folders that cannot be
// read or written, and serial ports that cannot be opened or were lost. The
// system's own reasons (QFile/QSerialPort errorString) are English whatever the
// window's language, so they are never shown; these are. Also the help
// window's, which no model reaches.
#include <QString>

class LanguageTexts;
class QFileDevice;

namespace systemtext {

struct Text {
    int key;
    const char* polish; // UTF-8
};

// Files and folders (%1 the file or folder, %2 the reason).
constexpr Text CannotCreateFolder{31400, "Nie można utworzyć folderu „%1”."};
constexpr Text FolderLocked{31401, "Folder „%1” jest zablokowany przez inny program."};
constexpr Text CannotSave{31402, "Nie można zapisać „%1”: %2."};
constexpr Text CannotRead{31403, "Nie można odczytać „%1”: %2."};
constexpr Text NoRestorePoint{31404, "Nie ma punktu przywracania %1 w „%2”."};
constexpr Text PdfNotDrawn{31405, "nie udało się utworzyć pliku PDF"};
constexpr Text NoWholeBlock{31406, "ze sterownika nie nadszedł cały blok parametrów"};
constexpr Text NotBlockFile{31407, "„%1”, wiersz %2: to nie jest plik punktu przywracania"};
// The help window's files (%1 the file, %2 the largest size in kB).
constexpr Text HelpTooLarge{31408, "Plik pomocy %1 jest za duży (największy dozwolony rozmiar to %2 kB)."};
constexpr Text HelpUnreadable{31409, "Nie można otworzyć pliku pomocy: %1"};
// Why a file could not be read or written.
constexpr Text FileNotFound{31410, "nie ma takiego pliku lub folderu"};
constexpr Text FileDenied{31411, "brak uprawnień"};
constexpr Text FileIsFolder{31412, "to jest folder, nie plik"};
constexpr Text FileReadFailed{31413, "błąd odczytu"};
constexpr Text FileWriteFailed{31414, "błąd zapisu (może brak miejsca na dysku)"};
constexpr Text FileOther{31415, "błąd systemu plików"};
// Why a serial port could not be opened, or stopped.
constexpr Text PortDenied{31420, "brak uprawnień do portu"};
constexpr Text PortNotFound{31421, "nie ma takiego urządzenia (czy jest podłączone?)"};
constexpr Text PortBusy{31422, "port jest zajęty przez inny program"};
constexpr Text PortStopped{31423, "urządzenie przestało działać (czy nie odłączono go?)"};
constexpr Text PortOther{31424, "system nie pozwolił otworzyć portu"};

inline constexpr Text Own[] = {
    CannotCreateFolder, FolderLocked,   CannotSave,      CannotRead,     NoRestorePoint, PdfNotDrawn,
    NoWholeBlock,       NotBlockFile,   HelpTooLarge,    HelpUnreadable, FileNotFound,   FileDenied,
    FileIsFolder,       FileReadFailed, FileWriteFailed, FileOther,      PortDenied,     PortNotFound,
    PortBusy,           PortStopped,    PortOther};

// The text in the language the window last loaded (use()); built-in Polish
// until then. Safe from any thread: the link's worker saves restore points.
QString text(const Text& t);
// Takes the window's texts for text(); called whenever a language is loaded.
void use(const LanguageTexts& texts);

// Why the file failed, from its error and what the file system says about its
// path (read: the file itself; write: the file and its folder).
enum class Access { Read, Write };
QString fileReason(const QFileDevice& file, Access access);

} // namespace systemtext
