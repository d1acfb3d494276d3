#pragma once
// Language keys of the texts the parameter session tells the fitter, with
// their built-in Polish wording (used until a language file gives one).
#include <QString>
#include <functional>

namespace params::sessiontext {

struct Text {
    int key;
    const char* polish; // UTF-8
    QString builtIn() const { return QString::fromUtf8(polish); }
};

// The design's own and earlier texts the session shows.
constexpr Text Written{30006, "Zapisano parametry"};
constexpr Text Read{30007, "Odczytano parametry"};
constexpr Text Reset{30008, "Zresetowano parametry"};
constexpr Text NoAnswer{31000, "Nie odczytano parametrów - brak odpowiedzi sterownika"};
constexpr Text AutoNotRead{31002,
                           "Parametry nie zostały odczytane ze sterownika - nie zapisano ich samoczynnie."};
constexpr Text AutoDefaults{31003,
                            "Parametry domyślne nie są zapisywane samoczynnie - użyj „Zapisz parametry”."};
constexpr Text AutoMarked{31004,
                          "Nie zapisano samoczynnie: zaznaczone pola nie pokazują wartości sterownika."};
constexpr Text FieldsMarked{31005,
                            "Odczytano parametry; %1 zaznaczonych pól nie pokazuje wartości sterownika - "
                            "sprawdź je (podpowiedź pola) przed zapisem."};
constexpr Text FileLoaded{31011, "Wczytano plik parametrów %1"};
constexpr Text WriteStopped{31033, "Zapis parametrów przerwany - port przestał działać. Nie zapisano: %1"};

// Texts of the session (31100 up).
constexpr Text BadAnswer{31100, "Nie odczytano parametrów - błędna odpowiedź sterownika"};
constexpr Text RefusedNotRead{31101,
                              "Nie zapisano: strona nie pokazuje parametrów odczytanych ze sterownika, "
                              "z pliku ani z autoadaptacji. Najpierw odczytaj sterownik "
                              "(„odczyt parametrów”)."};
constexpr Text RefusedIgnition{31102,
                               "Nie zapisano: układ zapłonu sterownika nie jest znany, więc obrotów nie "
                               "da się przeliczyć. Najpierw odczytaj sterownik („odczyt parametrów”)."};
constexpr Text RefusedValues{31103, "Nie zapisano - tych wartości sterownik nie przechowa: %1"};
constexpr Text RefusedValue{31104, "%1 = %2 (zakres %3)"};
constexpr Text RefusedNoBlock{31105, "Nie zapisano: nie udało się odczytać sterownika przed zapisem. %1"};
constexpr Text WrittenExcept{31106, "Zapisano parametry oprócz: %1"};
constexpr Text UnwrittenQuestion{31107, "Tych wartości strony sterownik nie dostał: %1. "
                                        "Odczyt zastąpi je wartościami ze sterownika."};
constexpr Text UnwrittenWrite{31108, "Zapisz je"};
constexpr Text UnwrittenDiscard{31109, "Odrzuć"};
constexpr Text UnwrittenKeep{31110, "Zostaw stronę"};
constexpr Text CompareMarked{31111, "Pola zaznaczone - strona nie pokazuje ich bajtów ze sterownika: %1"};
constexpr Text CompareBytes{31112, "%1 (inne bajty)"};
constexpr Text PrintFileCheck{31113, "Drukuj wczytany plik %1 (sterownik go nie dostał)"};
constexpr Text PrintFileHeading{31114, "Plik %1 - nie zapisany w sterowniku"};
// Notes of the restore points: what was about to be written.
constexpr Text WhatButton{31120, "Zapisz parametry"};
constexpr Text WhatKeyboard{31121, "Enter na stronie parametrów"};
constexpr Text WhatReset{31122, "Reset parametrów"};
constexpr Text WhatAutomatic{31123, "Zapis przy zmianie strony"};
constexpr Text WhatFinish{31124, "Koniec autoadaptacji"};
constexpr Text WhatEdits{31125, "Zapis przed odczytem"};
constexpr Text WhatRestore{31126, "Przywrócenie punktu z %1"};

// The restore points ("Historia").
constexpr Text HistoryCaption{31130, "Historia"};
constexpr Text HistoryTitle{31131, "Punkty przywracania"};
constexpr Text HistoryTime{31132, "Czas"};
constexpr Text HistoryPort{31133, "Port"};
constexpr Text HistoryWhat{31134, "Przed zapisem"};
constexpr Text HistoryDiffers{31135, "Różni się od sterownika"};
constexpr Text HistoryRestore{31136, "Przywróć"};
constexpr Text HistoryClose{31137, "Zamknij"};
constexpr Text HistorySame{31138, "nic"};
constexpr Text HistoryUnknown{31139, "nie wiadomo - sterownika nie odczytano"};
constexpr Text HistoryBytes{31140, "tylko bajty %1"};
constexpr Text HistoryNone{31141, "Brak punktów przywracania."};
constexpr Text Restored{31142, "Przywrócono punkt z %1: sterownik ma znów jego bajty."};
constexpr Text RestoredDiffering{31143, "Przywrócono punkt z %1, ale odczyt różni się w bajtach: %2"};
constexpr Text RestoredNoReadBack{31144,
                                  "Przywrócono punkt z %1, ale bloku nie odczytano z powrotem - sprawdź go "
                                  "(„odczyt parametrów”)."};
constexpr Text RestoreStopped{31145, "Przywracanie punktu z %1 przerwane - nie wysłano bajtów: %2"};
constexpr Text NotRestorable{31146, "Nie do przywrócenia (żadne polecenie ich nie zapisuje): bajty %1"};

// The comparison's rows of the two-field parameters: which of the two a row is.
constexpr Text PartMin{31300, "%1 - minimum"};
constexpr Text PartMax{31301, "%1 - maksimum"};
constexpr Text PartLow{31302, "%1 - stan niski"};
constexpr Text PartHigh{31303, "%1 - stan wysoki"};
constexpr Text CompareClose{31304, "Zamknij"};
// A parameter file that cannot be loaded (%1 the file; %2 the line, %3 its text, %4 why).
constexpr Text LoadAtLine{31322, "Nie można wczytać „%1”, wiersz %2 %3: %4. Nic nie wczytano."};
constexpr Text LoadFailed{31323, "Nie można wczytać „%1”: %2. Nic nie wczytano."};
constexpr Text LoadTooLarge{31324, "plik jest większy niż %1 bajtów"};
// Shared with the language and skin files' messages (their defaults are set there).
constexpr Text LoadLineTooLong{31316, "wiersz jest dłuższy niż %1 znaków"};
constexpr Text LoadNotInteger{31021, "'%1' nie jest poprawną liczbą całkowitą"};

// The session's own texts (31100 up), for the language texts' defaults.
inline constexpr Text Own[] = {BadAnswer,
                               RefusedNotRead,
                               RefusedIgnition,
                               RefusedValues,
                               RefusedValue,
                               RefusedNoBlock,
                               WrittenExcept,
                               UnwrittenQuestion,
                               UnwrittenWrite,
                               UnwrittenDiscard,
                               UnwrittenKeep,
                               CompareMarked,
                               CompareBytes,
                               PrintFileCheck,
                               PrintFileHeading,
                               WhatButton,
                               WhatKeyboard,
                               WhatReset,
                               WhatAutomatic,
                               WhatFinish,
                               WhatEdits,
                               WhatRestore,
                               HistoryCaption,
                               HistoryTitle,
                               HistoryTime,
                               HistoryPort,
                               HistoryWhat,
                               HistoryDiffers,
                               HistoryRestore,
                               HistoryClose,
                               HistorySame,
                               HistoryUnknown,
                               HistoryBytes,
                               HistoryNone,
                               Restored,
                               RestoredDiffering,
                               RestoredNoReadBack,
                               RestoreStopped,
                               NotRestorable,
                               PartMin,
                               PartMax,
                               PartLow,
                               PartHigh,
                               CompareClose,
                               LoadAtLine,
                               LoadFailed,
                               LoadTooLarge};

} // namespace params::sessiontext
