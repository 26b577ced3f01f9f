// Settings by key, the check boxes of the table and the recipient lists: the
// editor model's operations that the table of settings drives.
#include "image/ansi.h"
#include "modell/editormodell.h"
#include "modell/einstellung.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;
using A = Abweisung::Art;
using G = Regel;

namespace {

Folge abgewiesen(const Einstellung* e, const Abweisung& grund)
{
    Folge f;
    f.angenommen = false;
    f.einwaende.append({e && e->regel == G::Validate ? std::optional<Feld>(e->feld) : std::nullopt, grund});
    return f;
}

// The second operation of a setting after the first: taken when both are,
// the last marker recorded, every refusal.
void dazu(Folge& f, const Folge& g)
{
    f.angenommen = f.angenommen && g.angenommen;
    if (g.marker >= 0) {
        f.marker = g.marker;
        f.seite = g.seite;
    }
    f.einwaende += g.einwaende;
}

// What a field's control admits: each character, then the length.
Abweisung textPruefen(const Einstellung& e, const QString& t)
{
    for (QChar c : t)
        if (const auto b = ansi::byteFuer(c); !b || !zeichenErlaubt(e.zeichen, *b))
            return zeichenGrund(e.zeichen);
    if (t.size() > e.max)
        return laengeGrund(e.zeichen, e.max);
    return {};
}

// A plain decimal number of digits only.
std::optional<int> zahl(const QString& t)
{
    static const QRegularExpression ziffern(u"^[0-9]{1,6}$"_s);
    if (!ziffern.match(t).hasMatch())
        return std::nullopt;
    return t.toInt();
}

// "GSM 0664...; Fax 0316...; email a@b.at": the kind by its caption or code.
std::optional<QList<empfaenger::Eintrag>> listeAusText(const QString& text)
{
    QList<empfaenger::Eintrag> liste;
    for (const QString& teil : text.split(u';', Qt::SkipEmptyParts)) {
        const QString t = teil.trimmed();
        const qsizetype blank = t.indexOf(u' ');
        const QString art = t.left(blank);
        const qsizetype i = std::max(empfaengerArten().indexOf(art), empfaengerCodes().indexOf(art));
        if (i < 0 || blank < 0)
            return std::nullopt;
        liste.append({empfaenger::Art(i), t.mid(blank + 1)});
    }
    return liste;
}

} // namespace

bool& Editormodell::schalter(Editorwerte& w, const Einstellung& e)
{
    switch (e.regel) {
    case G::Chk_Oeffner: return w.oeffner[std::size_t(e.index)];
    case G::Chk_Gutmeldung: return w.gutmeldung[std::size_t(e.index)];
    case G::Chk_Relaisbest: return e.index == 1 ? w.relaisbest1 : w.relaisbest2;
    case G::Chk_Quittierung: return w.quittierung;
    default: break;
    }
    return w.konto;  // Chk_Konto, the only other check box of the table
}

bool Editormodell::schalter(const Editorwerte& w, const Einstellung& e)
{
    return schalter(const_cast<Editorwerte&>(w), e);
}

Folge Editormodell::schalten(const Einstellung& e, bool an)
{
    switch (e.regel) {
    case G::Chk_Oeffner: return Chk_Oeffner_Click(e.index, an);
    case G::Chk_Gutmeldung: return Chk_Gutmeldung_Click(e.index, an);
    case G::Chk_Relaisbest: return Chk_Relaisbest_Click(e.index, an);
    case G::Chk_Quittierung: return Chk_Quittierung_Click(an);
    case G::Chk_Konto: return Chk_Konto_Click(an);
    default: break;
    }
    return {};
}

Folge Editormodell::schieben(const Einstellung& e, int wert)
{
    if (e.regel == G::Slider_Quit)
        return Slider_Quit_Change(wert);
    return e.regel == G::Slider_Guthaben ? Slider_Guthaben_Change(wert) : Folge{};
}

