// The link's parts the device table does not reach: the COM port mapping,
// other programs' lock files, the progress window (its countdown, the tool
// window, the text bar) and the COM port dialog.
#include "geraet.h"
#include "link/datentext.h"
#include "link/portzuordnung.h"
#include "linkui/datenfenster.h"
#include "linkui/kommunikation.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstdio>

namespace {
// The progress windows on screen: "caption|text|value/maximum".
QStringList fensterZeilen()
{
    QStringList out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* balken = w->findChild<QProgressBar*>("ProgressBar1"); balken && w->objectName() == QLatin1String("Daten"))
            out << QStringLiteral("%1|%2|%3/%4").arg(w->windowTitle(), w->findChild<QLabel*>("Label1")->text()).arg(balken->value()).arg(balken->maximum());
    return out;
}
} // namespace

class TestLinkTeile : public QObject {
    Q_OBJECT
private slots:
    void comZuordnung_data()
    {
        QTest::addColumn<QStringList>("namen");
        QTest::addColumn<QString>("fest");  // a pinned port, "n=path"
        QTest::addColumn<QString>("com");   // COM 1..4
        QTest::newRow("keine Ports") << QStringList{} << "" << "/dev/ttyS0 /dev/ttyS1 /dev/ttyS2 /dev/ttyS3";
        QTest::newRow("USB-Adapter zuerst") << QStringList{"ttyS0", "ttyS1", "ttyUSB0"} << "" << "/dev/ttyUSB0 /dev/ttyS0 /dev/ttyS1 /dev/ttyS3";
        QTest::newRow("USB und ACM nach Namen") << QStringList{"ttyUSB1", "ttyS0", "ttyACM0", "ttyUSB0"} << "" << "/dev/ttyACM0 /dev/ttyUSB0 /dev/ttyUSB1 /dev/ttyS0";
        QTest::newRow("Nummern als Zahlen") << QStringList{"ttyS10", "ttyS2", "ttyUSB10", "ttyUSB9"} << "" << "/dev/ttyUSB9 /dev/ttyUSB10 /dev/ttyS2 /dev/ttyS10";
        QTest::newRow("andere nach Namen") << QStringList{"ttyS0", "ttyAMA0", "rfcomm0"} << "" << "/dev/rfcomm0 /dev/ttyAMA0 /dev/ttyS0 /dev/ttyS3";
        // A pinned port takes none of the machine's ports from the others.
        QTest::newRow("COM 1 fest") << QStringList{"ttyS0", "ttyS1", "ttyUSB0"} << "1=/dev/pts/3" << "/dev/pts/3 /dev/ttyUSB0 /dev/ttyS0 /dev/ttyS1";
        QTest::newRow("COM 1 fest auf den ersten Port") << QStringList{"ttyS0", "ttyS1", "ttyUSB0"} << "1=/dev/ttyUSB0" << "/dev/ttyUSB0 /dev/ttyS0 /dev/ttyS1 /dev/ttyS3";
        QTest::newRow("COM 2 fest") << QStringList{"ttyS0", "ttyS1", "ttyUSB0"} << "2=/dev/pts/7" << "/dev/ttyUSB0 /dev/pts/7 /dev/ttyS0 /dev/ttyS1";
        QTest::newRow("keine Ports, COM 1 fest") << QStringList{} << "1=/dev/pts/3" << "/dev/pts/3 /dev/ttyS1 /dev/ttyS2 /dev/ttyS3";
    }
    void comZuordnung()
    {
        QFETCH(QStringList, namen);
        QFETCH(QString, fest);
        Portzuordnung z([namen] { return namen; });
        const int n = fest.section('=', 0, 0).toInt();
        z.festlegen(n, fest.section('=', 1));
        QStringList ist;
        for (int i = 1; i <= 4; ++i)
            ist << z.geraet(i);
        QTEST(ist.join(' '), "com");
        if (fest.isEmpty())
            return;
        z.festlegen(n, QString());  // unpinned: the plain mapping again
        QCOMPARE(z.geraet(1), namen.isEmpty() ? QStringLiteral("/dev/ttyS0") : QStringLiteral("/dev/ttyUSB0"));
    }

