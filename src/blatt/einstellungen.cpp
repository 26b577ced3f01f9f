#include "blatt/einstellungen.h"

#include "image/empfaenger.h"
#include "image/felder.h"
#include "modell/einstellung.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace blatt {
namespace {

// A setting's value for JSON: a switch as a boolean, a number as a number
// (null when empty), a time null while the check call is off, anything else
// as its text.
QJsonValue jsonWert(const Einstellung& e, const QString& text)
{
    switch (e.art) {
    case Wertart::Aktiv: return text == u"aktiv"_s;
    case Wertart::JaNein: return text == u"ja"_s;
    case Wertart::Zahl: {
        bool ok = false;
        const int n = text.toInt(&ok);
        return ok ? QJsonValue(n) : text.isEmpty() ? QJsonValue() : QJsonValue(text);
    }
    case Wertart::Uhrzeit: return text.isEmpty() ? QJsonValue() : QJsonValue(text);
    default: break;
    }
    return text;
}

Eintrag eintrag(const Einstellung& e, const Editorwerte& w)
{
    const QString text = e.wert(w);
    const QString code = e.code(text);
    QJsonValue c(QJsonValue::Undefined);
    if (e.art == Wertart::Auswahl)
        c = code.isEmpty() ? QJsonValue() : QJsonValue(code);
    return {e.schluessel, e.beschriftung, e.kurz, text, jsonWert(e, text), c};
}

// One row per recipient of the list: "Meldelinie 1 Nummer 1", "GSM 0664...".
void nummern(Gruppe& g, const Einstellung& e, const Konfigspeicher& k)
{
    const QString quelle = e.beschriftung.chopped(e.kurz.size() + 1);
    const QList<empfaenger::Eintrag> liste = empfaenger::listeDekodieren(listeLesen(k, e.index));
    g.listen.append(e.schluessel);
    for (qsizetype i = 0; i < liste.size(); ++i) {
        const QString art = empfaengerArten()[int(liste[i].art)];
        const QString kurz = u"Nummer %1"_s.arg(i + 1);
        g.eintraege.append({u"%1[%2]"_s.arg(e.schluessel).arg(i), quelle + u' ' + kurz, kurz,
                            art + u' ' + liste[i].text,
                            QJsonObject{{u"type"_s, art},
                                        {u"type_code"_s, empfaengerCodes()[int(liste[i].art)]},
                                        {u"number"_s, liste[i].text}}});
    }
}

// "lines[2].recipients[0]" -> "lines", 2, "recipients", 0.
struct Teil {
    QString name;
    int index = -1;  // -1: a name
};
QList<Teil> teile(const QString& schluessel)
{
    QList<Teil> t;
    static const QRegularExpression glied(QStringLiteral("^([a-z0-9_]+)(?:\\[([0-9]+)\\])?$"));
    for (const QString& s : schluessel.split(QLatin1Char('.'))) {
        const auto m = glied.match(s);
        t.append({m.captured(1)});
        if (!m.captured(2).isEmpty())
            t.append({{}, m.captured(2).toInt()});
    }
    return t;
}

QJsonValue einsetzen(QJsonValue ziel, const QList<Teil>& t, qsizetype i, const QJsonValue& wert)
{
    if (i == t.size())
        return wert;
    if (t[i].index < 0) {
        QJsonObject o = ziel.toObject();
        o.insert(t[i].name, einsetzen(o.value(t[i].name), t, i + 1, wert));
        return o;
    }
    QJsonArray a = ziel.toArray();
    while (a.size() <= t[i].index)
        a.append(QJsonValue());
    a.replace(t[i].index, einsetzen(a.at(t[i].index), t, i + 1, wert));
    return a;
}

} // namespace

