#include "blatt/einstellungen.h"

#include "image/empfaenger.h"
#include "image/felder.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace blatt {
namespace {

QString art(empfaenger::Art a)
{
    // The captions of the recipients editor's option buttons.
    switch (a) {
    case empfaenger::Art::GSM: return QStringLiteral("GSM");
    case empfaenger::Art::Fax: return QStringLiteral("Fax");
    case empfaenger::Art::Email: return QStringLiteral("email");
    }
    return {};
}

QString netz(Netzbetreiber n)
{
    switch (n) {
    case Netzbetreiber::A1: return QStringLiteral("A1");
    case Netzbetreiber::TMobile: return QStringLiteral("T Mobile");
    case Netzbetreiber::Andere: return QStringLiteral("Andere");
    }
    return {};
}

QString tag(int t)
{
    static const char* const tage[] = {"Montag", "Dienstag", "Mittwoch", "Donnerstag",
                                       "Freitag", "Samstag", "Sonntag"};
    return t >= 0 && t < 7 ? QString::fromLatin1(tage[t]) : QString();
}

// Builds one group after the other; the captions of `gsmbv show` are the
// group's prefix followed by the short caption.
class Aufbau {
public:
    explicit Aufbau(QList<Abschnitt>& abschnitte) : m_abschnitte(abschnitte) {}

    void abschnitt(const QString& titel) { m_abschnitte.append({titel, {}}); }
    // `prefix`: what stands before the short captions in `gsmbv show`.
    void gruppe(const QString& titel, const QString& prefix)
    {
        m_abschnitte.last().gruppen.append({titel, {}, {}});
        m_prefix = prefix.isEmpty() ? QString() : prefix + QLatin1Char(' ');
    }

    void text(const QString& schluessel, const QString& kurz, const QString& wert)
    {
        add(schluessel, kurz, wert, wert);
    }
    // The next setting's caption in `gsmbv show` is not prefix + short caption.
    void beschriftung(const QString& voll) { m_voll = voll; }
    // A number field: its text is a number or empty (null in JSON).
    void zahl(const QString& schluessel, const QString& kurz, const QString& wert)
    {
        bool ok = false;
        const int n = wert.toInt(&ok);
        add(schluessel, kurz, wert, ok ? QJsonValue(n) : wert.isEmpty() ? QJsonValue() : QJsonValue(wert));
    }
    void schalter(const QString& schluessel, const QString& kurz, bool an, const QString& ja, const QString& nein)
    {
        add(schluessel, kurz, an ? ja : nein, an);
    }
    void aktiv(const QString& schluessel, const QString& kurz, bool an)
    {
        schalter(schluessel, kurz, an, QStringLiteral("aktiv"), QStringLiteral("aus"));
    }
    void ja(const QString& schluessel, const QString& kurz, bool an)
    {
        schalter(schluessel, kurz, an, QStringLiteral("ja"), QStringLiteral("nein"));
    }
    void nummern(const QString& schluessel, const Konfigspeicher& k, int seite)
    {
        const QList<empfaenger::Eintrag> liste = empfaenger::listeDekodieren(listeLesen(k, seite));
        m_abschnitte.last().gruppen.last().listen.append(schluessel + QStringLiteral(".recipients"));
        for (qsizetype i = 0; i < liste.size(); ++i) {
            const QString a = art(liste[i].art);
            add(QStringLiteral("%1.recipients[%2]").arg(schluessel).arg(i), QStringLiteral("Nummer %1").arg(i + 1),
                a + QLatin1Char(' ') + liste[i].text,
                QJsonObject{{QStringLiteral("type"), a}, {QStringLiteral("number"), liste[i].text}});
        }
    }

private:
    void add(const QString& schluessel, const QString& kurz, const QString& text, const QJsonValue& wert)
    {
        const QString voll = m_voll.isEmpty() ? m_prefix + kurz : m_voll;
        m_voll.clear();
        m_abschnitte.last().gruppen.last().eintraege.append({schluessel, voll, kurz, text, wert});
    }

    QList<Abschnitt>& m_abschnitte;
    QString m_prefix;
    QString m_voll;
};

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
    using K = Editorwerte::Kontrollruf;
    QList<Abschnitt> abschnitte;
    Aufbau a(abschnitte);

