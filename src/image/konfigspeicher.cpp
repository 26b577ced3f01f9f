#include "image/konfigspeicher.h"

#include "image/ansi.h"

QByteArray Konfigspeicher::seite(int s) const
{
    QByteArray out(kZellen, char(0xFF));
    for (int o = 0; o < kZellen; ++o)
        out[o] = char(byte(s, o));
    return out;
}

QByteArray Konfigspeicher::geraeteBytes() const
{
    QByteArray out;
    out.reserve(kGeraeteBytes);
    for (int s = 0; s < kGeraeteSeiten; ++s)
        out.append(seite(s));
    return out;
}

void Grundeinstellung(Konfigspeicher& k)
{
    for (int s = 0; s < kSeiten; ++s)
        for (int o = 0; o < kZellen; ++o)
            k.setze(s, o, (s == 0 && o < 3) ? 0x00 : 0xFF);
    const QByteArray konto = ansi::bytes(QStringLiteral("Kontostand Minimum"));
    for (int i = 0; i < konto.size(); ++i)
        k.setze(0, 74 + i, std::uint8_t(konto[i]));
    k.setze(0, 92, 0x03);
    const QByteArray batt = ansi::bytes(QStringLiteral("Batteriespannung zu niedrig"));
    for (int i = 0; i < batt.size(); ++i)
        k.setze(11, 200 + i, std::uint8_t(batt[i]));
    k.setze(11, 227, 0x03);
}

Netzbetreiber Netzbetreiber_erkennen(const Konfigspeicher& k)
{
    QByteArray erster;
    for (int o = 0; o < 128; ++o) {
        const std::uint8_t b = k.byte(1, o);
        if (b == 0x0D)
            break;
        erster.append(char(b));
    }
    const QByteArray kopf = erster.left(6);
    if (kopf.contains("664"))
        return Netzbetreiber::A1;
    if (kopf.contains("676"))
        return Netzbetreiber::TMobile;
    return Netzbetreiber::Andere;
}

void Alles_markieren(Seitenaenderung& s)
{
    for (int i = 0; i < kGeraeteSeiten; ++i)
        s[i] = true;
}

void Markierungen_loeschen(Seitenaenderung& s)
{
    s.fill(false);
}

QString seitenTitel(int seite)
{
    if (seite == 0)
        return QStringLiteral("Allgemeine Daten ...");
    if (seite >= 1 && seite <= 9)
        return QStringLiteral("Daten zu %1 ...").arg(meldequelle(seite));
    if (seite == 10)
        return QStringLiteral("Bestätigungstexte ...");
    if (seite == 11 || seite == 12)
        return QStringLiteral("Daten zu Analogeingang ...");
    return {};
}

QString meldequelle(int seite)
{
    if (seite >= 1 && seite <= 8)
        return QStringLiteral("Meldelinie %1").arg(seite);
    if (seite == 9)
        return QStringLiteral("Stromausfall");
    if (seite == 11)
        return QStringLiteral("Analogwertüberwachung");
    return {};
}
