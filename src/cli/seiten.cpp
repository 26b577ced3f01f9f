#include "cli/seiten.h"

#include <algorithm>

namespace cli {
namespace {

QString hex(std::uint8_t b)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

// "Seite 3" or "Seiten 3 und 11".
QString mitNomen(const QList<int>& seiten)
{
    return (seiten.size() == 1 ? QStringLiteral("Seite ") : QStringLiteral("Seiten ")) + seitenliste(seiten);
}

} // namespace

QString seitenliste(QList<int> seiten)
{
    std::sort(seiten.begin(), seiten.end());
    seiten.erase(std::unique(seiten.begin(), seiten.end()), seiten.end());
    QStringList teile;
    for (qsizetype i = 0; i < seiten.size();) {
        qsizetype j = i;
        while (j + 1 < seiten.size() && seiten[j + 1] == seiten[j] + 1)
            ++j;
        if (j - i >= 2) {
            teile << QStringLiteral("%1 bis %2").arg(seiten[i]).arg(seiten[j]);
        } else {
            for (qsizetype k = i; k <= j; ++k)
                teile << QString::number(seiten[k]);
        }
        i = j + 1;
    }
    if (teile.size() <= 1)
        return teile.value(0);
    const QString letzter = teile.takeLast();
    return teile.join(QStringLiteral(", ")) + QStringLiteral(" und ") + letzter;
}

QString teilweiseText(const QList<int>& geschrieben, const QList<int>& offen, bool datenGesendet)
{
    if (!datenGesendet)
        return QStringLiteral("Gerät nicht beschrieben: keine Seite gesendet. Schreiben wiederholen.");
    if (geschrieben.isEmpty())
        return QStringLiteral("Gerät nur teilweise beschrieben: %1 nicht geschrieben. Schreiben wiederholen.")
            .arg(mitNomen(offen));
    if (offen.isEmpty())  // cannot come from a write that ended early; said plainly all the same
        return QStringLiteral("Gerät beschrieben: %1 geschrieben.").arg(mitNomen(geschrieben));
    return QStringLiteral("Gerät nur teilweise beschrieben: %1 geschrieben, %2 nicht. Schreiben wiederholen.")
        .arg(mitNomen(geschrieben), seitenliste(offen));
}

Abweichung abweichungSuchen(const Konfigspeicher& bild, const Seitenaenderung& seiten, const QByteArray& gelesen)
{
    Abweichung a;
    for (int p = 0; p < kGeraeteSeiten; ++p) {
        if (!seiten[std::size_t(p)])
            continue;
        const QByteArray gesendet = bild.seite(p);
        for (int o = 0; o < kZellen; ++o) {
            const qsizetype stelle = qsizetype(p) * kZellen + o;
            const bool da = stelle < gelesen.size();
            if (da && gelesen.at(stelle) == gesendet.at(o))
                continue;
            if (a.seite < 0) {
                a.seite = p;
                a.zeichen = o + 1;
                a.gesendet = std::uint8_t(gesendet.at(o));
                a.gelesen = da ? std::uint8_t(gelesen.at(stelle)) : 0;
            }
            a.seiten.append(p);
            break;
        }
    }
    return a;
}

QString pruefText(const Abweichung& a)
{
    return QStringLiteral("Prüfung fehlgeschlagen: %1 %2 ab")
        .arg(mitNomen(a.seiten), a.seiten.size() == 1 ? QStringLiteral("weicht") : QStringLiteral("weichen"));
}

QString ersteAbweichungText(const Abweichung& a)
{
    return QStringLiteral("erste Abweichung: Seite %1, Zeichen %2: gesendet %3, gelesen %4")
        .arg(a.seite)
        .arg(a.zeichen)
        .arg(hex(a.gesendet), hex(a.gelesen));
}

} // namespace cli
