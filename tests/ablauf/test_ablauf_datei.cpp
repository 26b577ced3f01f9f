// Saving and opening configuration files through the main window: the file
// dialog's settings, the overwrite question, failures that must leave the old
// file whole, short and oversized files; the list of backups.
#include "ablaufhilfe.h"

#include "backup/sicherung.h"
#include "cfgfile/cfgdatei.h"
#include "editor/teledit.h"
#include "image/ansi.h"
#include "shell/sicherungen.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QTemporaryDir>
#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ablauf;

namespace {

QByteArray lesen(const QString& pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}

bool schreiben(const QString& pfad, const QByteArray& inhalt)
{
    QFile f(pfad);
    return f.open(QIODevice::WriteOnly) && f.write(inhalt) == inhalt.size();
}

// A configuration that differs from the start-up image everywhere a file can show it.
Konfigspeicher musterKonfig()
{
    Konfigspeicher k = simStandardKonfig();
    textSpeichern(k, bereich::Anlagenbezeichnung, ansi::bytes(QStringLiteral("Kläranlage West")));
    return k;
}

bool dateifehler(const FakeDoor& d)
{
    return d.beeps == 1 && d.meldungen.size() == 1
        && d.meldungen[0].text == QStringLiteral("Fehler bei Zugriff auf Konfigurationsdatei")
        && d.meldungen[0].icon == Door::Icon::Kritisch && d.meldungen[0].knoepfe == Door::Knoepfe::Ok
        && d.meldungen[0].titel == QStringLiteral("GSM-Boravilon");
}

QList<int> alleMarker()
{
    QList<int> out;
    for (int i = 0; i < kMarker; ++i)
        out.append(i);
    return out;
}

// File access as an ordinary user: the superuser ignores permissions, so as
// root the test takes the file-system identity of "nobody" meanwhile.
struct GewoehnlicherNutzer {
    const bool root = ::geteuid() == 0;
    GewoehnlicherNutzer()
    {
        if (root)
            ::setfsuid(65534);
    }
    ~GewoehnlicherNutzer()
    {
        if (root)
            ::setfsuid(0);
    }
};

const QList<int> kGeraeteseiten{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

// A window with a fake door, without a device.
struct Fenster {
    FakeDoor door;
    Konfig k;
    Fenster()
    {
        hilfe::plattformHinweiseAus();
        for (int com = 1; com <= 4; ++com)
            k.verbindung().zuordnung().festlegen(com, QStringLiteral("/nonexistent/gsmbv-test-port"));
        k.show();
    }
    void speichern(const QString& name)
    {
        door.dateinamen.enqueue(name);
        k.MNU_Save_Click();
    }
    void oeffnen(const QString& name)
    {
        door.dateinamen.enqueue(name);
        k.MNU_Open_Click();
    }
};

} // namespace

class TestAblaufDatei : public QObject {
    Q_OBJECT
private slots:
    // The one dialog of both commands: its settings, "*.cfg" at first, then
    // the last name chosen; ".cfg" added to a name without extension.
    void dateidialog()
    {
        QTemporaryDir ordner;
        Fenster f;
        f.k.MNU_Open_Click();  // cancelled: nothing changes, nothing shown
        f.speichern(ordner.filePath(QStringLiteral("anlage")));
        f.oeffnen(ordner.filePath(QStringLiteral("anlage")));
        f.k.MNU_Save_Click();
        QCOMPARE(f.door.dateidialoge.size(), 4);
        const QString namen[4] = {QStringLiteral("*.cfg"), QStringLiteral("*.cfg"),
                                  ordner.filePath(QStringLiteral("anlage.cfg")),
                                  ordner.filePath(QStringLiteral("anlage.cfg"))};
        for (int i = 0; i < 4; ++i) {
            const Door::Dateidialog& d = f.door.dateidialoge[i];
            QCOMPARE(d.titel, QStringLiteral("Konfigurationsdatei"));
            QCOMPARE(d.filter, QStringLiteral("Konfigurationsdateien (*.cfg)"));
            QCOMPARE(d.endung, QStringLiteral("cfg"));
            QCOMPARE(d.name, namen[i]);
        }
        QCOMPARE(QDir(ordner.path()).entryList(QDir::Files), QStringList{"anlage.cfg"});
        QVERIFY(f.door.meldungen.isEmpty());
        QCOMPARE(f.door.beeps, 0);
    }

