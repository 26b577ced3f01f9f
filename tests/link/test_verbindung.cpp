// The link itself on a pseudo-terminal: opening, sending with echo, waiting,
// aborting, and the end of the link object in the middle of a transfer.
#include "linkui/datenfenster.h"
#include "linkumgebung.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

Q_DECLARE_METATYPE(std::chrono::milliseconds)

class TestVerbindung : public QObject {
    Q_OBJECT
private slots:
    void ackEmpfangen_data()
    {
        QTest::addColumn<QByteArray>("sendung");
        QTest::addColumn<QByteArray>("rest");
        QTest::newRow("nur ACK") << QByteArray("\x06") << QByteArray();
        QTest::newRow("ACK nach anderen Bytes") << QByteArray("xy\x06") << QByteArray();
        QTest::newRow("ACK mit Folgebytes") << QByteArray("\x06" "AB") << QByteArray("AB");
    }
    void ackEmpfangen()
    {
        QFETCH(QByteArray, sendung);
        QFETCH(QByteArray, rest);
        LinkUmgebung u;
        int aufrufe = 0;
        u.v->Konfig_open([&] { ++aufrufe; });
        QVERIFY(u.sitzung.Belegt);
        QVERIFY(u.v->portOffen());
        QCOMPARE(u.v->daten().text(), QStringLiteral("Verbindungsaufbau ..."));
        QCOMPARE(u.v->daten().maximum(), 80);
        QCOMPARE(u.v->daten().wert(), 80);
        QVERIFY(u.v->daten().Timer1().isActive());
        u.geraet.senden(sendung);
        QTRY_COMPARE(aufrufe, 1);
        QVERIFY(u.sitzung.AntwortOK);
        QVERIFY(u.sitzung.Belegt);
        QVERIFY(u.v->daten().sichtbar());
        QTRY_COMPARE(u.sitzung.Empfangspuffer, rest);
        QVERIFY(u.door.meldungen.isEmpty());
        QCOMPARE(u.geraet.empfangen, QByteArray());  // nothing is sent to open
    }

