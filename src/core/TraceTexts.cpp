#include "core/TraceTexts.h"

#include "core/LanguageTexts.h"

namespace tracetext {

void addDefaults(LanguageTexts& t) {
    t.set(Title, QStringLiteral("Podgląd transmisji"));
    t.set(FilterLabel, QStringLiteral("Wymiana:"));
    t.set(AllExchanges, QStringLiteral("wszystkie"));
    t.set(Copy, QStringLiteral("&Kopiuj"));
    t.set(Save, QStringLiteral("&Zapisz..."));
    t.set(Clear, QStringLiteral("&Wyczyść"));
    t.set(Hold, QStringLiteral("W&strzymaj"));
    t.set(Count, QStringLiteral("Pokazano %1 z %2 wpisów"));
    t.set(Lost, QStringLiteral("%1 wpisów przyszło za szybko i pominięto je"));
    t.set(FileFilter, QStringLiteral("Pliki tekstowe (*.txt)"));
    t.set(SaveFailed, QStringLiteral("Nie można zapisać pliku %1: %2"));
    const char* const columns[] = {"Czas [µs]", "Odstęp [µs]", "Kier.", "Wymiana", "Uwagi", "Bajty"};
    const char* const kinds[] = {"NAD", "ODB", "ODRZ", "CZEK", "OTW", "ZAMK"};
    const char* const exchanges[] = {"odczyt wersji", "odczyt możliwości", "odczyt funkcji",
                                     "odczyt progu",  "zapis progu",       "odczyt zapłonu",
                                     "odczyt bloku",  "odpytanie",         "zapis zapłonu",
                                     "krok zapisu",   "krok przywracania", "polecenie"};
    const char* const marks[] = {"obcy", "błąd", "brak", "utracony", "ms"};
    for (int i = 0; i < 6; ++i)
        t.set(FirstColumn + i, QString::fromUtf8(columns[i]));
    for (int i = 0; i < 6; ++i)
        t.set(FirstKind + i, QString::fromUtf8(kinds[i]));
    for (int i = 0; i < 12; ++i)
        t.set(FirstExchange + i, QString::fromUtf8(exchanges[i]));
    for (int i = 0; i < 5; ++i)
        t.set(FirstMark + i, QString::fromUtf8(marks[i]));
    t.set(Keys,
          QStringLiteral("Ctrl+C kopiuje zaznaczone wiersze (bez zaznaczenia wszystkie), Ctrl+S zapisuje, "
                         "Ctrl+L czyści, Spacja wstrzymuje"));
}

} // namespace tracetext
