// The configuration sheet as a reader of the PDF gets it: its text, page by
// page (the files beside this test), for a known configuration and for a
// table longer than a page. Printing draws the same sheet onto the printer.
#include "blatt/blatt.h"
#include "cfgfile/cfgdatei.h"
#include "kit.h"
#include "pdftext.h"
#include "sim/simstandard.h"

#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(blatt::Kopf)

class TestBlatt : public QObject {
    Q_OBJECT
private slots:
    void text_data()
    {
        QTest::addColumn<QList<blatt::Abschnitt>>("abschnitte");
        QTest::addColumn<blatt::Kopf>("kopf");
        QTest::addColumn<QString>("erwartet");  // *.json: the settings as JSON
        // The simulated device's sample configuration, opened as a file.
        const Dateiergebnis pw = cfgLesen(cfgSchreiben(simStandardKonfig()));
        const blatt::Kopf kopf{"Pumpwerk Nord", QDate(2024, 6, 21), "Gerät an COM 1 (/dev/ttyUSB0)"};
        QTest::newRow("drei Seiten") << blatt::einstellungen(pw.image, pw.werte) << kopf << "pumpwerk.txt";
        const auto cli = [](const char* name) { return cfgLesen(kit::lesen(qEnvironmentVariable("GSMBV_SOURCE_DIR") + "/tests/cli/daten/" + name)); };
        const Dateiergebnis tm = cli("tmobile.cfg"), grund = cli("grund.cfg");
        QVERIFY(tm.vollstaendig && grund.vollstaendig);  // the command line's files are there, whole
        // Empty values and lists, control characters: the T Mobile file.
        QTest::newRow("leere Werte") << blatt::einstellungen(tm.image, tm.werte)
                                     << blatt::Kopf{tm.werte.anlagenbezeichnung, QDate(2025, 3, 4), "Datei /srv/tmobile.cfg"} << "tmobile.txt";
        // The default content as a file: the check call off has no time; choices carry their codes.
        QTest::newRow("JSON, Kontrollruf aus") << blatt::einstellungen(grund.image, grund.werte) << kopf << "grund.json";
        // A long name of wide letters: wrapped in the head, shortened in the footer beside the page number.
        QTest::newRow("langer Name") << QList<blatt::Abschnitt>() << blatt::Kopf{QString(70, 'W'), QDate(2025, 5, 6), "Datei /srv/w.cfg"} << "breit.txt";
        // No group of the window fills a page; should one ever do, it goes on
        // on the next page under its title, row by row, none lost.
        blatt::Gruppe lang{QStringLiteral("Lange Gruppe"), {}, {}};
        for (int i = 1; i <= 60; ++i)
            lang.eintraege.append({{}, {}, QStringLiteral("Zeile %1").arg(i), QStringLiteral("Wert %1").arg(i), {}});
        lang.eintraege[1].text = QStringLiteral("ohne_Leerzeichen_") + QString(110, 'x');
        lang.eintraege[2].text.clear();
        QTest::newRow("länger als eine Seite") << QList<blatt::Abschnitt>{{QStringLiteral("Allgemein"), {lang}}}
                                               << blatt::Kopf{{}, QDate(2025, 1, 2), "Grundeinstellung"} << "lang.txt";
    }
    void text()
    {
        QFETCH(QList<blatt::Abschnitt>, abschnitte);
        QFETCH(blatt::Kopf, kopf);
        QFETCH(QString, erwartet);
        const QByteArray soll = kit::lesen(qEnvironmentVariable("GSMBV_SOURCE_DIR") + "/tests/blatt/" + erwartet);
        if (erwartet.endsWith(QLatin1String(".json"))) {
            QCOMPARE(blatt::json(abschnitte), soll);
            return;
        }
        QTemporaryDir ordner;
        const QString pdf = ordner.filePath("blatt.pdf");
        QSaveFile f(pdf);
        QVERIFY(f.open(QIODevice::WriteOnly) && blatt::pdf(f, kopf, abschnitte) && f.commit());
        QCOMPARE(pdfText(pdf), QString::fromUtf8(soll));
    }
};

QTEST_MAIN(TestBlatt)
#include "test_blatt.moc"