    a.abschnitt(QStringLiteral("Allgemein"));
    a.gruppe(QStringLiteral("Allgemeine Einstellungen"), {});
    a.text(QStringLiteral("general.installation_name"), QStringLiteral("Anlagenbezeichnung"), w.anlagenbezeichnung);
    a.gruppe(QStringLiteral("Netzbetreiber"), {});
    a.text(QStringLiteral("general.operator"), QStringLiteral("Netzbetreiber"), netz(w.netz));
    a.gruppe(QStringLiteral("Quittierung"), {});
    a.aktiv(QStringLiteral("general.acknowledgement.active"), QStringLiteral("Quittierung"), w.quittierung);
    a.zahl(QStringLiteral("general.acknowledgement.minutes"), QStringLiteral("Quittierungszeit in Minuten"), w.quit);
    a.gruppe(QStringLiteral("Kontostandsüberwachung"), {});
    a.aktiv(QStringLiteral("general.balance.active"), QStringLiteral("Kontostandsüberwachung"), w.konto);
    a.text(QStringLiteral("general.balance.query_number"), QStringLiteral("Nummer für SMS Kontostandsabfrage"),
           w.guthabenrufnummer);
    a.text(QStringLiteral("general.balance.topup_number"), QStringLiteral("Nummer für Kontoaufladung"),
           w.nummerAufladung);
    a.zahl(QStringLiteral("general.balance.minimum_euro"), QStringLiteral("Minimalguthaben in EURO"), w.guthaben);
    a.gruppe(QStringLiteral("Kontrollruf"), {});
    a.text(QStringLiteral("general.check_call.mode"), QStringLiteral("Kontrollruf"),
           w.kontrollruf == K::Aus        ? QStringLiteral("aus")
           : w.kontrollruf == K::Taeglich ? QStringLiteral("täglich")
                                          : QStringLiteral("wöchentlich"));
    a.beschriftung(QStringLiteral("Kontrollruf Tag"));
    a.text(QStringLiteral("general.check_call.day"), QStringLiteral("Tag"),
           w.kontrollruf == K::Woechentlich ? tag(w.tag) : QString());
    a.beschriftung(QStringLiteral("Kontrollruf senden um"));
    a.text(QStringLiteral("general.check_call.time"), QStringLiteral("senden um"),
           w.txtStunde + QLatin1Char(':') + w.txtMinute);

    a.abschnitt(QStringLiteral("Meldelinien"));
    for (int i = 0; i < 9; ++i) {
        const QString quelle = meldequelle(i + 1);
        const QString s = i < 8 ? QStringLiteral("lines[%1]").arg(i) : QStringLiteral("mains_failure");
        a.gruppe(quelle, quelle);
        a.text(s + QStringLiteral(".text"), QStringLiteral("Meldungstext"), w.smsText[std::size_t(i)]);
        if (i < 8)
            a.ja(s + QStringLiteral(".normally_closed"), QStringLiteral("Öffner"), w.oeffner[std::size_t(i)]);
        a.ja(s + QStringLiteral(".all_clear"), QStringLiteral("Gutmeldung"), w.gutmeldung[std::size_t(i)]);
        a.nummern(s, k, i + 1);
    }

    a.abschnitt(QStringLiteral("Relaisausgänge"));
    const bool best[2] = {w.relaisbest1, w.relaisbest2};
    const QString texte[2] = {w.besttext1, w.besttext2};
    for (int r = 0; r < 2; ++r) {
        const QString relais = QStringLiteral("Relais %1").arg(r + 1);
        const QString s = QStringLiteral("relays[%1]").arg(r);
        a.gruppe(relais, relais);
        a.aktiv(s + QStringLiteral(".confirmation"), QStringLiteral("Bestätigungsmeldung"), best[r]);
        a.text(s + QStringLiteral(".text"), QStringLiteral("Bestätigungstext"), texte[r]);
    }

    a.abschnitt(QStringLiteral("Analogeingänge"));
    a.gruppe(QStringLiteral("Analogeingang 1"), QStringLiteral("Analogeingang"));
    a.zahl(QStringLiteral("analog.value_4ma"), QStringLiteral("Messwert 4 mA"), w.messbereich4);
    a.zahl(QStringLiteral("analog.value_20ma"), QStringLiteral("Messwert 20 mA"), w.messbereich20);
    a.text(QStringLiteral("analog.unit"), QStringLiteral("Messwert Einheit"), w.einheit);
    a.zahl(QStringLiteral("analog.lower_threshold"), QStringLiteral("unterer Grenzwert"), w.grenzwertmin);
    a.zahl(QStringLiteral("analog.upper_threshold"), QStringLiteral("oberer Grenzwert"), w.grenzwertmax);
    a.text(QStringLiteral("analog.lower_text"), QStringLiteral("Meldungstext Minimumalarm"), w.textMin);
    a.text(QStringLiteral("analog.upper_text"), QStringLiteral("Meldungstext Maximumalarm"), w.textMax);
    a.nummern(QStringLiteral("analog"), k, 11);
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
            for (const Eintrag& e : g.eintraege)
                wurzel = einsetzen(wurzel, teile(e.schluessel), 0, e.wert);
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

} // namespace blatt
