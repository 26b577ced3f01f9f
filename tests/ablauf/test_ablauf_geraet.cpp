// The device commands of the main window against the simulated device:
// configuration read and write byte for byte on the wire, devices with odd
// memories, recipient lists end to end, the busy rule, abort and closing the
// window in the middle of a transfer.
#include "ablaufhilfe.h"

#include "cfgfile/cfgdatei.h"
#include "editor/teledit.h"
#include "link/seriellertransport.h"
#include "pdftext.h"

#include <QCheckBox>
#include <QFile>
#include <QProcess>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>

using namespace ablauf;

namespace {

// The cells of a page as the device receives them in a write: select character, 256 bytes.
QByteArray seitenRahmen(const QByteArray& seite, int p) { return QByteArray(1, char(48 + p)) + seite; }

QByteArray seiteVon(const QByteArray& geraeteBytes, int p) { return geraeteBytes.mid(p * kZellen, kZellen); }

} // namespace

class TestAblaufGeraet : public QObject {
    Q_OBJECT
private slots:
    void lesen()
    {
        Stand s;
        QCOMPARE(s.ausfuehren("MNU_Lesen"), Ausgang::Erfolg);
        const Erwartung e = gelesen(simStandardSpeicher());
        QVERIFY(e.erfolg);
        QCOMPARE(felder(s.k->werte()), felder(e.werte));
        QVERIFY(s.k->werte() == e.werte);
        QVERIFY(s.k->speicher() == e.bild);  // pages 13..31 unset
        QVERIFY(!s.k->speicher().gesetzt(13, 0));
        QCOMPARE(hilfe::sichtbareMarker(*s.k), QList<int>{});
        QCOMPARE(hilfe::geflaggt(*s.k), QList<int>{});
        QVERIFY(s.ruhend());
        QCOMPARE(s.empfangen(), QByteArray("r"));
        QVERIFY(s.door.meldungen.isEmpty());
        QCOMPARE(s.door.beeps, 0);
        QVERIFY(!s.k->modell().fuellt());
        // Edits after the read are recorded again.
        s.k->findChild<QCheckBox*>(QStringLiteral("Chk_Oeffner_0"))->click();
        QCOMPARE(hilfe::geflaggt(*s.k), QList<int>{0});
    }

    // A successful read is kept as a backup; a backup that cannot be kept is
    // said in the status bar, and the read stands.
    void lesenSichert_data()
    {
        QTest::addColumn<QByteArray>("speicher");
        QTest::addColumn<bool>("ordnerMoeglich");
        QTest::addColumn<QString>("hinweis");  // %1 the folder, %2 the backup's name
        QByteArray ueberlauf = simStandardSpeicher();
        ueberlauf[11 * 256 + 128] = char(0x80);
        QTest::newRow("gesichert") << simStandardSpeicher() << true << "Konfiguration gesichert: %1/%2";
        QTest::newRow("Ordner nicht anlegbar") << simStandardSpeicher() << false
                                               << "Konfiguration nicht gesichert: Ordner %1 kann nicht angelegt werden";
        QTest::newRow("Lesen gescheitert") << ueberlauf << true << "";
    }
    void lesenSichert()
    {
        QFETCH(QByteArray, speicher);
        QFETCH(bool, ordnerMoeglich);
        QFETCH(QString, hinweis);
        QTemporaryDir tmp;
        const QString ordner = tmp.filePath(QStringLiteral("sicherungen"));
        QFile imWeg(ordner);
        QVERIFY(ordnerMoeglich || imWeg.open(QIODevice::WriteOnly));
        Stand s(simOptionen(speicher));
        s.k->setSicherungsOrdner(ordner);
        QCOMPARE(s.ausfuehren("MNU_Lesen"), hinweis.isEmpty() ? Ausgang::Uebertragungsfehler : Ausgang::Erfolg);
        const QStringList namen = QDir(ordner).entryList(QDir::Files | QDir::Hidden);
        hinweis.replace(QLatin1String("%1"), ordner).replace(QLatin1String("%2"), namen.value(0));
        QCOMPARE(s.k->panel(2)->text(), hinweis);
        QCOMPARE(namen.size(), hinweis.startsWith(QLatin1String("Konfiguration gesichert:")) ? 1 : 0);
        if (!namen.isEmpty())
            QVERIFY2(QRegularExpression(QStringLiteral("^Pumpwerk Nord_\\d{4}(-\\d\\d){2}_\\d\\d(-\\d\\d){2}\\.cfg$"))
                         .match(namen[0]).hasMatch(), qPrintable(namen[0]));
    }

