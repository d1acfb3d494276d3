#pragma once

// Language keys of the messages of a file that stopped, with their built-in
// Polish wording.
namespace shell::filetext {
struct Text {
    int key;
    const char* polish; // UTF-8
};
constexpr Text CannotOpen{31314, "%1: nie można otworzyć pliku (%2)"};
constexpr Text AtLine{31315, "%1, wiersz %2: %3"};
constexpr Text LineTooLong{31316, "wiersz jest dłuższy niż %1 znaków"};
constexpr Text TooLarge{31317, "%1: plik jest większy niż %2 bajtów"};
constexpr Text NotRegular{31318, "to nie jest zwykły plik"};
constexpr Text NotInteger{31021, "'%1' nie jest poprawną liczbą całkowitą"};
constexpr Text Where{31325, "%1, wiersz %2"}; // a bad line the file goes on after
inline constexpr Text Own[] = {CannotOpen, AtLine, LineTooLong, TooLarge, NotRegular, Where};
} // namespace shell::filetext
