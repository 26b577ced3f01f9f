#include "modell/vorgaben.h"

#include "modell/einstellung.h"
#include "modell/empfaengerliste.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The refusals of one step; a refusal of a field names that field's setting.
void ablehnungen(const Folge& f, const QString& schluessel, QList<Ablehnung>& aus)
{
    for (const Einwand& w : f.einwaende) {
        const Einstellung* e = w.feld ? Einstellung::finden(*w.feld) : nullptr;
        aus.append({e ? e->schluessel : schluessel, w.grund.text()});
    }
    if (!f.angenommen && f.einwaende.isEmpty())
        aus.append({schluessel, u"nicht übernommen"_s});
}

// Steps of setting by key: a setting and its value.
using Schritte = QList<std::pair<const Einstellung*, QString>>;

QList<Ablehnung> gehen(Editormodell& m, const Schritte& schritte)
{
    QList<Ablehnung> fehler;
    for (const auto& [e, text] : schritte)
        ablehnungen(m.setzen(e->schluessel, text), e->schluessel, fehler);
    return fehler;
}

class Anwendung {
public:
    Anwendung(Editormodell& m, QList<Ablehnung>& fehler) : m_m(m), m_fehler(fehler) {}

    void setzen(const Vorgabe& v)
    {
        const Folge f = v.liste ? m_m.setzen(v.schluessel, *v.liste) : m_m.setzen(v.schluessel, v.text);
        ablehnungen(f, v.schluessel, m_fehler);
    }

    // The range and the thresholds as one, the way a user would go: the values
    // in the window's order, the thresholds in either order (one of them always
    // suits two thresholds that fit each other); where one end of the range
    // stands in the way of the other, the range emptied and entered again.
    void analog(const QHash<const Einstellung*, Vorgabe>& ziel)
    {
        const Einstellung* m4 = Einstellung::finden(Feld::Messbereich4);
        const Einstellung* m20 = Einstellung::finden(Feld::Messbereich20);
        Schritte bereich, schwellen;
        for (const Einstellung* e : {m4, m20, Einstellung::finden(Feld::Grenzwertmin), Einstellung::finden(Feld::Grenzwertmax)})
            if (ziel.contains(e) && ziel.value(e).text != e->wert(m_m.werte()))
                (istBereich(e) ? bereich : schwellen).append({e, ziel.value(e).text});
        if (bereich.isEmpty() && schwellen.isEmpty())
            return;
        const auto wert = [&](const Einstellung* e) { return ziel.contains(e) ? ziel.value(e).text : e->wert(m_m.werte()); };
        const Schritte umgekehrt(schwellen.crbegin(), schwellen.crend());
        const Schritte neu = Schritte{{m4, QString()}, {m20, QString()}} + schwellen + Schritte{{m4, wert(m4)}, {m20, wert(m20)}};
        QList<QList<Ablehnung>> fehler;
        for (const Schritte& weg : {bereich + schwellen, bereich + umgekehrt, neu}) {
            Editormodell versuch = m_m;
            if (fehler.append(gehen(versuch, weg)); fehler.last().isEmpty()) {
                m_m = versuch;
                return;
            }
        }
        // Said are the refusals of the last way, each threshold against the whole
        // range; unless it refused a range end nobody changed (a device's range
        // the window would not take again): then those of the window's order.
        const bool fremd = std::any_of(fehler.last().cbegin(), fehler.last().cend(), [&](const Ablehnung& a) {
            const Einstellung* e = Einstellung::setzbar(a.schluessel);
            return e && istBereich(e) && std::none_of(bereich.cbegin(), bereich.cend(), [&](const auto& s) { return s.first == e; });
        });
        m_fehler += fremd ? fehler.first() : fehler.last();
    }

private:
    static bool istBereich(const Einstellung* e) { return e->feld == Feld::Messbereich4 || e->feld == Feld::Messbereich20; }

    Editormodell& m_m;
    QList<Ablehnung>& m_fehler;
};

bool istAnalogwert(const Einstellung& e)
{
    return e.regel == Regel::Validate && e.feld >= Feld::Messbereich4 && e.feld <= Feld::Grenzwertmax;
}

// --- JSON ----------------------------------------------------------------------

void sammeln(const QJsonObject& o, const QString& pfad, Jsonvorgaben& aus);

// A scalar value in the terms of `gsmbv show`; none for an object or an array.
std::optional<QString> skalar(const QJsonValue& v)
{
    switch (v.type()) {
    case QJsonValue::Null: return QString();
    case QJsonValue::Bool: return v.toBool() ? u"true"_s : u"false"_s;
    case QJsonValue::Double: return QString::number(v.toDouble(), 'g', 16);
    case QJsonValue::String: return v.toString();
    default: break;
    }
    return std::nullopt;
}

