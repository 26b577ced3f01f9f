// The link's smaller parts: the COM port mapping, the progress window (its
// countdown, the tool window, the text bar), the COM port dialog and the
// serial transport on a pseudo-terminal.
#include "fakedoor.h"
#include "linkui/datenfenster.h"
#include "link/datentext.h"
#include "linkui/kommunikation.h"
#include "link/portursache.h"
#include "link/portzuordnung.h"
#include "link/seriellertransport.h"
#include "link/verbindung.h"
#include "ptypartner.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {
QWidget* fensterDaten()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("Daten") && w->isVisible())
            return w;
    return nullptr;
}

int anzahlDatenFenster()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += w->objectName() == QLatin1String("Daten");
    return n;
}
} // namespace

class TestTeile : public QObject {
    Q_OBJECT
private slots:
    void comZuordnung_data()
    {
        QTest::addColumn<QStringList>("namen");
        QTest::addColumn<QStringList>("fest");  // pinned ports, "n=path"
        QTest::addColumn<QStringList>("com");   // COM 1..4
        QTest::newRow("keine Ports") << QStringList{} << QStringList{}
                                     << QStringList{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};
        QTest::newRow("USB-Adapter zuerst")
            << QStringList{"ttyS0", "ttyS1", "ttyUSB0"} << QStringList{}
            << QStringList{"/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS3"};
        QTest::newRow("USB und ACM nach Namen")
            << QStringList{"ttyUSB1", "ttyS0", "ttyACM0", "ttyUSB0"} << QStringList{}
            << QStringList{"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"};
        QTest::newRow("Nummern als Zahlen")
            << QStringList{"ttyS10", "ttyS2", "ttyUSB10", "ttyUSB9"} << QStringList{}
            << QStringList{"/dev/ttyUSB9", "/dev/ttyUSB10", "/dev/ttyS2", "/dev/ttyS10"};
        QTest::newRow("andere Namen nach Namen")
            << QStringList{"ttyS0", "ttyAMA0", "rfcomm0"} << QStringList{}
            << QStringList{"/dev/rfcomm0", "/dev/ttyAMA0", "/dev/ttyS0", "/dev/ttyS3"};
        // A pinned port takes none of the machine's ports from the others.
        QTest::newRow("COM 1 fest (Demo)")
            << QStringList{"ttyS0", "ttyS1", "ttyUSB0"} << QStringList{"1=/dev/pts/3"}
            << QStringList{"/dev/pts/3", "/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS1"};
        QTest::newRow("COM 1 fest auf den ersten Port")
            << QStringList{"ttyS0", "ttyS1", "ttyUSB0"} << QStringList{"1=/dev/ttyUSB0"}
            << QStringList{"/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS3"};
        QTest::newRow("COM 2 fest")
            << QStringList{"ttyS0", "ttyS1", "ttyUSB0"} << QStringList{"2=/dev/pts/7"}
            << QStringList{"/dev/ttyUSB0", "/dev/pts/7", "/dev/ttyS0", "/dev/ttyS1"};
        QTest::newRow("keine Ports, COM 1 fest") << QStringList{} << QStringList{"1=/dev/pts/3"}
                                                << QStringList{"/dev/pts/3", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};
    }
    void comZuordnung()
    {
        QFETCH(QStringList, namen);
        QFETCH(QStringList, fest);
        QFETCH(QStringList, com);
        Portzuordnung z([namen] { return namen; });
        for (const QString& f : fest)
            z.festlegen(f.section(QLatin1Char('='), 0, 0).toInt(), f.section(QLatin1Char('='), 1));
        QStringList ist;
        for (int n = 1; n <= 4; ++n)
            ist.append(z.geraet(n));
        QCOMPARE(ist, com);
        // Unpinned again: the plain mapping.
        if (fest.isEmpty())
            return;
        z.festlegen(fest[0].section(QLatin1Char('='), 0, 0).toInt(), QString());
        QCOMPARE(z.geraet(1), namen.isEmpty() ? QStringLiteral("/dev/ttyS0") : QStringLiteral("/dev/ttyUSB0"));
    }

