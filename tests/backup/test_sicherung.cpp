// Backups: their file names, writing without ever replacing one, and the
// list newest first with what it shows of each file.
#include "backup/sicherung.h"

#include "image/ansi.h"
#include "image/felder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

const QDateTime kZeit(QDate(2026, 12, 6), QTime(14, 5, 9));

Konfigspeicher bild(const QString& name)
{
    Konfigspeicher k;
    Grundeinstellung(k);
    textSpeichern(k, bereich::Anlagenbezeichnung, ansi::bytes(name));
    return k;
}

QByteArray lesen(const QString& pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}

bool schreiben(const QString& pfad, const QByteArray& inhalt, const QDateTime& geaendert = {})
{
    QFile f(pfad);
    if (!f.open(QIODevice::WriteOnly) || f.write(inhalt) != inhalt.size() || !f.flush())
        return false;
    return !geaendert.isValid() || f.setFileTime(geaendert, QFileDevice::FileModificationTime);
}

} // namespace

class TestSicherung : public QObject {
    Q_OBJECT
private slots:
    void dateiname_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("nummer");
        QTest::addColumn<QString>("datei");
        QTest::newRow("schlicht") << "Tankstelle Nord" << 1 << "Tankstelle Nord_2026-12-06_14-05-09.cfg";
        QTest::newRow("zweite") << "Tankstelle Nord" << 2 << "Tankstelle Nord_2026-12-06_14-05-09_2.cfg";
        QTest::newRow("unsicher") << "Halle 3/4: \"Süd\" *?<>|\\" << 1
                                  << "Halle 3_4_ _Süd_ _______2026-12-06_14-05-09.cfg";
        QTest::newRow("Steuerzeichen") << "A\x01" "B\tC\x7F" "D\u0081" << 1 << "A_B_C_D__2026-12-06_14-05-09.cfg";
        QTest::newRow("Punkte und Blanks am Rand") << " ..versteckt. . " << 1 << "versteckt_2026-12-06_14-05-09.cfg";
        QTest::newRow("nur Punkte") << " .. " << 3 << "ohne Bezeichnung_2026-12-06_14-05-09_3.cfg";
        QTest::newRow("80 Zeichen") << QString(68, QLatin1Char('x')) + QStringLiteral("€ yyyyyyyyy") << 1
                                    << QString(68, QLatin1Char('x')) + QStringLiteral("€_2026-12-06_14-05-09.cfg");
    }
    void dateiname()
    {
        QFETCH(QString, name);
        QFETCH(int, nummer);
        QTEST(sicherung::dateiname(name, kZeit, nummer), "datei");
    }

    // The file a save would write, under a free name; a taken name is never
    // replaced, whoever took it.
    void anlegen()
    {
        QTemporaryDir tmp;
        const QString ordner = tmp.filePath(QStringLiteral("a/sicherungen"));
        const sicherung::Ergebnis erste = sicherung::anlegen(bild(QStringLiteral("Halle 3/4")), kZeit, ordner);
        QVERIFY2(erste, qPrintable(erste.fehler));
        QCOMPARE(erste.pfad, ordner + QStringLiteral("/Halle 3_4_2026-12-06_14-05-09.cfg"));
        const QByteArray inhalt = lesen(erste.pfad);
        QCOMPARE(inhalt.left(inhalt.indexOf('\n') + 1),
                 ";;;255;255;FF;FF;" + QByteArray(16, '\xFF') + ';' + QByteArray(16, '\xFF') + ";255;Halle 3/4;\r\n");
        QCOMPARE(inhalt.count("\r\n"), 12);

        QVERIFY(schreiben(ordner + QStringLiteral("/Halle 3_4_2026-12-06_14-05-09_2.cfg"), "fremd"));
        const sicherung::Ergebnis dritte = sicherung::anlegen(bild(QStringLiteral("Halle 3/4")), kZeit, ordner);
        QVERIFY(dritte);
        QCOMPARE(QFileInfo(dritte.pfad).fileName(), QStringLiteral("Halle 3_4_2026-12-06_14-05-09_3.cfg"));
        QCOMPARE(lesen(dritte.pfad), inhalt);
        QCOMPARE(lesen(erste.pfad), inhalt);
        QCOMPARE(lesen(ordner + QStringLiteral("/Halle 3_4_2026-12-06_14-05-09_2.cfg")), QByteArray("fremd"));
        QCOMPARE(QDir(ordner).entryList(QDir::Files | QDir::Hidden).size(), 3);
    }

    // A disk that fills up: the error, and neither a short backup nor the
    // empty file that took its name is left. (A folder that cannot be made:
    // the tests of the two front ends.)
    void anlegenScheitert()
    {
        QTemporaryDir tmp;
        const QString ordner = tmp.path();
        // No file of this process may grow beyond 100 bytes: the disk is "full".
        rlimit vorher{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &vorher), 0);
        const auto signalVorher = std::signal(SIGXFSZ, SIG_IGN);
        rlimit knapp = vorher;
        knapp.rlim_cur = 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &knapp), 0);
        const sicherung::Ergebnis e = sicherung::anlegen(bild(QStringLiteral("Nord")), kZeit, ordner);
        setrlimit(RLIMIT_FSIZE, &vorher);
        std::signal(SIGXFSZ, signalVorher);
        // In German words, not the system's English ones.
        QCOMPARE(e.fehler, QStringLiteral("Konfiguration nicht gesichert: %1/Nord_2026-12-06_14-05-09.cfg: Datei zu groß")
                               .arg(ordner));
        QCOMPARE(QDir(ordner).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void liste()
    {
        QTemporaryDir tmp;
        const QString o = tmp.path();
        QVERIFY(sicherung::anlegen(bild(QStringLiteral("Halle 3/4")), kZeit, o));
        QVERIFY(sicherung::anlegen(bild(QStringLiteral("Halle 3/4")), kZeit, o));
        QVERIFY(sicherung::anlegen(bild(QString()), kZeit.addDays(-400), o));
        QVERIFY(sicherung::anlegen(bild(QStringLiteral("Tankstelle")), kZeit.addSecs(1), o));
        QVERIFY(schreiben(o + QStringLiteral("/Kaputt_2026-12-07_08-00-00.cfg"), "keine Konfiguration"));
        QVERIFY(schreiben(o + QStringLiteral("/meine anlage.cfg"), "x", QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))));
        QVERIFY(schreiben(o + QStringLiteral("/leer_2026-12-08_08-00-00.cfg"), ""));
        QVERIFY(schreiben(o + QStringLiteral("/notiz.txt"), "x"));
        QVERIFY(QDir(o).mkdir(QStringLiteral("ordner_2026-12-09_08-00-00.cfg")));

        QStringList gezeigt;
        for (const sicherung::Eintrag& e : sicherung::liste(o))
            gezeigt << e.anlagenbezeichnung + QLatin1Char('|') + e.zeit.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))
                           + QLatin1Char('|') + QFileInfo(e.pfad).fileName();
        QCOMPARE(gezeigt, (QStringList{
                              "Kaputt|07.12.2026 08:00:00|Kaputt_2026-12-07_08-00-00.cfg",
                              "Tankstelle|06.12.2026 14:05:10|Tankstelle_2026-12-06_14-05-10.cfg",
                              "Halle 3/4|06.12.2026 14:05:09|Halle 3_4_2026-12-06_14-05-09_2.cfg",
                              "Halle 3/4|06.12.2026 14:05:09|Halle 3_4_2026-12-06_14-05-09.cfg",
                              "meine anlage|02.01.2026 03:04:05|meine anlage.cfg",
                              "ohne Bezeichnung|01.11.2025 14:05:09|ohne Bezeichnung_2025-11-01_14-05-09.cfg",
                          }));
        QCOMPARE(sicherung::liste(tmp.filePath(QStringLiteral("fehlt"))).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSicherung)
#include "test_sicherung.moc"
