// The link itself on a pseudo-terminal: opening, sending with echo, waiting,
// aborting, and the end of the link object in the middle of a transfer.
#include "linkui/datenfenster.h"
#include "linkumgebung.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

Q_DECLARE_METATYPE(std::chrono::milliseconds)
Q_DECLARE_METATYPE(Warteausgang)

namespace {
// An operation that connects through the link's preamble and then does what
// the test says: the steps as every operation uses them.
class Probe : public Vorgang {
public:
    Probe(Verbindung& v, Fertig fertig) : Vorgang(v, Art::Schreiben, std::move(fertig)) {}
    using Vorgang::Senden;
    std::function<void(Probe&)> nachAck;
    int verbundenAufrufe = 0;

protected:
    void verbunden() override
    {
        ++verbundenAufrufe;
        if (nachAck)
            nachAck(*this);
    }
};

Probe* probeStarten(LinkUmgebung& u)
{
    auto p = std::make_unique<Probe>(*u.v, u.fertig());
    Probe* roh = p.get();
    return u.v->starten(std::move(p)) ? roh : nullptr;
}
} // namespace

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
        Probe* p = probeStarten(u);
        QVERIFY(p);
        QVERIFY(u.v->operationLaeuft());
        QCOMPARE(p->phase(), Vorgang::Phase::Verbinden);
        QVERIFY(u.v->portOffen());
        QCOMPARE(u.v->daten().text(), QStringLiteral("Verbindungsaufbau ..."));
        QCOMPARE(u.v->daten().maximum(), 80);
        QCOMPARE(u.v->daten().wert(), 80);
        QVERIFY(u.v->daten().Timer1().isActive());
        u.geraet.senden(sendung);
        QTRY_COMPARE(p->verbundenAufrufe, 1);
        QVERIFY(u.v->operationLaeuft());
        QVERIFY(u.v->daten().sichtbar());
        QTRY_COMPARE(u.v->Empfangspuffer(), rest);
        QVERIFY(u.door.meldungen.isEmpty());
        QCOMPARE(u.fertigAufrufe, 0);
        QCOMPARE(u.geraet.empfangen, QByteArray());  // nothing is sent to open
    }

    // Every way a connection wait can end without ACK leaves the same state:
    // KeineVerbindung with its message and what exactly happened, Daten
    // gone, nothing under way; no box from the link itself.
    void ohneAck_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<std::chrono::milliseconds>("wartezeit");
        QTest::addColumn<QByteArray>("draht");
        QTest::addColumn<QString>("detail");
        QTest::newRow("stummes Gerät") << "stumm" << std::chrono::milliseconds(250) << QByteArray()
                                       << "kein ACK innerhalb 250 ms";
        QTest::newRow("Port fehlt") << "fehlt" << std::chrono::milliseconds(250) << QByteArray()
                                    << "Gerät /dev/gsmbv-gibt-es-nicht nicht vorhanden";
        QTest::newRow("Daten geschlossen") << "daten" << std::chrono::milliseconds(20000) << QByteArray()
                                           << "Verbindungsaufbau abgebrochen";
        QTest::newRow("Abbruchsequenz") << "abbruch" << std::chrono::milliseconds(20000) << esc()
                                        << "Verbindungsaufbau abgebrochen";
    }
    void ohneAck()
    {
        QFETCH(QString, fall);
        QFETCH(std::chrono::milliseconds, wartezeit);
        QFETCH(QByteArray, draht);
        QFETCH(QString, detail);
        LinkUmgebung u(wartezeit);
        if (fall == "fehlt")
            u.v->zuordnung().festlegen(1, QStringLiteral("/dev/gsmbv-gibt-es-nicht"));
        QElapsedTimer uhr;
        uhr.start();
        Probe* p = probeStarten(u);
        QVERIFY(p);
        QCOMPARE(u.v->portOffen(), fall != "fehlt");
        QVERIFY(u.v->operationLaeuft());
        QTest::qWait(50);
        QCOMPARE(u.fertigAufrufe, 0);
        if (fall == "daten")
            u.v->daten().schliessen();
        if (fall == "abbruch")
            u.v->abbrechen();
        QTRY_COMPARE(u.fertigAufrufe, 1);
        QVERIFY(uhr.elapsed() < 5000);  // a closed window or an abort does not wait out the deadline
        QCOMPARE(*u.ausgang, Ausgang::KeineVerbindung);
        QCOMPARE(u.ergebnis->meldung, QStringLiteral("Verbindung nicht möglich"));
        QCOMPARE(u.ergebnis->detail, detail);
        QVERIFY(u.ruhend());
        QVERIFY(!u.v->portOffen());
        QCOMPARE(u.ansicht->verborgen, 1);
        QVERIFY(u.door.meldungen.isEmpty());
        QCOMPARE(u.beeps(), 0);
        QTRY_COMPARE(u.geraet.empfangen, draht);
        QTest::qWait(30);
        QCOMPARE(u.fertigAufrufe, 1);
    }

    void senden_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("laenge");
        QTest::addColumn<QString>("geraet");
        QTest::addColumn<QByteArray>("draht");
        QTest::addColumn<Warteausgang>("ausgang");
        QTest::addColumn<int>("bis");  // the index handed on: the length, or the byte without echo
        const auto ok = Warteausgang::Erhalten;
        const auto fehlt = Warteausgang::Zeitueberschreitung;
        QTest::newRow("leer, Länge 1") << QByteArray() << 1 << "echo" << QByteArray("\xFF") << ok << 1;
        QTest::newRow("leer, Länge 1, ohne Echo") << QByteArray() << 1 << "stumm" << QByteArray("\xFF") << fehlt << 0;
        QTest::newRow("aufgefüllt") << QByteArray("ab") << 4 << "echo" << QByteArray("ab\xFF\xFF") << ok << 4;
        QTest::newRow("Länge kürzer als Text") << QByteArray("abc") << 1 << "echo" << QByteArray("abc") << ok << 3;
        QTest::newRow("stoppt am fehlenden Echo") << QByteArray("abc") << 3 << "ohne b" << QByteArray("ab") << fehlt << 1;
        QTest::newRow("Echo hinter anderen Bytes") << QByteArray("a") << 1 << "rauschen" << QByteArray("a") << ok << 1;
        QTest::newRow("falsches Echo") << QByteArray("a") << 1 << "falsch" << QByteArray("a") << fehlt << 0;
    }
    void senden()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, laenge);
        QFETCH(QString, geraet);
        QFETCH(QByteArray, draht);
        QFETCH(Warteausgang, ausgang);
        QFETCH(int, bis);
        LinkUmgebung u(ausgang == Warteausgang::Erhalten ? 5000ms : 250ms);
        u.geraet.antwort = [&](std::uint8_t b) -> QByteArray {
            if (geraet == "echo" || (geraet == "ohne b" && b != 'b'))
                return QByteArray(1, char(b));
            if (geraet == "rauschen")
                return QByteArray("zz") + char(b);
            if (geraet == "falsch")
                return "b";
            return {};
        };
        std::optional<Warteausgang> erhalten;
        int index = -1;
        int aufrufe = 0;
        Probe* p = probeStarten(u);
        QVERIFY(p);
        p->nachAck = [&](Probe& probe) {
            probe.Senden(text, laenge, [&](Warteausgang a, int i) {
                erhalten = a;
                index = i;
                ++aufrufe;
            });
        };
        u.ack();
        QTRY_COMPARE(aufrufe, 1);
        QCOMPARE(*erhalten, ausgang);
        QCOMPARE(index, bis);
        QCOMPARE(u.geraet.empfangen, draht);
        QCOMPARE(u.v->Fortschritt(), int(draht.size()));
        // A failed wait ends nothing by itself: the operation decides.
        QVERIFY(u.v->operationLaeuft());
        QVERIFY(u.v->daten().sichtbar());
        QCOMPARE(u.fertigAufrufe, 0);
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
        if (fall == "warten") {
            QVERIFY(probeStarten(u));
            QTest::qWait(30);
        }
        // Bytes the device sent meanwhile are in the receive buffer.
        if (u.v->portOffen()) {
            u.geraet.senden("xyz");
            QTRY_COMPARE(u.v->Empfangspuffer(), QByteArray("xyz"));
        }
        u.v->abbrechen();
        QVERIFY(!u.v->portOffen());
        QVERIFY(u.v->Empfangspuffer().isEmpty());
        QVERIFY(u.ruhend());
        QTRY_COMPARE(u.geraet.empfangen, draht);
        if (fall == "warten") {
            QTRY_COMPARE(u.fertigAufrufe, 1);
            QCOMPARE(*u.ausgang, Ausgang::KeineVerbindung);
            QCOMPARE(u.ergebnis->detail, QStringLiteral("Verbindungsaufbau abgebrochen"));
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
                                         [zaehler](const Ergebnis&) { ++*zaehler; }));
        if (empfang) {
            u->ack();
            QTRY_COMPARE(u->v->Empfangspuffer().size(), 0);
            QTRY_COMPARE(u->v->daten().text(), QStringLiteral("lese Konfigurationsdaten ..."));
            u->geraet.senden(QByteArray(100, 'x'));
            QTRY_COMPARE(u->v->Empfangspuffer().size(), 100);
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
        QVERIFY(u.v->ereignisspeicherLesen({}, [&](const Ergebnis& e) {
            u.ausgang = e.ausgang;
            u.v.reset();
        }));
        QTRY_VERIFY(!u.v);
        QCOMPARE(u.ausgang, std::optional<Ausgang>(Ausgang::KeineVerbindung));
        QTest::qWait(20);
    }
};

QTEST_MAIN(TestVerbindung)
#include "test_verbindung.moc"
