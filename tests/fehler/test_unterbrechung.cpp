// Operations interrupted by the user or the program, at every phase, against
// the simulated device on a pseudo-terminal: the abort button and the closing
// of Daten, the COM port changed (as the COM dialog's OK does), the link
// destroyed. After each: the outcome, the boxes, the bytes on the wire, the
// device's memory and clock, the link idle, and a following read.
#include "fehlerumgebung.h"

namespace {

// The phases an operation is held in. The device is made to keep it there.
enum class Phase {
    Aufbau,    // waiting for the ACK (the device keeps silent)
    Echo,      // waiting for the echo of "r" or "w", or for the ">" after "t"
    Empfang,   // downloading: the read's stream stopped after 100 bytes, the event memory silent
    Seiten,    // the write between its first and second page (page character not echoed)
    Mitten,    // the write in the middle of its first page (byte not echoed)
    Pause500,  // the clock setting after "s"
    Pause200,  // the clock setting after its second byte
    Bericht,   // the operation has just reported its end
};

const char* name(Phase p)
{
    switch (p) {
    case Phase::Aufbau: return "Verbindungsaufbau";
    case Phase::Echo: return "Warten auf Antwort";
    case Phase::Empfang: return "Empfang";
    case Phase::Seiten: return "zwischen den Seiten";
    case Phase::Mitten: return "mitten in einer Seite";
    case Phase::Pause500: return "Pause nach s";
    case Phase::Pause200: return "Pause nach dem zweiten Byte";
    case Phase::Bericht: return "im Bericht";
    }
    return "";
}

} // namespace

Q_DECLARE_METATYPE(Phase)

class TestUnterbrechung : public QObject {
    Q_OBJECT

    // Starts the operation with the device set up for the phase and returns
    // once the operation is held there.
    static bool herstellen(Umgebung& u, Op op, Phase phase)
    {
        SimFehler f;
        switch (phase) {
        case Phase::Aufbau: f.stumm = true; break;
        case Phase::Echo: u.stummNachAck(); break;
        case Phase::Empfang:
            if (op == Op::Lesen)
                f.stopp = 100;
            else
                u.stummNachAck();
            break;
        case Phase::Seiten: f.keinEcho = 1 + 257 + 1; break;
        case Phase::Mitten: f.keinEcho = 130; break;
        default: break;
        }
        u.sim->geraet().setzeFehler(f);
        if (!u.starten(op))
            return false;
        const QByteArray b = befehl(op);
        return warteBis([&] {
            switch (phase) {
            case Phase::Aufbau: return u.sim->verbunden() && u.v->wartet();
            case Phase::Echo: return u.draht() == b && u.v->wartet();
            case Phase::Empfang:
                return u.draht() == b
                    && (op == Op::Lesen ? u.v->Empfangspuffer().size() == 100
                                        : u.v->vorgang() && u.v->vorgang()->phase() == Vorgang::Phase::Uebertragen);
            case Phase::Seiten: return u.draht() == schreibdraht().left(259) && u.v->wartet();
            case Phase::Mitten: return u.draht() == schreibdraht().left(130) && u.v->wartet();
            case Phase::Pause500: return u.draht() == "s";
            case Phase::Pause200: return u.draht() == "s" + kUhrBytes.left(2);
            case Phase::Bericht: return u.ausgang.has_value();
            }
            return false;
        });
    }