QList<Abschnitt> einstellungen(const Konfigspeicher& k, const Editorwerte& w)
{
    QList<Abschnitt> abschnitte;
    for (const Einstellung& e : Einstellung::alle()) {
        if (abschnitte.isEmpty() || abschnitte.last().titel != reiterTitel(e.reiter))
            abschnitte.append({reiterTitel(e.reiter), {}});
        QList<Gruppe>& gruppen = abschnitte.last().gruppen;
        if (gruppen.isEmpty() || gruppen.last().titel != e.gruppe)
            gruppen.append({e.gruppe, {}, {}});
        if (e.art == Wertart::Empfaenger)
            nummern(gruppen.last(), e, k);
        else
            gruppen.last().eintraege.append(eintrag(e, w));
    }
    return abschnitte;
}

QList<Eintrag> alle(const QList<Abschnitt>& abschnitte)
{
    QList<Eintrag> e;
    for (const Abschnitt& a : abschnitte)
        for (const Gruppe& g : a.gruppen)
            e += g.eintraege;
    return e;
}

QString lesbar(const QString& text)
{
    QString aus;
    aus.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\')
            aus += QStringLiteral("\\\\");
        else if (u < 0x20 || u == 0x7F || (u >= 0x80 && u <= 0x9F))
            aus += QStringLiteral("\\x") + zweistellig(u, 16);
        else
            aus += c;
    }
    return aus;
}

QStringList zeilen(const QList<Abschnitt>& abschnitte)
{
    QStringList z;
    for (const Eintrag& e : alle(abschnitte))
        z.append(e.beschriftung + QStringLiteral(": ") + lesbar(e.text));
    return z;
}

QByteArray json(const QList<Abschnitt>& abschnitte)
{
    QJsonValue wurzel = QJsonObject();
    for (const Abschnitt& a : abschnitte)
        for (const Gruppe& g : a.gruppen) {
            for (const QString& liste : g.listen)
                wurzel = einsetzen(wurzel, teile(liste), 0, QJsonArray());
            for (const Eintrag& e : g.eintraege) {
                wurzel = einsetzen(wurzel, teile(e.schluessel), 0, e.wert);
                if (!e.code.isUndefined())
                    wurzel = einsetzen(wurzel, teile(e.schluessel + u"_code"_s), 0, e.code);
            }
        }
    return QJsonDocument(wurzel.toObject()).toJson(QJsonDocument::Indented);
}

QList<Unterschied> unterschiede(const QList<Abschnitt>& a, const QList<Abschnitt>& b)
{
    const QList<Eintrag> ea = alle(a), eb = alle(b);
    QHash<QString, qsizetype> inA, inB;
    for (qsizetype i = 0; i < ea.size(); ++i)
        inA.insert(ea[i].schluessel, i);
    for (qsizetype i = 0; i < eb.size(); ++i)
        inB.insert(eb[i].schluessel, i);

    // The keys of both in one order: those of `a`, each key only in `b`
    // right behind the key that precedes it in `b`.
    QStringList folge;
    for (const Eintrag& e : ea)
        folge.append(e.schluessel);
    for (qsizetype i = 0; i < eb.size(); ++i) {
        if (inA.contains(eb[i].schluessel))
            continue;
        const qsizetype vor = i == 0 ? -1 : folge.indexOf(eb[i - 1].schluessel);
        folge.insert(vor + 1, eb[i].schluessel);
    }

    QList<Unterschied> u;
    for (const QString& s : folge) {
        const auto ia = inA.constFind(s), ib = inB.constFind(s);
        const Eintrag* x = ia != inA.cend() ? &ea[*ia] : nullptr;
        const Eintrag* y = ib != inB.cend() ? &eb[*ib] : nullptr;
        if (x && y && x->text == y->text)
            continue;
        u.append({s, (x ? x : y)->beschriftung, x ? std::optional<QString>(x->text) : std::nullopt,
                  y ? std::optional<QString>(y->text) : std::nullopt});
    }
    return u;
}

QString vergleichswert(const std::optional<QString>& wert)
{
    if (!wert)
        return QStringLiteral("(nicht vorhanden)");
    return wert->isEmpty() ? QStringLiteral("(leer)") : lesbar(*wert);
}

} // namespace blatt
