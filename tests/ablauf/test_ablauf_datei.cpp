// Saving, opening and printing through the main window.
#include "ablauf.h"

#include "editor/teledit.h"
#include "pdftext.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ablauf;

namespace {

// A configuration file: "Kläranlage West", the recipients and text of line 1, relays, analog input.
const QByteArray kDatei = "12;63;255;15;2;10;30;08006642903;08006642902;5;Kl\xE4ranlage West;\r\n"
                          "06641234567;0664680207229555123;\x03" "Einbruch Halle 1\r\n"
                          + QByteArray("\x03\r\n").repeated(8) + "Relais 1 ein\x03Relais 2 aus\x03\r\n"
                          "06641234567;\x03;;1;244;;100;1;144;bar\x03;Batteriespannung zu niedrig\x03\r\n"
                          "zu tief\x03zu hoch\x03\r\n";

const QString kDateifehler = QStringLiteral("Kritisch|Ok|Fehler bei Zugriff auf Konfigurationsdatei|GSM-Boravilon");
const QString kUeberschreiben = QStringLiteral("Warnung|JaNein|Datei bereits vorhanden! Überschreiben?|GSM Boravilon");

bool rechte(const QString& pfad, mode_t modus) { return ::chmod(QFile::encodeName(pfad).constData(), modus) == 0; }

} // namespace

