#include "image/ansi.h"

#include <array>

namespace ansi {
namespace {

// 0x80..0x9F of Windows-1252. The five undefined positions keep their C1 code
// points so that every byte survives a round trip.
constexpr std::array<char16_t, 32> kC1 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QChar zeichen(std::uint8_t byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(kC1[byte - 0x80]);
    return QChar(char16_t(byte));
}

std::optional<std::uint8_t> byteFuer(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return std::uint8_t(u);
    for (std::size_t i = 0; i < kC1.size(); ++i)
        if (kC1[i] == u)
            return std::uint8_t(0x80 + i);
    return std::nullopt;
}

QString text(const QByteArray& bytes)
{
    QString s;
    s.reserve(bytes.size());
    for (char b : bytes)
        s.append(zeichen(std::uint8_t(b)));
    return s;
}

QByteArray bytes(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text)
        out.append(char(byteFuer(c).value_or('?')));
    return out;
}

bool darstellbar(const QString& text)
{
    for (QChar c : text)
        if (!byteFuer(c))
            return false;
    return true;
}

} // namespace ansi
