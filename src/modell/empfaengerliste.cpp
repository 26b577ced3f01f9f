#include "modell/empfaengerliste.h"

#include "image/ansi.h"
#include "modell/abweisungsgrund.h"
#include "modell/einstellung.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;
using empfaenger::Art;
using empfaenger::Eintrag;

namespace empfaengerliste {
namespace {

QString artenGrund()
{
    return Abweisung{Abweisung::Art::Wahl, 0, 0, empfaengerArten().join(u", "_s)}.text();
}

// The reason an entry's text is refused by its kind, empty when it is taken.
QString textGrund(const Eintrag& e)
{
    if (e.text.isEmpty())
        return u"Nummer fehlt"_s;
    for (QChar c : e.text)
        if (!empfaenger::zeichenZulaessig(e.art, c))
            return Abweisung{e.art == Art::Email ? Abweisung::Art::Zeichen : Abweisung::Art::Rufnummernzeichen}.text();
    return {};
}

} // namespace

// The fields of one row, split at `trenner` outside double quotes ("" in
// quotes is one quote); none when a quote stays open.
std::optional<QStringList> felder(const QString& zeile, QChar trenner)
{
    QStringList out;
    QString feld;
    bool zitat = false;
    for (qsizetype i = 0; i < zeile.size(); ++i) {
        const QChar c = zeile[i];
        if (zitat && c == u'"' && i + 1 < zeile.size() && zeile[i + 1] == u'"')
            feld += c, ++i;
        else if (c == u'"' && (zitat || feld.trimmed().isEmpty()))
            zitat = !zitat, feld = feld.trimmed();
        else if (!zitat && c == trenner)
            out.append(feld.trimmed()), feld.clear();
        else
            feld += c;
    }
    if (zitat)
        return std::nullopt;
    out.append(feld.trimmed());
    return out;
}

namespace {

// One row's recipient, or why not.
std::optional<Eintrag> zeileLesen(const QString& zeile, QChar trenner, QString& grund)
{
    const std::optional<QStringList> f = felder(zeile, trenner);
    if (!f) {
        grund = u"Anführungszeichen nicht geschlossen"_s;
        return std::nullopt;
    }
    if (f->size() < 2) {
        grund = u"Art und Nummer erwartet"_s;
        return std::nullopt;
    }
    for (qsizetype i = 2; i < f->size(); ++i)
        if (!f->at(i).isEmpty()) {
            grund = u"mehr als zwei Spalten (Art und Nummer)"_s;
            return std::nullopt;
        }
    const std::optional<Art> art = artLesen(f->at(0));
    if (!art) {
        grund = artenGrund();
        return std::nullopt;
    }
    const Eintrag e{*art, f->at(1)};
    grund = textGrund(e);
    return grund.isEmpty() ? std::optional<Eintrag>(e) : std::nullopt;
}

} // namespace

QString feldSchreiben(const QString& f)
{
    if (!f.contains(u';') && !f.contains(u'"') && !f.contains(u'\n') && !f.contains(u'\r') && f == f.trimmed())
        return f;
    return u'"' + QString(f).replace(u"\""_s, u"\"\""_s) + u'"';
}

std::optional<Art> artLesen(const QString& text)
{
    for (int i = 0; i < 3; ++i)
        if (text.compare(empfaengerArten()[i], Qt::CaseInsensitive) == 0
            || text.compare(empfaengerCodes()[i], Qt::CaseInsensitive) == 0)
            return Art(i);
    return std::nullopt;
}

QString Zeilenfehler::text() const
{
    return u"Zeile %1: %2"_s.arg(zeile).arg(grund);
}

Gelesen ausCsv(const QByteArray& datei, std::optional<bool> a1)
{
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8(datei);
    if (utf8.hasError())
        text = ansi::text(datei);
    Gelesen g;
    std::optional<QChar> trenner;
    int bedarf = 1;  // the end mark
    const QStringList zeilen = text.split(u'\n');
    for (qsizetype i = 0; i < zeilen.size(); ++i) {
        const QString zeile = zeilen[i].endsWith(u'\r') ? zeilen[i].chopped(1) : zeilen[i];
        if (zeile.trimmed().isEmpty())
            continue;
        const int nr = int(i + 1);
        if (!trenner) {
            trenner = zeile.contains(u';') ? u';' : zeile.contains(u',') ? u',' : u'\t';
            const QString erstes = felder(zeile, *trenner).value_or(QStringList()).value(0);
            if (!artLesen(erstes) && (erstes.compare(u"Art"_s, Qt::CaseInsensitive) == 0
                                      || erstes.compare(u"type"_s, Qt::CaseInsensitive) == 0))
                continue;  // the header
        }
        QString grund;
        const std::optional<Eintrag> e = zeileLesen(zeile, *trenner, grund);
        if (!e) {
            g.fehler.append({nr, grund});
            continue;
        }
        if (g.liste.size() == empfaenger::kPlaetze) {
            g.fehler.append({nr, Abweisung{Abweisung::Art::Empfaengerzahl, empfaenger::kPlaetze}.text()});
            continue;
        }
        g.liste.append(*e);
        if (!a1)
            continue;
        const bool passteBisher = bedarf <= empfaenger::kListenZellen;
        bedarf += int(empfaenger::kodieren(*e, *a1).size()) + 1;
        if (passteBisher && bedarf > empfaenger::kListenZellen)
            g.fehler.append({nr, QString()});  // the reason names the whole list's need, known at the end
    }
    for (Zeilenfehler& f : g.fehler)
        if (f.grund.isEmpty())
            f.grund = Abweisung{Abweisung::Art::Empfaengerliste, bedarf, empfaenger::kListenZellen}.text();
    return g;
}

QByteArray csv(const QList<Eintrag>& liste)
{
    QString out = u"Art;Nummer\n"_s;
    for (const Eintrag& e : liste)
        if (!e.text.isEmpty())
            out += empfaengerArten()[int(e.art)] + u';' + feldSchreiben(e.text) + u'\n';
    return out.toUtf8();
}

QJsonObject json(const Eintrag& e)
{
    return {{u"type"_s, empfaengerArten()[int(e.art)]},
            {u"type_code"_s, empfaengerCodes()[int(e.art)]},
            {u"number"_s, e.text}};
}

std::optional<Eintrag> ausJson(const QJsonValue& wert, QString& grund)
{
    std::optional<Art> art;
    Eintrag e;
    if (wert.isString()) {
        const QString t = wert.toString().trimmed();
        art = artLesen(t.section(u' ', 0, 0));
        e.text = t.section(u' ', 1).trimmed();
    } else if (wert.isObject()) {
        const QJsonObject o = wert.toObject();
        const std::optional<Art> a = artLesen(o.value(u"type"_s).toString());
        const std::optional<Art> b = artLesen(o.value(u"type_code"_s).toString());
        art = a && b && a != b ? std::nullopt : a ? a : b;
        e.text = o.value(u"number"_s).toString();
    } else {
        grund = u"erwartet: {\"type\": \"GSM\", \"number\": \"...\"}"_s;
        return std::nullopt;
    }
    if (!art) {
        grund = artenGrund();
        return std::nullopt;
    }
    e.art = *art;
    if (e.text.isEmpty()) {
        grund = u"Nummer fehlt"_s;
        return std::nullopt;
    }
    return e;  // its characters are checked where it is stored
}

} // namespace empfaengerliste
