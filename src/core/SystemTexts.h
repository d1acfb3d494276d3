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

// Why a parameter block file was not read (%1 the file, line or value).
constexpr Text BlockLineFault{31430, "„%1”, wiersz %2: %3"};
constexpr Text BlockTooLarge{31431, "„%1” to nie jest plik bloku parametrów (jest większy niż %2 bajtów)"};
constexpr Text BlockFirstLine{31432, "to nie jest plik bloku parametrów (pierwszy wiersz musi brzmieć „%1”)"};
constexpr Text BlockEmptyLine{31433, "pusty wiersz"};
constexpr Text BlockTextAfter{31434, "tekst za ostatnim wierszem bajtów"};
constexpr Text BlockNoKeyValue{31435, "to nie jest wiersz „klucz: wartość”"};
constexpr Text BlockSpaceAfterKey{31436, "po „%1:” musi być spacja"};
constexpr Text BlockExpectedKey{31437, "tu powinien być wiersz „%1:”"};
constexpr Text BlockHeaderMissing{31438, "przed bajtami brakuje wiersza nagłówka „%1:”"};
constexpr Text BlockBytesExpected{
    31439, "oczekiwano %1 bajtów, każdy jako dwie cyfry szesnastkowe, oddzielone jedną spacją"};
constexpr Text BlockByteNotHex{31440, "bajt %1 to nie dwie cyfry szesnastkowe, po których jest spacja"};
constexpr Text BlockUnknownLine{31441, "nieznany wiersz „%1:”"};
constexpr Text BlockHeaderAfterBytes{31442, "wiersz nagłówka po bajtach"};
constexpr Text BlockGivenTwice{31443, "„%1:” podano dwa razy"};
constexpr Text BlockNotDateTime{31444, "„%1” to nie data i godzina (ISO 8601)"};
constexpr Text BlockBadVersion{31445, "wersja musi być liczbą 0-255, a nie „%1”"};
constexpr Text BlockEmptyFile{31446, "„%1” jest pusty"};
constexpr Text BlockEndsBefore{31447, "plik kończy się przed „%1:”"};

inline constexpr Text Own[] = {
    CannotCreateFolder, FolderLocked,          CannotSave,         CannotRead,
    NoRestorePoint,     PdfNotDrawn,           NoWholeBlock,       NotBlockFile,
    HelpTooLarge,       HelpUnreadable,        FileNotFound,       FileDenied,
    FileIsFolder,       FileReadFailed,        FileWriteFailed,    FileOther,
    PortDenied,         PortNotFound,          PortBusy,           PortStopped,
    PortOther,          BlockLineFault,        BlockTooLarge,      BlockFirstLine,
    BlockEmptyLine,     BlockTextAfter,        BlockNoKeyValue,    BlockSpaceAfterKey,
    BlockExpectedKey,   BlockHeaderMissing,    BlockBytesExpected, BlockByteNotHex,
    BlockUnknownLine,   BlockHeaderAfterBytes, BlockGivenTwice,    BlockNotDateTime,
    BlockBadVersion,    BlockEmptyFile,        BlockEndsBefore};

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
