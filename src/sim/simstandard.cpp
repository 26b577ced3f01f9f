#include "sim/simstandard.h"

#include "modell/editormodell.h"

Konfigspeicher simStandardKonfig()
{
    // A small pumping station as an installer sets it up at the window: on the
    // default content, every setting by its key through the editor's rules
    // (ticking the boxes gives 15 minutes, A1's numbers and 5 EURO).
    Editormodell m;
    Grundeinstellung(m.speicher());
    const char* const einstellungen = R"(general.installation_name=Pumpwerk Nord
general.acknowledgement.active=aktiv
general.balance.active=aktiv
general.check_call.mode=weekly
general.check_call.day=wednesday
general.check_call.time=10:30
lines[2].normally_closed=ja
lines[3].normally_closed=ja
lines[0].all_clear=ja
lines[1].all_clear=ja
lines[2].all_clear=ja
lines[3].all_clear=ja
lines[4].all_clear=ja
lines[5].all_clear=ja
mains_failure.all_clear=ja
lines[0].text=Einbruch Halle 1
lines[1].text=Einbruch Halle 2
lines[2].text=Brandmeldung Halle 1
lines[3].text=Wasserstand Becken hoch
mains_failure.text=Stromausfall Pumpwerk Nord
lines[0].recipients=GSM 06641234567; Fax 07229555123; email technik@pumpwerk-nord.at
lines[1].recipients=GSM 06641234567; Fax 07229555123
lines[2].recipients=GSM 06641234567; GSM 06769876543; Fax 07229555123; email technik@pumpwerk-nord.at
lines[3].recipients=GSM 06769876543; email technik@pumpwerk-nord.at
lines[4].recipients=GSM 06769876543; email wartung@pumpen-service.at
lines[5].recipients=GSM 06769876543; email wartung@pumpen-service.at
lines[6].recipients=GSM 06641234567
lines[7].recipients=GSM 06769876543; Fax 07229555123
mains_failure.recipients=GSM 06641234567; GSM 06769876543; Fax 07229555123; email technik@pumpwerk-nord.at
relays[0].confirmation=aktiv
relays[0].text=Relais 1 geschaltet: Pumpe 1 ein
relays[1].confirmation=aktiv
relays[1].text=Relais 2 geschaltet: Hupe aus
analog.recipients=GSM 06641234567; GSM 06769876543; email technik@pumpwerk-nord.at
analog.value_4ma=0
analog.value_20ma=500
analog.lower_threshold=100
analog.upper_threshold=400
analog.unit=bar
analog.lower_text=Druck Steigleitung zu niedrig
analog.upper_text=Druck Steigleitung zu hoch)";
    for (const QString& zeile : QString::fromUtf8(einstellungen).split(QLatin1Char('\n'))) {
        [[maybe_unused]] const Folge f = m.setzen(zeile.section(QLatin1Char('='), 0, 0), zeile.section(QLatin1Char('='), 1));
        Q_ASSERT(f.angenommen && f.einwaende.isEmpty());
    }
    // Umlauts, which the window's fields do not take, came with a file: its
    // texts are stored by the fields' own check-and-store.
    const char* const umlaute[] = {"Störung Pumpe 1", "Störung Pumpe 2", "Tür Schaltschrank offen", "Übertemperatur Motor"};
    for (int i = 0; i < 4; ++i)
        m.Validate(SMSText(4 + i), QString::fromUtf8(umlaute[i]), false);
    return m.speicher();
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