    // A save writes the image as it stands; nothing in the editor changes.
    void speichern()
    {
        QTemporaryDir ordner;
        Fenster f;
        f.k.speicher() = musterKonfig();
        const QString pfad = ordner.filePath(QStringLiteral("a.cfg"));
        f.speichern(pfad);
        QCOMPARE(lesen(pfad), cfgSchreiben(musterKonfig()));
        QVERIFY(lesen(pfad).contains("Kl\xE4ranlage West;\r\n"));
        QCOMPARE(hilfe::sichtbareMarker(f.k), QList<int>{});
        QVERIFY(f.door.meldungen.isEmpty());
    }

    void ueberschreiben_data()
    {
        QTest::addColumn<bool>("ja");
        QTest::newRow("Ja") << true;
        QTest::newRow("Nein") << false;
    }
    void ueberschreiben()
    {
        QFETCH(bool, ja);
        QTemporaryDir ordner;
        const QString pfad = ordner.filePath(QStringLiteral("a.cfg"));
        const QByteArray alt = "alt\r\n\xFF\x00\x03 unverändert";
        QVERIFY(schreiben(pfad, alt));
        Fenster f;
        f.door.antworten.enqueue(ja ? Door::Antwort::Ja : Door::Antwort::Nein);
        f.speichern(pfad);
        QCOMPARE(f.door.beeps, 1);
        QCOMPARE(f.door.meldungen.size(), 1);
        QCOMPARE(f.door.meldungen[0].text, QStringLiteral("Datei bereits vorhanden! Überschreiben?"));
        QCOMPARE(f.door.meldungen[0].icon, Door::Icon::Warnung);
        QCOMPARE(f.door.meldungen[0].knoepfe, Door::Knoepfe::JaNein);
        QCOMPARE(f.door.meldungen[0].titel, QStringLiteral("GSM Boravilon"));
        QCOMPARE(lesen(pfad), ja ? cfgSchreiben(f.k.speicher()) : alt);
        QCOMPARE(QDir(ordner.path()).entryList(QDir::Files), QStringList{"a.cfg"});
    }

