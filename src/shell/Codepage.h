#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace shell {

// The single-byte character sets of the language and skin files. The files are
// written for Windows code pages; decoding here keeps the program independent
// of the platform's converters.
enum class Charset { Cp1250, Cp1251 };

// Bytes 0x00-0x7F are ASCII; 0x80-0xFF map by the code page. The few bytes a
// code page leaves undefined become the control character of the same number,
// as the Windows converters do.
QString decode(Charset cs, QByteArrayView bytes);
// Characters outside the code page become '?'.
QByteArray encode(Charset cs, const QString& text);

// Whether bytes can be text of the code page: none of the few bytes it leaves
// undefined, and no UTF-8 in it. UTF-8 is a UTF-8 signature, or characters
// beyond ASCII that all form UTF-8 sequences: text in a single-byte code page
// (a Polish letter before a space, two Cyrillic letters) hardly ever does.
bool fitsCodePage(Charset cs, QByteArrayView bytes);

// The code page's name for messages: "Windows-1250", "Windows-1251".
QString codePageName(Charset cs);

// "russian.lng" is Cyrillic; every other name (the four other language files
// and any unknown name) is Central European. Case-insensitive.
Charset charsetForLanguageFile(const QString& fileName);

} // namespace shell
