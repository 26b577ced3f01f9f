#include "modell/editormodell.h"

#include "image/ansi.h"
#include "image/felder.h"
#include "modell/analogpruefung.h"
#include "modell/einstellung.h"

#include <QStringList>
#include <optional>
#include <utility>

namespace {

constexpr int kSeite0 = 0;
constexpr int kMarkerOptionen = 21;   // Chk_Oeffner, Chk_Gutmeldung
constexpr int kMarkerAllgemein = 22;  // tab "Allgemein"
constexpr int kMarkerAnalog = 20;     // tab "Analogeingänge"

std::optional<Analogfeld> analogfeld(Feld f)
{
    switch (f) {
    case Feld::Messbereich4: return Analogfeld::Messbereich4;
    case Feld::Messbereich20: return Analogfeld::Messbereich20;
    case Feld::Grenzwertmin: return Analogfeld::Grenzwertmin;
    case Feld::Grenzwertmax: return Analogfeld::Grenzwertmax;
    default: return std::nullopt;
    }
}

// An operation's result, collected by the steps it runs.
template <class Schritte>
Folge folge(Schritte schritte)
{
    Folge w;
    schritte(w);
    return w;
}

} // namespace

QString& Editormodell::text(Editorwerte& w, Feld f)
{
    return const_cast<QString&>(text(std::as_const(w), f));
}

const QString& Editormodell::text(const Editorwerte& w, Feld f)
{
    switch (f) {
    case Feld::Anlagenbezeichnung: return w.anlagenbezeichnung;
    case Feld::Guthabenrufnummer: return w.guthabenrufnummer;
    case Feld::NummerAufladung: return w.nummerAufladung;
    case Feld::Besttext1: return w.besttext1;
    case Feld::Besttext2: return w.besttext2;
    case Feld::Messbereich4: return w.messbereich4;
    case Feld::Messbereich20: return w.messbereich20;
    case Feld::Grenzwertmin: return w.grenzwertmin;
    case Feld::Grenzwertmax: return w.grenzwertmax;
    case Feld::Einheit: return w.einheit;
    case Feld::TextMin: return w.textMin;
    case Feld::TextMax: return w.textMax;
    default: break;
    }
    return w.smsText[std::size_t(int(f) - int(Feld::SMSText0))];
}

// --- The editor as a whole -------------------------------------------------------

void Editormodell::starten()
{
    const Fuellen fuellen(*this);
    Grundeinstellung(m_speicher);
    Folge w;
    quittierung(w, false);
    kontrollruf(w, false);
    konto(w, false);
}

void Editormodell::leeren()
{
    Editorwerte leer;
    leer.netz = m_werte.netz;
    leer.kontoAktivierbar = leer.netz != Netzbetreiber::Andere;
    m_werte = leer;
}

void Editormodell::markieren(int marker, int seite)
{
    if (marker >= 0 && marker < kMarker)
        m_marker[std::size_t(marker)] = true;
    if (seite >= 0 && seite < kGeraeteSeiten)
        m_seiten[std::size_t(seite)] = true;
}

void Editormodell::alleMarkieren()
{
    m_marker.fill(true);
    m_seiten.fill(false);
    Alles_markieren(m_seiten);
}

void Editormodell::markierungenLoeschen()
{
    m_marker.fill(false);
    Markierungen_loeschen(m_seiten);
}

void Editormodell::vermerken(Folge& w, int marker, int seite)
{
    if (m_fuellen)
        return;
    markieren(marker, seite);
    w.marker = marker;
    w.seite = seite;
}

// --- Tab "Meldelinien" -------------------------------------------------------------

Folge Editormodell::Chk_Oeffner_Click(int i, bool an)
{
    Folge w;
    if (i < 0 || i > 7)
        return w;
    m_werte.oeffner[std::size_t(i)] = an;
    bitSetzen(m_speicher, kSeite0, offset::Oeffner, i, an);
    vermerken(w, kMarkerOptionen, kSeite0);
    return w;
}

