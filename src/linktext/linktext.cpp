#include "linktext/linktext.h"

#include "image/felder.h"
#include "image/konfigspeicher.h"

#include <QStringList>
#include <algorithm>

namespace linktext {
namespace {

QString hex(std::uint8_t b)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

QLatin1Char befehl(Vorgangsart art)
{
    return QLatin1Char("rwlts"[int(art)]);
}

// Why the window's decode cannot take the device's bytes, with the bytes: a
// 16-bit analog number that does not fit its signed computation, e.g.
// "Konfigurationsdaten nicht lesbar: Analogeingang Messwert 4 mA (Seite 11,
// Zeichen 129 und 130): 0x80 0x00 = 32768, größer als 32767".
QString konfigurationUnlesbar(const QByteArray& bytes)
{
    const struct {
        int offset;
        const char* name;
    } felder[] = {{offset::Messbereich4, "Messwert 4 mA"},
                  {offset::Messbereich20, "Messwert 20 mA"},
                  {offset::Grenzwertmin, "unterer Grenzwert"},
                  {offset::Grenzwertmax, "oberer Grenzwert"}};
    Konfigspeicher k;
    for (int o = 0; o < kZellen && 11 * kZellen + o < bytes.size(); ++o)
        k.setze(11, o, std::uint8_t(bytes.at(11 * kZellen + o)));
    for (const auto& f : felder) {
        if (!zahlLesen(k, 11, f.offset).ueberlauf)
            continue;
        const std::uint8_t hoch = k.byte(11, f.offset), tief = k.byte(11, f.offset + 1);
        return QStringLiteral("Konfigurationsdaten nicht lesbar: Analogeingang %1 (Seite 11, Zeichen %2 und %3): %4 %5 = "
                              "%6, größer als 32767")
            .arg(QString::fromUtf8(f.name))
            .arg(f.offset + 1)
            .arg(f.offset + 2)
            .arg(hex(hoch), hex(tief))
            .arg(hoch * 256 + tief);
    }
    return QStringLiteral("Konfigurationsdaten nicht lesbar");
}

QString unlesbar(const Vorgangsbericht& b)
{
    switch (b.art) {
    case Vorgangsart::Lesen: return konfigurationUnlesbar(b.daten);
    case Vorgangsart::Ereignisse: return QStringLiteral("Ereignisspeicher nicht abgelegt");
    default: return QStringLiteral("Uhrzeit nicht lesbar: %1").arg(QString::fromLatin1(b.daten.left(5).toHex(' ').toUpper()));
    }
}

// A wait that ran out or was aborted, or an operation aborted between waits.
QString ohneAntwort(const Vorgangsbericht& b)
{
    const bool abbruch = b.grund == Grund::Abbruch;
    const QString frist = dauer(b.frist);
    if (b.schritt == Schritt::Verbinden)
        return abbruch ? QStringLiteral("Verbindungsaufbau abgebrochen") : QStringLiteral("kein ACK innerhalb %1").arg(frist);
    if (b.art == Vorgangsart::Schreiben && b.schreibstand) {
        const QString was = abbruch ? QStringLiteral("abgebrochen") : QStringLiteral("Echo fehlt");
        const Schreibstand& s = *b.schreibstand;
        if (b.schritt == Schritt::Seitenzeichen)
            return QStringLiteral("%1 beim Seitenzeichen von Seite %2").arg(was).arg(s.seite);
        if (b.schritt == Schritt::Seite)
            return QStringLiteral("%1 bei Seite %2, Zeichen %3").arg(was).arg(s.seite).arg(s.echos + 1);
        return QStringLiteral("%1 bei w").arg(was);
    }
    if (abbruch && b.gesamt > 0)
        return QStringLiteral("abgebrochen nach %1 von %2 %3")
            .arg(b.bytes)
            .arg(b.gesamt)
            .arg(b.art == Vorgangsart::UhrSetzen ? QStringLiteral("Uhrzeit-Bytes") : QStringLiteral("Bytes"));
    if (b.schritt == Schritt::Befehl)
        return abbruch ? QStringLiteral("abgebrochen beim Warten auf das Echo für %1").arg(befehl(b.art))
                       : QStringLiteral("kein Echo für %1 innerhalb %2").arg(befehl(b.art)).arg(frist);
    if (b.schritt == Schritt::Antwort)
        return abbruch ? QStringLiteral("abgebrochen beim Warten auf die Antwort \">\"")
                       : QStringLiteral("keine Antwort \">\" innerhalb %1").arg(frist);
    return {};
}

} // namespace

QString titel() { return QStringLiteral("GSM Boravilon"); }
QString textKeineVerbindung() { return QStringLiteral("Verbindung nicht möglich"); }
QString textUebertragungsfehler() { return QStringLiteral("Fehler bei Datenübertragung"); }

QString meldung(const Vorgangsbericht& b)
{
    switch (b.ausgang) {
    case Ausgang::KeineVerbindung: return textKeineVerbindung();
    case Ausgang::Uebertragungsfehler:
    case Ausgang::Zeitueberschreitung: return textUebertragungsfehler();
    case Ausgang::Erfolg:
    case Ausgang::Abgebrochen: break;
    }
    return {};
}

bool signalton(const Vorgangsbericht& b)
{
    return b.art == Vorgangsart::Schreiben && b.ausgang == Ausgang::Uebertragungsfehler;
}

QString detail(const Vorgangsbericht& b)
{
    if (b.ausgang == Ausgang::Erfolg)
        return {};
    if (b.port)
        return portursache::text(b.port->ursache, b.port->com, b.port->geraet, b.port->text);
    switch (b.grund) {
    case Grund::KeineAntwort:
    case Grund::Abbruch: return ohneAntwort(b);
    case Grund::KeineDaten: return QStringLiteral("nach %1 von %2 Bytes keine Daten mehr").arg(b.bytes).arg(b.gesamt);
    case Grund::NichtGesendet:
        return b.schritt == Schritt::Befehl ? QStringLiteral("Befehl %1 nicht gesendet").arg(befehl(b.art))
                                            : QStringLiteral("Uhrzeit-Byte %1 nicht gesendet").arg(b.bytes);
    case Grund::Unvollstaendig:
        return QStringLiteral("Uhrzeit unvollständig: nur %1 von %2 Bytes vor \">\"").arg(b.bytes).arg(b.gesamt);
    case Grund::Unlesbar: return unlesbar(b);
    case Grund::Getrennt: return QStringLiteral("Verbindung getrennt");
    case Grund::Keiner: break;
    }
    return {};
}

QString seitenliste(QList<int> seiten)
{
    std::sort(seiten.begin(), seiten.end());
    seiten.erase(std::unique(seiten.begin(), seiten.end()), seiten.end());
    QStringList teile;
    for (qsizetype i = 0; i < seiten.size();) {
        qsizetype j = i;
        while (j + 1 < seiten.size() && seiten[j + 1] == seiten[j] + 1)
            ++j;
        if (j - i >= 2) {
            teile << QStringLiteral("%1 bis %2").arg(seiten[i]).arg(seiten[j]);
        } else {
            for (qsizetype k = i; k <= j; ++k)
                teile << QString::number(seiten[k]);
        }
        i = j + 1;
    }
    if (teile.size() <= 1)
        return teile.value(0);
    const QString letzter = teile.takeLast();
    return teile.join(QStringLiteral(", ")) + QStringLiteral(" und ") + letzter;
}

QString seitenMitNomen(const QList<int>& seiten)
{
    return (seiten.size() == 1 ? QStringLiteral("Seite ") : QStringLiteral("Seiten ")) + seitenliste(seiten);
}

QString schreibstand(const Schreibstand& s)
{
    const QString wiederholen = QStringLiteral(". Schreiben wiederholen.");
    if (!s.begonnen())
        return QStringLiteral("Gerät nicht beschrieben: keine Seite gesendet") + wiederholen;
    QStringList teile;
    if (!s.bestaetigt.isEmpty())
        teile << seitenMitNomen(s.bestaetigt) + QStringLiteral(" gesendet und bestätigt");
    if (s.seite >= 0) {
        QString teil = s.echos == 0 ? QStringLiteral("von Seite %1 kein Byte").arg(s.seite)
                                    : QStringLiteral("von Seite %1 nur %2 der %3 Bytes").arg(s.seite).arg(s.echos).arg(kZellen);
        if (s.bestaetigt.isEmpty())
            teil += QStringLiteral(" gesendet und bestätigt");
        teile << teil;
    }
    if (!s.nichtGesendet.isEmpty())
        teile << seitenMitNomen(s.nichtGesendet) + QStringLiteral(" nicht gesendet");
    return QStringLiteral("Zustand des Geräts nicht geprüft: ") + teile.join(QStringLiteral(", ")) + wiederholen;
}

QString beschriftung(const Fortschrittsstand& s)
{
    if (s.schritt == Schritt::Verbinden)
        return QStringLiteral("Verbindungsaufbau ...");
    if (s.art == Vorgangsart::Lesen && s.schritt == Schritt::Empfangen)
        return QStringLiteral("lese Konfigurationsdaten ...");
    if (s.art == Vorgangsart::Schreiben && s.schritt == Schritt::Seite && s.seite >= 0 && s.seite < kGeraeteSeiten)
        return seitenTitel(s.seite);
    return {};
}

QString schritt(const Schrittmeldung& s)
{
    using Was = Schrittmeldung::Was;
    switch (s.was) {
    case Was::PortGeoeffnet: return QStringLiteral("Port %1 geöffnet").arg(s.geraet);
    case Was::AckEmpfangen: return QStringLiteral("ACK empfangen");
    case Was::BefehlGesendet: return QStringLiteral("Befehl %1 gesendet").arg(QString::fromLatin1(s.bytes));
    case Was::SeiteGeschrieben: return QStringLiteral("Seite %1 geschrieben").arg(s.zahl);
    case Was::DatenEmpfangen: return QStringLiteral("%1 Bytes empfangen").arg(s.zahl);
    case Was::AntwortEmpfangen: return QStringLiteral("Antwort \"%1\" empfangen").arg(QString::fromLatin1(s.bytes));
    case Was::DatenGesendet:
        return s.art == Vorgangsart::UhrSetzen ? QStringLiteral("%1 Uhrzeit-Bytes gesendet").arg(s.zahl)
                                               : QStringLiteral("%1 Bytes gesendet").arg(s.zahl);
    case Was::EscGesendet: return QStringLiteral("ESC gesendet");
    case Was::PortGeschlossen: return QStringLiteral("Port geschlossen");
    }
    return {};
}

QString dauer(std::chrono::milliseconds ms)
{
    if (ms.count() % 1000 == 0)
        return QStringLiteral("%1 s").arg(ms.count() / 1000);
    return QStringLiteral("%1 ms").arg(ms.count());
}

} // namespace linktext