    void countdown_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("ende");
        QTest::newRow("zählt bis 1") << 6 << 1;
        QTest::newRow("1 bleibt") << 1 << 1;
        QTest::newRow("0 bleibt") << 0 << 0;
    }
    void countdown()
    {
        QFETCH(int, start);
        QFETCH(int, ende);
        Daten d;
        QCOMPARE(d.Timer1().objectName(), QStringLiteral("Timer1"));
        QCOMPARE(d.Timer1().interval(), 500);
        QVERIFY(!d.Timer1().isActive());
        d.setWert(start);
        d.Timer1().setInterval(2);
        d.Timer1().start();
        QTRY_COMPARE(d.wert(), ende);
        QTest::qWait(40);
        QCOMPARE(d.wert(), ende);
        // Hidden by the program it stops counting and asks nothing; closed
        // (by the user) it stops and asks the operation to end.
        QSignalSpy geschlossen(&d, &Daten::geschlossen);
        d.verbergen();
        QVERIFY(!d.Timer1().isActive());
        QCOMPARE(geschlossen.size(), 0);
        d.Timer1().start();
        d.schliessen();
        QVERIFY(!d.Timer1().isActive());
        QCOMPARE(geschlossen.size(), 1);
    }

    void datenFenster_data()
    {
        QTest::addColumn<bool>("vomBenutzer");
        QTest::newRow("vom Benutzer geschlossen") << true;
        QTest::newRow("vom Programm verborgen") << false;
    }
    void datenFenster()
    {
        QFETCH(bool, vomBenutzer);
        Daten d;
        d.setAnsicht(std::make_unique<DatenFenster>());
        QSignalSpy geschlossen(&d, &Daten::geschlossen);
        d.setText(QStringLiteral("Verbindungsaufbau ..."));
        d.setMaximum(80);
        d.setWert(80);
        d.zeigen();
        d.zeigen();
        QCOMPARE(anzahlDatenFenster(), 1);
        QWidget* w = fensterDaten();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Datenübertragung von/zu Boravilon"));
        QVERIFY(w->windowFlags().testFlag(Qt::Tool));
        QCOMPARE(w->findChild<QLabel*>("Label1")->text(), QStringLiteral("Verbindungsaufbau ..."));
        auto* balken = w->findChild<QProgressBar*>("ProgressBar1");
        QCOMPARE(balken->maximum(), 80);
        QCOMPARE(balken->value(), 80);
        d.setMaximum(3328);
        d.setWert(1200);
        d.setText(QStringLiteral("lese Konfigurationsdaten ..."));
        QCOMPARE(balken->maximum(), 3328);
        QCOMPARE(balken->value(), 1200);
        QCOMPARE(w->findChild<QLabel*>("Label1")->text(), QStringLiteral("lese Konfigurationsdaten ..."));

        // Only the user's close asks the operation to end.
        if (vomBenutzer)
            w->close();
        else
            d.verbergen();
        QVERIFY(!d.sichtbar());
        QCOMPARE(geschlossen.size(), vomBenutzer ? 1 : 0);
        QTRY_COMPARE(anzahlDatenFenster(), 0);
        // Shown again: a new window.
        d.zeigen();
        QCOMPARE(anzahlDatenFenster(), 1);
        d.schliessen();
        QCOMPARE(geschlossen.size(), vomBenutzer ? 2 : 1);
        QTRY_COMPARE(anzahlDatenFenster(), 0);
    }

    void datenTextZeile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("wert");  // the seconds left for the countdown (maximum 0)
        QTest::addColumn<int>("spalten");
        QTest::addColumn<QString>("zeile");
        QTest::newRow("Lesen") << "lese Konfigurationsdaten ..." << 3328 << 1200 << 80
                               << "lese Konfigurationsdaten ... [#######.............] 1200/3328";
        QTest::newRow("voll") << "Bestätigungstexte ..." << 257 << 257 << 80
                              << "Bestätigungstexte ... [####################] 257/257";
        QTest::newRow("über dem Maximum") << "x" << 80 << 81 << 80 << "x [####################] 80/80";
        // Narrower terminals: a shorter bar, then none, then the text cut;
        // the last column always stays free.
        QTest::newRow("50 Spalten") << "lese Konfigurationsdaten ..." << 3328 << 1200 << 50
                                    << "lese Konfigurationsdaten ... [##......] 1200/3328";
        QTest::newRow("40 Spalten") << "lese Konfigurationsdaten ..." << 3328 << 1200 << 40
                                    << "lese Konfigurationsdaten ... 1200/3328";
        QTest::newRow("12 Spalten") << "lese Konfigurationsdaten ..." << 3328 << 1200 << 12 << "l 1200/3328";
        QTest::newRow("5 Spalten") << "lese Konfigurationsdaten ..." << 3328 << 1200 << 5 << "1200";
        QTest::newRow("Countdown") << "Verbindungsaufbau ..." << 0 << 38 << 80 << "Verbindungsaufbau ... noch 38 s";
        QTest::newRow("Countdown, 20 Spalten") << "Verbindungsaufbau ..." << 0 << 5 << 20 << "Verbindungsaufbau .";
    }
    void datenTextZeile()
    {
        QFETCH(QString, text);
        QFETCH(int, maximum);
        QFETCH(int, wert);
        QFETCH(int, spalten);
        QFETCH(QString, zeile);
        QCOMPARE(maximum ? DatenText::zeile(text, maximum, wert, spalten) : DatenText::countdown(text, wert, spalten),
                 zeile);
    }

    void datenTextStrom_data()
    {
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<int>("abstandMs");
        QTest::addColumn<QByteArray>("ausgabe");
        QTest::newRow("Datei") << false << 100
                               << QByteArray("Verbindungsaufbau ...\nlese Konfigurationsdaten ...\nfertig\n");
        QTest::newRow("Terminal, jede Änderung")
            << true << 0
            << QByteArray("\rVerbindungsaufbau ... noch 40 s"
                          "\rlese Konfigurationsdaten ... [###################.] 79/80"
                          "\rlese Konfigurationsdaten ... [....................] 79/3328"
                          "\rlese Konfigurationsdaten ... [....................] 1/3328 "  // padded over the longer line
                          "\rlese Konfigurationsdaten ... [####################] 3328/3328\n"
                          "fertig\n");
        // Changes within 100 ms of a draw wait; closing draws the last state.
        QTest::newRow("Terminal, 100 ms")
            << true << 100
            << QByteArray("\rVerbindungsaufbau ... noch 40 s"
                          "\rlese Konfigurationsdaten ... [....................] 1/3328"
                          "\rlese Konfigurationsdaten ... [####################] 3328/3328\n"
                          "fertig\n");
    }
    void datenTextStrom()
    {
        QFETCH(bool, terminal);
        QFETCH(int, abstandMs);
        QFETCH(QByteArray, ausgabe);
        std::FILE* f = std::tmpfile();
        QVERIFY(f);
        {
            Daten d;
            auto ansicht = std::make_unique<DatenText>(f);
            DatenText* text = ansicht.get();
            ansicht->setTerminal(terminal);
            ansicht->setBreite(80);
            ansicht->setAbstand(std::chrono::milliseconds(abstandMs));
            d.setAnsicht(std::move(ansicht));
            d.setText(QStringLiteral("Verbindungsaufbau ..."));
            d.setMaximum(80);
            d.setWert(80);
            d.zeigen();
            d.setWert(79);  // the countdown shows seconds: not drawn again
            d.setText(QStringLiteral("lese Konfigurationsdaten ..."));
            d.setMaximum(3328);
            d.setWert(1);
            d.verbergen();  // the operation has ended
            d.setWert(2);  // closed: nothing more
            text->abschliessen(QStringLiteral("fertig"));
        }
        std::rewind(f);
        QByteArray gelesen(4096, '\0');
        gelesen.resize(qsizetype(std::fread(gelesen.data(), 1, size_t(gelesen.size()), f)));
        std::fclose(f);
        QCOMPARE(gelesen, ausgabe);
    }

    void kommunikation_data()
    {
        QTest::addColumn<int>("vorher");
        QTest::addColumn<bool>("offen");
        QTest::addColumn<int>("waehlen");  // 0: leave the selection
        QTest::addColumn<QString>("knopf");
        QTest::addColumn<int>("nachher");
        QTest::addColumn<bool>("offenNachher");
        QTest::newRow("nach dem Start COM 1") << 1 << false << 0 << "CMD_OK" << 1 << false;
        QTest::newRow("Abbruch behält den Port") << 1 << true << 3 << "CMD_Abbruch" << 1 << true;
        QTest::newRow("OK übernimmt und schließt") << 1 << true << 4 << "CMD_OK" << 4 << false;
        QTest::newRow("OK mit gleichem Port schließt") << 2 << true << 0 << "CMD_OK" << 2 << false;
        QTest::newRow("OK bei geschlossenem Port") << 3 << false << 2 << "CMD_OK" << 2 << false;
    }
    void kommunikation()
    {
        QFETCH(int, vorher);
        QFETCH(bool, offen);
        QFETCH(int, waehlen);
        QFETCH(QString, knopf);
        QFETCH(int, nachher);
        QFETCH(bool, offenNachher);
        FakeDoor door;
        PtyPartner geraet;
        Verbindung v;
        for (int n = 1; n <= 4; ++n)
            v.zuordnung().festlegen(n, geraet.pfad());
        v.zuordnung().festlegen(4, QStringLiteral("/dev/ttyUSB3"));
        QCOMPARE(v.port(), 1);
        QVERIFY(v.setPort(vorher));
        if (offen)
            QVERIFY(v.portOeffnen());

        Kommunikation dlg(v);
        QCOMPARE(dlg.objectName(), QStringLiteral("Kommunikation"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Kommunikation"));
        QVERIFY(dlg.isModal());
        QCOMPARE(dlg.findChild<QGroupBox*>("Frame1")->title(), QStringLiteral("COM Port"));
        const QStringList beschriftung{"COM 1", "COM 2", "COM3", "COM 4"};
        for (int n = 1; n <= 4; ++n) {
            auto* o = dlg.findChild<QRadioButton*>(QStringLiteral("Option%1").arg(n));
            QVERIFY(o);
            QCOMPARE(o->text(), beschriftung[n - 1]);
            QCOMPARE(o->isChecked(), n == vorher);
        }
        QCOMPARE(dlg.geraetLabel(1)->text(), geraet.pfad());
        QCOMPARE(dlg.geraetLabel(4)->text(), QStringLiteral("/dev/ttyUSB3"));
        QCOMPARE(dlg.findChild<QPushButton*>("CMD_OK")->text(), QStringLiteral("OK"));
        QCOMPARE(dlg.findChild<QPushButton*>("CMD_Abbruch")->text(), QStringLiteral("Abbruch"));

        dlg.show();
        if (waehlen)
            QTest::mouseClick(dlg.option(waehlen), Qt::LeftButton);
        for (int n = 1; n <= 4; ++n)
            QCOMPARE(dlg.option(n)->isChecked(), n == (waehlen ? waehlen : vorher));
        QTest::mouseClick(dlg.findChild<QPushButton*>(knopf), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), knopf == "CMD_OK" ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(v.port(), nachher);
        QCOMPARE(v.portOffen(), offenNachher);
        QVERIFY(door.meldungen.isEmpty());
        QVERIFY(!v.setPort(5));
        QVERIFY(!v.setPort(0));
        QCOMPARE(v.port(), nachher);
    }

    // Lock files of other programs: their process number as text (padded as
    // the UUCP convention writes it, or plain and followed by the program's
    // name as Qt writes it). A lock whose process has ended, or whose number
    // now belongs to another program, holds nothing.
    void sperrdatei_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("inhalt");  // %1: the process number
        QTest::addColumn<bool>("lebt");       // the process still runs
        QTest::addColumn<QString>("halter");  // "" = none
        QTest::newRow("UUCP, aufgefüllt") << "LCK..ttyUSB0" << "%1\n" << true << "sleep";
        QTest::newRow("ohne Zeilenende") << "LCK..ttyUSB0" << "%1" << true << "sleep";
        QTest::newRow("Qt, gleiches Programm") << "LCK..ttyUSB0" << "%1\n/usr/bin/sleep\nhost\n" << true << "sleep";
        QTest::newRow("Qt, Nummer neu vergeben") << "LCK..ttyUSB0" << "%1\nminicom\nhost\n" << true << "";
        QTest::newRow("Prozess beendet") << "LCK..ttyUSB0" << "%1\n" << false << "";
        QTest::newRow("anderes Gerät") << "LCK..ttyUSB1" << "%1\n" << true << "";
        QTest::newRow("keine Zahl") << "LCK..ttyUSB0" << "frei\n" << true << "";
        QTest::newRow("eigene Sperre") << "LCK..ttyUSB0" << "eigen" << true << "";
    }
    void sperrdatei()
    {
        QFETCH(QString, name);
        QFETCH(QString, inhalt);
        QFETCH(bool, lebt);
        QFETCH(QString, halter);
        QProcess kind;
        kind.start(QStringLiteral("sleep"), {lebt ? QStringLiteral("30") : QStringLiteral("0")});
        QVERIFY(kind.waitForStarted());
        const qint64 pid = kind.processId();
        if (!lebt)
            QVERIFY(kind.waitForFinished());
        QTemporaryDir ordner;
        QFile f(ordner.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QString zahl = QStringLiteral("%1").arg(pid, 10);
        if (inhalt == QLatin1String("eigen"))
            inhalt = QString::number(QCoreApplication::applicationPid());
        else if (inhalt.contains(QLatin1String("%1")))
            inhalt = inhalt.arg(zahl);
        f.write(inhalt.toUtf8());
        f.close();
        const auto h = portursache::sperrHalter(QStringLiteral("/dev/ttyUSB0"), {QStringLiteral("/nonexistent"), ordner.path()});
        QCOMPARE(h ? h->programm : QString(), halter);
        if (h)
            QCOMPARE(h->pid, pid);
        kind.kill();
        kind.waitForFinished();
    }

    void transport_data()
    {
        QTest::addColumn<bool>("vorhanden");
        QTest::newRow("Pseudo-Terminal") << true;
        QTest::newRow("Port fehlt") << false;
    }
    void transport()
    {
        QFETCH(bool, vorhanden);
        PtyPartner geraet;
        SeriellerTransport t;
        QSignalSpy da(&t, &Transport::datenDa);
        const QString pfad = vorhanden ? geraet.pfad() : QStringLiteral("/dev/gsmbv-gibt-es-nicht");
        QCOMPARE(t.oeffnen(pfad), vorhanden);
        QCOMPARE(t.istOffen(), vorhanden);
        if (!vorhanden) {
            QVERIFY(!t.letzterFehler().isEmpty());
            QVERIFY(!t.schreiben("x"));
            QCOMPARE(t.wartend(), 0);
            t.schliessen();
            return;
        }
        QVERIFY(t.letzterFehler().isEmpty());  // the pty's refusal of DTR and low latency is no error
        geraet.senden("\x06\xFF\x80");
        QTRY_VERIFY(!da.isEmpty());
        QTRY_COMPARE(t.wartend(), 3);
        QCOMPARE(t.lesen(1), QByteArray("\x06"));
        QCOMPARE(t.lesen(5), QByteArray("\xFF\x80"));
        // Written just before closing: still reaches the device.
        QVERIFY(t.schreiben(QByteArray("w\x1B")));
        t.schliessen();
        QVERIFY(!t.istOffen());
        QTRY_COMPARE(geraet.empfangen, QByteArray("w\x1B"));
        // Opens again after closing.
        QVERIFY(t.oeffnen(pfad));
    }

    // The other end goes away (a USB adapter pulled, the simulator ended):
    // the port then reports a read error at every pass of the event loop. The
    // transport closes it instead of keeping the loop busy.
    void transportAufgelegt()
    {
        auto geraet = std::make_unique<PtyPartner>();
        SeriellerTransport t;
        QSignalSpy da(&t, &Transport::datenDa);
        QVERIFY(t.oeffnen(geraet->pfad()));
        geraet->senden("\x06");
        QTRY_COMPARE(t.wartend(), 1);
        QCOMPARE(t.lesen(1), QByteArray("\x06"));
        geraet.reset();
        QTRY_VERIFY(!t.istOffen());
        QCOMPARE(t.letzterFehler(), QStringLiteral("Gegenstelle getrennt"));
        QCOMPARE(da.size(), 1);
        QCOMPARE(t.wartend(), 0);
        QVERIFY(!t.schreiben("x"));
        // It opens again on another line, which stays open.
        PtyPartner zweites;
        QVERIFY(t.oeffnen(zweites.pfad()));
        QVERIFY(t.letzterFehler().isEmpty());
        QTest::qWait(50);
        QVERIFY(t.istOffen());
    }
};

QTEST_MAIN(TestTeile)
#include "test_teile.moc"
