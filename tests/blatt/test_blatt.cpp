// The configuration sheet as a reader of the PDF gets it: its text, page by
// page, for a known configuration and for a table longer than a page; and the
// real print dialog, headless, printing the sheet into a PDF file.
#include "blatt/blatt.h"
#include "cfgfile/cfgdatei.h"
#include "doorqt/qtdoor.h"
#include "pdftext.h"
#include "sim/simstandard.h"

#include <QApplication>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QString datei(const QString& name)
{
    QFile f(qEnvironmentVariable("GSMBV_SOURCE_DIR") + QStringLiteral("/tests/blatt/") + name);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("<fehlt: %1>").arg(name);
}

// The settings of the simulated device's sample configuration, opened as a file.
QList<blatt::Abschnitt> pumpwerk()
{
    const Dateiergebnis r = cfgLesen(cfgSchreiben(simStandardKonfig()));
    return blatt::einstellungen(r.image, r.werte);
}

const blatt::Kopf kPumpwerk{QStringLiteral("Pumpwerk Nord"), QDate(2024, 6, 21),
                            QStringLiteral("Gerät an COM 1 (/dev/ttyUSB0)")};

} // namespace

Q_DECLARE_METATYPE(blatt::Kopf)

class TestBlatt : public QObject {
    Q_OBJECT
private slots:
    void text_data()
    {
        QTest::addColumn<QList<blatt::Abschnitt>>("abschnitte");
        QTest::addColumn<blatt::Kopf>("kopf");
        QTest::addColumn<QString>("erwartet");  // a file beside this test

        QTest::newRow("sample configuration, three pages") << pumpwerk() << kPumpwerk << "pumpwerk.txt";
        // Empty values and lists, control characters, the T Mobile file of the command-line tests.
        QFile f(qEnvironmentVariable("GSMBV_SOURCE_DIR") + QStringLiteral("/tests/cli/daten/tmobile.cfg"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const Dateiergebnis tm = cfgLesen(f.readAll());
        QTest::newRow("empty values and lists")
            << blatt::einstellungen(tm.image, tm.werte)
            << blatt::Kopf{tm.werte.anlagenbezeichnung, QDate(2025, 3, 4), QStringLiteral("Datei /srv/tmobile.cfg")}
            << "tmobile.txt";

        // No group of the window fills a page; should one ever do, it goes on
        // on the next page under its title, row by row, none lost.
        blatt::Gruppe lang{QStringLiteral("Lange Gruppe"), {}, {}};
        for (int i = 1; i <= 60; ++i)
            lang.eintraege.append({{}, {}, QStringLiteral("Zeile %1").arg(i), QStringLiteral("Wert %1").arg(i), {}});
        lang.eintraege[1].text = QStringLiteral("ohne_Leerzeichen_") + QString(110, QLatin1Char('x'));
        lang.eintraege[2].text.clear();
        QTest::newRow("table longer than a page")
            << QList<blatt::Abschnitt>{{QStringLiteral("Allgemein"), {lang}}}
            << blatt::Kopf{{}, QDate(2025, 1, 2), QStringLiteral("Grundeinstellung")} << "lang.txt";
    }
    void text()
    {
        QFETCH(QList<blatt::Abschnitt>, abschnitte);
        QFETCH(blatt::Kopf, kopf);
        QFETCH(QString, erwartet);
        QTemporaryDir ordner;
        const QString pdf = ordner.filePath(QStringLiteral("blatt.pdf"));
        QSaveFile f(pdf);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(blatt::pdf(f, kopf, abschnitte));
        QVERIFY(f.commit());
        QCOMPARE(pdfText(pdf), datei(erwartet));
    }

    // The system's dialog through the real door: accepted with "Print to
    // file" the sheet lands in that PDF; cancelled, the door says so.
    void druckdialog_data()
    {
        QTest::addColumn<bool>("annehmen");
        QTest::newRow("Drucken") << true;
        QTest::newRow("Abbrechen") << false;
    }
    void druckdialog()
    {
        QFETCH(bool, annehmen);
        QTemporaryDir ordner;
        const QString pdf = ordner.filePath(QStringLiteral("gedruckt.pdf"));
        QPrinter drucker(QPrinter::HighResolution);
        blatt::seiteEinrichten(drucker);
        drucker.setOutputFileName(pdf);

        QString titel;
        QTimer antwort;
        antwort.setInterval(10);
        connect(&antwort, &QTimer::timeout, this, [&] {
            auto* d = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!d)
                return;
            antwort.stop();
            titel = d->windowTitle();
            if (annehmen)
                d->accept();
            else
                d->reject();
        });
        antwort.start();
        QtDoor tuer;
        QCOMPARE(tuer.druckdialog(drucker), annehmen);
        QCOMPARE(titel, QStringLiteral("Drucken"));
        if (!annehmen)
            return;
        QCOMPARE(drucker.outputFormat(), QPrinter::PdfFormat);
        QCOMPARE(blatt::zeichnen(drucker, kPumpwerk, pumpwerk()), 3);
        QCOMPARE(pdfText(pdf), datei(QStringLiteral("pumpwerk.txt")));
    }
};

QTEST_MAIN(TestBlatt)
#include "test_blatt.moc"
