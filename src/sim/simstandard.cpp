#include "sim/simstandard.h"

#include "image/ansi.h"
#include "image/felder.h"

#include <QList>

namespace {

QByteArray a(const char* text) { return ansi::bytes(QString::fromUtf8(text)); }

// A recipient list, with the at sign of an e-mail address stored as '*'.
void liste(Konfigspeicher& k, int seite, const QList<QByteArray>& eintraege)
{
    QList<QByteArray> gespeichert;
    for (QByteArray e : eintraege)
        gespeichert.append(e.replace('@', '*'));
    const auto gerahmt = listeRahmen(gespeichert);
    Q_ASSERT(gerahmt);  // the lists below are made to fit
    if (gerahmt)
        listeSpeichern(k, seite, *gerahmt);
}

QByteArray sms(const char* nummer) { return QByteArray(nummer); }
QByteArray fax(const char* nummer) { return QByteArray("06646802") + nummer; }
QByteArray mail(const char* adresse) { return QByteArray("0664680502&") + adresse + " (Boravilon)"; }

} // namespace

Konfigspeicher simStandardKonfig()
{
    Konfigspeicher k;
    Grundeinstellung(k);

    // Page 0: general settings.
    k.setze(0, offset::Oeffner, 0x0C);         // lines 3 and 4 are normally-closed contacts
    k.setze(0, offset::Gutmeldung, 0x3F);      // all-clear messages for lines 1..6
    k.setze(0, offset::GutmeldungStrom, 0xFF); // and for the mains failure
    k.setze(0, offset::Quittierung, 15);       // acknowledgement within 15 minutes
    k.setze(0, offset::Kontrollruf, 2);        // weekly check call on Wednesday
    k.setze(0, offset::Stunde, bcd(10));       // at 10:30
    k.setze(0, offset::Minute, bcd(30));
    textSpeichern(k, bereich::Guthabenrufnummer, "08006642903");
    textSpeichern(k, bereich::NummerAufladung, "08006642902");
    k.setze(0, offset::Guthaben, 5);           // balance monitoring at 5 EURO
    textSpeichern(k, bereich::Anlagenbezeichnung, a("Pumpwerk Nord"));

    // Pages 1..9: recipients and message texts of the alarm lines and the mains failure.
    const char* texte[9] = {
        "Einbruch Halle 1",        "Einbruch Halle 2",     "Brandmeldung Halle 1",
        "Wasserstand Becken hoch", "Störung Pumpe 1",      "Störung Pumpe 2",
        "Tür Schaltschrank offen", "Übertemperatur Motor", "Stromausfall Pumpwerk Nord",
    };
    const QByteArray leitung = sms("06641234567");
    const QByteArray bereitschaft = sms("06769876543");
    const QByteArray technik = mail("technik@pumpwerk-nord.at");
    const QByteArray buero = fax("07229555123");
    liste(k, 1, {leitung, buero, technik});
    liste(k, 2, {leitung, buero});
    liste(k, 3, {leitung, bereitschaft, buero, technik});
    liste(k, 4, {bereitschaft, technik});
    liste(k, 5, {bereitschaft, mail("wartung@pumpen-service.at")});
    liste(k, 6, {bereitschaft, mail("wartung@pumpen-service.at")});
    liste(k, 7, {leitung});
    liste(k, 8, {bereitschaft, buero});
    liste(k, 9, {leitung, bereitschaft, buero, technik});
    for (int i = 0; i < 9; ++i)
        textSpeichern(k, bereich::SMSText(i), a(texte[i]));

    // Page 10: confirmation texts of the relays.
    textSpeichern(k, bereich::Besttext1, a("Relais 1 geschaltet: Pumpe 1 ein"));
    textSpeichern(k, bereich::Besttext2, a("Relais 2 geschaltet: Hupe aus"));

    // Page 11: analog input 0..500 with thresholds 100 and 400, unit bar.
    liste(k, 11, {leitung, bereitschaft, technik});
    zahlSpeichern(k, 11, offset::Messbereich4, 0);
    zahlSpeichern(k, 11, offset::Messbereich20, 500);
    zahlSpeichern(k, 11, offset::Grenzwertmin, 100);
    zahlSpeichern(k, 11, offset::Grenzwertmax, 400);
    einheitSpeichern(k, "bar");

    // Page 12: alarm texts of the analog input.
    textSpeichern(k, bereich::TextMin, a("Druck Steigleitung zu niedrig"));
    textSpeichern(k, bereich::TextMax, a("Druck Steigleitung zu hoch"));
    return k;
}

QByteArray simStandardSpeicher()
{
    return simStandardKonfig().geraeteBytes();
}

QByteArray simStandardEreignisse()
{
    struct Vorfall {
        std::uint8_t code;
        char art;     // 'K' comes, 'G' goes
        char status;  // 'A' active, 'S' sent, 'F' SMS failed
    };
    // A plausible sequence: alarms come and go, each reported; now and then a
    // GSM fault, a mains failure, an analog limit and a low battery.
    const Vorfall folge[] = {
        {1, 'K', 'S'},  {1, 'G', 'S'},  {5, 'K', 'S'},  {5, 'G', 'S'},  {9, 'K', 'A'},
        {9, 'K', 'S'},  {9, 'G', 'S'},  {'N', 'K', 'A'}, {'N', 'G', 'A'}, {11, 'K', 'S'},
        {11, 'G', 'S'}, {3, 'K', 'F'},  {3, 'K', 'S'},  {3, 'G', 'S'},  {10, 'K', 'S'},
        {10, 'G', 'S'}, {12, 'K', 'S'}, {'M', 'K', 'A'}, {'M', 'G', 'A'}, {12, 'G', 'S'},
        {2, 'K', 'S'},  {2, 'G', 'S'},  {4, 'K', 'S'},  {4, 'G', 'S'},  {6, 'K', 'S'},
        {6, 'G', 'S'},  {7, 'K', 'S'},  {7, 'G', 'S'},  {8, 'K', 'S'},  {8, 'G', 'S'},
    };
    constexpr int nFolge = int(sizeof folge / sizeof folge[0]);

    QByteArray ring(512, char(0xFF));
    // The oldest record sits in the slot after the marker; the newest just before it.
    int tag = 3, monat = 5, stunde = 6, minute = 12, sekunde = 40;
    for (int n = 0; n < 63; ++n) {
        const int slot = (kStandardMarkerSlot + 1 + n) % 64;
        const Vorfall& v = folge[n % nFolge];
        char* r = ring.data() + slot * 8;
        r[0] = char(sekunde);
        r[1] = char(minute);
        r[2] = char(stunde);
        r[3] = char(tag);
        r[4] = char(monat);
        r[5] = char(v.code);
        r[6] = v.art;
        r[7] = v.status;
        // Time moves on by a few hours, minutes and seconds per record.
        sekunde = (sekunde + 17) % 60;
        minute = (minute + 23) % 60;
        stunde += 5;
        if (stunde >= 24) {
            stunde -= 24;
            if (++tag > 30) {
                tag = 1;
                ++monat;
            }
        }
    }
    return ring;
}
