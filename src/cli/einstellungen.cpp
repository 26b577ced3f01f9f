#include "cli/einstellungen.h"

#include "editor/empfaenger.h"
#include "image/felder.h"

namespace cli {
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

QString aktiv(bool an) { return an ? QStringLiteral("aktiv") : QStringLiteral("aus"); }
QString ja(bool an) { return an ? QStringLiteral("ja") : QStringLiteral("nein"); }

struct Ausgabe {
    QStringList zeilen;
    void operator()(const QString& beschriftung, const QString& wert)
    {
        zeilen.append(beschriftung + QStringLiteral(": ") + lesbar(wert));
    }
    void nummern(const QString& quelle, const Konfigspeicher& k, int seite)
    {
        const QList<empfaenger::Eintrag> liste = empfaenger::listeDekodieren(listeLesen(k, seite));
        for (qsizetype i = 0; i < liste.size(); ++i)
            (*this)(QStringLiteral("%1 Nummer %2").arg(quelle).arg(i + 1),
                    art(liste[i].art) + QLatin1Char(' ') + liste[i].text);
    }
};

} // namespace

QString lesbar(const QString& text)
{
    QString aus;
    aus.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\')
            aus += QStringLiteral("\\\\");
        else if (u < 0x20 || u == 0x7F || (u >= 0x80 && u <= 0x9F))
            aus += QStringLiteral("\\x") + QString::number(int(u), 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else
            aus += c;
    }
    return aus;
}

QStringList einstellungen(const Konfigspeicher& k, const Editorwerte& w)
{
    using K = Editorwerte::Kontrollruf;
    Ausgabe aus;

    // Tab "Allgemein"
    aus(QStringLiteral("Anlagenbezeichnung"), w.anlagenbezeichnung);
    aus(QStringLiteral("Netzbetreiber"), netz(w.netz));
    aus(QStringLiteral("Quittierung"), aktiv(w.quittierung));
    aus(QStringLiteral("Quittierungszeit in Minuten"), w.quit);
    aus(QStringLiteral("Kontostandsüberwachung"), aktiv(w.konto));
    aus(QStringLiteral("Nummer für SMS Kontostandsabfrage"), w.guthabenrufnummer);
    aus(QStringLiteral("Nummer für Kontoaufladung"), w.nummerAufladung);
    aus(QStringLiteral("Minimalguthaben in EURO"), w.guthaben);
    aus(QStringLiteral("Kontrollruf"), w.kontrollruf == K::Aus       ? QStringLiteral("aus")
                                       : w.kontrollruf == K::Taeglich ? QStringLiteral("täglich")
                                                                      : QStringLiteral("wöchentlich"));
    aus(QStringLiteral("Kontrollruf Tag"), w.kontrollruf == K::Woechentlich ? tag(w.tag) : QString());
    aus(QStringLiteral("Kontrollruf senden um"), w.txtStunde + QLatin1Char(':') + w.txtMinute);

    // Tab "Meldelinien"
    for (int i = 0; i < 9; ++i) {
        const QString quelle = i < 8 ? QStringLiteral("Meldelinie %1").arg(i + 1) : QStringLiteral("Stromausfall");
        aus(quelle + QStringLiteral(" Meldungstext"), w.smsText[i]);
        if (i < 8)
            aus(quelle + QStringLiteral(" Öffner"), ja(w.oeffner[i]));
        aus(quelle + QStringLiteral(" Gutmeldung"), ja(w.gutmeldung[i]));
        aus.nummern(quelle, k, i + 1);
    }

    // Tab "Relaisausgänge"
    aus(QStringLiteral("Relais 1 Bestätigungsmeldung"), aktiv(w.relaisbest1));
    aus(QStringLiteral("Relais 1 Bestätigungstext"), w.besttext1);
    aus(QStringLiteral("Relais 2 Bestätigungsmeldung"), aktiv(w.relaisbest2));
    aus(QStringLiteral("Relais 2 Bestätigungstext"), w.besttext2);

    // Tab "Analogeingänge"
    aus(QStringLiteral("Analogeingang Messwert 4 mA"), w.messbereich4);
    aus(QStringLiteral("Analogeingang Messwert 20 mA"), w.messbereich20);
    aus(QStringLiteral("Analogeingang Messwert Einheit"), w.einheit);
    aus(QStringLiteral("Analogeingang unterer Grenzwert"), w.grenzwertmin);
    aus(QStringLiteral("Analogeingang oberer Grenzwert"), w.grenzwertmax);
    aus(QStringLiteral("Analogeingang Meldungstext Minimumalarm"), w.textMin);
    aus(QStringLiteral("Analogeingang Meldungstext Maximumalarm"), w.textMax);
    aus.nummern(QStringLiteral("Analogeingang"), k, 11);
    return aus.zeilen;
}

} // namespace cli
