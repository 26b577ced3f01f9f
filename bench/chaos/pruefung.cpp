#include "pruefung.h"

#include <QRegularExpression>
#include <QSet>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

namespace {

constexpr int kSeiten = 13;
constexpr int kZellen = 256;

QByteArray seite(const QByteArray& b, int p) { return b.mid(qsizetype(p) * kZellen, kZellen); }
bool gleich(const QByteArray& a, const QByteArray& b, int p) { return seite(a, p) == seite(b, p); }

QString liste(const QList<int>& seiten)
{
    QStringList s;
    for (int p : seiten)
        s << QString::number(p);
    return s.join(QLatin1Char(','));
}

// "3", "0, 2 bis 4 und 9" -> the pages; none for a text that is no such list.
std::optional<QList<int>> seitenLesen(const QString& text)
{
    static const QRegularExpression trenner(QStringLiteral(", | und "));
    QList<int> seiten;
    for (const QString& teil : text.split(trenner)) {
        const QStringList ab = teil.split(QStringLiteral(" bis "));
        bool ok1 = false, ok2 = true;
        const int von = ab.value(0).toInt(&ok1), bis = ab.size() == 2 ? ab[1].toInt(&ok2) : von;
        if (!ok1 || !ok2 || ab.size() > 2 || bis < von || von < 0 || bis >= kSeiten)
            return std::nullopt;
        for (int p = von; p <= bis; ++p)
            seiten << p;
    }
    return seiten;
}

// What page p holds, in the words of the read back.
QString inhalt(const Laufergebnis& l, int p)
{
    const bool datei = gleich(l.geraet, l.datei, p), vorher = l.sicherung && gleich(l.geraet, l.vorher, p);
    if (datei)
        return vorher ? QStringLiteral("wie vorher und wie in der Datei") : QStringLiteral("aus der Datei");
    if (!l.sicherung)
        return QStringLiteral("abweichend");
    return vorher ? QStringLiteral("wie vorher") : QStringLiteral("gemischt");
}

// "Seiten 0 bis 2 aus der Datei, Seite 3 gemischt, ... [Schreiben wiederholen.]"
QString haeltPruefen(const Laufergebnis& l, QString rest)
{
    const QString wiederholen = QStringLiteral(". Schreiben wiederholen.");
    const bool nochmal = rest.endsWith(wiederholen);
    if (!nochmal && !rest.endsWith(QLatin1Char('.')))
        return QStringLiteral("kein Satzende");
    rest.chop(nochmal ? wiederholen.size() : 1);
    static const QRegularExpression gruppe(QStringLiteral(
        "Seiten? (\\d+(?:(?:, | und | bis )\\d+)*) (aus der Datei|gemischt|abweichend|wie vorher und wie in der "
        "Datei|wie vorher)(?:, |$)"));
    QSet<int> gesehen;
    QStringList falsch;
    bool allesAusDatei = true;
    qsizetype stelle = 0;
    for (auto it = gruppe.globalMatch(rest); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const auto seiten = seitenLesen(m.captured(1));
        if (m.capturedStart() != stelle || !seiten)
            return QStringLiteral("nicht zu lesen ab \"%1\"").arg(rest.mid(stelle));
        stelle = m.capturedEnd();
        for (int p : *seiten) {
            if (gesehen.contains(p))
                falsch << QStringLiteral("Seite %1 zweimal genannt").arg(p);
            gesehen.insert(p);
            if (inhalt(l, p) != m.captured(2))
                falsch << QStringLiteral("Seite %1 ist %2").arg(p).arg(inhalt(l, p));
            allesAusDatei = allesAusDatei && m.captured(2).endsWith(QLatin1String("Datei"));
        }
    }
    if (stelle != rest.size())
        return QStringLiteral("nicht zu lesen ab \"%1\"").arg(rest.mid(stelle));
    if (gesehen.size() != kSeiten)
        falsch << QStringLiteral("nicht alle 13 Seiten genannt");
    if (nochmal == allesAusDatei)
        falsch << (nochmal ? QStringLiteral("Wiederholen verlangt, obwohl alles aus der Datei ist")
                           : QStringLiteral("Wiederholen fehlt"));
    return falsch.join(QStringLiteral("; "));
}

// A page sent and confirmed whole: in the device as far as its model stores
// what came (a page dropped by nostore@N keeps what it held).
QString bestaetigtPruefen(const Laufergebnis& l, int p)
{
    if (l.nichtGespeichert.contains(p))
        return gleich(l.geraet, l.vorher, p) ? QString() : QStringLiteral("Seite %1 nicht wie vorher").arg(p);
    if (l.bytemodell)
        return gleich(l.geraet, l.datei, p) ? QString() : QStringLiteral("Seite %1 nicht aus der Datei").arg(p);
    return gleich(l.geraet, l.datei, p) || gleich(l.geraet, l.vorher, p)
               ? QString()
               : QStringLiteral("Seite %1 weder aus der Datei noch wie vorher").arg(p);
}

// "Seiten 0 bis 2 gesendet und bestätigt, von Seite 3 nur 17 der 256 Bytes,
// Seiten 4 bis 12 nicht gesendet. Schreiben wiederholen."
QString ungeprueftPruefen(const Laufergebnis& l, QString rest)
{
    const QString wiederholen = QStringLiteral(". Schreiben wiederholen.");
    if (!rest.endsWith(wiederholen))
        return QStringLiteral("Wiederholen fehlt");
    rest.chop(wiederholen.size());
    static const QRegularExpression bestaetigt(QStringLiteral("^Seiten? ([\\d ,undbis]+?) gesendet und bestätigt(?:, |$)"));
    static const QRegularExpression angefangen(QStringLiteral(
        "^von Seite (\\d+) (?:nur (\\d+) der 256 Bytes|kein Byte)(?: gesendet und bestätigt)?(?:, |$)"));
    static const QRegularExpression offen(QStringLiteral("^Seiten? ([\\d ,undbis]+) nicht gesendet$"));
    QStringList falsch;
    QSet<int> gesehen;
    int genannt = 0;
    const auto nehmen = [&](const QRegularExpression& r, const std::function<void(const QRegularExpressionMatch&)>& f) {
        if (const auto m = r.match(rest); m.hasMatch()) {
            f(m);
            rest = rest.mid(m.capturedLength());
        }
    };
    // The pages of a list, each counted once as named.
    const auto seitenNehmen = [&](const QString& text) {
        const QList<int> s = seitenLesen(text).value_or(QList<int>{});
        if (s.isEmpty())
            falsch << QStringLiteral("Seitenliste \"%1\" nicht zu lesen").arg(text);
        for (int p : s)
            gesehen.insert(p);
        genannt += int(s.size());
        return s;
    };
    nehmen(bestaetigt, [&](const QRegularExpressionMatch& m) {
        for (int p : seitenNehmen(m.captured(1))) {
            if (const QString f = bestaetigtPruefen(l, p); !f.isEmpty())
                falsch << f;
        }
    });
    nehmen(angefangen, [&](const QRegularExpressionMatch& m) {
        const int p = m.captured(1).toInt(), k = m.captured(2).toInt();
        seitenNehmen(m.captured(1));
        const bool vorn = seite(l.geraet, p).left(k) == seite(l.datei, p).left(k);
        if (!l.nichtGespeichert.contains(p) && l.bytemodell && !vorn)
            falsch << QStringLiteral("Seite %1: die ersten %2 Bytes nicht aus der Datei").arg(p).arg(k);
        if ((l.nichtGespeichert.contains(p) || !l.bytemodell) && !gleich(l.geraet, l.datei, p)
            && !gleich(l.geraet, l.vorher, p))
            falsch << QStringLiteral("Seite %1 weder aus der Datei noch wie vorher").arg(p);
    });
    nehmen(offen, [&](const QRegularExpressionMatch& m) {
        for (int p : seitenNehmen(m.captured(1))) {
            if (!gleich(l.geraet, l.vorher, p))
                falsch << QStringLiteral("Seite %1, nicht gesendet, ist nicht wie vorher").arg(p);
        }
    });
    if (!rest.isEmpty())
        return QStringLiteral("nicht zu lesen ab \"%1\"").arg(rest);
    if (gesehen.size() != kSeiten || genannt != kSeiten)
        falsch << QStringLiteral("nicht jede der 13 Seiten genau einmal genannt");
    return falsch.join(QStringLiteral("; "));
}

// "Prüfung fehlgeschlagen: Seiten 3 und 11 weichen ab", with the line of the
// first difference after it.
QString pruefungPruefen(const Laufergebnis& l, const QString& rest, const QString& erste)
{
    static const QRegularExpression satz(QStringLiteral("^Seiten? (.+) (?:weicht|weichen) ab$"));
    const auto m = satz.match(rest);
    const auto genannt = m.hasMatch() ? seitenLesen(m.captured(1)) : std::nullopt;
    if (!genannt)
        return QStringLiteral("nicht zu lesen");
    QList<int> abweichend;
    int p0 = -1, o0 = 0;
    for (int p = 0; p < kSeiten; ++p) {
        if (gleich(l.geraet, l.datei, p))
            continue;
        abweichend << p;
        for (int o = 0; p0 < 0 && o < kZellen; ++o)
            if (l.geraet[p * kZellen + o] != l.datei[p * kZellen + o])
                p0 = p, o0 = o;
    }
    if (*genannt != abweichend)
        return QStringLiteral("abweichend sind die Seiten %1").arg(liste(abweichend));
    const QString soll = p0 < 0 ? QString()
                                : QStringLiteral("gsmbv: erste Abweichung: Seite %1, Zeichen %2: gesendet 0x%3, gelesen 0x%4")
                                      .arg(p0)
                                      .arg(o0 + 1)
                                      .arg(std::uint8_t(l.datei[p0 * kZellen + o0]), 2, 16, QLatin1Char('0'))
                                      .arg(std::uint8_t(l.geraet[p0 * kZellen + o0]), 2, 16, QLatin1Char('0'));
    if (erste.compare(soll, Qt::CaseInsensitive) != 0)
        return QStringLiteral("die erste Abweichung ist \"%1\"").arg(soll);
    return {};
}

// The exit status as a statement: 0 means every page of the file is in the
// device; 130 only after a signal; 1 without a connection.
Aussage statusPruefen(const Laufergebnis& l, const QStringList& zeilen)
{
    Aussage a{QStringLiteral("Rückgabewert %1").arg(l.status), QStringLiteral("Rückgabewert %1").arg(l.status), {}};
    QList<int> anders;
    for (int p = 0; p < kSeiten; ++p)
        if (!gleich(l.geraet, l.datei, p))
            anders << p;
    if (l.status == 0 && !anders.isEmpty())
        a.falsch = QStringLiteral("Seiten %1 nicht aus der Datei").arg(liste(anders));
    else if (l.status == 130 && (l.signale == 0 || !zeilen.contains(QStringLiteral("gsmbv: abgebrochen"))))
        a.falsch = QStringLiteral("abgebrochen ohne Signal, oder ohne \"gsmbv: abgebrochen\"");
    else if (l.status == 1 && !zeilen.contains(QStringLiteral("Verbindung nicht möglich")))
        a.falsch = QStringLiteral("ohne \"Verbindung nicht möglich\"");
    else if (l.status != 0 && l.status != 1 && l.status != 3 && l.status != 130)
        a.falsch = QStringLiteral("unerwarteter Rückgabewert");
    return a;
}

// One line about the device, checked; none when the line is about something else.
std::optional<Aussage> zeilePruefen(const Laufergebnis& l, const QStringList& zeilen, qsizetype i)
{
    const QString& z = zeilen[i];
    QString rest;
    const auto vorn = [&z, &rest](const QString& vor) {
        rest = z.mid(vor.size());
        return z.startsWith(vor);
    };
    if (vorn(QStringLiteral("gsmbv: Gerät nicht beschrieben")))
        return Aussage{QStringLiteral("nicht beschrieben"), z,
                       l.geraet == l.vorher ? QString() : QStringLiteral("das Gerät hält nicht mehr, was es hielt")};
    if (vorn(QStringLiteral("gsmbv: Gerät hält: ")))
        return Aussage{QStringLiteral("hält"), z, haeltPruefen(l, rest)};
    if (vorn(QStringLiteral("gsmbv: Zustand des Geräts nicht geprüft: ")))
        return Aussage{QStringLiteral("nicht geprüft"), z, ungeprueftPruefen(l, rest)};
    if (z == QStringLiteral("gsmbv: Konfiguration gesendet, aber nicht geprüft")) {
        QStringList falsch;
        for (int p = 0; p < kSeiten; ++p)
            if (const QString f = bestaetigtPruefen(l, p); !f.isEmpty())
                falsch << f;
        return Aussage{QStringLiteral("gesendet"), z, falsch.join(QStringLiteral("; "))};
    }
    if (vorn(QStringLiteral("Prüfung fehlgeschlagen: ")))
        return Aussage{QStringLiteral("Prüfung"), z, pruefungPruefen(l, rest, zeilen.value(i + 1))};
    if (z.contains(QLatin1String("geschrieben")))
        return Aussage{QStringLiteral("geschrieben"), z, QStringLiteral("\"geschrieben\" ohne Zurücklesen")};
    return std::nullopt;
}

} // namespace