Folge Editormodell::Chk_Gutmeldung_Click(int i, bool an)
{
    Folge w;
    if (i < 0 || i > 8)
        return w;
    m_werte.gutmeldung[std::size_t(i)] = an;
    if (i < 8)
        bitSetzen(m_speicher, kSeite0, offset::Gutmeldung, i, an);
    else
        m_speicher.setze(kSeite0, offset::GutmeldungStrom, an ? 0xFF : 0x00);
    vermerken(w, kMarkerOptionen, kSeite0);
    return w;
}

// --- Tab "Relaisausgänge" ----------------------------------------------------------

Folge Editormodell::Chk_Relaisbest_Click(int r, bool an)
{
    Folge w;
    if (r == 1 || r == 2)
        relaisbest(w, r, an);
    return w;
}

void Editormodell::relaisbest(Folge& w, int r, bool an)
{
    const Feld feld = r == 1 ? Feld::Besttext1 : Feld::Besttext2;
    (r == 1 ? m_werte.relaisbest1 : m_werte.relaisbest2) = an;
    QString& t = text(m_werte, feld);
    if (!an)
        t.clear();
    if (m_fuellen)
        return;
    // Unticking empties the text in the image as well (0x03 at its first cell).
    feldAblegen(w, feld, t, true);
}

// --- Acknowledgement -----------------------------------------------------------------

Folge Editormodell::Chk_Quittierung_Click(bool an)
{
    return folge([&](Folge& w) { quittierung(w, an); });
}

void Editormodell::quittierung(Folge& w, bool an)
{
    m_werte.quittierung = an;
    if (!an) {
        if (m_werte.sliderQuit != 1)
            sliderQuit(w, 1);
        m_werte.quit.clear();
        m_speicher.setze(kSeite0, offset::Quittierung, 0);
        vermerken(w, kMarkerAllgemein, kSeite0);
        return;
    }
    if (m_fuellen)
        return;
    sliderQuit(w, 15);
}

Folge Editormodell::Slider_Quit_Change(int wert)
{
    return folge([&](Folge& w) { sliderQuit(w, wert); });
}

void Editormodell::sliderQuit(Folge& w, int wert)
{
    schieber(w, m_werte.sliderQuit, m_werte.quit, offset::Quittierung, wert);
}

// A slider's handler: the value shown beside it in decimal and stored as a byte.
void Editormodell::schieber(Folge& w, int& schieber, QString& anzeige, int off, int wert)
{
    schieber = wert;
    anzeige = QString::number(wert);
    m_speicher.setze(kSeite0, off, std::uint8_t(wert));
    vermerken(w, kMarkerAllgemein, kSeite0);
}

// --- Balance monitoring and operator -------------------------------------------------

Folge Editormodell::Chk_Konto_Click(bool an)
{
    return folge([&](Folge& w) { konto(w, an); });
}

void Editormodell::konto(Folge& w, bool an)
{
    m_werte.konto = an;
    if (!an) {
        m_werte.guthabenrufnummer.clear();
        m_werte.nummerAufladung.clear();
        if (m_werte.sliderGuthaben != 1)
            sliderGuthaben(w, 1);
        m_werte.guthaben.clear();
        feldAblegen(w, Feld::Guthabenrufnummer, QString(), false);
        feldAblegen(w, Feld::NummerAufladung, QString(), false);
        m_speicher.setze(kSeite0, offset::Guthaben, 0);
        vermerken(w, kMarkerAllgemein, kSeite0);
        return;
    }
    if (m_fuellen)
        return;
    // The operator's own numbers for the balance query and the top-up; with
    // "Andere" the fields keep their text.
    if (m_werte.netz == Netzbetreiber::A1) {
        m_werte.guthabenrufnummer = QStringLiteral("08006642903");
        m_werte.nummerAufladung = QStringLiteral("08006642902");
    } else if (m_werte.netz == Netzbetreiber::TMobile) {
        m_werte.guthabenrufnummer = QStringLiteral("*101#");
        m_werte.nummerAufladung = QStringLiteral("*105*");
    }
    feldAblegen(w, Feld::Guthabenrufnummer, m_werte.guthabenrufnummer, true);
    feldAblegen(w, Feld::NummerAufladung, m_werte.nummerAufladung, true);
    sliderGuthaben(w, 5);
}

