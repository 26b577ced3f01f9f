#pragma once
// Text <-> bytes in the Windows-1252 code page: the one place where the program
// turns characters into device bytes and back. Every byte value 0..255 maps to
// exactly one character and back, including the five values the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D), which map to U+0081 etc.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace ansi {

// The character for a byte.
QChar zeichen(std::uint8_t byte);

// The byte for a character, or nothing when the code page has no byte for it.
std::optional<std::uint8_t> byteFuer(QChar c);

// Bytes -> text, one character per byte.
QString text(const QByteArray& bytes);

// Text -> bytes; characters without a byte in the code page become '?'.
QByteArray bytes(const QString& text);

// True when every character of the text has a byte in the code page.
bool darstellbar(const QString& text);

} // namespace ansi