    // What a write puts on the wire, after a read with one field edited, after
    // opening a file and with nothing edited.
    void schreiben_data()
    {
        QTest::addColumn<QString>("vorlauf");
        QTest::newRow("Anlagenbezeichnung geändert") << "name";
        QTest::newRow("Datei geöffnet") << "datei";
        QTest::newRow("nichts geändert") << "nichts";
    }
    void schreiben()
    {
        QFETCH(QString, vorlauf);
        Stand s;
        QTemporaryDir ordner;
        QByteArray erwartet = "w";
        QByteArray speicherDanach = simStandardSpeicher();
        int echos = 1;
        if (vorlauf == QLatin1String("datei")) {
            Konfigspeicher bild = simStandardKonfig();
            textSpeichern(bild, bereich::Anlagenbezeichnung, "Aus der Datei");
            const QString pfad = ordner.filePath(QStringLiteral("anlage.cfg"));
            QFile f(pfad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(cfgSchreiben(bild));
            f.close();
            s.door.dateinamen.enqueue(pfad);
            s.aktion("MNU_Open")->trigger();
            QVERIFY(s.door.meldungen.isEmpty());
            for (int p = 0; p < kGeraeteSeiten; ++p)
                erwartet += seitenRahmen(s.k->speicher().seite(p), p);
            speicherDanach = s.k->speicher().geraeteBytes();
            echos += 13 * 257;
        } else {
            QCOMPARE(s.ausfuehren("MNU_Lesen"), Ausgang::Erfolg);
            QVERIFY(s.ruhend());
            speicherDanach = s.k->speicher().geraeteBytes();
            if (vorlauf == QLatin1String("name")) {
                QVERIFY(s.aktivieren());
                Eingabefeld* name = s.k->findChild<Eingabefeld*>(QStringLiteral("Anlagenbezeichnung"));
                name->setFocus(Qt::OtherFocusReason);
                QTest::keyClick(name, Qt::Key_End);
                for (int i = 0; i < 4; ++i)
                    QTest::keyClick(name, Qt::Key_Backspace);
                hilfe::tippen(name, QStringLiteral("Ost"));
                QTest::keyClick(name, Qt::Key_Tab);  // the focus moves on: the name is taken
                QCOMPARE(hilfe::geflaggt(*s.k), QList<int>{0});
                QByteArray seite0 = seiteVon(speicherDanach, 0);
                seite0.replace(128, 128, QByteArray("Pumpwerk Ost\x03") + ff(115));
                QCOMPARE(s.k->speicher().seite(0), seite0);
                speicherDanach.replace(0, kZellen, seite0);
                erwartet += seitenRahmen(seite0, 0);
                echos += 257;
            }
        }
        const qsizetype ab = s.sim.empfangeneBytes().size();
        const qsizetype gesendetAb = s.sim.gesendeteBytes().size();
        QCOMPARE(s.ausfuehren("MNU_Schreib"), Ausgang::Erfolg);
        QVERIFY(s.ruhend());
        erwartet += esc();
        QCOMPARE(s.empfangen(ab), erwartet);
        // ACK, then every character but the ESC echoed.
        QCOMPARE(s.sim.gesendeteBytes().mid(gesendetAb), QByteArray(1, char(6)) + erwartet.left(echos));
        QCOMPARE(s.sim.geraet().speicher(), speicherDanach);
        QVERIFY(s.door.meldungen.isEmpty());
        QCOMPARE(s.door.beeps, 0);
        // The flags stay: a second write sends the same pages again.
        const qsizetype ab2 = s.sim.empfangeneBytes().size();
        QCOMPARE(s.ausfuehren("MNU_Schreib"), Ausgang::Erfolg);
        QCOMPARE(s.empfangen(ab2), erwartet);
    }

    // The echo of the 100th byte of page 11 does not come.
    void schreibenOhneEcho()
    {
        Stand s(simOptionen(), 300ms);
        QTemporaryDir ordner;
        const QString pfad = ordner.filePath(QStringLiteral("anlage.cfg"));
        QFile f(pfad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(cfgSchreiben(simStandardKonfig()));
        f.close();
        s.door.dateinamen.enqueue(pfad);
        s.aktion("MNU_Open")->trigger();
        QVERIFY(s.door.meldungen.isEmpty());

        // 'w' is echo 1; pages 0..10 take 257 each; page 11's select character, then 100 bytes.
        const int n = 1 + 11 * 257 + 1 + 100;
        SimFehler fehler;
        fehler.keinEcho = n;
        s.sim.geraet().setzeFehler(fehler);
        QByteArray erwartet = "w";
        for (int p = 0; p <= 10; ++p)
            erwartet += seitenRahmen(s.k->speicher().seite(p), p);
        erwartet += ';' + s.k->speicher().seite(11).left(100) + esc();

        QElapsedTimer uhr;
        uhr.start();
        QCOMPARE(s.ausfuehren("MNU_Schreib"), Ausgang::Uebertragungsfehler);
        QVERIFY(uhr.elapsed() >= 280);
        QVERIFY(s.ruhend());
        QCOMPARE(s.empfangen(), erwartet);
        QVERIFY(s.eineMeldung(QStringLiteral("Fehler bei Datenübertragung")));
        QCOMPARE(s.door.beeps, 1);
        QCOMPARE(s.sim.geraet().schreibvorgaenge(), 0);
        QCOMPARE(s.sim.geraet().speicher(), simStandardSpeicher());
        QCOMPARE(hilfe::geflaggt(*s.k), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    }

    // Edited, written, read again in a new window: the same values.
    void schreibenUndNeuLesen()
    {
        Stand s;
        QCOMPARE(s.ausfuehren("MNU_Lesen"), Ausgang::Erfolg);
        QVERIFY(s.aktivieren());
        Eingabefeld* text = s.k->findChild<Eingabefeld*>(QStringLiteral("SMSText_2"));
        s.k->tabs()->setCurrentIndex(1);
        text->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(text, Qt::Key_End);
        hilfe::tippen(text, QStringLiteral(" Sued"));
        QTest::keyClick(text, Qt::Key_Tab);
        s.k->findChild<QCheckBox*>(QStringLiteral("Chk_Gutmeldung_7"))->click();
        s.k->findChild<QCheckBox*>(QStringLiteral("Chk_Relaisbest2"))->click();
        QCOMPARE(hilfe::geflaggt(*s.k), (QList<int>{0, 3, 10}));
        const Editorwerte vorher = s.k->werte();
        QCOMPARE(vorher.smsText[2], QStringLiteral("Brandmeldung Halle 1 Sued"));
        QCOMPARE(s.ausfuehren("MNU_Schreib"), Ausgang::Erfolg);
        QVERIFY(s.ruhend());
        QCOMPARE(s.sim.geraet().letzteSeiten(), (QList<int>{0, 3, 10}));

        s.neuesFenster();
        QCOMPARE(s.ausfuehren("MNU_Lesen"), Ausgang::Erfolg);
        QCOMPARE(felder(s.k->werte()), felder(vorher));
        QVERIFY(s.door.meldungen.isEmpty());
    }

    // Devices whose memory was never written or holds noise: the editor is
    // filled, or the read ends with one message and what could be decoded.
    void seltsamerSpeicher_data()
    {
        QTest::addColumn<QByteArray>("speicher");
        QTest::newRow("alles 0xFF") << ff(kGeraeteBytes);
        QTest::newRow("alles 0x00") << QByteArray(kGeraeteBytes, '\0');
        for (quint32 saat : {1u, 2u, 3u, 4u, 5u, 6u}) {
            QRandomGenerator g(saat);
            QByteArray b(kGeraeteBytes, '\0');
            for (char& c : b)
                c = char(g.generate() & 0xFF);
            // Odd seeds: the first analog number overflows; even: none does.
            for (int paar = 0; paar < 4; ++paar)
                b[11 * kZellen + 128 + 2 * paar] = char(saat % 2 ? 0x90 : 0x00);
            QTest::newRow(qPrintable(QStringLiteral("Zufall %1").arg(saat))) << b;
        }
    }
    void seltsamerSpeicher()
    {
        QFETCH(QByteArray, speicher);
        Stand s(simOptionen(speicher));
        const Erwartung e = gelesen(speicher);
        const auto a = s.ausfuehren("MNU_Lesen");
        QVERIFY(s.ruhend());
        QCOMPARE(felder(s.k->werte()), felder(e.werte));
        QVERIFY(s.k->speicher() == e.bild);
        QCOMPARE(hilfe::sichtbareMarker(*s.k), QList<int>{});
        QCOMPARE(hilfe::geflaggt(*s.k), QList<int>{});
        if (e.erfolg) {
            QCOMPARE(a, Ausgang::Erfolg);
            QVERIFY(s.door.meldungen.isEmpty());
        } else {
            QCOMPARE(a, Ausgang::Uebertragungsfehler);
            QVERIFY(s.eineMeldung(QStringLiteral("Fehler bei Datenübertragung")));
        }
        // The program is idle: the next read runs.
        s.sim.geraet().setzeSpeicher(simStandardSpeicher());
        s.door.zuruecksetzen();
        QCOMPARE(s.ausfuehren("MNU_Lesen"), Ausgang::Erfolg);
        QVERIFY(s.door.meldungen.isEmpty());
    }

    // A read that fails leaves the image the emptied editor stands for: a
    // later write of page 0 carries acknowledgement, check call and balance
    // monitoring switched off, as shown, with the name typed after the read.
    void lesenMisslungen_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::newRow("kein Gerät") << "kein";
        QTest::newRow("stummes Gerät") << "stumm";
        QTest::newRow("kein Echo") << "echo";
        QTest::newRow("abgebrochen") << "abbruch";
    }
    void lesenMisslungen()
    {
        QFETCH(QString, fall);
        Stand s(simOptionen(), 300ms);
        SimFehler fehler;
        if (fall == QLatin1String("kein"))
            s.k->verbindung().zuordnung().festlegen(1, QStringLiteral("/nonexistent/gsmbv-test-port"));
        fehler.stumm = fall == QLatin1String("stumm");
        if (fall == QLatin1String("echo"))
            fehler.auflegen = 1;  // the ACK, then nothing
        if (fall == QLatin1String("abbruch"))
            fehler.stopp = 100;
        s.sim.geraet().setzeFehler(fehler);
        s.aktion("MNU_Lesen")->trigger();
        if (fall == QLatin1String("abbruch")) {
            QVERIFY(warten([&] { return s.k->verbindung().Fortschritt() == 100; }));
            s.aktion("Toolbar1_Button1")->trigger();
        }
        QVERIFY(warten([&] { return s.enden == 1; }));
        QVERIFY(s.ausgang != Ausgang::Erfolg);
        QVERIFY(s.ruhend());

        // Another device on COM 2 takes the write.
        SimPtyRunner zweites(simOptionen());
        s.k->verbindung().zuordnung().festlegen(2, zweites.pfad());
        QVERIFY(s.k->verbindung().setPort(2));
        QVERIFY(s.aktivieren());
        Eingabefeld* name = s.k->findChild<Eingabefeld*>(QStringLiteral("Anlagenbezeichnung"));
        name->setFocus(Qt::TabFocusReason);
        hilfe::tippen(name, QStringLiteral("Halle 2"));
        QTest::keyClick(name, Qt::Key_Tab);
        QCOMPARE(hilfe::geflaggt(*s.k), QList<int>{0});
        QCOMPARE(s.ausfuehren("MNU_Schreib"), Ausgang::Erfolg);
        const QByteArray seite0 = QByteArray("\x00\x00\x00\x00\xFF\x10\x00\x03", 8) + ff(16) + "\x03" + ff(15) + "\x03"
                                + ff(15) + QByteArray(1, '\0') + ff(17) + "Kontostand Minimum\x03" + ff(35)
                                + "Halle 2\x03" + ff(120);
        QCOMPARE(seiteVon(zweites.geraet().speicher(), 0), seite0);
        QCOMPARE(zweites.geraet().speicher().mid(kZellen), simStandardSpeicher().mid(kZellen));
    }

    // Clicking through the tabs after a read changes nothing, though the
    // analog range fields are empty.
    void tabsNachLesen()
    {
        QByteArray speicher = simStandardSpeicher();
        speicher.replace(11 * kZellen + 128, 12, ff(12));
        Stand s(simOptionen(speicher));
        QCOMPARE(s.ausfuehren("MNU_Lesen"), Ausgang::Erfolg);
        QVERIFY(s.aktivieren());
        const Konfigspeicher bild = s.k->speicher();
        s.k->findChild<QWidget*>(QStringLiteral("Chk_Quittierung"))->setFocus(Qt::TabFocusReason);
        QTabBar* leiste = s.k->tabs()->tabBar();
        for (int i : {1, 2, 3, 0, 3, 0})
            QTest::mouseClick(leiste, Qt::LeftButton, {}, leiste->tabRect(i).center());
        QCOMPARE(hilfe::sichtbareMarker(*s.k), QList<int>{});
        QCOMPARE(hilfe::geflaggt(*s.k), QList<int>{});
        QVERIFY(s.k->speicher() == bild);
    }

    // A list edited in the recipients editor survives a file and the device, byte for byte.
    void empfaengerliste()
    {
        Stand s;
        QTemporaryDir ordner;
        s.k->tabs()->setCurrentIndex(1);
        s.k->findChild<QPushButton*>(QStringLiteral("CMD_Nr_2"))->click();
        Teledit& t = s.k->teledit();
        QVERIFY(t.isVisible());
        QCOMPARE(t.nummernseite(), 3);
        QCOMPARE(t.windowTitle(), QStringLiteral("GSM-Nummern für Meldelinie 3"));
        auto eintragen = [&t](int i, const char* art, const QString& text) {
            t.findChild<QRadioButton*>(QStringLiteral("%1_%2").arg(QLatin1String(art)).arg(i))->click();
            QLineEdit* nummer = t.findChild<QLineEdit*>(QStringLiteral("Nummer_%1").arg(i));
            nummer->setFocus();
            hilfe::tippen(nummer, text);
        };
        eintragen(0, "Opt_GSM", QStringLiteral("+436641234"));
        eintragen(2, "Opt_FAX", QStringLiteral("07229555"));
        eintragen(3, "Opt_email", QStringLiteral("wart@pumpe.at"));
        t.findChild<QPushButton*>(QStringLiteral("CMD_Save"))->click();
        QVERIFY(!t.isVisible());
        const QByteArray liste = QByteArray("+436641234\r06646802" "07229555\r0664680502&wart*pumpe.at (Boravilon)\r\x03");
        const QByteArray zellen = liste + ff(128 - int(liste.size()));
        QCOMPARE(hilfe::zellen(s.k->speicher(), 3, 0, 128), zellen);
        QVERIFY(s.k->markerSichtbar(11));
        QCOMPARE(hilfe::geflaggt(*s.k), QList<int>{3});

        // Saved and opened in a new window.
        const QString pfad = ordner.filePath(QStringLiteral("liste.cfg"));
        s.door.dateinamen.enqueue(pfad);
        s.aktion("MNU_Save")->trigger();
        s.neuesFenster();
        s.door.dateinamen.enqueue(pfad);
        s.aktion("MNU_Open")->trigger();
        QVERIFY(s.door.meldungen.isEmpty());
        QCOMPARE(hilfe::zellen(s.k->speicher(), 3, 0, 128), zellen);

        // Written and read back in another window.
        QCOMPARE(s.ausfuehren("MNU_Schreib"), Ausgang::Erfolg);
        QCOMPARE(seiteVon(s.sim.geraet().speicher(), 3).left(128), zellen);
        s.neuesFenster();
        QCOMPARE(s.ausfuehren("MNU_Lesen"), Ausgang::Erfolg);
        QCOMPARE(hilfe::zellen(s.k->speicher(), 3, 0, 128), zellen);
        s.k->CMD_Nr_Click(2);
        QCOMPARE(s.k->teledit().findChild<QLineEdit*>(QStringLiteral("Nummer_2"))->text(),
                 QStringLiteral("wart@pumpe.at"));
        QVERIFY(s.k->teledit().findChild<QRadioButton*>(QStringLiteral("Opt_email_2"))->isChecked());
        QVERIFY(s.door.meldungen.isEmpty());
    }

    // An open recipients editor follows the image a read brings.
    void empfaengerNachLesen()
    {
        Stand s;
        s.k->Cmd_Analog_Click();
        Teledit& t = s.k->teledit();
        QCOMPARE(t.windowTitle(), QStringLiteral("GSM-Nummern für Analogwertüberwachung"));
        QCOMPARE(t.findChild<QLineEdit*>(QStringLiteral("Nummer_0"))->text(), QString());
        QCOMPARE(s.ausfuehren("MNU_Lesen"), Ausgang::Erfolg);
        const QList<empfaenger::Eintrag> liste =
            empfaenger::listeDekodieren(listeLesen(simStandardKonfig(), 11));
        QVERIFY(!liste.isEmpty());
        QCOMPARE(t.findChild<QLineEdit*>(QStringLiteral("Nummer_0"))->text(), liste[0].text);
    }

    // While an operation is under way the device commands only beep. The
    // abort button (ESC on the wire) or closing the progress window ends it,
    // the port is closed and the next command runs.
    void belegtUndAbbrechen_data()
    {
        QTest::addColumn<bool>("knopf");
        QTest::newRow("Verbindung abbrechen") << true;
        QTest::newRow("Fortschrittsfenster geschlossen") << false;
    }
    void belegtUndAbbrechen()
    {
        QFETCH(bool, knopf);
        SimOptionen o = simOptionen();
        o.fehler.stopp = 1000;
        Stand s(o);
        s.aktion("MNU_Lesen")->trigger();
        QVERIFY(warten([&] { return s.k->verbindung().Fortschritt() == 1000; }));
        for (const char* n : {"MNU_Lesen", "MNU_Schreib", "MNU_log", "MNU_Uhr", "Toolbar1_Button2",
                              "Toolbar1_Button3", "Toolbar1_Button4", "Toolbar1_Button5"}) {
            const int beeps = s.door.beeps;
            s.aktion(n)->trigger();
            QCOMPARE(s.door.beeps, beeps + 1);
        }
        QCOMPARE(s.empfangen(), QByteArray("r"));
        QVERIFY(s.door.meldungen.isEmpty());
        QCOMPARE(s.enden, 0);
        // The progress window stands over the middle of the main window.
        QWidget* daten = s.k->findChild<QWidget*>(QStringLiteral("Daten"));
        QVERIFY(daten && daten->isVisible());
        QVERIFY((daten->geometry().center() - s.k->geometry().center()).manhattanLength() <= 6);
        QCOMPARE(s.k->cursor().shape(), Qt::WaitCursor);

        if (knopf)
            s.aktion("Toolbar1_Button1")->trigger();
        else
            s.k->findChild<QWidget*>(QStringLiteral("Daten"))->close();
        QVERIFY(warten([&] { return s.enden == 1; }));
        QCOMPARE(s.ausgang, Ausgang::Abgebrochen);
        QVERIFY(s.ruhend());
        QCOMPARE(s.empfangen(), knopf ? QByteArray("r") + esc() : QByteArray("r"));
        QCOMPARE(s.k->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(s.door.meldungen.isEmpty());

        s.sim.geraet().setzeFehler({});
        QCOMPARE(s.ausfuehren("Toolbar1_Button2"), Ausgang::Erfolg);
        QVERIFY(s.k->werte() == gelesen(simStandardSpeicher()).werte);
    }

    // Closing the main window in the middle of a read or a write.
    void schliessenWaehrendUebertragung_data()
    {
        QTest::addColumn<QString>("vorgang");
        QTest::newRow("verbinden") << "verbinden";
        QTest::newRow("lesen") << "lesen";
        QTest::newRow("schreiben") << "schreiben";
        QTest::newRow("ereignisspeicher") << "log";
        QTest::newRow("uhr lesen") << "uhr";
    }
    void schliessenWaehrendUebertragung()
    {
        QFETCH(QString, vorgang);
        Stand s(simOptionen(), 10s);
        SimFehler fehler;
        const char* menue = "MNU_Lesen";
        std::function<bool()> unterwegs;
        if (vorgang == "verbinden") {
            fehler.stumm = true;  // the window waits for the ACK
            unterwegs = [&] { return s.sim.verbunden(); };
        } else if (vorgang == "schreiben") {
            s.k->alleMarkieren();
            fehler.keinEcho = 500;
            menue = "MNU_Schreib";
            unterwegs = [&] { return s.sim.empfangeneBytes().size() >= 500; };
        } else if (vorgang == "log") {
            fehler.auflegen = 2 + 200;  // ACK, the echo of "l" and 200 of the 512 bytes
            menue = "MNU_log";
            unterwegs = [&] { return s.k->verbindung().Empfangspuffer().size() >= 200; };
        } else if (vorgang == "uhr") {
            fehler.auflegen = 1;  // the ACK, then no clock answer
            menue = "MNU_Uhr";
            unterwegs = [&] { return s.sim.empfangeneBytes().contains('t'); };
        } else {
            fehler.stopp = 2000;
            unterwegs = [&] { return s.k->verbindung().Fortschritt() == 2000; };
        }
        s.sim.geraet().setzeFehler(fehler);
        s.k->CMD_Nr_Click(4);
        QVERIFY(s.k->teledit().isVisible());
        s.aktion(menue)->trigger();
        QVERIFY(warten(unterwegs));
        QVERIFY(s.k->verbindung().operationLaeuft());
        QVERIFY(s.k->findChild<QWidget*>(QStringLiteral("Daten")));

        s.k->close();
        QVERIFY(s.ruhend());
        QVERIFY(!s.k->isVisible());
        QVERIFY(!s.k->teledit().isVisible());
        QCOMPARE(s.k->cursor().shape(), Qt::ArrowCursor);
        QTest::qWait(50);
        QCOMPARE(s.enden, 0);  // the operation ended silently
        QVERIFY(s.door.meldungen.isEmpty());
        QCOMPARE(s.door.beeps, 0);
        QVERIFY(s.sim.geraet().speicher() == simStandardSpeicher());

        // A new window reads the device; one that hung up stays silent for
        // good, so that case reads a device of its own.
        if (fehler.auflegen) {
            s.k.reset();
            Stand neu(simOptionen(), 10s);
            QCOMPARE(neu.ausfuehren("MNU_Lesen"), Ausgang::Erfolg);
            QVERIFY(neu.k->werte() == gelesen(simStandardSpeicher()).werte);
            return;
        }
        s.sim.geraet().setzeFehler({});
        s.neuesFenster();
        QCOMPARE(s.ausfuehren("MNU_Lesen"), Ausgang::Erfolg);
        QVERIFY(s.k->werte() == gelesen(simStandardSpeicher()).werte);
    }

    // Texts from a device holding CR and LF: read, saved, opened and written
    // back, they come back with blanks in their place and nothing else
    // changed; the file keeps every page on a line of its own.
    void crLfVomGeraet()
    {
        const auto text = [](QByteArray& m, int seite, int von, int bis, const QByteArray& t) {
            m.replace(seite * 256 + von, bis - von + 1, (t + '\x03').leftJustified(bis - von + 1, '\xFF'));
        };
        QByteArray vorher = simStandardSpeicher();
        text(vorher, 0, 128, 255, "Halle\r\nNord");
        text(vorher, 3, 0, 127, "0664\n1\r");
        text(vorher, 3, 128, 255, "Tor\nauf");
        text(vorher, 10, 0, 127, "R1\r\n");
        text(vorher, 10, 128, 255, "\nR2");
        text(vorher, 11, 200, 255, "Akku\r\nleer");
        text(vorher, 12, 0, 127, "zu\r\ntief");
        QByteArray nachher = vorher;
        text(nachher, 0, 128, 255, "Halle  Nord");
        text(nachher, 3, 0, 127, "0664 1\r");
        text(nachher, 3, 128, 255, "Tor auf");
        text(nachher, 10, 0, 127, "R1  ");
        text(nachher, 10, 128, 255, " R2");
        text(nachher, 11, 200, 255, "Batteriespannung zu niedrig");  // an opened file has the fixed text
        text(nachher, 12, 0, 127, "zu  tief");

        Stand s(simOptionen(vorher));
        QCOMPARE(s.ausfuehren("MNU_Lesen"), Ausgang::Erfolg);
        QTemporaryDir ordner;
        const QString pfad = ordner.filePath(QStringLiteral("geraet.cfg"));
        s.door.dateinamen.enqueue(pfad);
        s.k->MNU_Save_Click();
        QFile f(pfad);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray inhalt = f.readAll();
        QList<QByteArray> zeilen = inhalt.split('\n');
        if (zeilen.last().isEmpty())
            zeilen.removeLast();
        QCOMPARE(zeilen.size(), 13);
        QVERIFY(zeilen[0].endsWith(";Halle  Nord;\r"));
        QCOMPARE(zeilen[3], QByteArray("0664 1;\x03Tor auf\r"));
        QCOMPARE(zeilen[10], QByteArray("R1  \x03 R2\x03\r"));
        QVERIFY(zeilen[11].endsWith(";Akku  leer\x03\r"));
        QVERIFY(zeilen[12].startsWith("zu  tief\x03"));

        s.door.dateinamen.enqueue(pfad);
        s.k->MNU_Open_Click();
        QCOMPARE(s.ausfuehren("MNU_Schreib"), Ausgang::Erfolg);
        QVERIFY(s.door.meldungen.isEmpty());
        const QByteArray ist = s.sim.geraet().speicher();
        for (int seite = 0; seite < 13; ++seite)
            QCOMPARE(ist.mid(seite * 256, 256), nachher.mid(seite * 256, 256));
    }

    // Why the port did not open shows in panel 2 as soon as the open fails,
    // while the wait goes on; "Verbindung nicht möglich" follows after it.
    // The hint stays until the next device command, which opens the port.
    void portursache_data()
    {
        QTest::addColumn<QString>("sperre");   // lock file content, %1 the process number; "" none
        QTest::addColumn<bool>("vorhanden");   // COM 1 is the simulator, else a missing path
        QTest::addColumn<QString>("hinweis");  // %1 the device, %2 the process number; "" opens
        QTest::newRow("nicht vorhanden") << "" << false << "Gerät %1 nicht vorhanden";
        QTest::newRow("belegt laut Sperrdatei") << "%1\n" << true << "COM 1 (%1) ist belegt von Programm sleep (PID %2)";
        QTest::newRow("Sperrdatei eines Qt-Programms") << "%1\nsleep\nhost\n" << true
                                                       << "COM 1 (%1) ist belegt von Programm sleep (PID %2)";
        QTest::newRow("veraltete Sperrdatei") << "999999999\n" << true << "";
    }
    void portursache()
    {
        QFETCH(QString, sperre);
        QFETCH(bool, vorhanden);
        QFETCH(QString, hinweis);
        FakeDoor door;
        SimPtyRunner sim(simOptionen());
        QTemporaryDir sperrOrdner;
        QProcess halter;
        halter.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(halter.waitForStarted());
        const QString geraet = vorhanden ? sim.pfad() : sperrOrdner.filePath(QStringLiteral("ttyUSB7"));
        const QString sperrdatei =
            sperrOrdner.filePath(QStringLiteral("LCK..") + geraet.mid(5).replace(QLatin1Char('/'), QLatin1Char('_')));
        if (!sperre.isEmpty()) {
            QFile f(sperrdatei);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(sperre.arg(halter.processId(), 10).toUtf8());
        }
        auto transport = std::make_unique<SeriellerTransport>();
        transport->setSperrOrdner({sperrOrdner.path()});
        Konfig k(std::move(transport));
        k.verbindung().zuordnung().festlegen(1, geraet);
        k.verbindung().setWartezeit(300ms);
        std::optional<Ausgang> ausgang;
        connect(&k, &Konfig::geraetBeendet, &k, [&](Ausgang a) { ausgang = a; });

        k.MNU_Lesen_Click();
        const QString erwartet = hinweis.isEmpty() ? QString() : hinweis.arg(geraet).arg(halter.processId());
        QCOMPARE(k.panel(2)->text(), erwartet);
        QVERIFY(k.verbindung().operationLaeuft());  // the wait goes on
        QVERIFY(warten([&] { return ausgang.has_value(); }));
        QCOMPARE(*ausgang, hinweis.isEmpty() ? Ausgang::Erfolg : Ausgang::KeineVerbindung);
        if (hinweis.isEmpty()) {
            // A read that succeeds says where its backup went.
            QVERIFY2(k.panel(2)->text().startsWith(QStringLiteral("Konfiguration gesichert: ")),
                     qPrintable(k.panel(2)->text()));
            return;
        }
        QCOMPARE(k.panel(2)->text(), erwartet);
        QCOMPARE(door.meldungen.size(), 1);
        QCOMPARE(door.meldungen[0].text, QStringLiteral("Verbindung nicht möglich"));

        // The cause gone: the next read clears the hint as it opens the port.
        halter.kill();
        halter.waitForFinished();
        k.verbindung().zuordnung().festlegen(1, sim.pfad());
        ausgang.reset();
        k.MNU_Lesen_Click();
        QCOMPARE(k.panel(2)->text(), QString());
        QVERIFY(warten([&] { return ausgang.has_value(); }));
        QCOMPARE(*ausgang, Ausgang::Erfolg);
    }

    // "Drucken ...": the sheet of what the window shows, headed by where it
    // came from; a PDF chosen in the dialog is written, a failure reported.
    void drucken_data()
    {
        QTest::addColumn<QString>("vorher");   // "", "lesen", "oeffnen", "oeffnen, aendern", "belegt"
        QTest::addColumn<QString>("ziel");     // the dialog's PDF ("" cancelled; "-" the test's file)
        QTest::addColumn<QString>("kopf");     // the sheet's head, its words; "" no sheet
        QTest::addColumn<QString>("meldung");
        QTest::addColumn<int>("dialoge");
        QTest::addColumn<int>("beeps");
        const QString anlage = QStringLiteral("GSM Boravilon Konfiguration Anlagenbezeichnung Pumpwerk Nord "
                                              "Datum 21.06.2024 Herkunft ");
        QTest::newRow("start-up") << "" << "-"
                                  << "GSM Boravilon Konfiguration Anlagenbezeichnung – Datum 21.06.2024 "
                                     "Herkunft Grundeinstellung"
                                  << "" << 1 << 0;
        QTest::newRow("device read") << "lesen" << "-" << anlage + "Gerät an COM 1 (%PTY%)" << "" << 1 << 0;
        QTest::newRow("file") << "oeffnen" << "-" << anlage + "Datei %DATEI%" << "" << 1 << 0;
        QTest::newRow("file, changed") << "oeffnen, aendern" << "-" << anlage + "Datei %DATEI%, seither geändert"
                                       << "" << 1 << 0;
        QTest::newRow("cancelled") << "lesen" << "" << "" << "" << 1 << 0;
        QTest::newRow("PDF not writable") << "" << "/nonexistent/blatt.pdf" << "" << "Fehler beim Drucken" << 1 << 0;
        QTest::newRow("busy") << "belegt" << "-" << "" << "" << 0 << 1;
    }
    void drucken()
    {
        QFETCH(QString, vorher);
        QFETCH(QString, ziel);
        QTemporaryDir ordner;
        const QString datei = ordner.filePath(QStringLiteral("anlage.cfg"));
        {
            QFile f(datei);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(cfgSchreiben(simStandardKonfig()));
        }
        Stand s;
        s.k->setUhr([] { return QDateTime(QDate(2024, 6, 21), QTime(9, 30)); });
        if (vorher == QLatin1String("lesen"))
            QCOMPARE(s.ausfuehren("MNU_Lesen"), Ausgang::Erfolg);
        if (vorher.startsWith(QLatin1String("oeffnen"))) {
            s.door.dateinamen.enqueue(datei);
            s.aktion("MNU_Open")->trigger();
        }
        if (vorher.endsWith(QLatin1String("aendern")))
            s.k->findChild<QCheckBox*>(QStringLiteral("Chk_Oeffner_0"))->click();
        if (vorher == QLatin1String("belegt")) {
            // A read under way: the device keeps silent.
            SimFehler stumm;
            stumm.stumm = true;
            s.sim.geraet().setzeFehler(stumm);
            s.aktion("MNU_Lesen")->trigger();
            QVERIFY(s.k->verbindung().operationLaeuft());
        }
        s.door.zuruecksetzen();

        const QString pdf = ziel == QLatin1String("-") ? ordner.filePath(QStringLiteral("blatt.pdf")) : ziel;
        if (!ziel.isEmpty())
            s.door.druckAntwort = [pdf](QPrinter& p) {
                p.setOutputFileName(pdf);  // "Print to file" in the dialog
                return true;
            };
        s.aktion("MNU_Drucken")->trigger();
        QTEST(s.door.druckdialoge, "dialoge");
        QTEST(s.door.beeps, "beeps");
        QFETCH(QString, meldung);
        if (meldung.isEmpty())
            QVERIFY(s.door.meldungen.isEmpty());
        else
            QVERIFY(s.eineMeldung(meldung));
        QFETCH(QString, kopf);
        if (kopf.isEmpty()) {
            QVERIFY(!QFile::exists(ordner.filePath(QStringLiteral("blatt.pdf"))));
            return;
        }
        kopf.replace(QStringLiteral("%PTY%"), s.sim.pfad()).replace(QStringLiteral("%DATEI%"), datei);
        const QString text = pdfText(pdf);
        QCOMPARE(text.left(text.indexOf(QStringLiteral("\n\n"))).simplified(), kopf);
    }
};

QTEST_MAIN(TestAblaufGeraet)
#include "test_ablauf_geraet.moc"
