#include "linktext/pruefung.h"

#include "image/konfigspeicher.h"

#include <QList>
#include <QStringList>

namespace linktext {
namespace {

QString hex(std::uint8_t b)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

// "3", "3 und 11", "0 bis 5", "0, 3 bis 5 und 11" (three or more in a row as "von bis").
QString seitenliste(const QList<int>& seiten)
{
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

} // namespace

Pruefbefund pruefen(const QByteArray& gesendet, const QByteArray& gelesen)
{
    Pruefbefund b;
    QList<int> seiten;
    for (int p = 0; p < kGeraeteSeiten; ++p) {
        for (int o = 0; o < kZellen; ++o) {
            const qsizetype stelle = qsizetype(p) * kZellen + o;
            const bool da = stelle < gelesen.size();
            const auto soll = std::uint8_t(stelle < gesendet.size() ? gesendet.at(stelle) : char(0xFF));
            if (da && std::uint8_t(gelesen.at(stelle)) == soll)
                continue;
            if (seiten.isEmpty())
                b.detail = QStringLiteral("erste Abweichung: Seite %1, Zeichen %2: gesendet %3, gelesen %4")
                               .arg(p)
                               .arg(o + 1)
                               .arg(hex(soll), hex(da ? std::uint8_t(gelesen.at(stelle)) : 0));
            seiten.append(p);
            break;
        }
    }
    if (!seiten.isEmpty())
        b.meldung = QStringLiteral("Prüfung fehlgeschlagen: %1 %2 %3 ab")
                        .arg(seiten.size() == 1 ? QStringLiteral("Seite") : QStringLiteral("Seiten"), seitenliste(seiten),
                             seiten.size() == 1 ? QStringLiteral("weicht") : QStringLiteral("weichen"));
    return b;
}

} // namespace linktext