Folge Editormodell::Nummern_Speichern(int seite, const QList<empfaenger::Eintrag>& liste)
{
    Folge w;
    if (!empfaenger::istListenseite(seite))
        return w;
    const bool a1 = m_werte.netz == Netzbetreiber::A1;
    const std::optional<QByteArray> gerahmt = empfaenger::listeKodieren(liste, a1);
    if (!gerahmt)
        return abgewiesen(nullptr, {A::Empfaengerliste, empfaenger::listeBedarf(liste, a1), empfaenger::kListenZellen});
    listeSpeichern(m_speicher, seite, *gerahmt);
    vermerken(w, empfaenger::marker(seite), seite);
    return w;
}

Folge Editormodell::Nummern_Kopieren(int seite)
{
    Folge w;
    if (!empfaenger::istListenseite(seite))
        return w;
    QByteArray zellen;
    for (int o = 0; o < empfaenger::kListenZellen; ++o)
        zellen.append(char(m_speicher.byte(seite, o)));
    for (int p : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11}) {
        listeSpeichern(m_speicher, p, zellen);
        vermerken(w, empfaenger::marker(p), p);
    }
    return w;
}

// --- Settings by key -------------------------------------------------------------

Folge Editormodell::setzen(const QString& schluessel, const QString& text)
{
    const Einstellung* e = Einstellung::finden(schluessel);
    if (!e && schluessel.endsWith(u"_code"_s))  // a choice by its JSON code's key
        if (e = Einstellung::finden(schluessel.chopped(5)); e && e->art != Wertart::Auswahl)
            e = nullptr;
    if (!e)
        return abgewiesen(nullptr, {A::Schluessel});
    if (e->art == Wertart::Empfaenger) {
        const auto liste = listeAusText(text);
        if (!liste)
            return abgewiesen(e, {A::Wahl, 0, 0, empfaengerArten().join(u", "_s)});
        return setzen(schluessel, *liste);
    }
    if (text == e->wert(m_werte))
        return {};
    return uebernehmen(*e, text);
}

Folge Editormodell::setzen(const QString& schluessel, const QList<empfaenger::Eintrag>& eintraege)
{
    const Einstellung* e = Einstellung::finden(schluessel);
    if (!e || e->art != Wertart::Empfaenger)
        return abgewiesen(nullptr, {A::Schluessel});
    QList<empfaenger::Eintrag> liste;
    for (const empfaenger::Eintrag& x : eintraege) {
        if (x.text.isEmpty())
            continue;  // an empty slot makes no entry
        for (QChar c : x.text)
            if (!empfaenger::zeichenZulaessig(x.art, c))
                return abgewiesen(e, {x.art == empfaenger::Art::Email ? A::Zeichen : A::Rufnummernzeichen});
        liste.append(x);
    }
    if (liste.size() > empfaenger::kPlaetze)
        return abgewiesen(e, {A::Empfaengerzahl, empfaenger::kPlaetze});
    if (liste == empfaenger::listeDekodieren(listeLesen(m_speicher, e->index)))
        return {};
    return Nummern_Speichern(e->index, liste);
}

Abweisung Editormodell::gesperrt(const Einstellung& e) const
{
    using Ruf = Editorwerte::Kontrollruf;
    const Editorwerte& w = m_werte;
    const auto feld = [&](Feld f) { return e.regel == G::Validate && e.feld == f; };
    int sperre = -1;
    if (e.regel == G::Slider_Quit && !w.quittierung)
        sperre = Abweisung::QuittierungAus;
    else if (e.regel == G::Chk_Konto && !w.kontoAktivierbar)
        sperre = Abweisung::KontoNetz;
    else if ((e.regel == G::Slider_Guthaben || feld(Feld::Guthabenrufnummer) || feld(Feld::NummerAufladung)) && !w.konto)
        sperre = Abweisung::KontoAus;
    else if (e.regel == G::Combo_Tag && w.kontrollruf != Ruf::Woechentlich)
        sperre = Abweisung::NichtWoechentlich;
    else if (e.regel == G::UD_Zeit && w.kontrollruf == Ruf::Aus)
        sperre = Abweisung::KontrollrufAus;
    else if ((feld(Feld::Besttext1) && !w.relaisbest1) || (feld(Feld::Besttext2) && !w.relaisbest2))
        sperre = Abweisung::RelaisAus;
    return sperre < 0 ? Abweisung{} : Abweisung{A::Gesperrt, sperre};
}