    // Every way a connection wait can end without ACK leaves the same state:
    // AntwortOK false, Daten gone, Belegt false; no message from the link itself.
    void ohneAck_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<std::chrono::milliseconds>("wartezeit");
        QTest::addColumn<QByteArray>("draht");
        QTest::newRow("stummes Gerät") << "stumm" << std::chrono::milliseconds(250) << QByteArray();
        QTest::newRow("Port fehlt") << "fehlt" << std::chrono::milliseconds(250) << QByteArray();
        QTest::newRow("Daten geschlossen") << "daten" << std::chrono::milliseconds(20000) << QByteArray();
        QTest::newRow("Abbruchsequenz") << "abbruch" << std::chrono::milliseconds(20000) << esc();
    }
    void ohneAck()
    {
        QFETCH(QString, fall);
        QFETCH(std::chrono::milliseconds, wartezeit);
        QFETCH(QByteArray, draht);
        LinkUmgebung u(wartezeit);
        if (fall == "fehlt")
            u.v->zuordnung().festlegen(1, QStringLiteral("/dev/gsmbv-gibt-es-nicht"));
        int aufrufe = 0;
        QElapsedTimer uhr;
        uhr.start();
        u.v->Konfig_open([&] { ++aufrufe; });
        QCOMPARE(u.v->portOffen(), fall != "fehlt");
        QVERIFY(u.sitzung.Belegt);
        QTest::qWait(50);
        QCOMPARE(aufrufe, 0);
        if (fall == "daten")
            u.v->daten().schliessen();
        if (fall == "abbruch")
            u.v->abbrechen();
        QTRY_COMPARE(aufrufe, 1);
        QVERIFY(uhr.elapsed() < 5000);  // a closed window or an abort does not wait out the deadline
        QVERIFY(!u.sitzung.AntwortOK);
        QVERIFY(u.ruhend());
        QCOMPARE(u.ansicht->verborgen, 1);
        QVERIFY(u.door.meldungen.isEmpty());
        QCOMPARE(u.door.beeps, 0);
        QTRY_COMPARE(u.geraet.empfangen, draht);
        QTest::qWait(30);
        QCOMPARE(aufrufe, 1);
    }

    void senden_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("laenge");
        QTest::addColumn<QString>("geraet");
        QTest::addColumn<QByteArray>("draht");
        QTest::addColumn<bool>("ok");
        QTest::newRow("leer, Länge 1") << QByteArray() << 1 << "echo" << QByteArray("\xFF") << true;
        QTest::newRow("leer, Länge 1, ohne Echo") << QByteArray() << 1 << "stumm" << QByteArray("\xFF") << false;
        QTest::newRow("aufgefüllt") << QByteArray("ab") << 4 << "echo" << QByteArray("ab\xFF\xFF") << true;
        QTest::newRow("Länge kürzer als Text") << QByteArray("abc") << 1 << "echo" << QByteArray("abc") << true;
        QTest::newRow("stoppt am fehlenden Echo") << QByteArray("abc") << 3 << "ohne b" << QByteArray("ab") << false;
        QTest::newRow("Echo hinter anderen Bytes") << QByteArray("a") << 1 << "rauschen" << QByteArray("a") << true;
        QTest::newRow("falsches Echo") << QByteArray("a") << 1 << "falsch" << QByteArray("a") << false;
    }
    void senden()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, laenge);
        QFETCH(QString, geraet);
        QFETCH(QByteArray, draht);
        QFETCH(bool, ok);
        LinkUmgebung u(ok ? 5000ms : 250ms);
        u.geraet.antwort = [&](std::uint8_t b) -> QByteArray {
            if (geraet == "echo" || (geraet == "ohne b" && b != 'b'))
                return QByteArray(1, char(b));
            if (geraet == "rauschen")
                return QByteArray("zz") + char(b);
            if (geraet == "falsch")
                return "b";
            return {};
        };
        QVERIFY(u.v->portOeffnen());
        u.sitzung.Belegt = true;
        int aufrufe = 0;
        u.v->Senden(text, laenge, [&] { ++aufrufe; });
        QTRY_COMPARE(aufrufe, 1);
        QCOMPARE(u.sitzung.AntwortOK, ok);
        QCOMPARE(u.geraet.empfangen, draht);
        QCOMPARE(int(u.sitzung.Fortschritt), draht.size());
        QCOMPARE(u.sitzung.Belegt, ok);  // a failed wait ends the operation
    }

    void abbruch_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<QByteArray>("draht");
        QTest::newRow("ohne Operation, Port zu") << "zu" << esc();
        QTest::newRow("ohne Operation, Port offen") << "offen" << esc();
        QTest::newRow("Port lässt sich nicht öffnen") << "fehlt" << QByteArray();
        QTest::newRow("während des Verbindungsaufbaus") << "warten" << esc();
    }
    void abbruch()
    {
        QFETCH(QString, fall);
        QFETCH(QByteArray, draht);
        LinkUmgebung u(20000ms);
        if (fall == "fehlt")
            u.v->zuordnung().festlegen(1, QStringLiteral("/dev/gsmbv-gibt-es-nicht"));
        if (fall == "offen")
            QVERIFY(u.v->portOeffnen());
        int aufrufe = 0;
        if (fall == "warten") {
            u.v->Konfig_open([&] { ++aufrufe; });
            QTest::qWait(30);
        } else {
            u.sitzung.Belegt = u.sitzung.AntwortOK = u.sitzung.Einlesen = u.sitzung.UhrModus = true;
            u.sitzung.LogModus = u.sitzung.SchreibModus = true;
        }
        u.sitzung.Empfangspuffer = "xyz";
        u.v->abbrechen();
        QVERIFY(!u.v->portOffen());
        QVERIFY(u.sitzung.Abbruch);
        QVERIFY(!u.sitzung.AntwortOK);
        QVERIFY(u.sitzung.Empfangspuffer.isEmpty());
        QVERIFY(u.ruhend());
        QTRY_COMPARE(u.geraet.empfangen, draht);
        if (fall == "warten") {
            QTRY_COMPARE(aufrufe, 1);
            QVERIFY(!u.sitzung.AntwortOK);
        }
        QVERIFY(u.door.meldungen.isEmpty());
        // Idle again: the next operation is accepted.
        QVERIFY(u.v->ereignisspeicherLesen({}, u.fertig()));
        QCOMPARE(u.door.beeps, 0);
    }

    // The owner goes away in the middle of a transfer: nothing calls back,
    // the progress window goes with it.
    void zerstoeren_data()
    {
        QTest::addColumn<bool>("empfang");
        QTest::newRow("beim Verbindungsaufbau") << false;
        QTest::newRow("beim Empfang der Konfiguration") << true;
    }
    void zerstoeren()
    {
        QFETCH(bool, empfang);
        auto u = std::make_unique<LinkUmgebung>();
        u->geraet.echo = true;
        u->v->daten().setAnsicht(std::make_unique<DatenFenster>());
        auto zaehler = std::make_shared<int>(0);
        QVERIFY(u->v->konfigurationLesen([zaehler](const QByteArray&) { ++*zaehler; return true; },
                                         [zaehler](Ausgang) { ++*zaehler; }));
        if (empfang) {
            u->ack();
            QTRY_COMPARE(u->sitzung.Empfangspuffer.size(), 0);
            QTRY_COMPARE(u->v->daten().text(), QStringLiteral("lese Konfigurationsdaten ..."));
            u->geraet.senden(QByteArray(100, 'x'));
            QTRY_COMPARE(u->sitzung.Empfangspuffer.size(), 100);
        }
        QTRY_VERIFY(QApplication::topLevelWidgets().size() == 1);
        QCOMPARE(QApplication::topLevelWidgets().at(0)->objectName(), QStringLiteral("Daten"));
        u->v.reset();
        u->geraet.senden(QByteArray(4000, 'x'));
        QTest::qWait(100);
        QCOMPARE(*zaehler, 0);
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // The end of an operation may take the link with it (the command line
    // quits there, a window may close).
    void zerstoerenImFertig()
    {
        LinkUmgebung u(100ms);
        QVERIFY(u.v->ereignisspeicherLesen({}, [&](Ausgang a) {
            u.ausgang = a;
            u.v.reset();
        }));
        QTRY_VERIFY(!u.v);
        QCOMPARE(u.ausgang, std::optional<Ausgang>(Ausgang::KeineVerbindung));
        QTest::qWait(20);
    }
};

QTEST_MAIN(TestVerbindung)
#include "test_verbindung.moc"