    // A port locked by another program is not opened. Lock files hold the
    // process number as text (padded as the UUCP convention writes it, or
    // plain and followed by the program's name as Qt writes it). A lock whose
    // process has ended, or whose number now belongs to another program,
    // holds nothing: the port is tried (here it does not exist).
    void sperrdatei_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("inhalt");  // %1: the process number
        QTest::addColumn<bool>("lebt");
        QTest::addColumn<QString>("text");    // %1: the process number
        const QString belegt = QStringLiteral("COM 1 (/dev/ttyGSMBV0) ist belegt von Programm sleep (PID %1)");
        const QString fehlt = QStringLiteral("Gerät /dev/ttyGSMBV0 nicht vorhanden");
        QTest::newRow("UUCP, aufgefüllt") << "LCK..ttyGSMBV0" << "%1\n" << true << belegt;
        QTest::newRow("ohne Zeilenende") << "LCK..ttyGSMBV0" << "%1" << true << belegt;
        QTest::newRow("Qt, gleiches Programm") << "LCK..ttyGSMBV0" << "%1\n/usr/bin/sleep\nhost\n" << true << belegt;
        QTest::newRow("Qt, Nummer neu vergeben") << "LCK..ttyGSMBV0" << "%1\nminicom\nhost\n" << true << fehlt;
        QTest::newRow("Prozess beendet") << "LCK..ttyGSMBV0" << "%1\n" << false << fehlt;
        QTest::newRow("anderes Gerät") << "LCK..ttyGSMBV1" << "%1\n" << true << fehlt;
        QTest::newRow("keine Zahl") << "LCK..ttyGSMBV0" << "frei\n" << true << fehlt;
        QTest::newRow("eigene Sperre") << "LCK..ttyGSMBV0" << "eigen" << true << fehlt;
    }
    void sperrdatei()
    {
        QFETCH(QString, name);
        QFETCH(QString, inhalt);
        QFETCH(bool, lebt);
        QFETCH(QString, text);
        QProcess kind;
        kind.start(QStringLiteral("sleep"), {lebt ? QStringLiteral("30") : QStringLiteral("0")});
        QVERIFY(kind.waitForStarted());
        const qint64 pid = kind.processId();
        if (!lebt)
            QVERIFY(kind.waitForFinished());
        QTemporaryDir ordner;
        QFile f(ordner.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (inhalt == QLatin1String("eigen"))
            inhalt = QString::number(QCoreApplication::applicationPid());
        f.write(inhalt.replace(QLatin1String("%1"), QStringLiteral("%1").arg(pid, 10)).toUtf8());
        f.close();
        Verbindung v;  // on the serial port
        auto& t = static_cast<SeriellerTransport&>(v.transport());
        t.setSperrOrdner({QStringLiteral("/nonexistent"), ordner.path()});
        v.zuordnung().festlegen(1, QStringLiteral("/dev/ttyGSMBV0"));
        QVERIFY(!v.portOeffnen() && t.wartend() == 0 && !t.schreiben("x") && t.lesen(1).isEmpty());
        QCOMPARE(v.oeffnenFehlerText(), text.arg(pid));
        kind.kill();
        kind.waitForFinished();
    }

    // The countdown lowers the bar to 1, never below; it stops when the
    // program hides the window, and only the user's close asks the
    // operation to end. The window shows one tool window with the text
    // and the bar, and goes with Daten.
    void datenFenster_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("ende");
        QTest::addColumn<bool>("vomBenutzer");
        QTest::newRow("zählt bis 1, vom Benutzer geschlossen") << 6 << 1 << true;
        QTest::newRow("0 bleibt, vom Programm verborgen") << 0 << 0 << false;
    }
    void datenFenster()
    {
        QFETCH(int, start);
        QFETCH(int, ende);
        QFETCH(bool, vomBenutzer);
        auto d = std::make_unique<Daten>();
        QSignalSpy geschlossen(d.get(), &Daten::geschlossen);
        d->setText(QStringLiteral("Verbindungsaufbau ..."));
        d->setMaximum(80);
        d->setWert(start);
        d->setAnsicht(std::make_unique<DatenFenster>());
        d->zeigen();
        d->zeigen();
        QCOMPARE(d->Timer1().interval(), 500);
        d->Timer1().setInterval(2);
        d->Timer1().start();
        QTRY_COMPARE(d->wert(), ende);
        QTest::qWait(20);
        QCOMPARE(fensterZeilen(), QStringList{QStringLiteral("Datenübertragung von/zu Boravilon|Verbindungsaufbau ...|%1/80").arg(ende)});
        QWidget* w = QApplication::topLevelWidgets().constFirst();
        QVERIFY(w->windowFlags().testFlag(Qt::Tool));
        if (vomBenutzer)
            w->close();
        else
            d->verbergen();
        QVERIFY(!d->Timer1().isActive());
        QCOMPARE(geschlossen.size(), vomBenutzer ? 1 : 0);
        QTRY_COMPARE(fensterZeilen(), QStringList());
        d->zeigen();
        d->setWert(1200);
        d->setMaximum(3328);
        d->setText(QStringLiteral("lese Konfigurationsdaten ..."));
        QCOMPARE(fensterZeilen(), QStringList{"Datenübertragung von/zu Boravilon|lese Konfigurationsdaten ...|1200/3328"});
        d.reset();
        QTRY_COMPARE(fensterZeilen(), QStringList());
    }

    void datenTextZeile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maximum");  // 0: the countdown, `wert` seconds left
        QTest::addColumn<int>("wert");
        QTest::addColumn<int>("spalten");
        QTest::addColumn<QString>("zeile");
        const QString l = QStringLiteral("lese Konfigurationsdaten ...");
        QTest::newRow("Lesen") << l << 3328 << 1200 << 80 << "lese Konfigurationsdaten ... [#######.............] 1200/3328";
        QTest::newRow("voll") << "Bestätigungstexte ..." << 257 << 257 << 80 << "Bestätigungstexte ... [####################] 257/257";
        QTest::newRow("über dem Maximum") << "x" << 80 << 81 << 80 << "x [####################] 80/80";
        // Narrower: a shorter bar, then none, then the text cut; the last column stays free.
        QTest::newRow("50 Spalten") << l << 3328 << 1200 << 50 << "lese Konfigurationsdaten ... [##......] 1200/3328";
        QTest::newRow("40 Spalten") << l << 3328 << 1200 << 40 << "lese Konfigurationsdaten ... 1200/3328";
        QTest::newRow("12 Spalten") << l << 3328 << 1200 << 12 << "l 1200/3328";
        QTest::newRow("5 Spalten") << l << 3328 << 1200 << 5 << "1200";
        QTest::newRow("Countdown") << "Verbindungsaufbau ..." << 0 << 38 << 80 << "Verbindungsaufbau ... noch 38 s";
        QTest::newRow("Countdown, 20 Spalten") << "Verbindungsaufbau ..." << 0 << 5 << 20 << "Verbindungsaufbau .";
    }
    void datenTextZeile()
    {
        QFETCH(QString, text);
        QFETCH(int, maximum);
        QFETCH(int, wert);
        QFETCH(int, spalten);
        QTEST(maximum ? DatenText::zeile(text, maximum, wert, spalten) : DatenText::countdown(text, wert, spalten), "zeile");
    }

    void datenTextStrom_data()
    {
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<int>("abstandMs");
        QTest::addColumn<QByteArray>("ausgabe");
        QTest::newRow("Datei") << false << 100 << QByteArray("Verbindungsaufbau ...\nlese Konfigurationsdaten ...\nfertig\n");
        QTest::newRow("Terminal, jede Änderung")
            << true << 0
            << QByteArray("\rVerbindungsaufbau ... noch 40 s"
                          "\rlese Konfigurationsdaten ... [###################.] 79/80"
                          "\rlese Konfigurationsdaten ... [....................] 79/3328"
                          "\rlese Konfigurationsdaten ... [....................] 1/3328 "  // padded over the longer line
                          "\rlese Konfigurationsdaten ... [####################] 3328/3328\nfertig\n");
        // Changes within 100 ms of a draw wait; closing draws the last state.
        QTest::newRow("Terminal, 100 ms")
            << true << 100
            << QByteArray("\rVerbindungsaufbau ... noch 40 s"
                          "\rlese Konfigurationsdaten ... [....................] 1/3328"
                          "\rlese Konfigurationsdaten ... [####################] 3328/3328\nfertig\n");
    }
    void datenTextStrom()
    {
        QFETCH(bool, terminal);
        QFETCH(int, abstandMs);
        std::FILE* f = std::tmpfile();
        QVERIFY(f);
        {
            Daten d;
            auto* text = new DatenText(f);
            d.setAnsicht(std::unique_ptr<DatenAnsicht>(text));
            text->setTerminal(terminal);
            text->setBreite(80);
            text->setAbstand(std::chrono::milliseconds(abstandMs));
            d.setText(QStringLiteral("Verbindungsaufbau ..."));
            d.setMaximum(80);
            d.setWert(80);
            d.zeigen();
            d.setWert(79);  // the countdown shows seconds: not drawn again
            d.setText(QStringLiteral("lese Konfigurationsdaten ..."));
            d.setMaximum(3328);
            d.setWert(1);
            d.verbergen();  // the operation has ended
            d.setWert(2);   // closed: nothing more
            text->abschliessen(QStringLiteral("fertig"));
        }
        std::rewind(f);
        QFile gelesen;
        QVERIFY(gelesen.open(f, QIODevice::ReadOnly));
        QTEST(gelesen.readAll(), "ausgabe");
        std::fclose(f);
    }

    // Load selects the current port; OK closes the port and takes the
    // selection, Abbruch changes nothing. Then the toolbar's abort while
    // idle: ESC to the device on the port chosen, the port closed.
    void kommunikation_data()
    {
        QTest::addColumn<int>("vorher");   // negative: the port closed
        QTest::addColumn<int>("waehlen");  // 0: the selection left as it is
        QTest::addColumn<QString>("knopf");
        QTest::addColumn<QString>("nachher");  // port, open, what the device got
        QTest::newRow("Abbruch behält den Port") << 1 << 3 << "CMD_Abbruch" << "1 offen \x1B";
        QTest::newRow("OK übernimmt und schließt") << 1 << 4 << "CMD_OK" << "4 zu ";
        QTest::newRow("OK mit gleichem Port schließt") << 2 << 0 << "CMD_OK" << "2 zu \x1B";
        QTest::newRow("OK bei geschlossenem Port") << -1 << 2 << "CMD_OK" << "2 zu \x1B";
    }
    void kommunikation()
    {
        QFETCH(int, vorher);
        QFETCH(int, waehlen);
        QFETCH(QString, knopf);
        FakeDoor door;
        const auto sim = geraet::neuesGeraet();
        Verbindung v;  // on the serial port
        int n = 0;
        for (const QString& p : {sim->pfad(), sim->pfad(), QStringLiteral("/dev/ttyUSB2"), QStringLiteral("/dev/gsmbv-gibt-es-nicht")})
            v.zuordnung().festlegen(++n, p);
        QVERIFY(!v.setPort(5) && !v.setPort(0) && v.setPort(qAbs(vorher)) && (vorher < 0 || v.portOeffnen()));
        Kommunikation dlg(v);
        QStringList optionen;
        for (int n = 1; n <= 4; ++n)
            optionen << dlg.option(n)->text() + (dlg.option(n)->isChecked() ? "* " : " ") + dlg.geraetLabel(n)->text();
        QCOMPARE(optionen.mid(2), (QStringList{"COM3 /dev/ttyUSB2", "COM 4 /dev/gsmbv-gibt-es-nicht"}));
        QVERIFY(dlg.option(qAbs(vorher))->isChecked());
        dlg.show();
        if (waehlen)
            QTest::mouseClick(dlg.option(waehlen), Qt::LeftButton);
        QTest::mouseClick(dlg.findChild<QPushButton*>(knopf), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        const QString ist = QStringLiteral("%1 %2 ").arg(v.port()).arg(v.portOffen() ? "offen" : "zu");
        v.abbrechen();
        QVERIFY(!v.portOffen());
        QTest::qWait(20);
        QTEST(ist + QString::fromLatin1(sim->empfangeneBytes()), "nachher");
    }
};

QTEST_MAIN(TestLinkTeile)
#include "test_link_teile.moc"