Folge Editormodell::Slider_Guthaben_Change(int wert)
{
    return folge([&](Folge& w) { sliderGuthaben(w, wert); });
}

void Editormodell::sliderGuthaben(Folge& w, int wert)
{
    schieber(w, m_werte.sliderGuthaben, m_werte.guthaben, offset::Guthaben, wert);
}

Folge Editormodell::OPT_A1_Click() { return netzbetreiberWaehlen(Netzbetreiber::A1); }
Folge Editormodell::OPT_TM_Click() { return netzbetreiberWaehlen(Netzbetreiber::TMobile); }
Folge Editormodell::OPT_Andere_Click() { return netzbetreiberWaehlen(Netzbetreiber::Andere); }

Folge Editormodell::netzbetreiberWaehlen(Netzbetreiber n)
{
    return folge([&](Folge& w) { netz(w, n); });
}

Folge Editormodell::netzbetreiberErkennen()
{
    return netzbetreiberWaehlen(Netzbetreiber_erkennen(m_speicher));
}

void Editormodell::netz(Folge& w, Netzbetreiber n)
{
    m_werte.netz = n;
    if (n == Netzbetreiber::Andere) {
        // Chk_Konto unticked (without its handler) and locked, then its handler.
        m_werte.konto = false;
        m_werte.kontoAktivierbar = false;
        konto(w, false);
        return;
    }
    m_werte.kontoAktivierbar = true;
    konto(w, m_werte.konto);
}

// --- Check call ------------------------------------------------------------------------

Folge Editormodell::CHK_Kontrollruf_Click(bool an)
{
    return folge([&](Folge& w) { kontrollruf(w, an); });
}

void Editormodell::kontrollruf(Folge& w, bool an)
{
    using K = Editorwerte::Kontrollruf;
    if (an) {
        if (m_fuellen) {
            // The box alone is ticked: nothing is stored; the one who fills
            // selects daily or weekly next. Until then it shows as daily.
            if (m_werte.kontrollruf == K::Aus)
                m_werte.kontrollruf = K::Taeglich;
            return;
        }
        if (m_werte.kontrollruf != K::Taeglich)
            optTag(w);
        if (m_werte.udStunde != 10)
            stunde(w, 10);
        if (m_werte.udMinute != 0)
            minute(w, 0);
        // Switching on is a change of its own: daily at the time shown is
        // stored and recorded even when no other handler had to run.
        m_speicher.setze(kSeite0, offset::Kontrollruf, 7);
        m_speicher.setze(kSeite0, offset::Stunde, bcd(m_werte.udStunde));
        m_speicher.setze(kSeite0, offset::Minute, bcd(m_werte.udMinute));
        vermerken(w, kMarkerAllgemein, kSeite0);
        return;
    }
    m_werte.kontrollruf = K::Aus;
    if (m_werte.tag != -1)
        comboTag(w, -1);
    if (m_werte.udStunde != 10)
        stunde(w, 10);
    if (m_werte.udMinute != 0)
        minute(w, 0);
    Konfigspeicher& k = m_speicher;
    k.setze(kSeite0, offset::Kontrollruf, 0xFF);
    k.setze(kSeite0, offset::Stunde, 0x10);
    k.setze(kSeite0, offset::Minute, 0x00);
    k.setze(kSeite0, 7, ETX);
    for (int o = 8; o <= 23; ++o)
        k.setze(kSeite0, o, FF);
    vermerken(w, kMarkerAllgemein, kSeite0);
}

Folge Editormodell::OPT_Woche_Click()
{
    Folge w;
    m_werte.kontrollruf = Editorwerte::Kontrollruf::Woechentlich;
    if (!m_fuellen)
        comboTag(w, 0);  // "Montag", its handler run once
    return w;
}

Folge Editormodell::OPT_Tag_Click()
{
    return folge([&](Folge& w) { optTag(w); });
}

