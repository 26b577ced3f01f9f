#include "modell/abweisungsgrund.h"

namespace {
QString gesperrt(int sperre)
{
    switch (sperre) {
    case Abweisung::QuittierungAus: return QStringLiteral("Nur bei aktiver Quittierung");
    case Abweisung::KontoAus: return QStringLiteral("Nur bei aktiver Kontostandsüberwachung");
    case Abweisung::KontoNetz: return QStringLiteral("Nur mit Netzbetreiber A1 oder T Mobile");
    case Abweisung::KontrollrufAus: return QStringLiteral("Nur bei aktivem Kontrollruf");
    case Abweisung::NichtWoechentlich: return QStringLiteral("Nur bei wöchentlichem Kontrollruf");
    }
    return QStringLiteral("Nur bei aktiver Bestätigungsmeldung");
}
} // namespace

QString Abweisung::text() const
{
    using A = Art;
    switch (art) {
    case A::Keine: return {};
    case A::Zeichen: return QStringLiteral("Zeichen nicht zulässig");
    case A::Laenge: return QStringLiteral("Höchstens %1 Zeichen").arg(a);
    case A::Nummernzeichen: return QStringLiteral("Nur Ziffern, +, * und #");
    case A::Ziffern: return QStringLiteral("Nur Ziffern");
    case A::Ziffernzahl: return QStringLiteral("Höchstens %1 Ziffern").arg(a);
    case A::Rufnummernzeichen: return QStringLiteral("Nur Ziffern und +");
    case A::Wert4mA: return QStringLiteral("Wert bei 4 mA: 0 bis 999 (ohne führende Nullen)");
    case A::Wert20mA: return QStringLiteral("Wert bei 20 mA: 0 bis 999 (ohne führende Nullen)");
    case A::Unter20mA: return QStringLiteral("Wert bei 4 mA muss kleiner sein als der Wert bei 20 mA");
    case A::Ueber4mA: return QStringLiteral("Wert bei 20 mA muss größer sein als der Wert bei 4 mA");
    case A::UntererBereich: return QStringLiteral("Unterer Grenzwert muss zwischen %1 und %2 liegen").arg(a).arg(b);
    case A::ObererBereich: return QStringLiteral("Oberer Grenzwert muss zwischen %1 und %2 liegen").arg(a).arg(b);
    case A::UntererAbstand: return QStringLiteral("Unterer Grenzwert muss mindestens 51 unter dem oberen liegen");
    case A::ObererAbstand: return QStringLiteral("Oberer Grenzwert muss mindestens 51 über dem unteren liegen");
    case A::Empfaengerliste:
        return QStringLiteral("Die Nummern passen nicht in den Speicher (%1 von %2 Zeichen)").arg(a).arg(b);
    case A::Belegt: return QStringLiteral("Eine Übertragung läuft bereits – bitte warten oder abbrechen");
    case A::Schluessel: return QStringLiteral("Keine solche Einstellung");
    case A::Wahl: return QStringLiteral("Erlaubt: %1").arg(werte);
    case A::Bereich: return QStringLiteral("Erlaubt: %1 bis %2").arg(a).arg(b);
    case A::Uhrzeit: return QStringLiteral("Uhrzeit als hh:mm, 00:00 bis 23:59");
    case A::Gesperrt: return gesperrt(a);
    case A::Empfaengerzahl: return QStringLiteral("Höchstens %1 Empfänger").arg(a);
    }
    return {};
}
