#pragma once
// Code page 1250, the Windows Central European code page: the texts of the
// data key and of the track transfer files exchanged with other
// installations are bytes of it.
#include <QByteArray>
#include <QString>

#include <cstdint>

// The five byte values the code page leaves undefined (0x81, 0x83, 0x88,
// 0x90, 0x98) map to the control characters of the same value, as the
// Windows conversion does.
QString Cp1250ToUnicode(const uint8_t* bytes, int count);
QString Cp1250ToUnicode(const QByteArray& bytes);
// The reverse; characters outside the code page become replacement.
QByteArray UnicodeToCp1250(const QString& text, char replacement = '?');

// Whether a character (a code point) has a place in the code page.
bool InCp1250(char32_t codePoint);
// The first character of text the code page cannot hold (a surrogate pair
// counts as one character), or an empty string when it holds them all.
QString FirstCharacterOutsideCp1250(const QString& text);