class TestAblaufDatei : public QObject {
    Q_OBJECT
private slots:
    // A save writes the image, asks before replacing, leaves an existing file whole on
    // failure, overwrites a writable file in place in a folder that takes no new file.
    // The dialog offers "*.cfg", then the last name; ".cfg" is added to a bare name.
    void speichern_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<QStringList>("boxen");
        QTest::addColumn<bool>("geschrieben");
        QTest::newRow("neu") << "" << QStringList() << true;
        QTest::newRow("überschreiben: Ja") << "alt" << QStringList{kUeberschreiben} << true;
        QTest::newRow("überschreiben: Nein") << "alt,nein" << QStringList{kUeberschreiben} << false;
        QTest::newRow("Ordner fehlt") << "fehlt" << QStringList{kDateifehler} << false;
        QTest::newRow("Name eines Ordners") << "ordner" << QStringList{kDateifehler} << false;
        QTest::newRow("Platte voll") << "alt,voll" << QStringList{kUeberschreiben, kDateifehler} << false;
        QTest::newRow("Ordner schreibgeschützt") << "alt,ro" << QStringList{kUeberschreiben} << true;
        QTest::newRow("Ordner und Datei schreibgeschützt") << "alt,ro,datei ro" << QStringList{kUeberschreiben, kDateifehler} << false;
    }
    void speichern()
    {
        QFETCH(QString, fall);
        QFETCH(QStringList, boxen);
        QTemporaryDir tmp;
        const QString ordner = tmp.filePath(QStringLiteral("o"));
        QVERIFY(QDir().mkdir(ordner) && rechte(tmp.path(), 0755));
        QString pfad = ordner + QStringLiteral("/a.cfg");
        const QByteArray alt = "alt\r\n\xFF\x00\x03 unverändert";
        QVERIFY(!fall.startsWith(QLatin1String("alt")) || schreiben(pfad, alt));
        if (fall == QLatin1String("fehlt"))
            pfad = ordner + QStringLiteral("/gibt/es/nicht.cfg");
        QVERIFY(fall != QLatin1String("ordner") || QDir().mkdir(pfad));
        QVERIFY(!fall.startsWith(QLatin1String("alt")) || rechte(pfad, fall.contains(QLatin1String("datei ro")) ? 0444 : 0666));
        QVERIFY(rechte(ordner, fall.contains(QLatin1String(",ro")) ? 0555 : 0755));
        kit::Fenster f;
        QVERIFY(schreiben(tmp.filePath(QStringLiteral("quelle.cfg")), kDatei));
        datei(f, "Toolbar1_Button6", tmp.filePath(QStringLiteral("quelle.cfg")));
        f.finde<QAction>(QStringLiteral("MNU_Save"))->trigger();  // cancelled: nothing written
        QCOMPARE(kit::boxen(f.door), QStringList());
        f.door.antworten.enqueue(fall.contains(QLatin1String("nein")) ? Door::Antwort::Nein : Door::Antwort::Ja);
        if (fall.contains(QLatin1String("voll"))) {
            plattevoll([&] { datei(f, "MNU_Save", pfad); });
        } else if (fall.isEmpty()) {
            datei(f, "MNU_Save", pfad.chopped(4));
        } else {
            // The superuser ignores permissions: "nobody" meanwhile.
            const bool nutzer = ::geteuid() == 0 && fall.contains(QLatin1String(",ro"));
            if (nutzer)
                ::setfsuid(65534);
            datei(f, "MNU_Save", pfad);
            if (nutzer)
                ::setfsuid(0);
        }
        QVERIFY(rechte(ordner, 0755));
        QCOMPARE(kit::boxen(f.door), boxen);
        QCOMPARE(f.door.beeps, int(boxen.size()));
        QFETCH(bool, geschrieben);
        QCOMPARE(lesen(pfad), geschrieben ? kDatei : fall.startsWith(QLatin1String("alt")) ? alt : QByteArray("<fehlt>"));
        QCOMPARE(QDir(ordner).entryList(QDir::Files | QDir::Hidden), geschrieben || fall.startsWith(QLatin1String("alt")) ? QStringList{"a.cfg"} : QStringList());
        QCOMPARE(f.marker(), kAlleMarker);  // a save changes nothing in the editor
        const Door::Dateidialog d = f.door.dateidialoge.last();
        QCOMPARE(QStringList({d.titel, d.filter, d.endung, d.name, f.door.dateidialoge.first().name}),
                 QStringList({"Konfigurationsdatei", "Konfigurationsdateien (*.cfg)", "cfg", tmp.filePath("quelle.cfg"), "*.cfg"}));
        if (fall.isEmpty()) {  // opening the bare name finds the file with ".cfg"
            datei(f, "MNU_Open", pfad.chopped(4));
            QCOMPARE(f.k.dateidialog().name + '|' + f.k.herkunft(), pfad + "|Datei " + pfad);
        }
    }

    // Opening replaces editor, image and flags; a short file loads what it has, then the
    // error; a file that cannot be read or is far too large leaves the editor alone.
    void oeffnen_data()
    {
        QTest::addColumn<QByteArray>("inhalt");  // "<fehlt>" none, "<ordner>" a folder
        QTest::addColumn<qint64>("groesse");    // padded with zero bytes to this size
        QTest::addColumn<bool>("fehler");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("zeile1");  // of the file saved afterwards; "" the opened file's
        const qsizetype zwoelf = kDatei.lastIndexOf("\r\n", kDatei.size() - 3) + 2;
        QTest::newRow("vollständig") << kDatei << qint64(0) << false << "Kläranlage West" << QByteArray();
        QTest::newRow("zwölf Zeilen") << kDatei.left(zwoelf) << qint64(0) << true << "Kläranlage West" << QByteArray();
        QTest::newRow("0 Bytes") << QByteArray() << qint64(0) << true << "" << QByteArray(";;;;255;10;0;;;;\x03;\r\n");
        QTest::newRow("eine leere Zeile") << QByteArray("\r\n") << qint64(0) << true << "" << QByteArray(";;;;255;10;0;;;;;\r\n");
        QTest::newRow("genau 1 MiB") << kDatei + "\r\n" << qint64(1 << 20) << false << "Kläranlage West" << QByteArray();
        QTest::newRow("1 MiB + 1") << kDatei + "\r\n" << qint64((1 << 20) + 1) << true << "vorher" << QByteArray();
        QTest::newRow("40 MiB") << kDatei + "\r\n" << qint64(40 << 20) << true << "vorher" << QByteArray();
        QTest::newRow("fehlt") << QByteArray("<fehlt>") << qint64(0) << true << "vorher" << QByteArray();
        QTest::newRow("Ordner") << QByteArray("<ordner>") << qint64(0) << true << "vorher" << QByteArray();
    }
    void oeffnen()
    {
        QFETCH(QByteArray, inhalt);
        QFETCH(qint64, groesse);
        QFETCH(bool, fehler);
        QFETCH(QString, name);
        QFETCH(QByteArray, zeile1);
        QTemporaryDir ordner;
        const QString pfad = ordner.filePath(QStringLiteral("a.cfg"));
        QVERIFY(inhalt == "<fehlt>" || (inhalt == "<ordner>" ? QDir().mkdir(pfad) : schreiben(pfad, inhalt)));
        QVERIFY(!groesse || QFile::resize(pfad, groesse));  // sparse: quick to make
        kit::Fenster f;
        eingeben(f, QStringLiteral("Anlagenbezeichnung"), QStringLiteral("vorher"));
        f.k.CMD_Nr_Click(0);  // an open recipients editor follows what is opened
        datei(f, "MNU_Open", pfad);
        QCOMPARE(kit::boxen(f.door), fehler ? QStringList{kDateifehler} : QStringList());
        QCOMPARE(f.k.werte().anlagenbezeichnung, name);
        QCOMPARE(f.k.teledit().findChild<QLineEdit*>(QStringLiteral("Nummer_0"))->text(), name.startsWith(QLatin1String("Kl")) ? QStringLiteral("06641234567") : QString());
        const bool geladen = name != QLatin1String("vorher");
        QCOMPARE(f.marker(), geladen ? kAlleMarker : QList<int>{22});
        QCOMPARE(f.geflaggt(), geladen ? kGeraeteseiten : QList<int>{0});
        if (!geladen)
            return;
        f.door.zuruecksetzen();
        datei(f, "MNU_Save", ordner.filePath(QStringLiteral("neu.cfg")));
        const QByteArray neu = lesen(ordner.filePath(QStringLiteral("neu.cfg")));
        if (zeile1.isEmpty())
            QCOMPARE(neu.left(inhalt.size()), inhalt.left(neu.size()));
        else
            QCOMPARE(neu.left(neu.indexOf("\r\n") + 2), zeile1);
        QCOMPARE(kit::boxen(f.door), QStringList());
    }

    // "Drucken ...": the sheet headed by where the configuration came from.
    void drucken_data()
    {
        QTest::addColumn<QString>("vorher");  // "lesen", "oeffnen", "oeffnen, aendern"
        QTest::addColumn<QString>("ziel");    // the dialog's PDF: "" cancelled, "-" the test's file
        QTest::addColumn<QString>("kopf");    // the sheet's head; "" no sheet
        QTest::addColumn<QStringList>("boxen");
        const QString anlage = QStringLiteral("GSM Boravilon Konfiguration Anlagenbezeichnung Kläranlage West Datum 21.06.2024 Herkunft ");
        QTest::newRow("Start") << "" << "-" << "GSM Boravilon Konfiguration Anlagenbezeichnung – Datum 21.06.2024 Herkunft Grundeinstellung" << QStringList();
        QTest::newRow("Gerät") << "lesen" << "-" << "GSM Boravilon Konfiguration Anlagenbezeichnung Pumpwerk Nord Datum 21.06.2024 Herkunft Gerät an COM 1 (%PTY%)" << QStringList();
        QTest::newRow("Datei") << "oeffnen" << "-" << anlage + "Datei %DATEI%" << QStringList();
        QTest::newRow("Datei, geändert") << "oeffnen, aendern" << "-" << anlage + "Datei %DATEI%, seither geändert" << QStringList();
        QTest::newRow("abgebrochen") << "lesen" << "" << "" << QStringList();
        QTest::newRow("PDF nicht schreibbar") << "" << "/nonexistent/blatt.pdf" << "" << QStringList{"Kritisch|Ok|Fehler beim Drucken|GSM Boravilon"};
    }
    void drucken()
    {
        QFETCH(QString, vorher);
        QFETCH(QString, ziel);
        QFETCH(QString, kopf);
        QTemporaryDir ordner;
        const QString pfad = ordner.filePath(QStringLiteral("anlage.cfg"));
        QVERIFY(schreiben(pfad, kDatei));
        Stand s;
        kit::Fenster& f = s.f;
        f.k.setUhr([] { return QDateTime(QDate(2024, 6, 21), QTime(9, 30)); });
        if (vorher == QLatin1String("lesen"))
            QCOMPARE(s.ausfuehren(QStringLiteral("MNU_Lesen")), Ausgang::Erfolg);
        if (vorher.startsWith(QLatin1String("oeffnen")))
            datei(f, "MNU_Open", pfad);
        if (vorher.endsWith(QLatin1String("aendern")))
            f.finde<QCheckBox>(QStringLiteral("Chk_Oeffner_0"))->click();
        const QString pdf = ziel == QLatin1String("-") ? ordner.filePath(QStringLiteral("blatt.pdf")) : ziel;
        if (!ziel.isEmpty())
            f.door.druckAntwort = [pdf](QPrinter& p) {
                p.setOutputFileName(pdf);  // "Print to file" in the dialog
                return true;
            };
        f.finde<QAction>(QStringLiteral("MNU_Drucken"))->trigger();
        QCOMPARE(f.door.druckdialoge, 1);
        QTEST(kit::boxen(f.door), "boxen");
        if (kopf.isEmpty()) {
            QVERIFY(!QFile::exists(ordner.filePath(QStringLiteral("blatt.pdf"))));
            return;
        }
        const QString text = pdfText(pdf);
        QCOMPARE(text.left(text.indexOf(QStringLiteral("\n\n"))).simplified(),
                 kopf.replace(QStringLiteral("%PTY%"), s.sim.pfad()).replace(QStringLiteral("%DATEI%"), pfad));
    }
};

QTEST_MAIN(TestAblaufDatei)
#include "test_ablauf_datei.moc"
