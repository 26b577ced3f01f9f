#include "modell/einstellung.h"

#include "image/empfaenger.h"

#include <QHash>
#include <array>

using namespace Qt::StringLiterals;

namespace {

using K = Kodierung;
using W = Wertart;
using G = Regel;

// Builds one group box after the other; a caption of `gsmbv show` is the
// group's prefix followed by the row's short caption.
class Aufbau {
public:
    explicit Aufbau(QList<Einstellung>& t) : m_t(t) {}

    void gruppe(Reiter r, int marker, const QString& titel, const QString& prefix = {})
    {
        m_reiter = r;
        m_marker = marker;
        m_gruppe = titel;
        m_prefix = prefix;
    }
    Einstellung& zeile(const QString& schluessel, const QString& kurz, Bereich zellen, K k, W a, G g, int index = 0)
    {
        Einstellung e;
        e.schluessel = schluessel;
        e.beschriftung = m_prefix.isEmpty() ? kurz : m_prefix + u' ' + kurz;
        e.kurz = kurz;
        e.reiter = m_reiter;
        e.gruppe = m_gruppe;
        e.zellen = zellen;
        e.kodierung = k;
        e.art = a;
        e.regel = g;
        e.index = index;
        e.marker = m_marker;
        m_t.append(e);
        return m_t.last();
    }
    // A field stored by its Validate: text, number, unit or analog value.
    Einstellung& feld(const QString& schluessel, const QString& kurz, Bereich zellen, K k, W a, Feld f, Feldart z, int max)
    {
        Einstellung& e = zeile(schluessel, kurz, zellen, k, a, G::Validate);
        e.feld = f;
        e.zeichen = z;
        e.max = max;
        return e;
    }
    Einstellung& zahl(const QString& schluessel, const QString& kurz, Bereich zellen, G g, int min, int max)
    {
        Einstellung& e = zeile(schluessel, kurz, zellen, K::Byte, W::Zahl, g);
        e.min = min;
        e.max = max;
        return e;
    }
    Einstellung& auswahl(const QString& schluessel, const QString& kurz, Bereich zellen, K k, G g, const QStringList& wahl,
                         const QStringList& codes)
    {
        Einstellung& e = zeile(schluessel, kurz, zellen, k, W::Auswahl, g);
        e.wahl = wahl;
        e.codes = codes;
        return e;
    }

private:
    QList<Einstellung>& m_t;
    Reiter m_reiter = Reiter::Allgemein;
    int m_marker = -1;
    QString m_gruppe, m_prefix;
};

void allgemein(Aufbau& a)
{
    const Bereich quittierung{0, offset::Quittierung, 1}, guthaben{0, offset::Guthaben, 1};
    const Bereich ruf{0, offset::Kontrollruf, 1}, zeit{0, offset::Stunde, 2};
    a.gruppe(Reiter::Allgemein, 22, u"Allgemeine Einstellungen"_s);
    a.feld(u"general.installation_name"_s, u"Anlagenbezeichnung"_s, bereich::Anlagenbezeichnung, K::Text, W::Text,
           Feld::Anlagenbezeichnung, Feldart::Freitext, 70);
    a.gruppe(Reiter::Allgemein, 22, u"Netzbetreiber"_s);
    a.auswahl(u"general.operator"_s, u"Netzbetreiber"_s, {-1, 0, 0}, K::Keine, G::Netzbetreiber, {u"A1"_s, u"T Mobile"_s, u"Andere"_s},
              {u"a1"_s, u"t_mobile"_s, u"other"_s});
    a.gruppe(Reiter::Allgemein, 22, u"Quittierung"_s);
    a.zeile(u"general.acknowledgement.active"_s, u"Quittierung"_s, quittierung, K::Byte, W::Aktiv, G::Chk_Quittierung);
    a.zahl(u"general.acknowledgement.minutes"_s, u"Quittierungszeit in Minuten"_s, quittierung, G::Slider_Quit, 1, 255);
    a.gruppe(Reiter::Allgemein, 22, u"Kontostandsüberwachung"_s);
    a.zeile(u"general.balance.active"_s, u"Kontostandsüberwachung"_s, guthaben, K::Byte, W::Aktiv, G::Chk_Konto);
    a.feld(u"general.balance.query_number"_s, u"Nummer für SMS Kontostandsabfrage"_s, bereich::Guthabenrufnummer, K::Text,
           W::Text, Feld::Guthabenrufnummer, Feldart::Nummer, 15);
    a.feld(u"general.balance.topup_number"_s, u"Nummer für Kontoaufladung"_s, bereich::NummerAufladung, K::Text, W::Text,
           Feld::NummerAufladung, Feldart::Nummer, 15);
    a.zahl(u"general.balance.minimum_euro"_s, u"Minimalguthaben in EURO"_s, guthaben, G::Slider_Guthaben, 1, 9);
    a.gruppe(Reiter::Allgemein, 22, u"Kontrollruf"_s);
    a.auswahl(u"general.check_call.mode"_s, u"Kontrollruf"_s, ruf, K::Tagplan, G::Kontrollruf,
              {u"aus"_s, u"täglich"_s, u"wöchentlich"_s}, {u"off"_s, u"daily"_s, u"weekly"_s});
    a.auswahl(u"general.check_call.day"_s, u"Tag"_s, ruf, K::Tagplan, G::Combo_Tag,
              {u"Montag"_s, u"Dienstag"_s, u"Mittwoch"_s, u"Donnerstag"_s, u"Freitag"_s, u"Samstag"_s, u"Sonntag"_s},
              {u"monday"_s, u"tuesday"_s, u"wednesday"_s, u"thursday"_s, u"friday"_s, u"saturday"_s, u"sunday"_s})
        .beschriftung = u"Kontrollruf Tag"_s;
    a.zeile(u"general.check_call.time"_s, u"senden um"_s, zeit, K::BCD, W::Uhrzeit, G::UD_Zeit).beschriftung =
        u"Kontrollruf senden um"_s;
}

// The nine alarm sources ("lines[0]".."lines[7]", "mains_failure"), the two relays.
void quellen(Aufbau& a)
{
    for (int i = 0; i < 9; ++i) {
        const QString quelle = meldequelle(i + 1);
        const QString s = i < 8 ? u"lines[%1]"_s.arg(i) : u"mains_failure"_s;
        a.gruppe(Reiter::Meldelinien, 21, quelle, quelle);
        a.feld(s + u".text"_s, u"Meldungstext"_s, bereich::SMSText(i), K::Text, W::Text, SMSText(i), Feldart::Freitext, 70)
            .marker = i;
        if (i < 8) {
            a.zeile(s + u".normally_closed"_s, u"Öffner"_s, {0, offset::Oeffner, 1}, K::Bit, W::JaNein, G::Chk_Oeffner, i);
            a.zeile(s + u".all_clear"_s, u"Gutmeldung"_s, {0, offset::Gutmeldung, 1}, K::Bit, W::JaNein, G::Chk_Gutmeldung, i);
        } else {
            a.zeile(s + u".all_clear"_s, u"Gutmeldung"_s, {0, offset::GutmeldungStrom, 1}, K::Schalter, W::JaNein,
                    G::Chk_Gutmeldung, i);
        }
        a.zeile(s + u".recipients"_s, u"Nummern"_s, bereich::Empfaenger(i + 1), K::Liste, W::Empfaenger, G::Nummern, i + 1)
            .marker = 9 + i;
    }
    for (int r = 1; r <= 2; ++r) {
        const QString relais = u"Relais %1"_s.arg(r);
        const QString s = u"relays[%1]"_s.arg(r - 1);
        const Bereich text = r == 1 ? bereich::Besttext1 : bereich::Besttext2;
        a.gruppe(Reiter::Relais, 17 + r, relais, relais);
        a.zeile(s + u".confirmation"_s, u"Bestätigungsmeldung"_s, text, K::Textende, W::Aktiv, G::Chk_Relaisbest, r);
        a.feld(s + u".text"_s, u"Bestätigungstext"_s, text, K::Text, W::Text, r == 1 ? Feld::Besttext1 : Feld::Besttext2,
               Feldart::Freitext, 127);
    }
}

void analog(Aufbau& a)
{
    a.gruppe(Reiter::Analog, 20, u"Analogeingang 1"_s, u"Analogeingang"_s);
    auto wert = [&](const QString& s, const QString& kurz, int off, Feld f) {
        a.feld(s, kurz, {11, off, 2}, K::Zahl16, W::Zahl, f, Feldart::Analog, 3);
    };
    wert(u"analog.value_4ma"_s, u"Messwert 4 mA"_s, offset::Messbereich4, Feld::Messbereich4);
    wert(u"analog.value_20ma"_s, u"Messwert 20 mA"_s, offset::Messbereich20, Feld::Messbereich20);
    a.feld(u"analog.unit"_s, u"Messwert Einheit"_s, {11, offset::Einheit, 4}, K::Einheit, W::Text, Feld::Einheit,
           Feldart::Einheit, 3);
    wert(u"analog.lower_threshold"_s, u"unterer Grenzwert"_s, offset::Grenzwertmin, Feld::Grenzwertmin);
    wert(u"analog.upper_threshold"_s, u"oberer Grenzwert"_s, offset::Grenzwertmax, Feld::Grenzwertmax);
    a.feld(u"analog.lower_text"_s, u"Meldungstext Minimumalarm"_s, bereich::TextMin, K::Text, W::Text, Feld::TextMin,
           Feldart::Freitext, 127);
    a.feld(u"analog.upper_text"_s, u"Meldungstext Maximumalarm"_s, bereich::TextMax, K::Text, W::Text, Feld::TextMax,
           Feldart::Freitext, 127);
    a.zeile(u"analog.recipients"_s, u"Nummern"_s, bereich::Empfaenger(11), K::Liste, W::Empfaenger, G::Nummern, 11);
}

QList<Einstellung> aufbauen()
{
    QList<Einstellung> t;
    Aufbau a(t);
    allgemein(a);
    quellen(a);
    analog(a);
    return t;
}

QString schalterText(const Einstellung& e, bool an)
{
    if (e.art == W::JaNein)
        return an ? u"ja"_s : u"nein"_s;
    return an ? u"aktiv"_s : u"aus"_s;
}

} // namespace

