#pragma once
// Our own words for what the system refuses: files and folders that cannot be
// read or written, and serial ports that cannot be opened or were lost. The
// system's own reasons (QFile/QSerialPort errorString) are English whatever the
// window's language, so they are never shown; these are. Also the help
// window's, the demo car's and the other texts no model reaches.
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

// A second copy of the program, told before any window (and so any language) is up.
constexpr Text AlreadyRunning{31450, "Program jest już uruchomiony."};
constexpr Text InformationTitle{31451, "Informacja"};

// What the wizard's restore points say they hold.
constexpr Text AutoSetupPoint{31452, "Autoadaptacja: ustawienia adaptacji"};
constexpr Text AutoFinalPoint{31453, "Autoadaptacja: wyniki kalibracji"};
constexpr Text AutoIgnitionPoint{31454, "Autoadaptacja: system zapłonu"};
constexpr Text AutoStoppedPoint{31455, "Autoadaptacja przerwana: ustawienia sprzed autoadaptacji"};

// The demo car window (the ignition systems are the ignition page's own words).
constexpr Text DemoTitle{31460, "Symulowany samochód (demo)"};
constexpr Text DemoEngineOn{31461, "&Silnik pracuje"};
constexpr Text DemoForceTemp{31462, "&Ustaw temperaturę"};
constexpr Text DemoForceTempTip{31463, "Bez zaznaczenia silnik nagrzewa się sam podczas pracy."};
constexpr Text DemoWarmUp{31464, "&Rozgrzej silnik"};
constexpr Text DemoWarmUpTip{31465, "Temperatura zwolniona: pracujący silnik nagrzewa się sam."};
constexpr Text DemoCold{31466, "&Zimny silnik"};
constexpr Text DemoColdTip{31467, "Temperatura ustawiona na temperaturę otoczenia."};
constexpr Text DemoReducerTip{31468, "Śruba reduktora: w lewo mieszanka uboga, w prawo bogata."};
constexpr Text DemoSwitchPetrol{31469, "&benzyna"};
constexpr Text DemoSwitchAuto{31470, "&auto"};
constexpr Text IgnitionCoilPerCylinder{10501, "Cewka na cylinder"};
constexpr Text IgnitionDoubleCoil{10502, "Podwójna cewka"};
constexpr Text Ignition4{10503, "4 cylindry"};
constexpr Text Ignition5{10504, "5 cylindry"};
constexpr Text Ignition6{10505, "6 cylindry"};
constexpr Text Ignition8{10506, "8 cylindry"};
constexpr Text DemoThrottle{31477, "&Gaz (pedał):"};
constexpr Text DemoTemp{31478, "&Temperatura:"};
constexpr Text DemoReducer{31479, "Śruba r&eduktora:"};
constexpr Text DemoSwitch{31480, "Przełącznik B/G:"};
constexpr Text DemoGasLevel{31481, "&Poziom gazu w zbiorniku:"};
constexpr Text DemoIgnition{31482, "Rzeczywisty układ zapło&nowy:"};
constexpr Text DemoStateSpeed{31483, "Obroty: %1 1/min   Temperatura: %2 °C"};
constexpr Text DemoStateProbe{31484, "Sonda lambda: %1 V   TPS: %2 V"};
constexpr Text DemoStateStepper{31485, "Silnik krokowy: %1   Zasilanie: %2"};
constexpr Text DemoOnGas{31486, "gaz"};
constexpr Text DemoOnPetrol{31487, "benzyna"};

// Why a field of the parameters page is marked: the block bytes it comes from,
// what the controller's value means and what the page and a write make of it.
constexpr Text MarkBit{31490, "bit %1 bajtu %2"};
constexpr Text MarkByte{31491, "bajt %1"};
constexpr Text MarkBytes{31492, "bajty %1–%2"};
constexpr Text MarkAbout{31493, "ok. %1"};
constexpr Text MarkPeriod{31494, "okres; ok. %1 obr/min"};
constexpr Text MarkRpm{31495, "%1 obr/min"};
constexpr Text MarkLambdaTimes{31496, "czasy niski i wysoki razem, ok. %1 ms"};
constexpr Text MarkSlower{31497, "%1 razy wolniej"};
constexpr Text MarkProbeUnknown{31498, "rodzaj sondy nieznany programowi"};
constexpr Text MarkProbeInverted{31499, "%1 z odwróceniem, którego ten rodzaj nie zna"};
constexpr Text MarkSensorOn{31500, "czujnik temperatury włączony"};
constexpr Text MarkSensorOff{31501, "czujnik temperatury wyłączony"};
constexpr Text MarkQuoted{31502, "„%1”"};
constexpr Text MarkNoLambdaTimes{
    31503, "sterownik nie ma zerowych czasów sondy (%1 = %2, %3 = %4); zapis wyśle czasy 0 i 0"};
