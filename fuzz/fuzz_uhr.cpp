// Any bytes as the clock's answer; the same bytes as a PC time for the setting bytes.
#include "clock/uhr.h"
#include "pruefen.h"

#include <QRegularExpression>

namespace {

// A packed BCD byte's value, or -1 when a nibble is no decimal digit.
int ausBcd(int b)
{
    if ((b >> 4) > 9 || (b & 0x0F) > 9)
        return -1;
    return (b >> 4) * 10 + (b & 0x0F);
}

void antwortPruefen(const QByteArray& antwort)
{
    const bool lesbar = antwort.endsWith(uhr::kEnde) && antwort.size() >= 6;
    const auto zeit = uhr::Zeit(antwort);
    const auto text = uhr::boraZeitText(antwort);
    PRUEFE(zeit.has_value() == lesbar);
    PRUEFE(text.has_value() == lesbar);
    if (!lesbar)
        return;

    // The five bytes right before ">": seconds, minutes, hours, day, month.
    const QByteArray fuenf = antwort.chopped(1).right(5);
    for (int i = 0; i < 5; ++i) {
        const QString& z = (*zeit)[std::size_t(i)];
        PRUEFE(z.size() >= 2 && z.size() <= 3);
        bool ok = false;
        PRUEFE(z.toInt(&ok) == std::uint8_t(fuenf[i]) && ok);
    }

    static const QRegularExpression form(
        QStringLiteral("^(\\d{2,3}):(\\d{2,3}):(\\d{2,3})   (\\d{2,3})\\.(\\d{2,3})\\.$"));
    const auto m = form.match(*text);
    PRUEFE(m.hasMatch());
    const int reihenfolge[5] = {2, 1, 0, 3, 4};  // hh:mm:ss   DD.MM.
    for (int g = 0; g < 5; ++g)
        PRUEFE(m.captured(g + 1).toInt() == std::uint8_t(fuenf[reihenfolge[g]]));
}

void stellenPruefen(FuzzedDataProvider& fdp)
{
    const QDate datum(fdp.ConsumeIntegralInRange(-4800, 9999), fdp.ConsumeIntegralInRange(1, 12),
                      fdp.ConsumeIntegralInRange(1, 31));
    const QTime uhrzeit(fdp.ConsumeIntegralInRange(0, 23), fdp.ConsumeIntegralInRange(0, 59),
                        fdp.ConsumeIntegralInRange(0, 59));
    if (!datum.isValid() || !uhrzeit.isValid())
        return;
    const QDateTime jetzt(datum, uhrzeit, Qt::UTC);
    const QByteArray b = uhr::stellBytes(jetzt);
    PRUEFE(b.size() == 5);
    const auto byte = [&](int i) { return int(std::uint8_t(b[i])); };
    PRUEFE(ausBcd(byte(0)) == uhrzeit.second());
    PRUEFE(ausBcd(byte(1)) == uhrzeit.minute());
    PRUEFE(ausBcd(byte(2)) == uhrzeit.hour());
    PRUEFE(ausBcd(byte(3) & 0x3F) == datum.day());
    PRUEFE((byte(3) >> 6) == ((datum.year() % 4) + 4) % 4);
    PRUEFE(ausBcd(byte(4) & 0x1F) == datum.month());
    PRUEFE((byte(4) >> 5) == datum.dayOfWeek() - 1);

    static const QRegularExpression form(QStringLiteral("^\\d{2}:\\d{2}:\\d{2}   \\d{2}\\.\\d{2}\\.$"));
    PRUEFE(form.match(uhr::pcZeitText(jetzt)).hasMatch());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse)
{
    antwortPruefen(alsBytes(daten, groesse));
    FuzzedDataProvider fdp(daten, groesse);
    stellenPruefen(fdp);
    return 0;
}