Folge Editormodell::uebernehmen(const Einstellung& e, const QString& t)
{
    static const QRegularExpression uhrzeit(u"^([0-9]{1,2}):([0-9]{2})$"_s);
    std::optional<int> v;
    switch (e.regel) {
    case G::Validate: {
        if (const Abweisung a = textPruefen(e, t))
            return abgewiesen(&e, a);
        if (const Abweisung a = gesperrt(e))
            return abgewiesen(&e, a);
        // A value the field's check refuses is not taken: without a field to
        // keep it in, the setting shows what it showed before.
        const QString vorher = text(m_werte, e.feld);
        const Folge f = Validate(e.feld, t, true);
        if (!f.angenommen)
            text(m_werte, e.feld) = vorher;
        return f;
    }
    case G::Slider_Quit:
    case G::Slider_Guthaben:
        if (v = zahl(t); !v || *v < e.min || *v > e.max)
            return abgewiesen(&e, {A::Bereich, e.min, e.max});
        if (const Abweisung a = gesperrt(e))
            return abgewiesen(&e, a);
        if (QString::number(*v) == e.wert(m_werte))
            return {};
        return schieben(e, *v);
    case G::UD_Zeit: {
        const QRegularExpressionMatch m = uhrzeit.match(t);
        const int h = m.captured(1).toInt(), mi = m.captured(2).toInt();
        if (!m.hasMatch() || h > 23 || mi > 59)
            return abgewiesen(&e, {A::Uhrzeit});
        if (const Abweisung a = gesperrt(e))
            return abgewiesen(&e, a);
        Folge f;
        if (zweistellig(h) != m_werte.txtStunde)
            f = UD_Stunde_Change(h);
        if (zweistellig(mi) != m_werte.txtMinute)
            dazu(f, UD_Minute_Change(mi));
        return f;
    }
    case G::Netzbetreiber:
    case G::Kontrollruf:
    case G::Combo_Tag: {
        const qsizetype i = std::max(e.wahl.indexOf(t), e.codes.indexOf(t));
        if (i < 0)
            return abgewiesen(&e, {A::Wahl, 0, 0, e.wahl.join(u", "_s)});
        if (const Abweisung a = gesperrt(e))
            return abgewiesen(&e, a);
        return waehlen(e, int(i));
    }
    default:
        break;
    }
    // A check box.
    const QStringList worte = e.art == Wertart::JaNein ? QStringList{u"ja"_s, u"nein"_s} : QStringList{u"aktiv"_s, u"aus"_s};
    const bool an = t == worte[0] || t == u"true"_s;
    if (!an && t != worte[1] && t != u"false"_s)
        return abgewiesen(&e, {A::Wahl, 0, 0, worte.join(u", "_s)});
    if (an == schalter(m_werte, e))
        return {};
    if (const Abweisung a = gesperrt(e))
        return abgewiesen(&e, a);
    return schalten(e, an);
}

// Choice `wahl` of a choice setting, as the window's controls make it.
Folge Editormodell::waehlen(const Einstellung& e, int wahl)
{
    using Ruf = Editorwerte::Kontrollruf;
    if (e.regel == G::Netzbetreiber)
        return wahl == int(m_werte.netz) ? Folge{} : netzbetreiberWaehlen(Netzbetreiber(wahl));
    if (e.regel == G::Combo_Tag)
        return wahl == m_werte.tag ? Folge{} : Combo_Tag_Change(wahl);
    // The check call: the box, then the option of daily or weekly.
    const Ruf ruf = Ruf(wahl);
    if (ruf == m_werte.kontrollruf)
        return {};
    if (ruf == Ruf::Aus)
        return CHK_Kontrollruf_Click(false);
    Folge f;
    if (m_werte.kontrollruf == Ruf::Aus)
        f = CHK_Kontrollruf_Click(true);  // switched on daily
    if (ruf == Ruf::Woechentlich)
        dazu(f, OPT_Woche_Click());
    else if (m_werte.kontrollruf != Ruf::Taeglich)
        dazu(f, OPT_Tag_Click());
    return f;
}