QList<Aussage> pruefen(const Laufergebnis& l)
{
    if (!l.beendet)
        return {Aussage{QStringLiteral("Ende"), QStringLiteral("gsmbv endete nicht von selbst"),
                        QStringLiteral("abgestürzt, durch ein Signal beendet oder hängend")}};
    if (l.geraet.size() != kSeiten * kZellen)
        return {Aussage{QStringLiteral("Ende"), QStringLiteral("Speicher des Geräts"),
                        QStringLiteral("gsmbv-sim hinterließ keinen Speicher von 3328 Bytes")}};
    const QStringList zeilen = l.fehler.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QList<Aussage> aussagen{statusPruefen(l, zeilen)};
    int ueberGeraet = 0;
    for (qsizetype i = 0; i < zeilen.size(); ++i)
        if (const auto a = zeilePruefen(l, zeilen, i)) {
            aussagen << *a;
            ueberGeraet += a->art != QLatin1String("geschrieben");
        }
    // Every ending but success says once what became of the device.
    if ((l.status == 0) != (ueberGeraet == 0) || ueberGeraet > 1)
        aussagen << Aussage{QStringLiteral("Ende"), QStringLiteral("%1 Zeilen über das Gerät").arg(ueberGeraet),
                            QStringLiteral("bei Rückgabewert %1 gehört genau %2 dazu")
                                .arg(l.status)
                                .arg(l.status == 0 ? QStringLiteral("keine") : QStringLiteral("eine"))};
    return aussagen;
}
