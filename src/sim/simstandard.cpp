#include "sim/simstandard.h"

#include "modell/editormodell.h"

#include <QList>
#include <utility>

Konfigspeicher simStandardKonfig()
{
    // A small pumping station as an installer sets it up at the window: on the
    // default content, every setting by its key through the editor's rules.
    Editormodell m;
    Grundeinstellung(m.speicher());
    const QString leitung = QStringLiteral("GSM 06641234567"), bereitschaft = QStringLiteral("GSM 06769876543");
    const QString technik = QStringLiteral("email technik@pumpwerk-nord.at"), buero = QStringLiteral("Fax 07229555123");
    const QString wartung = QStringLiteral("email wartung@pumpen-service.at");
    const auto liste = [](const QStringList& e) { return e.join(QLatin1Char(';')); };
    const QList<std::pair<const char*, QString>> werte = {
        {"general.installation_name", QStringLiteral("Pumpwerk Nord")},
        {"general.acknowledgement.active", QStringLiteral("aktiv")},  // within 15 minutes
        {"general.balance.active", QStringLiteral("aktiv")},          // A1's numbers, 5 EURO
        {"general.check_call.mode", QStringLiteral("weekly")},
        {"general.check_call.day", QStringLiteral("wednesday")},
        {"general.check_call.time", QStringLiteral("10:30")},
        {"lines[2].normally_closed", QStringLiteral("ja")},
        {"lines[3].normally_closed", QStringLiteral("ja")},
        {"mains_failure.all_clear", QStringLiteral("ja")},
        {"lines[0].text", QStringLiteral("Einbruch Halle 1")},
        {"lines[1].text", QStringLiteral("Einbruch Halle 2")},
        {"lines[2].text", QStringLiteral("Brandmeldung Halle 1")},
        {"lines[3].text", QStringLiteral("Wasserstand Becken hoch")},
        {"mains_failure.text", QStringLiteral("Stromausfall Pumpwerk Nord")},
        {"lines[0].recipients", liste({leitung, buero, technik})},
        {"lines[1].recipients", liste({leitung, buero})},
        {"lines[2].recipients", liste({leitung, bereitschaft, buero, technik})},
        {"lines[3].recipients", liste({bereitschaft, technik})},
        {"lines[4].recipients", liste({bereitschaft, wartung})},
        {"lines[5].recipients", liste({bereitschaft, wartung})},
        {"lines[6].recipients", liste({leitung})},
        {"lines[7].recipients", liste({bereitschaft, buero})},
        {"mains_failure.recipients", liste({leitung, bereitschaft, buero, technik})},
        {"relays[0].confirmation", QStringLiteral("aktiv")},
        {"relays[0].text", QStringLiteral("Relais 1 geschaltet: Pumpe 1 ein")},
        {"relays[1].confirmation", QStringLiteral("aktiv")},
        {"relays[1].text", QStringLiteral("Relais 2 geschaltet: Hupe aus")},
        {"analog.recipients", liste({leitung, bereitschaft, technik})},
        {"analog.value_4ma", QStringLiteral("0")},
        {"analog.value_20ma", QStringLiteral("500")},
        {"analog.lower_threshold", QStringLiteral("100")},
        {"analog.upper_threshold", QStringLiteral("400")},
        {"analog.unit", QStringLiteral("bar")},
        {"analog.lower_text", QStringLiteral("Druck Steigleitung zu niedrig")},
        {"analog.upper_text", QStringLiteral("Druck Steigleitung zu hoch")},
    };
    for (int i = 0; i < 6; ++i)  // all-clear messages for lines 1..6
        m.setzen(QStringLiteral("lines[%1].all_clear").arg(i), QStringLiteral("ja"));
    for (const auto& [schluessel, wert] : werte) {
        [[maybe_unused]] const Folge f = m.setzen(QLatin1String(schluessel), wert);
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