const QStringList& empfaengerArten()
{
    static const QStringList arten{u"GSM"_s, u"Fax"_s, u"email"_s};
    return arten;
}

const QStringList& empfaengerCodes()
{
    static const QStringList codes{u"gsm"_s, u"fax"_s, u"email"_s};
    return codes;
}

QString reiterTitel(Reiter r)
{
    switch (r) {
    case Reiter::Allgemein: return u"Allgemein"_s;
    case Reiter::Meldelinien: return u"Meldelinien"_s;
    case Reiter::Relais: return u"Relaisausgänge"_s;
    case Reiter::Analog: break;
    }
    return u"Analogeingänge"_s;
}

const QList<Einstellung>& Einstellung::alle()
{
    static const QList<Einstellung> tabelle = aufbauen();
    return tabelle;
}

const Einstellung* Einstellung::finden(QStringView schluessel)
{
    static const QHash<QString, qsizetype> index = [] {
        QHash<QString, qsizetype> h;
        for (qsizetype i = 0; i < alle().size(); ++i)
            h.insert(alle()[i].schluessel, i);
        return h;
    }();
    const auto it = index.constFind(schluessel.toString());
    return it == index.cend() ? nullptr : &alle()[*it];
}

const Einstellung* Einstellung::finden(Feld f)
{
    static const std::array<const Einstellung*, std::size_t(Feld::TextMax) + 1> felder = [] {
        std::array<const Einstellung*, std::size_t(Feld::TextMax) + 1> a{};
        for (const Einstellung& e : alle())
            if (e.regel == G::Validate)
                a[std::size_t(e.feld)] = &e;
        return a;
    }();
    return felder[std::size_t(f)];
}

QString Einstellung::wert(const Editorwerte& w) const
{
    using Ruf = Editorwerte::Kontrollruf;
    switch (regel) {
    case G::Validate: return Editormodell::text(w, feld);
    case G::Slider_Quit: return w.quit;
    case G::Slider_Guthaben: return w.guthaben;
    case G::Netzbetreiber: return wahl.value(int(w.netz));
    case G::Kontrollruf: return wahl.value(int(w.kontrollruf));
    case G::Combo_Tag: return w.kontrollruf == Ruf::Woechentlich ? wahl.value(w.tag) : QString();
    case G::UD_Zeit: return w.kontrollruf == Ruf::Aus ? QString() : w.txtStunde + u':' + w.txtMinute;
    case G::Nummern: return {};
    default: break;
    }
    return schalterText(*this, Editormodell::schalter(w, *this));
}

QString Einstellung::code(const QString& text) const
{
    const qsizetype i = wahl.indexOf(text);
    return i < 0 ? QString() : codes.value(i);
}