    // The device took nothing from an interrupted operation.
    static void geraetUnveraendert(const Umgebung& u)
    {
        QCOMPARE(u.sim->geraet().speicher(), simStandardSpeicher());
        QVERIFY(u.sim->geraet().letzteSeiten().isEmpty());
        QVERIFY(!u.sim->geraet().letzteUhreinstellung().has_value());
    }

private slots:
    // The abort button or the closing of Daten at every phase of every operation.
    void abbruch_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<bool>("knopf");  // the abort button; false: Daten closed
        QTest::addColumn<Ausgang>("ausgang");
        QTest::addColumn<QStringList>("meldungen");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QByteArray>("draht");  // after the clock dialog's unload
        const auto zeile = [](Op op, const char* opName, Phase phase, bool knopf, Ausgang a, const QStringList& m,
                              int beeps, const QByteArray& draht) {
            QTest::addRow("%s, %s, %s", opName, name(phase), knopf ? "Abbruch" : "Daten geschlossen")
                << op << phase << knopf << a << m << beeps << draht;
        };
        const QStringList keine, vnm{kKeineVerbindung}, uf{kUebertragungsfehler};
        // Connecting: the wait ends as by its time limit; the abort's ESC goes out.
        for (auto [op, n] : operationen()) {
            zeile(op, n, Phase::Aufbau, true, Ausgang::KeineVerbindung, vnm, 0, esc());
            zeile(op, n, Phase::Aufbau, false, Ausgang::KeineVerbindung, vnm, 0, {});
        }
        // A missing echo or answer: the transfer error, ESC after "r" and "w".
        for (bool knopf : {true, false}) {
            zeile(Op::Lesen, "lesen", Phase::Echo, knopf, Ausgang::Uebertragungsfehler, uf, 0, "r" + esc());
            zeile(Op::Schreiben, "schreiben", Phase::Echo, knopf, Ausgang::Uebertragungsfehler, uf, 1, "w" + esc());
            zeile(Op::Schreiben, "schreiben", Phase::Seiten, knopf, Ausgang::Uebertragungsfehler, uf, 1,
                  schreibdraht().left(259) + esc());
            zeile(Op::Schreiben, "schreiben", Phase::Mitten, knopf, Ausgang::Uebertragungsfehler, uf, 1,
                  schreibdraht().left(130) + esc());
        }
        zeile(Op::UhrLesen, "Uhr lesen", Phase::Echo, true, Ausgang::Uebertragungsfehler, uf, 0, "t" + esc());
        zeile(Op::UhrLesen, "Uhr lesen", Phase::Echo, false, Ausgang::Uebertragungsfehler, uf, 0, "t");
        // Downloading: aborted without a box; closing Daten sends nothing.
        zeile(Op::Log, "Ereignisspeicher", Phase::Empfang, true, Ausgang::Abgebrochen, keine, 0, "l" + esc());
        zeile(Op::Log, "Ereignisspeicher", Phase::Empfang, false, Ausgang::Abgebrochen, keine, 0, "l");
        // The clock setting's pauses: the rest is not sent; ESC once.
        const QByteArray zwei = "s" + kUhrBytes.left(2);
        zeile(Op::UhrSetzen, "Uhr stellen", Phase::Pause500, true, Ausgang::Abgebrochen, keine, 0, "s" + esc());
        zeile(Op::UhrSetzen, "Uhr stellen", Phase::Pause500, false, Ausgang::Abgebrochen, keine, 0, "s" + esc());
        zeile(Op::UhrSetzen, "Uhr stellen", Phase::Pause200, true, Ausgang::Abgebrochen, keine, 0, zwei + esc());
        zeile(Op::UhrSetzen, "Uhr stellen", Phase::Pause200, false, Ausgang::Abgebrochen, keine, 0, zwei + esc());
    }
    void abbruch()
    {
        QFETCH(Op, op);
        QFETCH(Phase, phase);
        QFETCH(bool, knopf);
        QFETCH(Ausgang, ausgang);
        QFETCH(QStringList, meldungen);
        QFETCH(int, beeps);
        QFETCH(QByteArray, draht);
        Umgebung u({}, 3000ms);  // nothing here ends by a time limit
        QVERIFY(herstellen(u, op, phase));
        QVERIFY(u.belegt());
        if (knopf)
            u.v->abbrechen();
        else
            u.v->daten().schliessen();
        QTRY_VERIFY(u.ausgang.has_value());
        QCOMPARE(*u.ausgang, ausgang);
        QCOMPARE(u.meldungen(), meldungen);
        QCOMPARE(u.beeps(), beeps);
        QVERIFY(u.ruhend());
        QVERIFY(u.erhalten.isEmpty());
        QVERIFY(!u.v->portOffen());  // every end closes it
        u.dialogSchliessen(op);
        QTest::qWait(50);
        QCOMPARE(u.draht(), draht);
        geraetUnveraendert(u);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(u.fertigAufrufe, 1);

        u.fehlerfrei();
        u.v->setWartezeit(250ms);
        leseGelingt(u);
    }

    // The COM dialog's OK while an operation runs: the port is closed and the
    // number changed. The operation receives nothing more and ends by its time
    // limit or, downloading, when Daten is closed; nothing goes to the new
    // port meanwhile. The next read is on the new port.
    void portWechsel_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<Ausgang>("ausgang");
        QTest::addColumn<QStringList>("meldungen");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QByteArray>("draht");
        QTest::addColumn<bool>("datenSchliessen");  // stays under way until Daten is closed
        const QStringList keine, uf{kUebertragungsfehler};
        for (auto [op, n] : operationen())
            QTest::addRow("%s, %s", n, name(Phase::Aufbau))
                << op << Phase::Aufbau << Ausgang::KeineVerbindung << QStringList{kKeineVerbindung} << 0
                << QByteArray() << false;
        QTest::newRow("lesen, Echo") << Op::Lesen << Phase::Echo << Ausgang::Uebertragungsfehler << uf << 0
                                     << QByteArray("r") << false;
        QTest::newRow("lesen, Empfang") << Op::Lesen << Phase::Empfang << Ausgang::Abgebrochen << keine << 0
                                        << QByteArray("r") << true;
        QTest::newRow("schreiben, mitten in einer Seite")
            << Op::Schreiben << Phase::Mitten << Ausgang::Uebertragungsfehler << uf << 1 << schreibdraht().left(130)
            << false;
        QTest::newRow("Ereignisspeicher, Empfang") << Op::Log << Phase::Empfang << Ausgang::Abgebrochen << keine << 0
                                                   << QByteArray("l") << true;
        QTest::newRow("Uhr lesen, Antwort") << Op::UhrLesen << Phase::Echo << Ausgang::Uebertragungsfehler << uf << 0
                                            << QByteArray("t") << false;
        // The clock setting writes its remaining bytes into a closed port:
        // a transfer error, said as every other.
        QTest::newRow("Uhr stellen, Pause") << Op::UhrSetzen << Phase::Pause500 << Ausgang::Uebertragungsfehler
                                            << uf << 0 << QByteArray("s") << false;
    }
    void portWechsel()
    {
        QFETCH(Op, op);
        QFETCH(Phase, phase);
        QFETCH(Ausgang, ausgang);
        QFETCH(QStringList, meldungen);
        QFETCH(int, beeps);
        QFETCH(QByteArray, draht);
        QFETCH(bool, datenSchliessen);
        Umgebung u({}, 300ms);
        std::unique_ptr<SimPtyRunner> zweites = Umgebung::neuesGeraet({}, speicherNachSchreiben(simStandardSpeicher()));
        u.v->zuordnung().festlegen(2, zweites->pfad());
        QVERIFY(herstellen(u, op, phase));

        // Kommunikation's OK with COM 2 selected.
        if (u.v->portOffen())
            u.v->portSchliessen();
        QVERIFY(u.v->setPort(2));

        if (datenSchliessen) {
            QTest::qWait(int(u.wartezeit.count()) * 2);
            QVERIFY(u.belegt());
            u.v->daten().schliessen();
        }
        QTRY_VERIFY_WITH_TIMEOUT(u.ausgang.has_value(), 5000);
        QCOMPARE(*u.ausgang, ausgang);
        QCOMPARE(u.meldungen(), meldungen);
        QCOMPARE(u.beeps(), beeps);
        QVERIFY(u.ruhend());
        QVERIFY(u.erhalten.isEmpty());
        QVERIFY(!u.v->portOffen());
        u.dialogSchliessen(op);
        QTest::qWait(50);
        QCOMPARE(u.draht(), draht);
        geraetUnveraendert(u);
        QCOMPARE(zweites->verbindungen(), 0);
        QCOMPARE(zweites->empfangeneBytes(), QByteArray());
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(u.fertigAufrufe, 1);

        // The next read goes to the device on COM 2; the first one hears no more.
        u.fehlerfrei();
        std::swap(u.sim, zweites);
        leseGelingt(u);
        QCOMPARE(zweites->empfangeneBytes(), draht);
    }

    // The device goes away while an operation runs (the simulator ends, as a
    // pulled USB adapter): the port is closed under the link. Waits end by
    // their time limit, downloads stay under way until Daten is closed or
    // the abort button finds no port to send its ESC to. A device on the
    // line again is read in full.
    void geraetVerschwindet_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<Ausgang>("ausgang");
        QTest::addColumn<QStringList>("meldungen");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QString>("ende");  // "" ends by itself; else "daten" or "abbruch"
        const QStringList keine, uf{kUebertragungsfehler};
        for (auto [op, n] : operationen())
            QTest::addRow("%s, %s", n, name(Phase::Aufbau))
                << op << Phase::Aufbau << Ausgang::KeineVerbindung << QStringList{kKeineVerbindung} << 0 << "";
        QTest::newRow("lesen, Echo") << Op::Lesen << Phase::Echo << Ausgang::Uebertragungsfehler << uf << 0 << "";
        QTest::newRow("lesen, Empfang, Daten geschlossen")
            << Op::Lesen << Phase::Empfang << Ausgang::Abgebrochen << keine << 0 << "daten";
        QTest::newRow("lesen, Empfang, Abbruch")
            << Op::Lesen << Phase::Empfang << Ausgang::Abgebrochen << keine << 0 << "abbruch";
        QTest::newRow("schreiben, mitten in einer Seite")
            << Op::Schreiben << Phase::Mitten << Ausgang::Uebertragungsfehler << uf << 1 << "";
        QTest::newRow("schreiben, zwischen den Seiten")
            << Op::Schreiben << Phase::Seiten << Ausgang::Uebertragungsfehler << uf << 1 << "";
        QTest::newRow("Ereignisspeicher, Empfang, Daten geschlossen")
            << Op::Log << Phase::Empfang << Ausgang::Abgebrochen << keine << 0 << "daten";
        QTest::newRow("Ereignisspeicher, Empfang, Abbruch")
            << Op::Log << Phase::Empfang << Ausgang::Abgebrochen << keine << 0 << "abbruch";
        QTest::newRow("Uhr lesen, Antwort") << Op::UhrLesen << Phase::Echo << Ausgang::Uebertragungsfehler << uf << 0
                                            << "";
        QTest::newRow("Uhr stellen, Pause") << Op::UhrSetzen << Phase::Pause500 << Ausgang::Uebertragungsfehler
                                            << uf << 0 << "";
    }
    void geraetVerschwindet()
    {
        QFETCH(Op, op);
        QFETCH(Phase, phase);
        QFETCH(Ausgang, ausgang);
        QFETCH(QStringList, meldungen);
        QFETCH(int, beeps);
        QFETCH(QString, ende);
        Umgebung u({}, 300ms);
        QVERIFY(herstellen(u, op, phase));
        u.fehlerfrei();
        u.sim.reset();
        // Its device node goes with it (a freed pseudo-terminal number may
        // soon belong to another program's line).
        u.v->zuordnung().festlegen(1, QStringLiteral("/dev/gsmbv-gibt-es-nicht"));
        QTRY_VERIFY(!u.v->portOffen());
        QCOMPARE(u.v->transport().letzterFehler(), QStringLiteral("Gegenstelle getrennt"));
        if (!ende.isEmpty()) {
            QTest::qWait(int(u.wartezeit.count()) * 2);
            QVERIFY(u.belegt());
            QVERIFY(!u.v->portOffen());
            if (ende == "abbruch")
                u.v->abbrechen();  // finds no port: no ESC, nothing else to do
            else
                u.v->daten().schliessen();
        }
        QTRY_VERIFY_WITH_TIMEOUT(u.ausgang.has_value(), 5000);
        QCOMPARE(*u.ausgang, ausgang);
        QCOMPARE(u.meldungen(), meldungen);
        QCOMPARE(u.beeps(), beeps);
        QVERIFY(u.ruhend());
        QVERIFY(u.erhalten.isEmpty());
        u.dialogSchliessen(op);
        QVERIFY(!u.v->portOffen());
        QCOMPARE(u.fertigAufrufe, 1);

        u.sim = Umgebung::neuesGeraet();
        u.v->zuordnung().festlegen(1, u.sim->pfad());
        leseGelingt(u);
    }

    // The link destroyed while an operation runs (or from within its report):
    // no report, no box, no callback later; the port closes without a further
    // byte, and the device drops what it had of a write. A new link reads in
    // full.
    void zerstoeren_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<QByteArray>("draht");
        for (auto [op, n] : operationen())
            QTest::addRow("%s, %s", n, name(Phase::Aufbau)) << op << Phase::Aufbau << QByteArray();
        QTest::newRow("lesen, Echo") << Op::Lesen << Phase::Echo << QByteArray("r");
        QTest::newRow("lesen, Empfang") << Op::Lesen << Phase::Empfang << QByteArray("r");
        QTest::newRow("schreiben, Echo") << Op::Schreiben << Phase::Echo << QByteArray("w");
        QTest::newRow("schreiben, mitten in einer Seite") << Op::Schreiben << Phase::Mitten << schreibdraht().left(130);
        QTest::newRow("schreiben, zwischen den Seiten") << Op::Schreiben << Phase::Seiten << schreibdraht().left(259);
        QTest::newRow("Ereignisspeicher, Empfang") << Op::Log << Phase::Empfang << QByteArray("l");
        QTest::newRow("Uhr lesen, Antwort") << Op::UhrLesen << Phase::Echo << QByteArray("t");
        QTest::newRow("Uhr stellen, Pause nach s") << Op::UhrSetzen << Phase::Pause500 << QByteArray("s");
        QTest::newRow("Uhr stellen, Pause nach dem zweiten Byte")
            << Op::UhrSetzen << Phase::Pause200 << "s" + kUhrBytes.left(2);
        QTest::newRow("lesen, im Bericht") << Op::Lesen << Phase::Bericht << QByteArray("r");
        QTest::newRow("schreiben, im Bericht") << Op::Schreiben << Phase::Bericht << schreibdraht();
        QTest::newRow("Ereignisspeicher, im Bericht") << Op::Log << Phase::Bericht << QByteArray("l");
        QTest::newRow("Uhr lesen, im Bericht") << Op::UhrLesen << Phase::Bericht << QByteArray("t");
        QTest::newRow("Uhr stellen, im Bericht") << Op::UhrSetzen << Phase::Bericht << "s" + kUhrBytes + esc();
    }
    void zerstoeren()
    {
        QFETCH(Op, op);
        QFETCH(Phase, phase);
        QFETCH(QByteArray, draht);
        Umgebung u({}, 300ms);
        const bool imBericht = phase == Phase::Bericht;
        if (imBericht)
            u.nachBericht = [&u] { u.v.reset(); };
        QVERIFY(herstellen(u, op, phase));
        if (!imBericht) {
            QVERIFY(u.belegt());
            u.v.reset();
        }
        QVERIFY(!u.v);
        QTRY_VERIFY(!u.sim->verbunden());
        // Longer than every time limit and pause of the link.
        QTest::qWait(600);
        QCOMPARE(u.fertigAufrufe, imBericht ? 1 : 0);
        QCOMPARE(u.ausgang, imBericht ? std::optional<Ausgang>(Ausgang::Erfolg) : std::nullopt);
        QCOMPARE(u.meldungen(), QStringList());
        QCOMPARE(u.beeps(), 0);
        QCOMPARE(u.draht(), draht);
        const SimGeraet& g = u.sim->geraet();
        const bool geschrieben = imBericht && op == Op::Schreiben;
        QCOMPARE(g.schreibvorgaenge(), geschrieben ? 1 : 0);
        QCOMPARE(g.speicher(), geschrieben ? speicherNachSchreiben(simStandardSpeicher()) : simStandardSpeicher());
        QCOMPARE(g.letzteUhreinstellung().has_value(), imBericht && op == Op::UhrSetzen);
        if (QTest::currentTestFailed())
            return;

        u.nachBericht = {};
        u.verbinden();
        u.fehlerfrei();
        leseGelingt(u);
    }
};

QTEST_GUILESS_MAIN(TestUnterbrechung)
#include "test_unterbrechung.moc"
