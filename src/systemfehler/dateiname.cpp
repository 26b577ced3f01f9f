#include "systemfehler/dateiname.h"

namespace dateiname {
namespace {

constexpr char16_t kErsatzBasis = 0xDC00;  // + byte 0x80..0xFF

bool bewahrt(const QString& s, qsizetype i)
{
    const char16_t c = s.at(i).unicode();
    return c >= kErsatzBasis + 0x80 && c <= kErsatzBasis + 0xFF && (i == 0 || !s.at(i - 1).isHighSurrogate());
}

// The length of the valid UTF-8 sequence at `i`, 0 when there is none.
int folge(const QByteArray& b, qsizetype i)
{
    const auto u = [&](qsizetype k) { return k < b.size() ? std::uint8_t(b.at(k)) : 0; };
    const std::uint8_t c = u(i);
    const auto weiter = [&](qsizetype k) { return (u(k) & 0xC0) == 0x80; };
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return weiter(i + 1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        // No overlong form (E0 below A0), no surrogate (ED from A0 on).
        const std::uint8_t z = u(i + 1);
        const bool ok = (c == 0xE0 ? z >= 0xA0 : c == 0xED ? z < 0xA0 : true);
        return ok && weiter(i + 1) && weiter(i + 2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const std::uint8_t z = u(i + 1);
        const bool ok = (c == 0xF0 ? z >= 0x90 : c == 0xF4 ? z < 0x90 : true);
        return ok && weiter(i + 1) && weiter(i + 2) && weiter(i + 3) ? 4 : 0;
    }
    return 0;
}

} // namespace

QString text(const QByteArray& bytes)
{
    QString t;
    qsizetype anfang = 0;  // of the valid run not yet decoded
    for (qsizetype i = 0; i < bytes.size();) {
        if (const int n = folge(bytes, i)) {
            i += n;
            continue;
        }
        t += QString::fromUtf8(bytes.mid(anfang, i - anfang));
        t += QChar(char16_t(kErsatzBasis + std::uint8_t(bytes.at(i))));
        anfang = ++i;
    }
    return t + QString::fromUtf8(bytes.mid(anfang));
}

QByteArray bytes(const QString& name)
{
    QByteArray b;
    qsizetype anfang = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!bewahrt(name, i))
            continue;
        b += QStringView(name).mid(anfang, i - anfang).toUtf8();
        b += char(name.at(i).unicode() - kErsatzBasis);
        anfang = i + 1;
    }
    return b + QStringView(name).mid(anfang).toUtf8();
}

QString lesbar(const QString& name)
{
    QString t = name;
    for (qsizetype i = 0; i < t.size(); ++i)
        if (bewahrt(name, i))
            t[i] = QChar::ReplacementCharacter;
    return t;
}

} // namespace dateiname