constexpr Text MarkFallback{31504, "odczyt tego nie przyjmuje, pole pokazuje wartość zastępczą %1"};
constexpr Text MarkOutOfRange{31505, "pole pokazuje %1, poza zakresem %2 … %3"};
constexpr Text MarkShows{31506, "pole pokazuje %1"};
constexpr Text MarkNotWritten{31507, "zapis pominie to polecenie"};
constexpr Text MarkWriteSends{31508, "zapis wyśle %1"};
constexpr Text MarkWriteSetsBit{31509, "zapis ustawi bit %1 bajtu %2 na %3"};
constexpr Text MarkHeld{31510, "sterownik ma %1; %2"};
constexpr Text MarkOf{31511, "%1: %2."};
constexpr Text MarkMs{31512, "%1 ms"};
constexpr Text MarkVolts{31513, "%1 V"};
constexpr Text MarkSeconds{31514, "%1 s"};

// A value the write cannot send (%1 caption, %2 control, %3 the text).
constexpr Text InvalidField{31515, "Niepoprawna wartość pola „%1” (%2): „%3” — polecenie pominięte."};
// The demo's simulated controller did not start (%1 why).
constexpr Text DemoFailed{31516, "Nie można uruchomić symulowanego sterownika: %1"};
// The wizard's pictures of the tank sensors.
constexpr Text FloatAndResistor{31517, "pływak i opornik"};
constexpr Text ReedContact{31518, "kontaktron"};

inline constexpr Text Own[] = {CannotCreateFolder,
                               FolderLocked,
                               CannotSave,
                               CannotRead,
                               NoRestorePoint,
                               PdfNotDrawn,
                               NoWholeBlock,
                               NotBlockFile,
                               HelpTooLarge,
                               HelpUnreadable,
                               FileNotFound,
                               FileDenied,
                               FileIsFolder,
                               FileReadFailed,
                               FileWriteFailed,
                               FileOther,
                               PortDenied,
                               PortNotFound,
                               PortBusy,
                               PortStopped,
                               PortOther,
                               BlockLineFault,
                               BlockTooLarge,
                               BlockFirstLine,
                               BlockEmptyLine,
                               BlockTextAfter,
                               BlockNoKeyValue,
                               BlockSpaceAfterKey,
                               BlockExpectedKey,
                               BlockHeaderMissing,
                               BlockBytesExpected,
                               BlockByteNotHex,
                               BlockUnknownLine,
                               BlockHeaderAfterBytes,
                               BlockGivenTwice,
                               BlockNotDateTime,
                               BlockBadVersion,
                               BlockEmptyFile,
                               BlockEndsBefore,
                               AlreadyRunning,
                               InformationTitle,
                               AutoSetupPoint,
                               AutoFinalPoint,
                               AutoIgnitionPoint,
                               AutoStoppedPoint,
                               DemoTitle,
                               DemoEngineOn,
                               DemoForceTemp,
                               DemoForceTempTip,
                               DemoWarmUp,
                               DemoWarmUpTip,
                               DemoCold,
                               DemoColdTip,
                               DemoReducerTip,
                               DemoSwitchPetrol,
                               DemoSwitchAuto,
                               IgnitionCoilPerCylinder,
                               IgnitionDoubleCoil,
                               Ignition4,
                               Ignition5,
                               Ignition6,
                               Ignition8,
                               DemoThrottle,
                               DemoTemp,
                               DemoReducer,
                               DemoSwitch,
                               DemoGasLevel,
                               DemoIgnition,
                               DemoStateSpeed,
                               DemoStateProbe,
                               DemoStateStepper,
                               DemoOnGas,
                               DemoOnPetrol,
                               MarkBit,
                               MarkByte,
                               MarkBytes,
                               MarkAbout,
                               MarkPeriod,
                               MarkRpm,
                               MarkLambdaTimes,
                               MarkSlower,
                               MarkProbeUnknown,
                               MarkProbeInverted,
                               MarkSensorOn,
                               MarkSensorOff,
                               MarkQuoted,
                               MarkNoLambdaTimes,
                               MarkFallback,
                               MarkOutOfRange,
                               MarkShows,
                               MarkNotWritten,
                               MarkWriteSends,
                               MarkWriteSetsBit,
                               MarkHeld,
                               MarkOf,
                               MarkMs,
                               MarkVolts,
                               MarkSeconds,
                               InvalidField,
                               DemoFailed,
                               FloatAndResistor,
                               ReedContact};

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
