#include "core/LanguageTexts.h"

#include "core/FileTexts.h"
#include "core/SessionTexts.h"
#include "core/SystemTexts.h"
#include "core/TraceTexts.h"

void LanguageTexts::loadDefaults() {
    texts_.clear();
    // Defaults the main window gives at start.
    set(10408, QStringLiteral("Benzyna"));
    set(10409, QStringLiteral("Gaz"));
    set(30002, QStringLiteral("Błąd w pliku"));
    set(30003, QStringLiteral("Błąd w pliku z językami"));
    set(30004, QStringLiteral("Brak plików z językami, proszę przeinstalować program"));
    set(30005, QStringLiteral("Czy zakończyć program ?"));
    set(30006, QStringLiteral("Zapisano parametry"));
    set(30007, QStringLiteral("Odczytano parametry"));
    set(30008, QStringLiteral("Zresetowano parametry"));
    set(10388, QStringLiteral("Sterownik znaleziono na"));
    set(10389, QStringLiteral("Sterownika nie znaleziono na"));
    // Until language files are installed these carry Polish wording of our own,
    // so that no message box or caption is left blank.
    set(10390, QStringLiteral("Brak odpowiedzi sterownika"));
    set(30000, QStringLiteral("sterownik wersja"));
    set(30001, QStringLiteral("brak sterownika"));
    set(30009, QStringLiteral("Opóźnienie startowe musi być większe od zera."));
    set(30010, QStringLiteral("Próg sondy lambda musi wynosić co najmniej 0,1 V."));
    set(30011, QStringLiteral("Otwarcie silnika krokowego musi wynosić co najmniej 3."));
    set(30012, QStringLiteral("Nie można otworzyć portu szeregowego."));
    set(30013, QStringLiteral("Pozycja startowa silnika krokowego musi leżeć między minimum a maksimum"));
    set(30014, QStringLiteral("Pozycja startowa silnika krokowego jest równa minimum lub maksimum."));
    // Texts of our own (31000 up).
    set(31000, QStringLiteral("Nie odczytano parametrów - brak odpowiedzi sterownika"));
    set(31001, QStringLiteral("Nie można zapisać ustawień programu"));
    set(31002,
        QStringLiteral("Parametry nie zostały odczytane ze sterownika - nie zapisano ich samoczynnie."));
    set(31003, QStringLiteral("Parametry domyślne nie są zapisywane samoczynnie - użyj „Zapisz parametry”."));
    set(31004, QStringLiteral("Nie zapisano samoczynnie: zaznaczone pola nie pokazują wartości sterownika."));
    set(31005, QStringLiteral("Odczytano parametry; %1 zaznaczonych pól nie pokazuje wartości sterownika - "
                              "sprawdź je (podpowiedź pola) przed zapisem."));
    set(31006, QStringLiteral("Autodetekcję przerwano"));
    set(31007, QStringLiteral("Przerwij"));
    // Parameter files, the comparison with the controller and the printout.
    set(31010, QStringLiteral("Porównaj ze sterownikiem"));
    set(31011, QStringLiteral("Wczytano plik parametrów %1"));
    set(31012, QStringLiteral("Strona pokazuje te same parametry co sterownik."));
    set(31013, QStringLiteral("Parametr"));
    set(31014, QStringLiteral("Na stronie"));
    set(31015, QStringLiteral("W sterowniku"));
    set(31016, QStringLiteral("Zapisz PDF"));
    set(31017, QStringLiteral("Zapisano plik PDF %1"));
    set(31018, QStringLiteral("Nie można drukować: %1"));
    // A field's text the checks cannot read ("%1" the text).
    set(31020, QString::fromUtf8("'%1' nie jest poprawną liczbą"));
    set(31021, QString::fromUtf8("'%1' nie jest poprawną liczbą całkowitą"));
    // The line: lost and back, a write cut short, bad frames.
    set(31030, QStringLiteral("Utracono połączenie z portem %1 o %2"));
    set(31031, QStringLiteral("Połączenie z portem %1 przywrócone o %2 (brak połączenia od %3)"));
    set(31032, QStringLiteral("Brak połączenia z portem %1 od %2"));
    set(31033, QStringLiteral("Zapis parametrów przerwany - port przestał działać. Nie zapisano: %1"));
    set(31034, QStringLiteral("Błędne dane ze sterownika"));
    // A serial port the system refused: how a user gets access to it.
    set(31040, QStringLiteral("Użytkownik musi należeć do grupy 'dialout' (sudo usermod -aG dialout $USER, "
                              "potem wyloguj się i zaloguj ponownie)."));
    // Files that give nothing to use ("%1" the file, "%2" a language file's code page).
    set(31080, QStringLiteral("Plik z językami %1 nie jest zapisany w stronie kodowej %2 (może w UTF-8) - "
                              "nie został wczytany."));
    set(31081, QStringLiteral("Plik z językami %1 nie zawiera żadnego tekstu - nic nie zmieniono."));
    set(31082, QStringLiteral("Plik parametrów %1 nie zawiera żadnych parametrów - nic nie zmieniono."));
    set(31083, QStringLiteral("Nie można odczytać części ustawień programu - pominięto je"));
    // The drive log viewer.
    set(31200, QStringLiteral("Przeglądarka zapisów jazdy"));
    set(31201, QStringLiteral("&Plik"));
    set(31202, QStringLiteral("&Otwórz zapis..."));
    set(31203, QStringLiteral("&Zamknij"));
    set(31204, QStringLiteral("Kolumny na wykresie"));
    set(31205, QStringLiteral("Wartości w miejscu kursora"));
    set(31206, QStringLiteral("Czas"));
    set(31207, QStringLiteral("Lambda"));
    set(31208, QStringLiteral("TPS"));
    set(31209, QStringLiteral("Obroty"));
    set(31210, QStringLiteral("Obroty na panelu"));
    set(31211, QStringLiteral("Silnik krokowy"));
    set(31212, QStringLiteral("Temperatura"));
    set(31213, QStringLiteral("Poziom gazu"));
    set(31214, QStringLiteral("Rezerwa gazu"));
    set(31215, QStringLiteral("Paliwo"));
    set(31216, QStringLiteral("Ramka"));
    set(31217, QStringLiteral("Ramka cała"));
    set(31218, QStringLiteral("%1 - bajt"));
    set(31219, QStringLiteral("Przełączenie na gaz"));
    set(31220, QStringLiteral("Ramka niepełna"));
    set(31221, QStringLiteral("Zapisy jazdy (*.csv *.msl)"));
    set(31222, QStringLiteral("Wszystkie pliki (*)"));
    set(31223, QStringLiteral("Nie można otworzyć zapisu %1: %2"));
    set(31224, QStringLiteral("Plik %1 nie zawiera zapisu jazdy"));
    set(31225, QStringLiteral("%1: %2 wierszy, %3 pominiętych"));
    set(31226, QStringLiteral("pokazano pierwsze %1 wierszy"));
    set(31227, QStringLiteral("tak"));
    set(31228, QStringLiteral("nie"));
    set(31229, QStringLiteral("&Cała jazda"));
    set(31230, QStringLiteral("Kolumna"));
    set(31231, QStringLiteral("Wartość"));
    set(31232, QStringLiteral(
                   "Klawisze: +/- powiększenie, strzałki w lewo/prawo kursor, Ctrl+strzałki i PgUp/PgDn "
                   "przesuwanie, Home/End początek/koniec, 0 cała jazda, N/P następny/poprzedni znacznik"));
    // Recording a drive, the fast log and replaying a log into the live page.
    set(31233, QStringLiteral("Nagrywaj"));
    set(31234, QStringLiteral("Nagrywanie jazdy do %1 i %2"));
    set(31235, QStringLiteral("Nagrywanie zatrzymane: %1 ramek w %2"));
    set(31236, QStringLiteral("Nagrywanie przerwane - utracono port; %1 ramek w %2"));
    set(31237, QStringLiteral("Nagrywanie przerwane - błąd zapisu: %1"));
    set(31238, QStringLiteral("Nie można rozpocząć nagrywania: %1"));
    set(31239, QStringLiteral("Szybki zapis jazdy"));
    set(31240, QStringLiteral("Przeglądarka zapisów jazdy..."));
    set(31241, QStringLiteral("Nagrywanie: %1"));
    set(31242, QStringLiteral("ODTWARZANIE ZAPISU %1  %2  x%3"));
    set(31243, QStringLiteral("&Odtwórz na stronie Wizualizacja"));
    set(31244, QStringLiteral("&Pauza"));
    set(31245, QStringLiteral("&Zakończ odtwarzanie"));
    set(31246, QStringLiteral("Prędkość"));
    set(31247, QStringLiteral("&Odtwarzanie"));
    // The protocol trace.
    tracetext::addDefaults(*this);
    // A COM port nothing maps; the file boxes; the busy indicator; the question before the end.
    set(31305, QStringLiteral("Pliki Quendrix (*.qx4)"));
    set(31306, QStringLiteral("Pliki PDF (*.pdf)"));
    set(31307, QStringLiteral("Szukaj w:"));
    set(31308, QStringLiteral("Nazwa pliku:"));
    set(31309, QStringLiteral("Pliki typu:"));
    set(31310, QStringLiteral("Otwórz"));
    set(31311, QStringLiteral("Zapisz"));
    set(31312, QStringLiteral("Anuluj"));
    set(31313, QStringLiteral("to nie jest port szeregowy znany systemowi"));
    set(31319, QStringLiteral("Trwa wymiana danych ze sterownikiem"));
    set(31320, QStringLiteral("Tak"));
    set(31321, QStringLiteral("Nie"));
    // A language or skin file that stopped.
    for (const shell::filetext::Text& t : shell::filetext::Own)
        set(t.key, QString::fromUtf8(t.polish));
    // Files, folders and ports the system refused (31400 up).
    for (const systemtext::Text& t : systemtext::Own)
        set(t.key, QString::fromUtf8(t.polish));
    // The parameter session's (31100 up).
    for (const params::sessiontext::Text& t : params::sessiontext::Own)
        set(t.key, t.builtIn());
    // The wizard: an abandoned one gives back what it found; a write that did not go out stops its step.
    set(31060, QStringLiteral("Przywrócono ustawienia sterownika sprzed autoadaptacji"));
    set(31061, QStringLiteral("Sterownik może nadal mieć ustawienia autoadaptacji - zostaną przywrócone, gdy "
                              "port znów zadziała"));
    set(31062, QStringLiteral("Sterownik może nadal mieć ustawienia autoadaptacji - nie udało się przywrócić "
                              "ustawień sprzed autoadaptacji"));
    set(31063, QStringLiteral("Ustawienia adaptacji nie dotarły do sterownika (nie zapisano: %1). Sprawdź "
                              "kabel i port, cofnij się i powtórz ten krok."));
    set(31064, QStringLiteral("Wyniki autoadaptacji nie dotarły do sterownika (nie zapisano: %1). Sprawdź "
                              "kabel i port, cofnij się i powtórz ten krok."));
    // Names of the languages on the language menu.
    set(20001, QStringLiteral("polski"));
    set(20002, QStringLiteral("angielski"));
    set(20003, QStringLiteral("czeski"));
    set(20004, QStringLiteral("rosyjski"));
    set(20005, QStringLiteral("wloski"));
}
