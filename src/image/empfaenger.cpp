#include "image/empfaenger.h"

#include "image/ansi.h"
#include "image/felder.h"
#include "image/konfigspeicher.h"

#include <QHash>
#include <algorithm>

namespace empfaenger {
namespace {

// Gateway prefixes and suffixes of the operators' fax and mail services.
const QByteArray kFaxA1 = "06646802";
const QByteArray kMailA1 = "0664680502&";
const QByteArray kMailA1Ende = " (Boravilon)";
const QByteArray kFaxAndere = "6762";
const QByteArray kMailAndere = "6761&";

QString adresse(QByteArray rest)
{
    rest.replace('*', '@');
    return ansi::text(rest);
}

} // namespace

QByteArray kodieren(const Eintrag& e, bool a1)
{
    const QByteArray text = ansi::bytes(e.text);
    QByteArray out;
    switch (e.art) {
    case Art::GSM:
        out = text;
        break;
    case Art::Fax:
        out = (a1 ? kFaxA1 : kFaxAndere) + text;
        break;
    case Art::Email:
        out = a1 ? kMailA1 + text + kMailA1Ende : kMailAndere + text + ' ';
        break;
    }
    out.replace('@', '*');
    return out;
}

Eintrag dekodieren(const QByteArray& eintrag)
{
    if (eintrag.startsWith(kFaxA1))
        return {Art::Fax, ansi::text(eintrag.mid(kFaxA1.size()))};
    if (eintrag.startsWith(kMailA1)) {
        QByteArray rest = eintrag.mid(kMailA1.size());
        const qsizetype klammer = rest.indexOf('(');
        if (klammer >= 0) {
            rest.truncate(klammer);
            if (rest.endsWith(' '))
                rest.chop(1);
        }
        return {Art::Email, adresse(rest)};
    }
    if (eintrag.startsWith(kFaxAndere))
        return {Art::Fax, ansi::text(eintrag.mid(kFaxAndere.size()))};
    if (eintrag.startsWith(kMailAndere)) {
        QByteArray rest = eintrag.mid(kMailAndere.size());
        const qsizetype blank = rest.indexOf(' ');
        if (blank >= 0)
            rest.truncate(blank);
        return {Art::Email, adresse(rest)};
    }
    return {Art::GSM, ansi::text(eintrag)};
}

namespace {
QList<QByteArray> kodiert(const QList<Eintrag>& eintraege, bool a1)
{
    QList<QByteArray> out;
    for (const Eintrag& e : eintraege)
        if (!e.text.isEmpty())
            out.append(kodieren(e, a1));
    return out;
}
} // namespace

std::optional<QByteArray> listeKodieren(const QList<Eintrag>& eintraege, bool a1)
{
    return listeRahmen(kodiert(eintraege, a1));
}

int listeBedarf(const QList<Eintrag>& eintraege, bool a1)
{
    int n = 1;  // end mark
    for (const QByteArray& e : kodiert(eintraege, a1))
        n += int(e.size()) + 1;
    return n;
}

QList<Eintrag> listeDekodieren(const QList<QByteArray>& gespeichert)
{
    QList<Eintrag> out;
    for (const QByteArray& e : gespeichert)
        if (!e.isEmpty())
            out.append(dekodieren(e));
    return out;
}

bool zeichenZulaessig(Art art, QChar c)
{
    if (art != Art::Email)
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+');
    const std::optional<std::uint8_t> b = ansi::byteFuer(c);
    if (!b || !c.isPrint() || *b == 0xFF)
        return false;
    // ";" separates the entries of a list in the configuration file: an
    // address holding it would open as two entries.
    return c != QLatin1Char('*') && c != QLatin1Char(' ') && c != QLatin1Char('(') && c != QLatin1Char(';');
}

Gefiltert eingabeFiltern(Art art, const QString& alt, const QString& neu)
{
    // What the edit put in: the part of `neu` between what it kept of the
    // beginning and of the end of `alt`.
    const qsizetype kuerzer = std::min(alt.size(), neu.size());
    qsizetype vorn = 0;
    while (vorn < kuerzer && alt[vorn] == neu[vorn])
        ++vorn;
    qsizetype hinten = 0;
    while (hinten < kuerzer - vorn && alt[alt.size() - 1 - hinten] == neu[neu.size() - 1 - hinten])
        ++hinten;
    const QString entfernt = alt.mid(vorn, alt.size() - vorn - hinten);
    const QString eingefuegt = neu.mid(vorn, neu.size() - vorn - hinten);
    // Characters of a stored list that this editor would not write may be put
    // back where the edit took them out.
    QHash<QChar, int> zurueck;
    for (QChar c : entfernt)
        if (!zeichenZulaessig(art, c))
            ++zurueck[c];
    Gefiltert g;
    QString behalten;
    for (QChar c : eingefuegt) {
        if (zeichenZulaessig(art, c) || zurueck.value(c) > 0) {
            if (!zeichenZulaessig(art, c))
                --zurueck[c];
            behalten.append(c);
        } else {
            g.verworfen = true;
        }
    }
    g.text = neu.left(vorn) + behalten + neu.right(hinten);
    g.cursor = int(vorn + behalten.size());
    return g;
}

QString bezeichnung(Art art)
{
    switch (art) {
    case Art::Fax: return QStringLiteral("FAX Nummer mit Vorwahl");
    case Art::Email: return QStringLiteral("email-Adresse");
    case Art::GSM: break;
    }
    return QStringLiteral("GSM Nummer");
}

bool istListenseite(int seite)
{
    return (seite >= 1 && seite <= 9) || seite == 11;
}

QString titel(int seite)
{
    return istListenseite(seite) ? QStringLiteral("GSM-Nummern für %1").arg(meldequelle(seite)) : QString();
}

int marker(int seite)
{
    if (seite >= 1 && seite <= 9)
        return seite + 8;
    if (seite == 11)
        return 20;
    return -1;
}

} // namespace empfaenger