void liste(const QString& schluessel, const QJsonArray& a, Jsonvorgaben& aus)
{
    QList<empfaenger::Eintrag> eintraege;
    bool gut = true;
    for (qsizetype i = 0; i < a.size(); ++i) {
        QString grund;
        if (const auto e = empfaengerliste::ausJson(a.at(i), grund))
            eintraege.append(*e);
        else
            aus.fehler.append({u"%1[%2]"_s.arg(schluessel).arg(i), grund}), gut = false;
    }
    if (gut)
        aus.werte.append({schluessel, {}, eintraege});
}

void wert(const QString& schluessel, const QJsonValue& v, Jsonvorgaben& aus)
{
    if (const Einstellung* e = Einstellung::setzbar(schluessel)) {
        if (e->art == Wertart::Empfaenger && v.isArray())
            return liste(schluessel, v.toArray(), aus);
        if (const std::optional<QString> text = skalar(v))
            return aus.werte.append({schluessel, *text, {}});
        return aus.fehler.append({schluessel, e->art == Wertart::Empfaenger ? u"erwartet: eine Liste von Empfängern"_s
                                                                             : u"erwartet: Text, Zahl, true/false oder null"_s});
    }
    if (v.isObject())
        return sammeln(v.toObject(), schluessel, aus);
    const QJsonArray a = v.toArray();
    for (qsizetype i = 0; v.isArray() && i < a.size(); ++i)
        wert(u"%1[%2]"_s.arg(schluessel).arg(i), a.at(i), aus);
    if (!v.isArray())
        aus.fehler.append({schluessel, Abweisung{Abweisung::Art::Schluessel}.text()});
}

void sammeln(const QJsonObject& o, const QString& pfad, Jsonvorgaben& aus)
{
    for (auto it = o.begin(); it != o.end(); ++it)
        wert(pfad.isEmpty() ? it.key() : pfad + u'.' + it.key(), it.value(), aus);
}

// A choice given by its text and by its code must name one entry.
void auswahlPruefen(Jsonvorgaben& aus)
{
    QHash<QString, QString> werte;
    for (const Vorgabe& v : std::as_const(aus.werte))
        werte.insert(v.schluessel, v.text);
    for (const Einstellung& e : Einstellung::alle()) {
        const QString code = e.schluessel + u"_code"_s;
        if (e.art != Wertart::Auswahl || !werte.contains(e.schluessel) || !werte.contains(code))
            continue;
        const QString text = werte.value(e.schluessel);
        const qsizetype a = std::max(e.wahl.indexOf(text), e.codes.indexOf(text));
        const qsizetype b = std::max(e.wahl.indexOf(werte.value(code)), e.codes.indexOf(werte.value(code)));
        if (a != b)
            aus.fehler.append({code, u"widerspricht %1 (\"%2\")"_s.arg(e.schluessel, text)});
    }
}

} // namespace

QList<Ablehnung> vorgabenAnwenden(Editormodell& m, const QList<Vorgabe>& vorgaben)
{
    QList<Ablehnung> fehler;
    QHash<const Einstellung*, Vorgabe> ziel;
    for (const Vorgabe& v : vorgaben) {
        if (const Einstellung* e = Einstellung::setzbar(v.schluessel))
            ziel.insert(e, v);
        else
            fehler.append({v.schluessel, Abweisung{Abweisung::Art::Schluessel}.text()});
    }
    Editormodell neu = m;
    Anwendung a(neu, fehler);
    bool analog = false;
    for (const Einstellung& e : Einstellung::alle()) {
        if (istAnalogwert(e)) {
            if (!std::exchange(analog, true))
                a.analog(ziel);
        } else if (ziel.contains(&e)) {
            a.setzen(ziel.value(&e));
        }
    }
    if (fehler.isEmpty())
        m = neu;
    return fehler;
}

Jsonvorgaben vorgabenAusJson(const QByteArray& json)
{
    Jsonvorgaben aus;
    QJsonParseError f{};
    const QJsonDocument d = QJsonDocument::fromJson(json, &f);
    if (f.error != QJsonParseError::NoError) {
        const int zeile = int(json.left(f.offset).count('\n')) + 1;
        aus.fehler.append({{}, u"kein gültiges JSON (Zeile %1)"_s.arg(zeile)});
    } else if (!d.isObject()) {
        aus.fehler.append({{}, u"kein JSON-Objekt"_s});
    } else {
        sammeln(d.object(), {}, aus);
        auswahlPruefen(aus);
    }
    return aus;
}
