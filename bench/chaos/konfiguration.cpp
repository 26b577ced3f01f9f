#include "konfiguration.h"

#include "cfgfile/cfgdatei.h"
#include "image/empfaenger.h"
#include "image/felder.h"

#include <iterator>

namespace {

bool ok(const Folge& f) { return f.angenommen && f.einwaende.isEmpty(); }

// Letters, digits, blanks and a few of Windows-1252's own; the field's rules
// refuse what it does not take, and the step is undone.
QString text(Zufall& z, int hoechstens)
{
    static const QString zeichen = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .-:/äöüÄÖÜß");
    QString s;
    for (int i = z.zahl(hoechstens + 1); i > 0; --i)
        s += zeichen[z.zahl(int(zeichen.size()))];
    return s;
}

QString ziffern(Zufall& z, int hoechstens)
{
    QString s;
    for (int i = z.zahl(hoechstens + 1); i > 0; --i)
        s += QChar(u'0' + z.zahl(10));
    return s;
}

// A recipient list of page 1..9 or 11: numbers, fax numbers, addresses.
bool empfaengerliste(Editormodell& m, Zufall& z)
{
    QList<empfaenger::Eintrag> liste(z.zahl(9));
    for (empfaenger::Eintrag& e : liste) {
        e.art = empfaenger::Art(z.zahl(3));
        e.text = e.art == empfaenger::Art::Email ? QStringLiteral("%1@%2.at").arg(text(z, 8), text(z, 6))
                                                 : QStringLiteral("0") + ziffern(z, 13);
    }
    const auto kodiert = empfaenger::listeKodieren(liste, m.werte().netz == Netzbetreiber::A1);
    if (!kodiert)
        return false;
    listeSpeichern(m.speicher(), z.zahl(10) == 9 ? 11 : 1 + z.zahl(9), *kodiert);
    return true;
}

bool feld(Editormodell& m, Zufall& z)
{
    static const Feld felder[] = {Feld::Anlagenbezeichnung, Feld::Guthabenrufnummer, Feld::NummerAufladung,
                                  Feld::TextMin,            Feld::TextMax,           Feld::Einheit,
                                  Feld::Messbereich4,       Feld::Messbereich20,     Feld::Grenzwertmin,
                                  Feld::Grenzwertmax,       Feld::Besttext1,         Feld::Besttext2,
                                  SMSText(0),               SMSText(3),              SMSText(8)};
    const Feld f = felder[z.zahl(int(std::size(felder)))];
    if (f == Feld::Guthabenrufnummer || f == Feld::NummerAufladung)
        return !m.werte().konto || ok(m.Validate(f, ziffern(z, 15), true));
    if (f == Feld::Einheit)
        return ok(m.Validate(f, text(z, 3), true));
    if (f >= Feld::Messbereich4 && f <= Feld::Grenzwertmax)
        return ok(m.Validate(f, QString::number(z.zahl(10000)), true));
    return ok(m.Validate(f, text(z, f == Feld::TextMin || f == Feld::TextMax ? 127 : 70), true));
}

bool schritt(Editormodell& m, Zufall& z)
{
    using K = Editorwerte::Kontrollruf;
    const Editorwerte& w = m.werte();
    switch (z.zahl(15)) {
    case 0: return ok(m.Chk_Oeffner_Click(z.zahl(8), z.ja(0.5)));
    case 1: return ok(m.Chk_Gutmeldung_Click(z.zahl(9), z.ja(0.5)));
    case 2: return ok(m.Chk_Quittierung_Click(z.ja(0.5)));
    case 3: return !w.quittierung || ok(m.Slider_Quit_Change(1 + z.zahl(255)));
    case 4: return !w.kontoAktivierbar || ok(m.Chk_Konto_Click(z.ja(0.5)));
    case 5: return !w.konto || ok(m.Slider_Guthaben_Change(1 + z.zahl(9)));
    case 6: return ok(m.netzbetreiberWaehlen(Netzbetreiber(z.zahl(3))));
    case 7: return ok(m.CHK_Kontrollruf_Click(z.ja(0.5)));
    case 8: return w.kontrollruf == K::Aus || ok(z.ja(0.5) ? m.OPT_Tag_Click() : m.OPT_Woche_Click());
    case 9: return w.kontrollruf != K::Woechentlich || ok(m.Combo_Tag_Change(z.zahl(7)));
    case 10: return w.kontrollruf == K::Aus || (ok(m.UD_Stunde_Change(z.zahl(24))) && ok(m.UD_Minute_Change(z.zahl(60))));
    case 11: return ok(m.Chk_Relaisbest_Click(1 + z.zahl(2), z.ja(0.5)));
    case 12: return empfaengerliste(m, z);
    default: return feld(m, z);
    }
}

} // namespace

QByteArray zufallsKonfiguration(Zufall& z, int schritte)
{
    Editormodell m;
    m.starten();
    for (int i = z.zahl(schritte + 1); i > 0; --i)
        if (const Editormodell vorher = m; !schritt(m, z))
            m = vorher;
    m.netzbetreiberErkennen();
    return cfgSchreiben(m.speicher());
}