void Editormodell::optTag(Folge& w)
{
    // Daily: the day list emptied (its handler runs when its text changes),
    // then day 7 stored, whatever the mode.
    m_werte.kontrollruf = Editorwerte::Kontrollruf::Taeglich;
    if (m_werte.tag != -1)
        comboTag(w, -1);
    m_speicher.setze(kSeite0, offset::Kontrollruf, 7);
}

Folge Editormodell::Combo_Tag_Change(int tag)
{
    return folge([&](Folge& w) { comboTag(w, tag); });
}

void Editormodell::comboTag(Folge& w, int tag)
{
    if (tag < 0 || tag > 6)
        tag = -1;
    m_werte.tag = tag;
    if (m_fuellen)
        return;
    m_speicher.setze(kSeite0, offset::Kontrollruf, tag >= 0 ? std::uint8_t(tag) : std::uint8_t(0xFF));
    vermerken(w, kMarkerAllgemein, kSeite0);
}

Folge Editormodell::UD_Stunde_Change(int wert)
{
    return folge([&](Folge& w) { stunde(w, wert); });
}

Folge Editormodell::UD_Minute_Change(int wert)
{
    return folge([&](Folge& w) { minute(w, wert); });
}

void Editormodell::stunde(Folge& w, int wert)
{
    spinner(w, m_werte.udStunde, m_werte.txtStunde, offset::Stunde, wert);
}

void Editormodell::minute(Folge& w, int wert)
{
    spinner(w, m_werte.udMinute, m_werte.txtMinute, offset::Minute, wert);
}

// A spinner's handler: the value shown in two digits and stored in packed BCD.
void Editormodell::spinner(Folge& w, int& spinner, QString& anzeige, int off, int wert)
{
    spinner = wert;
    anzeige = zweistellig(wert);
    m_speicher.setze(kSeite0, off, bcd(wert));
    vermerken(w, kMarkerAllgemein, kSeite0);
}

// --- The fields' check-and-store -------------------------------------------------------

Folge Editormodell::Validate(Feld f, const QString& t, bool geaendert)
{
    return folge([&](Folge& w) { feldAblegen(w, f, t, geaendert); });
}

void Editormodell::feldAblegen(Folge& w, Feld f, const QString& t, bool geaendert)
{
    text(m_werte, f) = t;
    if (analogfeld(f)) {
        w.angenommen = analog(w, f, geaendert);
        return;
    }
    if (f == Feld::Einheit) {
        // Four characters or more (only by pasting or by program) cannot be left.
        if (t.size() <= 3) {
            einheitSpeichern(m_speicher, ansi::bytes(t));
        } else {
            w.angenommen = false;
            w.einwaende.append({Feld::Einheit, {Abweisung::Art::Laenge, 3}});
        }
        // An empty unit counts as a change whenever it is left.
        if (t.isEmpty() || geaendert)
            vermerken(w, kMarkerAnalog, 11);
        return;
    }
    const Einstellung* e = Einstellung::finden(f);
    textSpeichern(m_speicher, e->zellen, ansi::bytes(t));
    if (geaendert)
        vermerken(w, e->marker, e->zellen.seite);
}

bool Editormodell::analog(Folge& w, Feld f, bool geaendert)
{
    const Analogfeld af = *analogfeld(f);
    const Analogwerte werte{m_werte.messbereich4, m_werte.messbereich20, m_werte.grenzwertmin,
                            m_werte.grenzwertmax};
    const Analogentscheid e = analogPruefen(af, werte, geaendert);
    if (e.abgelehnt) {
        w.einwaende.append({f, e.grund});
        return false;
    }
    if (e.speichern)
        zahlSpeichern(m_speicher, 11, Einstellung::finden(f)->zellen.anfang, e.wert);
    if (e.vermerken)
        vermerken(w, kMarkerAnalog, 11);
    if (e.grenzwerteNeuPruefen) {
        // A new range: both thresholds are checked and stored again; one that
        // no longer fits is refused and keeps its stored bytes until corrected.
        analog(w, Feld::Grenzwertmax, geaendert);
        analog(w, Feld::Grenzwertmin, geaendert);
    }
    return true;
}