    // A save that fails shows the error and leaves an existing file as it was.
    void speichernFehler_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::newRow("Ordner fehlt") << "ordner fehlt";
        QTest::newRow("Name eines Ordners") << "ordner";
        QTest::newRow("Platte voll") << "voll";
    }
    void speichernFehler()
    {
        QFETCH(QString, fall);
        QTemporaryDir ordner;
        Fenster f;
        const QByteArray alt = QByteArray(40, 'a') + "\r\n";
        QString pfad = ordner.filePath(QStringLiteral("a.cfg"));
        if (fall == QLatin1String("ordner fehlt"))
            pfad = ordner.filePath(QStringLiteral("gibt/es/nicht.cfg"));
        if (fall == QLatin1String("ordner"))
            QVERIFY(QDir(ordner.path()).mkdir(QStringLiteral("a.cfg")));
        if (fall == QLatin1String("voll")) {
            QVERIFY(schreiben(pfad, alt));
            f.door.antworten.enqueue(Door::Antwort::Ja);
            // No file of this process may grow beyond 100 bytes: the disk is "full".
            rlimit vorher{};
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &vorher), 0);
            const auto signalVorher = std::signal(SIGXFSZ, SIG_IGN);
            rlimit knapp = vorher;
            knapp.rlim_cur = 100;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &knapp), 0);
            f.speichern(pfad);
            setrlimit(RLIMIT_FSIZE, &vorher);
            std::signal(SIGXFSZ, signalVorher);
            QVERIFY(cfgSchreiben(f.k.speicher()).size() > 100);
            f.door.meldungen.removeFirst();  // the overwrite question
            f.door.beeps -= 1;
        } else {
            f.speichern(pfad);
        }
        QVERIFY(dateifehler(f.door));
        if (fall == QLatin1String("voll")) {
            QCOMPARE(lesen(pfad), alt);
            QCOMPARE(QDir(ordner.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.cfg"});
        } else {
            QVERIFY(!QFileInfo(pfad).isFile());
        }
    }

    // A folder that takes no new file, holding a file that may be written:
    // the file is overwritten in place. A file that may not be written is
    // reported and stays as it was.
    void schreibgeschuetzterOrdner_data()
    {
        QTest::addColumn<bool>("beschreibbar");
        QTest::newRow("Datei beschreibbar") << true;
        QTest::newRow("Datei schreibgeschützt") << false;
    }
    void schreibgeschuetzterOrdner()
    {
        QFETCH(bool, beschreibbar);
        QTemporaryDir tmp;
        const QString ordner = tmp.filePath(QStringLiteral("ro"));
        const QString pfad = ordner + QStringLiteral("/a.cfg");
        QVERIFY(QDir().mkdir(ordner));
        QVERIFY(schreiben(pfad, "alt\r\n"));
        QVERIFY(::chmod(QFile::encodeName(tmp.path()).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(pfad).constData(), beschreibbar ? 0666 : 0444) == 0);
        QVERIFY(::chmod(QFile::encodeName(ordner).constData(), 0555) == 0);
        Fenster f;
        f.k.speicher() = musterKonfig();
        {
            GewoehnlicherNutzer nutzer;
            f.speichern(pfad);
        }
        QVERIFY(::chmod(QFile::encodeName(ordner).constData(), 0755) == 0);
        QCOMPARE(f.door.meldungen.first().text, QStringLiteral("Datei bereits vorhanden! Überschreiben?"));
        f.door.meldungen.removeFirst();
        f.door.beeps -= 1;
        if (beschreibbar) {
            QVERIFY(f.door.meldungen.isEmpty());
            QCOMPARE(lesen(pfad), cfgSchreiben(musterKonfig()));
            QVERIFY(lesen(pfad).contains("Kl\xE4ranlage West;\r\n"));
        } else {
            QVERIFY(dateifehler(f.door));
            QCOMPARE(lesen(pfad), QByteArray("alt\r\n"));
        }
        QCOMPARE(QDir(ordner).entryList(QDir::Files | QDir::Hidden), QStringList{"a.cfg"});
    }

    // Opening a file: editor, image and flags replaced, every marker shown.
    void oeffnen()
    {
        QTemporaryDir ordner;
        const QString pfad = ordner.filePath(QStringLiteral("a.cfg"));
        const QByteArray bytes = cfgSchreiben(musterKonfig());
        QVERIFY(schreiben(pfad, bytes));
        Fenster f;
        f.k.tabs()->setCurrentIndex(2);
        f.oeffnen(pfad);
        const Dateiergebnis e = cfgLesen(bytes, Netzbetreiber::A1);
        QVERIFY(e.vollstaendig);
        QCOMPARE(felder(f.k.werte()), felder(e.werte));
        QCOMPARE(f.k.werte().anlagenbezeichnung, QStringLiteral("Kläranlage West"));
        QVERIFY(f.k.speicher() == e.image);
        QCOMPARE(hilfe::sichtbareMarker(f.k), alleMarker());
        QCOMPARE(hilfe::geflaggt(f.k), kGeraeteseiten);
        QVERIFY(f.door.meldungen.isEmpty());
        QCOMPARE(f.door.beeps, 0);
    }

    // Twelve lines: pages 0..11 loaded, then the error; what was loaded stays.
    void oeffnenZwoelfZeilen()
    {
        QTemporaryDir ordner;
        const QString pfad = ordner.filePath(QStringLiteral("a.cfg"));
        QByteArray bytes = cfgSchreiben(musterKonfig());
        qsizetype ende = -2;
        for (int z = 0; z < 12; ++z)
            ende = bytes.indexOf("\r\n", ende + 2);
        bytes.truncate(ende + 2);
        QCOMPARE(bytes.count("\r\n"), 12);
        QVERIFY(schreiben(pfad, bytes));
        Fenster f;
        f.oeffnen(pfad);
        const Dateiergebnis e = cfgLesen(bytes, Netzbetreiber::A1);
        QCOMPARE(e.zeilen, 12);
        QVERIFY(f.k.speicher() == e.image);
        for (int p = 0; p < 12; ++p)
            QCOMPARE(f.k.speicher().seite(p), cfgLesen(cfgSchreiben(musterKonfig())).image.seite(p));
        QCOMPARE(f.k.werte().anlagenbezeichnung, QStringLiteral("Kläranlage West"));
        QCOMPARE(hilfe::sichtbareMarker(f.k), alleMarker());
        QCOMPARE(hilfe::geflaggt(f.k), kGeraeteseiten);
        QVERIFY(dateifehler(f.door));
    }

    // A file without lines (or only an empty one) loads as the emptied editor
    // shows it: saved again, line 1 holds acknowledgement, check call and
    // balance monitoring switched off, and opens so again.
    void kurzeDatei_data()
    {
        QTest::addColumn<QByteArray>("datei");
        QTest::addColumn<QByteArray>("zeile1");
        QTest::newRow("0 Bytes") << QByteArray() << QByteArray(";;;;255;10;0;;;;\x03;\r\n");
        QTest::newRow("eine leere Zeile") << QByteArray("\r\n") << QByteArray(";;;;255;10;0;;;;;\r\n");
    }
    void kurzeDatei()
    {
        QFETCH(QByteArray, datei);
        QTemporaryDir ordner;
        const QString kurz = ordner.filePath(QStringLiteral("kurz.cfg"));
        const QString neu = ordner.filePath(QStringLiteral("neu.cfg"));
        QVERIFY(schreiben(kurz, datei));
        Fenster f;
        f.oeffnen(kurz);
        QVERIFY(dateifehler(f.door));
        f.speichern(neu);
        const QByteArray gespeichert = lesen(neu);
        QTEST(gespeichert.left(gespeichert.indexOf("\r\n") + 2), "zeile1");
        f.door.zuruecksetzen();
        f.oeffnen(neu);
        QVERIFY(f.door.meldungen.isEmpty());
        const Editorwerte w = f.k.werte();
        QVERIFY(!w.quittierung);
        QVERIFY(!w.konto);
        QVERIFY(w.kontrollruf == Editorwerte::Kontrollruf::Aus);
    }

    // A file that cannot be read, or is far too large for a configuration:
    // the error, and the editor as it was.
    void oeffnenFehler_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<bool>("fehler");
        QTest::newRow("fehlt") << "fehlt" << true;
        QTest::newRow("Ordner") << "ordner" << true;
        QTest::newRow("40 MB") << "40mb" << true;
        QTest::newRow("1 MiB + 1") << "grenze+1" << true;
        QTest::newRow("genau 1 MiB") << "grenze" << false;
    }
    void oeffnenFehler()
    {
        QFETCH(QString, fall);
        QFETCH(bool, fehler);
        QTemporaryDir ordner;
        QString pfad = ordner.filePath(QStringLiteral("a.cfg"));
        const QByteArray gut = cfgSchreiben(musterKonfig()) + "\r\n";
        if (fall == QLatin1String("ordner"))
            QVERIFY(QDir(ordner.path()).mkdir(QStringLiteral("a.cfg")));
        if (fall.startsWith(QLatin1String("grenze")) || fall == QLatin1String("40mb")) {
            // A good file padded with zero bytes (sparse: quick to make).
            QVERIFY(schreiben(pfad, gut));
            QFile d(pfad);
            const qint64 groesse = fall == QLatin1String("40mb") ? 40 << 20
                                 : (1 << 20) + (fall == QLatin1String("grenze+1") ? 1 : 0);
            QVERIFY(d.resize(groesse));
        }
        Fenster f;
        Eingabefeld* name = f.k.findChild<Eingabefeld*>(QStringLiteral("Anlagenbezeichnung"));
        name->setText(QStringLiteral("vorher"));
        f.k.markieren(22);
        const Editorwerte werte = f.k.werte();
        const Konfigspeicher bild = f.k.speicher();
        f.oeffnen(pfad);
        if (fehler) {
            QVERIFY(dateifehler(f.door));
            QVERIFY(f.k.werte() == werte);
            QVERIFY(f.k.speicher() == bild);
            QCOMPARE(hilfe::sichtbareMarker(f.k), QList<int>{22});
            QCOMPARE(hilfe::geflaggt(f.k), QList<int>{0});
        } else {
            QVERIFY(f.door.meldungen.isEmpty());
            QCOMPARE(f.k.werte().anlagenbezeichnung, QStringLiteral("Kläranlage West"));
        }
    }

    // An open recipients editor shows the list of the file just opened.
    void empfaengerNachOeffnen()
    {
        QTemporaryDir ordner;
        const QString pfad = ordner.filePath(QStringLiteral("a.cfg"));
        QVERIFY(schreiben(pfad, cfgSchreiben(musterKonfig())));
        Fenster f;
        f.k.CMD_Nr_Click(0);
        QLineEdit* erste = f.k.teledit().findChild<QLineEdit*>(QStringLiteral("Nummer_0"));
        QCOMPARE(erste->text(), QString());
        f.oeffnen(pfad);
        QCOMPARE(erste->text(), QStringLiteral("06641234567"));
        QCOMPARE(f.k.teledit().windowTitle(), QStringLiteral("GSM-Nummern für Meldelinie 1"));
    }

    // "Sicherungen ...": the backups newest first; opening one is opening its
    // file with the open command; "Abbrechen" changes nothing.
    void sicherungen_data()
    {
        QTest::addColumn<QString>("wie");
        QTest::newRow("Öffnen") << "CMD_Oeffnen";
        QTest::newRow("Doppelklick") << "doppelklick";
        QTest::newRow("Abbrechen") << "CMD_Abbruch";
    }
    void sicherungen()
    {
        QFETCH(QString, wie);
        QTemporaryDir ordner;
        const QDateTime zeit(QDate(2026, 12, 6), QTime(14, 5, 9));
        const sicherung::Ergebnis aelter = sicherung::anlegen(musterKonfig(), zeit, ordner.path());
        QVERIFY(aelter && sicherung::anlegen(simStandardKonfig(), zeit.addSecs(3600), ordner.path()));
        Fenster f;
        f.k.setSicherungsOrdner(ordner.path());
        f.k.findChild<QAction*>(QStringLiteral("MNU_Sicherungen"))->trigger();
        Sicherungen* s = f.k.sicherungen();
        QVERIFY(s && s->isVisible() && s->windowModality() == Qt::ApplicationModal);
        QTreeWidget* liste = s->liste();
        QStringList zeilen;
        for (const QTreeWidgetItem* z : {liste->headerItem(), liste->topLevelItem(0), liste->topLevelItem(1)})
            zeilen << z->text(0) + '|' + z->text(1) + '|' + z->text(2);
        QCOMPARE(zeilen, (QStringList{"Anlagenbezeichnung|Datum|Uhrzeit", "Pumpwerk Nord|06.12.2026|15:05:09",
                                      QStringLiteral("Kläranlage West|06.12.2026|14:05:09")}));
        QCOMPARE(liste->topLevelItemCount(), 2);
        const Editorwerte vorher = f.k.werte();
        liste->setCurrentItem(liste->topLevelItem(1));
        if (wie == QLatin1String("doppelklick")) {
            // As a desktop delivers it: press, release, double click, release.
            QVERIFY(QTest::qWaitForWindowExposed(s));
            const QPoint mitte = liste->visualItemRect(liste->topLevelItem(1)).center();
            QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, mitte);
            QTest::mouseDClick(liste->viewport(), Qt::LeftButton, {}, mitte);
            QTest::mouseRelease(liste->viewport(), Qt::LeftButton, {}, mitte);
        } else {
            s->findChild<QPushButton*>(wie)->click();
        }
        QTRY_VERIFY(!f.k.sicherungen());
        if (wie == QLatin1String("CMD_Abbruch")) {
            QVERIFY(f.k.werte() == vorher);
            QCOMPARE(hilfe::sichtbareMarker(f.k), QList<int>{});
            return;
        }
        QCOMPARE(f.k.werte().anlagenbezeichnung, QStringLiteral("Kläranlage West"));
        QCOMPARE(hilfe::geflaggt(f.k), kGeraeteseiten);
        QCOMPARE(hilfe::sichtbareMarker(f.k), alleMarker());
        const Editorwerte werte = f.k.werte();
        const Konfigspeicher bild = f.k.speicher();
        f.oeffnen(aelter.pfad);
        QCOMPARE(felder(werte), felder(f.k.werte()));
        QVERIFY(bild == f.k.speicher());
        QVERIFY(f.door.meldungen.isEmpty());
    }
};

QTEST_MAIN(TestAblaufDatei)
#include "test_ablauf_datei.moc"
