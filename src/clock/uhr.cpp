#include "clock/uhr.h"

#include "image/felder.h"

namespace uhr {

std::optional<std::array<QString, 5>> Zeit(const QByteArray& antwort)
{
    if (!antwort.endsWith(kEnde) || antwort.size() < 6)
        return std::nullopt;
    const QByteArray bytes = antwort.chopped(1).right(5);
    std::array<QString, 5> z;
    for (int i = 0; i < 5; ++i)
        z[std::size_t(i)] = zweistellig(std::uint8_t(bytes.at(i)));
    return z;
}

std::optional<QString> boraZeitText(const QByteArray& antwort)
{
    const auto z = Zeit(antwort);
    if (!z)
        return std::nullopt;
    return (*z)[2] + QLatin1Char(':') + (*z)[1] + QLatin1Char(':') + (*z)[0]
         + QStringLiteral("   ") + (*z)[3] + QLatin1Char('.') + (*z)[4] + QLatin1Char('.');
}

std::uint8_t BCDUm(int wert, BcdModus modus, int jahr, int wochentag)
{
    Q_ASSERT(wert >= 0 && wert <= 99);
    int ergebnis = (wert / 10 % 10) * 16 + wert % 10;
    switch (modus) {
    case BcdModus::Normal: break;
    case BcdModus::Tag: ergebnis += 64 * (((jahr % 4) + 4) % 4); break;
    case BcdModus::Monat: ergebnis += 32 * (wochentag - 1); break;
    }
    return std::uint8_t(ergebnis);
}

QByteArray stellBytes(const QDateTime& jetzt)
{
    const QDate d = jetzt.date();
    const QTime t = jetzt.time();
    QByteArray b;
    b.append(char(BCDUm(t.second())));
    b.append(char(BCDUm(t.minute())));
    b.append(char(BCDUm(t.hour())));
    b.append(char(BCDUm(d.day(), BcdModus::Tag, d.year())));
    b.append(char(BCDUm(d.month(), BcdModus::Monat, d.year(), d.dayOfWeek())));
    return b;
}

QString pcZeitText(const QDateTime& jetzt)
{
    return jetzt.toString(QStringLiteral("HH:mm:ss   dd.MM."));
}

} // namespace uhr
