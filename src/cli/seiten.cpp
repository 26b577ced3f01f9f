#include "cli/seiten.h"

#include "linktext/linktext.h"

#include <QStringList>

namespace cli {
namespace {

QString hex(std::uint8_t b)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString haeltText(const Konfigspeicher& bild, const Seitenaenderung& seiten, const QByteArray& vorher,
                  const QByteArray& gelesen)
{
    // In the order they are named.
    enum Inhalt { Datei, Gemischt, Abweichend, Vorher, Beides, kInhalte };
    const char* const namen[kInhalte] = {"aus der Datei", "gemischt", "abweichend", "wie vorher",
                                         "wie vorher und wie in der Datei"};
    QList<int> gruppen[kInhalte];
    for (int p = 0; p < kGeraeteSeiten; ++p) {
        if (!seiten[std::size_t(p)])
            continue;
        const QByteArray g = gelesen.mid(qsizetype(p) * kZellen, kZellen);
        const bool wieVorher = !vorher.isEmpty() && g == vorher.mid(qsizetype(p) * kZellen, kZellen);
        if (g == bild.seite(p))
            gruppen[wieVorher ? Beides : Datei].append(p);
        else
            gruppen[wieVorher ? Vorher : vorher.isEmpty() ? Abweichend : Gemischt].append(p);
    }
    QStringList teile;
    for (int i = 0; i < kInhalte; ++i)
        if (!gruppen[i].isEmpty())
            teile << linktext::seitenMitNomen(gruppen[i]) + QLatin1Char(' ') + QString::fromUtf8(namen[i]);
    const bool fertig = gruppen[Gemischt].isEmpty() && gruppen[Abweichend].isEmpty() && gruppen[Vorher].isEmpty();
    return QStringLiteral("Gerät hält: ") + teile.join(QStringLiteral(", "))
         + (fertig ? QStringLiteral(".") : QStringLiteral(". Schreiben wiederholen."));
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
        .arg(linktext::seitenMitNomen(a.seiten), a.seiten.size() == 1 ? QStringLiteral("weicht") : QStringLiteral("weichen"));
}

QString ersteAbweichungText(const Abweichung& a)
{
    return QStringLiteral("erste Abweichung: Seite %1, Zeichen %2: gesendet %3, gelesen %4")
        .arg(a.seite)
        .arg(a.zeichen)
        .arg(hex(a.gesendet), hex(a.gelesen));
}

} // namespace cli
