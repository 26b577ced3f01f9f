// The device link as one table: operation x phase x what happens there (a
// fault of the simulated device, the abort button, the progress window
// closed, the port changed, the link destroyed) -> the outcome, the boxes
// and beeps, the bytes on the wire, the device's memory, the progress shown,
// and a following read that delivers the device's memory.
#include "geraet.h"

using namespace geraet;

namespace {
const QString kAufbau = QStringLiteral("Verbindungsaufbau ...");

// The progress texts in order, and the highest value the bar reached under
// the last of them (not counting the value it had when the text came) with
// its maximum; left out while connecting, when the countdown runs.
QString verlauf(const Aufzeichnung& a)
{
    QString s = a.texte().join(QLatin1String(" > "));
    if (a.texte().last() == kAufbau)
        return s;
    int hoechster = 0;
    for (qsizetype i = 1; i < a.staende.size(); ++i)
        if (a.staende[i].text == a.texte().last() && a.staende[i - 1].text == a.texte().last())
            hoechster = std::max(hoechster, a.staende[i].wert);
    return s + QStringLiteral(" %1/%2").arg(hoechster).arg(a.staende.last().maximum);
}
} // namespace

class TestLink : public QObject {
    Q_OBJECT
private slots:
    void matrix_data()
    {
        QTest::addColumn<Art>("art");
        QTest::addColumn<QString>("fehler");   // the simulated device's faults
        // What the test does: "frist" (the wait after byte `bei` is short),
        // "portwechsel" (right after byte `bei` the port is closed and COM 2
        // chosen, as the COM dialog's OK does); once `bei` bytes are on the
        // wire (and `puffer` received): "abbruch", "datenZu", "dialog" (the
        // clock dialog unloaded), "weg" (the device removed), "zerstoeren";
        // before the start: "grenze" (a receive limit), "dekoder" (the decode
        // fails), "portFehlt"; "bericht": the link destroyed in its report.
        QTest::addColumn<QString>("eingriff");
        QTest::addColumn<int>("bei");
        QTest::addColumn<int>("puffer");
        QTest::addColumn<Phase>("phase");      // at the first intervention or decode
        // The device's answer to the command where the simulated device never
        // gives it (the device then keeps silent after its ACK).
        QTest::addColumn<QByteArray>("antwort");
        QTest::addColumn<QString>("ausgang");  // "": no report
        QTest::addColumn<QString>("detail");   // "?": not compared (the clock's seconds run on)
        QTest::addColumn<QStringList>("boxen");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QByteArray>("draht");
        QTest::addColumn<QString>("speicher"); // "": unchanged
        QTest::addColumn<QString>("verlauf");

        const QStringList keine, vnm{"Kritisch|Ok|Verbindung nicht möglich|GSM Boravilon"},
            uf{"Kritisch|Ok|Fehler bei Datenübertragung|GSM Boravilon"};
        const QString a = kAufbau, l = a + " > lese Konfigurationsdaten ...";
        const QString s0 = a + " > Allgemeine Daten ...";
        const QByteArray esc = kit::esc(), w = schreibdraht();
        const auto zeile = [](Art art, const char* fehler, const char* eingriff, int bei, int puffer, Phase p,
                              const QByteArray& antwort = {}) -> QTestData& {
            static const char* ops[] = {"Lesen", "Schreiben", "Ereignisse", "UhrLesen", "UhrSetzen"};
            static const char* phasen[] = {"Verbinden", "Befehl", "Uebertragen", "Abschliessen", "-"};
            return QTest::addRow("%s %s %s %s%s", ops[int(art)], phasen[int(p)], fehler, eingriff, antwort.isEmpty() ? "" : "Skript")
                << art << QString::fromLatin1(fehler) << QString::fromLatin1(eingriff) << bei << puffer << p << antwort;
        };
        const Phase V = Phase::Verbinden, B = Phase::Befehl, U = Phase::Uebertragen, E = Phase::Abschliessen,
                    X = Phase::Beendet;

        // Connecting: the same for every operation.
        for (Art art : {Art::Lesen, Art::Schreiben, Art::Ereignisse, Art::UhrLesen, Art::UhrSetzen})
            zeile(art, "silent", "frist", 0, -1, V) << "KeineVerbindung" << "kein ACK innerhalb 20 ms" << vnm << 0 << QByteArray() << "" << a;
        zeile(Art::Lesen, "noise@7", "", 0, -1, E) << "Erfolg" << "" << keine << 0 << QByteArray("r") << "" << l + " 3327/3328";
        zeile(Art::Lesen, "silent", "abbruch", 0, -1, V) << "KeineVerbindung" << "Verbindungsaufbau abgebrochen" << vnm << 0 << esc << "" << a;
        zeile(Art::Lesen, "silent", "datenZu", 0, -1, V) << "KeineVerbindung" << "Verbindungsaufbau abgebrochen" << vnm << 0 << QByteArray() << "" << a;
        zeile(Art::Lesen, "silent", "frist,portwechsel", 0, -1, V) << "KeineVerbindung" << "kein ACK innerhalb 20 ms" << vnm << 0 << QByteArray() << "" << a;
        zeile(Art::Lesen, "silent", "zerstoeren", 0, -1, V) << "" << "" << keine << 0 << QByteArray() << "" << "";
        zeile(Art::Lesen, "", "portFehlt,abbruch", 0, -1, V) << "KeineVerbindung" << "Gerät /dev/gsmbv-gibt-es-nicht nicht vorhanden" << vnm << 0 << QByteArray() << "" << a;

        // The command: its echo awaited (r, w), the clock setting's pause after s.
        zeile(Art::Lesen, "hangup@1", "frist", 1, -1, B) << "Uebertragungsfehler" << "kein Echo für r innerhalb 20 ms" << uf << 0 << "r" + esc << "" << a;
        zeile(Art::Lesen, "hangup@1", "abbruch", 1, -1, B) << "Uebertragungsfehler" << "abgebrochen beim Warten auf das Echo für r" << uf << 0 << "r" + esc << "" << a;
        zeile(Art::Lesen, "", "frist,portwechsel", 1, -1, B) << "Uebertragungsfehler" << "kein Echo für r innerhalb 20 ms" << uf << 0 << QByteArray("r") << "" << a;
        zeile(Art::Lesen, "hangup@1", "zerstoeren", 1, -1, B) << "" << "" << keine << 0 << QByteArray("r") << "" << "";
        zeile(Art::Schreiben, "noecho@1", "frist", 1, -1, B) << "Uebertragungsfehler" << "Echo fehlt bei w | geschrieben -; offen 0,13; keine Daten" << uf << 1 << "w" + esc << "" << a;
        zeile(Art::Schreiben, "hangup@1", "datenZu", 1, -1, B) << "Uebertragungsfehler" << "abgebrochen bei w | geschrieben -; offen 0,13; keine Daten" << uf << 1 << "w" + esc << "" << a;
        zeile(Art::UhrSetzen, "", "dialog", 1, -1, B) << "Abgebrochen" << "abgebrochen nach 0 von 5 Uhrzeit-Bytes" << keine << 0 << "s" + esc << "" << a;
        zeile(Art::UhrSetzen, "", "datenZu", 1, -1, B) << "Abgebrochen" << "abgebrochen nach 0 von 5 Uhrzeit-Bytes" << keine << 0 << "s" + esc << "" << a;
        zeile(Art::UhrSetzen, "", "portwechsel", 1, -1, B) << "Uebertragungsfehler" << "Uhrzeit-Byte 1 nicht gesendet" << uf << 0 << QByteArray("s") << "" << a;

        // The transfer: data received, pages sent, the clock bytes.
        zeile(Art::Lesen, "stop@100", "dialog,datenZu", 1, 100, U) << "Abgebrochen" << "abgebrochen nach 100 von 3328 Bytes" << keine << 0 << QByteArray("r") << "" << l + " 100/3328";
        zeile(Art::Lesen, "stop@100", "abbruch", 1, 100, U) << "Abgebrochen" << "abgebrochen nach 100 von 3328 Bytes" << keine << 0 << "r" + esc << "" << l + " 100/3328";
        zeile(Art::Lesen, "stop@100", "grenze", 0, -1, X) << "Zeitueberschreitung" << "nach 100 von 3328 Bytes keine Daten mehr" << uf << 0 << "r" + esc << "" << l + " 100/3328";
        zeile(Art::Lesen, "stop@100", "weg,abbruch", 1, 100, U) << "Abgebrochen" << "abgebrochen nach 100 von 3328 Bytes" << keine << 0 << QByteArray("r") << "" << l + " 100/3328";
        zeile(Art::Ereignisse, "hangup@1", "datenZu", 1, -1, U) << "Abgebrochen" << "abgebrochen nach 0 von 513 Bytes" << keine << 0 << QByteArray("l") << "" << a;
        zeile(Art::Ereignisse, "hangup@202", "abbruch", 1, 201, U) << "Abgebrochen" << "abgebrochen nach 201 von 513 Bytes" << keine << 0 << "l" + esc << "" << a;
        zeile(Art::Ereignisse, "", "portwechsel,datenZu", 1, -1, B) << "Abgebrochen" << "abgebrochen nach 0 von 513 Bytes" << keine << 0 << QByteArray("l") << "" << a;
        zeile(Art::Ereignisse, "hangup@1", "zerstoeren", 1, -1, U) << "" << "" << keine << 0 << QByteArray("l") << "" << "";
        zeile(Art::Schreiben, "noecho@259", "frist", 259, -1, U) << "Uebertragungsfehler" << "Echo fehlt beim Seitenzeichen von Seite 13 | geschrieben 0; offen 13; Daten gesendet" << uf << 1 << w.left(259) + esc << "" << s0 + " 257/257";
        zeile(Art::Schreiben, "noecho@386", "frist", 386, -1, U) << "Uebertragungsfehler" << "Echo fehlt bei Seite 13, Zeichen 127 | geschrieben 0; offen 13; Daten gesendet" << uf << 1 << w.left(386) + esc << "" << s0 + " 257/257";
        // The last echo lost: the device has the whole write, and the ESC ends it.
        zeile(Art::Schreiben, "noecho@515", "frist", 515, -1, U) << "Uebertragungsfehler" << "Echo fehlt bei Seite 13, Zeichen 256 | geschrieben 0; offen 13; Daten gesendet" << uf << 1 << w << "geschrieben" << s0 + " 257/257";
        zeile(Art::Schreiben, "hangup@103", "frist", 103, -1, U) << "Uebertragungsfehler" << "Echo fehlt bei Seite 0, Zeichen 101 | geschrieben -; offen 0,13; Daten gesendet" << uf << 1 << w.left(103) + esc << "" << s0 + " 101/257";
        zeile(Art::Schreiben, "noecho@130", "abbruch", 130, -1, U) << "Uebertragungsfehler" << "abgebrochen bei Seite 0, Zeichen 128 | geschrieben -; offen 0,13; Daten gesendet" << uf << 1 << w.left(130) + esc << "" << s0 + " 128/257";
        zeile(Art::Schreiben, "noecho@259", "datenZu", 259, -1, U) << "Uebertragungsfehler" << "abgebrochen beim Seitenzeichen von Seite 13 | geschrieben 0; offen 13; Daten gesendet" << uf << 1 << w.left(259) + esc << "" << s0 + " 257/257";
        zeile(Art::Schreiben, "", "frist,portwechsel", 130, -1, U) << "Uebertragungsfehler" << "Echo fehlt bei Seite 0, Zeichen 128 | geschrieben -; offen 0,13; Daten gesendet" << uf << 1 << w.left(130) << "" << s0 + " 128/257";
        zeile(Art::Schreiben, "noecho@130", "zerstoeren", 130, -1, U) << "" << "" << keine << 0 << w.left(130) << "" << "";
        zeile(Art::UhrLesen, "hangup@1", "frist", 1, -1, B) << "Uebertragungsfehler" << "keine Antwort \">\" innerhalb 20 ms" << uf << 0 << QByteArray("t") << "" << a;
        zeile(Art::UhrLesen, "hangup@1", "abbruch", 1, -1, U) << "Uebertragungsfehler" << "abgebrochen beim Warten auf die Antwort \">\"" << uf << 0 << "t" + esc << "" << a;
        zeile(Art::UhrLesen, "", "frist,portwechsel", 1, -1, B) << "Uebertragungsfehler" << "keine Antwort \">\" innerhalb 20 ms" << uf << 0 << QByteArray("t") << "" << a;
        zeile(Art::UhrSetzen, "", "abbruch", 2, -1, U) << "Abgebrochen" << "abgebrochen nach 1 von 5 Uhrzeit-Bytes" << keine << 0 << "s" + kUhr.left(1) + esc << "" << a;

        // The data complete: decoded, stored, the clock set.
        zeile(Art::Lesen, "", "", 0, -1, E) << "Erfolg" << "" << keine << 0 << QByteArray("r") << "" << l + " 3327/3328";
        zeile(Art::Lesen, "", "dekoder", 0, -1, E) << "Uebertragungsfehler" << "Konfigurationsdaten nicht lesbar" << uf << 0 << QByteArray("r") << "" << l + " 3327/3328";
        zeile(Art::Lesen, "", "bericht", 0, -1, E) << "Erfolg" << "" << keine << 0 << QByteArray("r") << "" << "";
        zeile(Art::Schreiben, "", "", 0, -1, X) << "Erfolg" << "" << keine << 0 << w << "geschrieben" << s0 + " 257/257";
        zeile(Art::Schreiben, "", "bericht", 0, -1, X) << "Erfolg" << "" << keine << 0 << w << "geschrieben" << "";
        zeile(Art::Ereignisse, "", "", 0, -1, E) << "Erfolg" << "" << keine << 0 << QByteArray("l") << "" << a;
        zeile(Art::Ereignisse, "", "dekoder", 0, -1, E) << "Uebertragungsfehler" << "Ereignisspeicher nicht abgelegt" << uf << 0 << QByteArray("l") << "" << a;
        zeile(Art::UhrLesen, "", "", 0, -1, E) << "Erfolg" << "" << keine << 0 << QByteArray("t") << "" << a;
        zeile(Art::UhrLesen, "", "dekoder", 0, -1, E) << "Uebertragungsfehler" << "?" << uf << 0 << QByteArray("t") << "" << a;
        zeile(Art::Lesen, "hangup@1", "", 0, -1, E, QByteArray(3400, 1) + "r" + simStandardSpeicher() + "xyz") << "Erfolg" << "" << keine << 0 << QByteArray("r") << "" << l + " 3327/3328";
        zeile(Art::Ereignisse, "hangup@1", "", 0, -1, E, "l" + simStandardEreignisse() + "xyz") << "Erfolg" << "" << keine << 0 << QByteArray("l") << "" << a;
        zeile(Art::UhrLesen, "hangup@1", "", 0, -1, E, QByteArray("zz\x09\x05\x0E\x15\x06>")) << "Erfolg" << "" << keine << 0 << QByteArray("t") << "" << a;
        zeile(Art::UhrLesen, "hangup@1", "", 0, -1, X, "\x09>") << "Uebertragungsfehler" << "Uhrzeit unvollständig: nur 1 von 5 Bytes vor \">\"" << uf << 0 << QByteArray("t") << "" << a;
        // Ended with ESC, as the clock dialog's unload ends it.
        zeile(Art::UhrSetzen, "", "", 0, -1, U) << "Erfolg" << "" << keine << 0 << "s" + kUhr + esc << "uhr" << a;
    }
    void matrix()
    {
        QFETCH(Art, art);
        QFETCH(QString, fehler);
        QFETCH(QString, eingriff);
        QFETCH(int, bei);
        QFETCH(int, puffer);
        QFETCH(QByteArray, antwort);
        const QStringList e = eingriff.split(QLatin1Char(','), Qt::SkipEmptyParts);
        SimFehler f;
        QVERIFY(fehler.isEmpty() || f.hinzufuegen(fehler));
        Umgebung u(f);
        std::unique_ptr<SimPtyRunner> com2 = e.contains("portwechsel") ? neuesGeraet({}, geschrieben()) : nullptr;
        if (com2)
            u.v->zuordnung().festlegen(2, com2->pfad());
        if (e.contains("portFehlt"))
            u.v->zuordnung().festlegen(1, QStringLiteral("/dev/gsmbv-gibt-es-nicht"));
        if (e.contains("grenze"))
            u.v->setEmpfangsgrenze(200ms);
        u.dekoderOk = !e.contains("dekoder");
        if (!antwort.isEmpty())
            u.draht->skript = [&](std::uint8_t b) { return b == "rwltS"[int(art)] ? antwort : QByteArray(); };
        if (e.contains("bericht"))
            u.imBericht = [&u] { u.v.reset(); };
        const auto haken = [&] {
            u.gesehen();
            if (e.contains("frist"))
                u.v->setWartezeit(Umgebung::kKurz);
            if (com2) {
                u.v->portSchliessen();
                QVERIFY(u.v->setPort(2));
            }
        };
        if (bei == 0 && e.contains("frist"))
            u.v->setWartezeit(Umgebung::kKurz);
        else if (e.contains("frist") || com2)
            u.draht->bei = bei, u.draht->dann = haken;
        QVERIFY(u.starten(art));
        if (bei == 0 && (e.contains("frist") || com2))
            haken();

        bool gehalten = false;
        for (const QString& was : e) {
            if (!QStringList{"abbruch", "datenZu", "dialog", "weg", "zerstoeren"}.contains(was))
                continue;
            if (!std::exchange(gehalten, true)) {
                QVERIFY(kit::warten([&] {
                    return u.sim->empfangeneBytes().size() == bei && (bei > 0 || u.sim->verbunden() || !u.v->portOffen())
                        && (puffer < 0 || u.v->Empfangspuffer().size() == puffer);
                }));
                u.gesehen();
                // Meanwhile every other command is refused with a beep.
                QVERIFY(!u.starten(Art::Ereignisse));
                QCOMPARE(std::exchange(u.door.beeps, 0), 1);
            }
            if (was == "abbruch")
                u.v->abbrechen();
            else if (was == "datenZu")
                u.v->daten().schliessen();
            else if (was == "dialog")
                u.v->uhrDialogEntladen();
            else if (was == "zerstoeren")
                u.v.reset();
            else if (was == "weg") {
                u.sim.reset();
                u.v->zuordnung().festlegen(1, QStringLiteral("/dev/gsmbv-gibt-es-nicht"));
                QVERIFY(kit::warten([&] { return !u.v->portOffen(); }));
            }
        }

        QFETCH(QString, ausgang);
        QVERIFY(kit::warten([&] { return !ausgang.isEmpty() ? u.berichte > 0 : !u.sim->verbunden(); }));
        QTest::qWait(5);
        QCOMPARE(u.berichte, ausgang.isEmpty() ? 0 : 1);
        const QStringList namen{"Erfolg", "KeineVerbindung", "Uebertragungsfehler", "Abgebrochen", "Zeitueberschreitung"};
        QCOMPARE(u.ergebnis ? namen[int(u.ergebnis->ausgang)] : QString(), ausgang);
        QFETCH(QString, detail);
        // A write that failed once connected also says how far it came: pages
        // written, pages not, data sent.
        const auto stand = [](const std::optional<Schreibstand>& st) {
            if (!st)
                return QStringLiteral("kein Stand");
            QStringList g, o;
            for (int p : st->geschrieben)
                g << QString::number(p);
            for (int p : st->offen)
                o << QString::number(p);
            return QStringLiteral("geschrieben %1; offen %2; %3")
                .arg(g.isEmpty() ? QStringLiteral("-") : g.join(','), o.join(','),
                     st->datenGesendet ? QStringLiteral("Daten gesendet") : QStringLiteral("keine Daten"));
        };
        QString ist = u.ergebnis ? u.ergebnis->detail : QString();
        if (art == Art::Schreiben && u.ergebnis && u.ergebnis->ausgang != Ausgang::Erfolg && u.ergebnis->ausgang != Ausgang::KeineVerbindung)
            ist += QStringLiteral(" | ") + stand(u.ergebnis->schreibstand);
        if (detail != "?")
            QCOMPARE(ist, detail);
        QTEST(u.phase.value_or(Phase::Beendet), "phase");
        QTEST(kit::boxen(u.door), "boxen");
        QTEST(u.door.beeps, "beeps");
        QTEST(u.v ? verlauf(*u.ansicht) : QString(), "verlauf");  // the view goes with the link
        const bool dekodiert = (ausgang == "Erfolg" || e.contains("dekoder")) && art != Art::Schreiben && art != Art::UhrSetzen;
        QCOMPARE(u.dekodiert.size(), dekodiert ? 1 : 0);
        // The event memory is converted after the progress window is gone.
        QCOMPARE(u.fensterBeimDekodieren, !dekodiert ? "" : art == Art::Ereignisse ? "zu" : "offen");
        if (u.v) {
            QVERIFY(u.ruhend());
            u.v->uhrDialogEntladen();  // the clock dialog closes after the operation
        }
        QFETCH(QByteArray, draht);
        QFETCH(QString, speicher);
        if (u.sim) {
            kit::warten([&] { return u.sim->empfangeneBytes().size() >= draht.size(); }, 2000);
            QTest::qWait(5);
            QCOMPARE(u.sim->empfangeneBytes(), draht);
            const SimGeraet& g = u.sim->geraet();
            QCOMPARE(g.speicher(), speicher == "geschrieben" ? geschrieben() : simStandardSpeicher());
            QCOMPARE(g.letzteSeiten(), speicher == "geschrieben" ? QList<int>{0} : QList<int>());
            QCOMPARE(g.letzteUhreinstellung() ? g.letzteUhreinstellung()->bytes : QByteArray(), speicher == "uhr" ? kUhr : QByteArray());
            if (ausgang == "Erfolg" && art != Art::UhrLesen && dekodiert)
                QCOMPARE(u.dekodiert, QList<QByteArray>{art == Art::Lesen ? g.speicher() : g.ereignisse()});
        }
        if (ausgang == "Erfolg" && art == Art::UhrLesen) {
            // Seconds run on from 09; minutes, hours, day and month as set.
            // (The device's answer is the five bytes right before ">".)
            QCOMPARE(u.dekodiert[0].mid(1), QByteArray("\x05\x0E\x15\x06>"));
            QVERIFY(u.dekodiert[0][0] >= 9 && u.dekodiert[0][0] < 15);
        }
        if (QTest::currentTestFailed())
            return;

        // A following read, on COM 2 after the port change (the device on
        // COM 1 hears no more), else on a device that is there.
        if (!u.v)
            u.verbinden();
        if (!u.sim || u.sim->geraet().weg())
            u.sim = neuesGeraet();
        u.sim->geraet().setzeFehler({});
        u.v->zuordnung().festlegen(1, u.sim->pfad());
        if (com2)
            QCOMPARE(com2->empfangeneBytes(), QByteArray());
        u.folgeLesen(com2 ? *com2 : *u.sim);
        if (com2)
            QCOMPARE(u.sim->empfangeneBytes(), draht);
    }

    // Sending lengthens a text with 0xFF to the length asked for, every byte
    // awaiting its echo (the five operations always hand whole pages).
    void auffuellen()
    {
        struct Probe : Vorgang {
            Probe(Verbindung& v, Fertig f) : Vorgang(v, Art::Schreiben, std::move(f)) {}
            void verbunden() override { Senden("ab", 4, [this](Warteausgang, int i) { Ergebnis e; e.detail = QString::number(i), beenden(e); }); }
        };
        Umgebung u;
        u.draht->skript = [](std::uint8_t b) { return QByteArray(1, char(b)); };
        QVERIFY(u.v->starten(std::make_unique<Probe>(*u.v, [&u](const Ergebnis& e) { u.ergebnis = e; })));
        QVERIFY(kit::warten([&] { return u.ergebnis.has_value(); }));
        QCOMPARE(u.ergebnis->detail, QStringLiteral("4"));
        QTRY_COMPARE(u.sim->empfangeneBytes(), QByteArray("ab\xFF\xFF"));
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "test_link.moc"
