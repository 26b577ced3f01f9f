// Faults of the device itself, against the simulated device on a
// pseudo-terminal: silent or missing, noise before its ACK, a configuration
// stream that stops, a missing echo in a write, a device that hangs up in the
// middle of an operation. After each the link is idle (or, where nothing ends
// a stalled download, still busy until Daten is closed), the messages, the
// bytes on the wire and the device's memory are exactly as expected, and a
// following read delivers the device's image.
#include "fehlerumgebung.h"

#include <QElapsedTimer>
#include <tuple>

class TestGeraetefehler : public QObject {
    Q_OBJECT

    // What a successful operation leaves: the decoders' input, the bytes on
    // the wire, the device's state.
    void erfolgPruefen(Umgebung& u, Op op, const QByteArray& vorher)
    {
        QCOMPARE(*u.ausgang, Ausgang::Erfolg);
        QCOMPARE(u.meldungen(), QStringList());
        QCOMPARE(u.beeps(), 0);
        QVERIFY(u.ruhend());
        const SimGeraet& g = u.sim->geraet();
        switch (op) {
        case Op::Lesen:
            QCOMPARE(u.erhalten, QList<QByteArray>{g.speicher()});
            QCOMPARE(u.draht(), vorher + "r");
            break;
        case Op::Schreiben:
            QCOMPARE(u.erhalten, QList<QByteArray>{});
            QTRY_COMPARE(u.draht(), vorher + schreibdraht());
            QTRY_COMPARE(g.schreibvorgaenge(), 1);
            QCOMPARE(g.letzteSeiten(), kSchreibseiten);
            QCOMPARE(g.speicher(), speicherNachSchreiben(simStandardSpeicher()));
            break;
        case Op::Log:
            QCOMPARE(u.erhalten, QList<QByteArray>{g.ereignisse()});
            QCOMPARE(u.draht(), vorher + "l");
            break;
        case Op::UhrLesen: {
            QCOMPARE(u.erhalten.size(), 1);
            const QByteArray& b = u.erhalten[0];
            // Seconds run on from 09; minutes, hours, day and month as set.
            QCOMPARE(b.size(), 6);
            QVERIFY2(b[0] >= 9 && b[0] < 20, qPrintable(QString::number(b[0])));
            QCOMPARE(b.mid(1), QByteArray("\x05\x0E\x15\x06>"));
            QCOMPARE(u.draht(), vorher + "t");
            break;
        }
        case Op::UhrSetzen:
            // Ended with ESC, as the clock dialog's unload ends it.
            QTRY_COMPARE(u.draht(), vorher + "s" + kUhrBytes + esc());
            QVERIFY(g.letzteUhreinstellung().has_value());
            QCOMPARE(g.letzteUhreinstellung()->bytes, kUhrBytes);
            QVERIFY(g.letzteUhreinstellung()->gueltig);
            break;
        }
        u.dialogSchliessen(op);
        QVERIFY(!u.v->portOffen());
        QTest::qWait(30);
        QCOMPARE(u.draht(), op == Op::Schreiben ? vorher + schreibdraht()
                            : op == Op::UhrSetzen ? vorher + "s" + kUhrBytes + esc()
                                                  : vorher + befehl(op));
        QCOMPARE(u.fertigAufrufe, 1);
    }

private slots:
    // No ACK: the device keeps silent, or the port's device does not exist.
    // "Verbindung nicht möglich" after the wait, nothing sent, the port
    // closed. The abort button ends the wait on a missing port at once; it
    // has no port to send its ESC to.
    void keineAntwort_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<bool>("portFehlt");
        QTest::addColumn<bool>("abbruch");
        for (auto [fehlt, abbruch, wie] : {std::tuple{false, false, ", Gerät stumm"}, std::tuple{true, false, ", Port fehlt"},
                                          std::tuple{true, true, ", Port fehlt, Abbruch"}})
            for (auto [op, name] : operationen())
                QTest::addRow("%s%s", name, wie) << op << fehlt << abbruch;
    }
    void keineAntwort()
    {
        QFETCH(Op, op);
        QFETCH(bool, portFehlt);
        QFETCH(bool, abbruch);
        SimFehler f;
        f.stumm = !portFehlt;
        Umgebung u(f, abbruch ? 5000ms : 250ms);
        if (portFehlt)
            u.v->zuordnung().festlegen(1, QStringLiteral("/dev/gsmbv-gibt-es-nicht"));
        QElapsedTimer uhr;
        uhr.start();
        QVERIFY(u.starten(op));
        QVERIFY(u.v->operationLaeuft());
        QCOMPARE(u.v->portOffen(), !portFehlt);
        if (abbruch) {
            QTest::qWait(50);
            QVERIFY(u.belegt());
            u.v->abbrechen();
        }
        QTRY_VERIFY(u.ausgang.has_value());
        if (abbruch)
            QVERIFY2(uhr.elapsed() < 1000, qPrintable(QString::number(uhr.elapsed())));
        else
            QVERIFY2(uhr.elapsed() >= u.wartezeit.count() - 20, qPrintable(QString::number(uhr.elapsed())));
        QCOMPARE(*u.ausgang, Ausgang::KeineVerbindung);
        QCOMPARE(u.meldungen(), QStringList{kKeineVerbindung});
        QCOMPARE(u.beeps(), 0);
        QVERIFY(u.ruhend());
        QVERIFY(!u.v->portOffen());
        QCOMPARE(u.ansicht->staende.first().text, kAufbau);
        u.dialogSchliessen(op);
        QTest::qWait(30);
        QCOMPARE(u.draht(), QByteArray());
        QCOMPARE(u.sim->verbindungen(), portFehlt ? 0 : 1);
        QCOMPARE(u.fertigAufrufe, 1);

        u.fehlerfrei();
        u.v->zuordnung().festlegen(1, u.sim->pfad());
        leseGelingt(u);
    }

    // Noise before the ACK: the operation runs as without it.
    void rauschenVorAck_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<quint32>("saat");
        for (quint32 saat : {0u, 7u, 0xC0FFEEu}) {
            const QByteArray zusatz = saat ? ", Saat " + QByteArray::number(saat) : QByteArray();
            for (auto [op, name] : operationen())
                QTest::addRow("%s%s", name, zusatz.constData()) << op << saat;
        }
    }
    void rauschenVorAck()
    {
        QFETCH(Op, op);
        QFETCH(quint32, saat);
        SimFehler f;
        QVERIFY(f.hinzufuegen(saat ? QStringLiteral("noise@%1").arg(saat) : QStringLiteral("noise")));
        Umgebung u(f, 2000ms);
        QVERIFY(u.starten(op));
        QTRY_VERIFY_WITH_TIMEOUT(u.ausgang.has_value(), 5000);
        erfolgPruefen(u, op, QByteArray());
        if (QTest::currentTestFailed())
            return;
        // The noise went out before the ACK, and it never moved the bar.
        const QByteArray gesendet = u.sim->gesendeteBytes();
        const qsizetype ack = gesendet.indexOf(char(Verbindung::ACK));
        QVERIFY2(ack >= 3 && ack <= 8, qPrintable(QString::number(ack)));
        // While connecting the bar counts down from 80; then the command's
        // send counts 1 (and the write's first page character 2).
        QList<int> aufbau;
        for (const auto& s : u.ansicht->staende) {
            QVERIFY(s.wert <= s.maximum);
            if (s.text == kAufbau && s.maximum == 80)
                aufbau.append(s.wert);
        }
        const QList<int> senden = op == Op::Lesen ? QList<int>{1} : op == Op::Schreiben ? QList<int>{1, 2} : QList<int>{};
        QVERIFY(aufbau.size() > senden.size());
        QCOMPARE(aufbau.mid(aufbau.size() - senden.size()), senden);
        for (int i = 0; i < aufbau.size() - senden.size(); ++i)
            QCOMPARE(aufbau[i], 80 - i);
        leseGelingt(u);  // with the noise still on
    }

    // The configuration stream stops after N bytes: the read has no limit of
    // its own and stays under way until Daten is closed or the abort button
    // is used. Either ends it with the port closed (only the abort sends
    // ESC), and the next read gets its ACK.
    void lesenStockt_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("abbruch");
        for (int n : {1, 100, 3327}) {
            QTest::addRow("nach %d Bytes, Daten geschlossen", n) << n << false;
            QTest::addRow("nach %d Bytes, Abbruch", n) << n << true;
        }
    }
    void lesenStockt()
    {
        QFETCH(int, n);
        QFETCH(bool, abbruch);
        SimFehler f;
        f.stopp = n;
        Umgebung u(f);
        QVERIFY(u.starten(Op::Lesen));
        QTRY_COMPARE(u.v->Empfangspuffer().size(), n);
        QTest::qWait(int(u.wartezeit.count()) * 2);
        QVERIFY(u.belegt());
        QCOMPARE(u.v->vorgang()->art(), Vorgang::Art::Lesen);
        QCOMPARE(u.v->vorgang()->phase(), Vorgang::Phase::Uebertragen);
        QCOMPARE(u.v->daten().text(), kLese);
        QCOMPARE(u.v->daten().maximum(), kGeraeteBytes);
        QCOMPARE(u.v->daten().wert(), n);
        QCOMPARE(u.v->Fortschritt(), n);
        QCOMPARE(u.v->Empfangspuffer(), u.sim->geraet().speicher().left(n));
        QVERIFY(u.erhalten.isEmpty());
        // A second command is refused meanwhile.
        QVERIFY(!u.starten(Op::Log));
        QCOMPARE(u.beeps(), 1);

        if (abbruch)
            u.v->abbrechen();
        else
            u.v->daten().schliessen();
        QTRY_VERIFY(u.ausgang.has_value());
        QCOMPARE(*u.ausgang, Ausgang::Abgebrochen);
        QCOMPARE(u.meldungen(), QStringList());
        QVERIFY(u.ruhend());
        QVERIFY(u.erhalten.isEmpty());
        QVERIFY(!u.v->portOffen());
        QTest::qWait(30);
        QCOMPARE(u.draht(), abbruch ? "r" + esc() : QByteArray("r"));
        QCOMPARE(u.fertigAufrufe, 1);

        u.fehlerfrei();
        leseGelingt(u);
    }

    // One echo missing in a write: "Fehler bei Datenübertragung" after a
    // beep, nothing more sent but ESC, the port closed. The device keeps what
    // it had -- except when only the echo of the very last byte was lost: it
    // has the whole write then, and the ESC ends it.
    void schreibenOhneEcho_data()
    {
        QTest::addColumn<int>("n");  // the n-th echoed character is missing
        QTest::addColumn<int>("vorgaenge");
        QTest::addColumn<bool>("gespeichert");
        QTest::newRow("erstes Zeichen (w)") << 1 << 1 << false;
        QTest::newRow("Seitenzeichen der zweiten Seite") << 1 + 257 + 1 << 0 << false;
        QTest::newRow("mittleres Zeichen") << 386 << 0 << false;
        QTest::newRow("letztes Zeichen") << 1 + 3 * 257 << 1 << true;
    }
    void schreibenOhneEcho()
    {
        QFETCH(int, n);
        QFETCH(int, vorgaenge);
        QFETCH(bool, gespeichert);
        SimFehler f;
        f.keinEcho = n;
        Umgebung u(f);
        QVERIFY(u.starten(Op::Schreiben));
        QTRY_VERIFY(u.ausgang.has_value());
        QCOMPARE(*u.ausgang, Ausgang::Uebertragungsfehler);
        QCOMPARE(u.beeps(), 1);
        QCOMPARE(u.meldungen(), QStringList{kUebertragungsfehler});
        QVERIFY(u.ruhend());
        QVERIFY(!u.v->portOffen());
        QTRY_VERIFY(!u.sim->verbunden());
        QTest::qWait(30);
        QCOMPARE(u.draht(), schreibdraht().left(n) + esc());
        QCOMPARE(u.sim->geraet().schreibvorgaenge(), vorgaenge);
        QCOMPARE(u.sim->geraet().letzteSeiten(), gespeichert ? kSchreibseiten : QList<int>{});
        QCOMPARE(u.sim->geraet().speicher(),
                 gespeichert ? speicherNachSchreiben(simStandardSpeicher()) : simStandardSpeicher());
        QCOMPARE(u.fertigAufrufe, 1);
        leseGelingt(u);
    }

    // The device hangs up after N bytes in all (ACK and echoes included).
    // Downloads stall until aborted; the write misses an echo; the clock read
    // misses its ">"; the clock setting, which awaits nothing, ends normally.
    // The device is gone for good: the next operation gets no ACK; a device
    // switched on again is read in full.
    void auflegen_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<int>("n");
        QTest::addColumn<Ausgang>("ausgang");
        QTest::addColumn<QStringList>("meldungen");
        QTest::addColumn<QByteArray>("draht");  // after the clock dialog's unload
        QTest::newRow("lesen") << Op::Lesen << 2 + 1000 << Ausgang::Abgebrochen << QStringList{} << "r" + esc();
        QTest::newRow("schreiben") << Op::Schreiben << 103 << Ausgang::Uebertragungsfehler
                                   << QStringList{kUebertragungsfehler} << schreibdraht().left(103) + esc();
        QTest::newRow("Ereignisspeicher") << Op::Log << 2 + 200 << Ausgang::Abgebrochen << QStringList{} << "l" + esc();
        QTest::newRow("Uhr lesen") << Op::UhrLesen << 1 + 3 << Ausgang::Uebertragungsfehler
                                   << QStringList{kUebertragungsfehler} << QByteArray("t");
        QTest::newRow("Uhr stellen") << Op::UhrSetzen << 1 << Ausgang::Erfolg << QStringList{}
                                     << "s" + kUhrBytes + esc();
    }
    void auflegen()
    {
        QFETCH(Op, op);
        QFETCH(int, n);
        QFETCH(Ausgang, ausgang);
        QFETCH(QStringList, meldungen);
        QFETCH(QByteArray, draht);
        SimFehler f;
        f.auflegen = n;
        Umgebung u(f);
        QVERIFY(u.starten(op));
        QTRY_VERIFY(u.sim->geraet().weg());
        if (op == Op::Lesen || op == Op::Log) {
            // After ACK and echo the data; the event memory keeps its leading byte.
            const int daten = op == Op::Lesen ? n - 2 : n - 1;
            QTRY_COMPARE(u.v->Empfangspuffer().size(), daten);
            QTest::qWait(int(u.wartezeit.count()) * 2);
            QVERIFY(u.belegt());
            QCOMPARE(u.v->Empfangspuffer().size(), daten);
            u.v->abbrechen();
        }
        QTRY_VERIFY_WITH_TIMEOUT(u.ausgang.has_value(), 5000);
        QCOMPARE(*u.ausgang, ausgang);
        QCOMPARE(u.meldungen(), meldungen);
        QCOMPARE(u.beeps(), op == Op::Schreiben ? 1 : 0);
        QVERIFY(u.ruhend());
        QVERIFY(u.erhalten.isEmpty());
        u.dialogSchliessen(op);
        QVERIFY(!u.v->portOffen());
        QTest::qWait(30);
        QCOMPARE(u.draht(), draht);
        QCOMPARE(u.sim->gesendeteBytes().size(), n);
        QVERIFY(!u.sim->geraet().letzteUhreinstellung().has_value());
        QCOMPARE(u.sim->geraet().schreibvorgaenge(), 0);
        QCOMPARE(u.fertigAufrufe, 1);

        // Gone: no ACK any more.
        u.vergessen();
        QVERIFY(u.starten(Op::Lesen));
        QTRY_VERIFY(u.ausgang.has_value());
        QCOMPARE(*u.ausgang, Ausgang::KeineVerbindung);
        QCOMPARE(u.meldungen(), QStringList{kKeineVerbindung});
        QVERIFY(u.ruhend());

        // Switched on again.
        u.sim = Umgebung::neuesGeraet();
        u.v->zuordnung().festlegen(1, u.sim->pfad());
        leseGelingt(u);
    }
};

QTEST_GUILESS_MAIN(TestGeraetefehler)
#include "test_geraetefehler.moc"
