#include "eventlog/ereignisspeicher.h"
#include "eventlog/logdatei.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray satz(int s, int m, int h, int tag, int monat, int code, char k = 'K', char a = 'S')
{
    QByteArray b;
    for (int v : {s, m, h, tag, monat, code})
        b.append(char(v));
    b.append(k);
    b.append(a);
    return b;
}

// A memory whose 64 slots all hold a record of Meldelinie 1 with the slot's
// index as its seconds, so every line tells which slot it came from.
QByteArray vollerRing()
{
    QByteArray m;
    for (int i = 0; i < 64; ++i)
        m += satz(i, 0, 12, 1, 1, 1, 'K', 'A');
    return m;
}

// The line of the slot with index i of vollerRing().
QString ringZeile(int i)
{
    return QStringLiteral("01.01, 12:00:%1, Meldelinie 1 - kommt : aktiv")
        .arg(i, 2, 10, QLatin1Char('0'));
}

QStringList ringZeilen(std::initializer_list<std::pair<int, int>> strecken)
{
    QStringList l;
    for (auto [von, bis] : strecken)
        for (int i = von; i <= bis; ++i)
            l << ringZeile(i);
    return l;
}

// Puts 255 at a position counted from 1.
QByteArray mitMarke(QByteArray m, int position)
{
    m[position - 1] = char(0xFF);
    return m;
}

QByteArray lesen(const QString& pfad)
{
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly))
        return "<fehlt>";
    return f.readAll();
}

void schreibeDatei(const QString& pfad, const QByteArray& inhalt)
{
    QFile f(pfad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(inhalt);
}

} // namespace

class TestEventlog : public QObject {
    Q_OBJECT
private slots:
    void zeile_data()
    {
        QTest::addColumn<QByteArray>("satz");
        QTest::addColumn<QString>("erwartet");
        QTest::newRow("Beispiel") << satz(9, 5, 14, 21, 6, 3, 'K', 'S')
                                  << "21.06, 14:05:09, Meldelinie 3 - kommt : gesendet";
        QTest::newRow("Nullen zweistellig") << satz(0, 0, 0, 0, 0, 1, 'G', 'A')
                                            << "00.00, 00:00:00, Meldelinie 1 - geht : aktiv";
        QTest::newRow("drei Ziffern") << satz(135, 255, 100, 31, 12, 8, 'K', 'F')
                                      << "31.12, 100:255:135, Meldelinie 8 - kommt : Fehler SMS senden";
        QTest::newRow("Stromausfall") << satz(1, 2, 3, 4, 5, 9, 'G', 'S')
                                      << "04.05, 03:02:01, Stromausfall - geht : gesendet";
        QTest::newRow("Minimum") << satz(1, 2, 3, 4, 5, 10) << "04.05, 03:02:01, Minimumalarm - kommt : gesendet";
        QTest::newRow("Maximum") << satz(1, 2, 3, 4, 5, 11) << "04.05, 03:02:01, Maximumalarm - kommt : gesendet";
        QTest::newRow("Batterie") << satz(1, 2, 3, 4, 5, 12) << "04.05, 03:02:01, Batteriespannung - kommt : gesendet";
        QTest::newRow("GSM Modul") << satz(1, 2, 3, 4, 5, 'M', 'K', 'A')
                                   << "04.05, 03:02:01, Fehler GSM Modul - kommt : aktiv";
        QTest::newRow("kein Netz") << satz(1, 2, 3, 4, 5, 'N', 'G', 'A')
                                   << QStringLiteral("04.05, 03:02:01, kein GSM-Netz verfügbar - geht : aktiv");
        QTest::newRow("kleines k und s") << satz(7, 8, 9, 10, 11, 2, 'k', 's')
                                         << "10.11, 09:08:07, Meldelinie 2";
        QTest::newRow("fremde Zusatzbytes") << satz(7, 8, 9, 10, 11, 2, char(0xFF), '\0')
                                            << "10.11, 09:08:07, Meldelinie 2";
        QTest::newRow("Code 0") << satz(7, 8, 9, 10, 11, 0, 'K', 'S')
                                << "10.11, 09:08:07, unbekanntes Ereignis (Code 0) - kommt : gesendet";
        QTest::newRow("Code 13") << satz(7, 8, 9, 10, 11, 13, 'G', 'x')
                                 << "10.11, 09:08:07, unbekanntes Ereignis (Code 13) - geht";
        QTest::newRow("kleines m") << satz(7, 8, 9, 10, 11, 'm', 'K', 'F')
                                   << "10.11, 09:08:07, unbekanntes Ereignis (Code 109) - kommt : Fehler SMS senden";
    }
    void zeile()
    {
        QFETCH(QByteArray, satz);
        QFETCH(QString, erwartet);
        QCOMPARE(ereignis::zeile(satz), erwartet);
        // The same record as the only one of a memory gives the same single line.
        const QByteArray speicher = satz + QByteArray(504, char(0xFF));
        QCOMPARE(ereignisZeilen(speicher), QStringList{erwartet});
    }

    void ring_data()
    {
        QTest::addColumn<QByteArray>("speicher");
        QTest::addColumn<QStringList>("erwartet");
        QTest::newRow("alles 255") << QByteArray(512, char(0xFF)) << QStringList();
        QTest::newRow("keine Marke: 64 ab Position 1") << vollerRing() << ringZeilen({{0, 63}});
        QTest::newRow("Marke bei 201: 209..505, dann 1..193")
            << mitMarke(vollerRing(), 201) << ringZeilen({{26, 63}, {0, 24}});
        QTest::newRow("Marke bei 1") << mitMarke(vollerRing(), 1) << ringZeilen({{1, 63}});
        QTest::newRow("Marke bei 505: Slot 497 zuletzt")
            << mitMarke(vollerRing(), 505) << ringZeilen({{0, 62}});
        QTest::newRow("Marke bei 497: Slot 505 zuerst")
            << mitMarke(vollerRing(), 497) << ringZeilen({{63, 63}, {0, 61}});
        QTest::newRow("nur die ersten drei")
            << (vollerRing().left(24) + QByteArray(488, char(0xFF))) << ringZeilen({{0, 2}});
        QTest::newRow("255 beendet die erste Strecke")
            << mitMarke(mitMarke(vollerRing(), 201), 401) << ringZeilen({{26, 49}, {0, 24}});
        // A 255 inside a record puts the write position off the slot grid. The
        // first stretch then reads across slot borders at 34, 42, ... 498 (59
        // records); the one at 506 would reach past position 512 and is not read.
        {
            QStringList l;
            for (int i = 0; i < 59; ++i)
                l << QStringLiteral("01.01, 01:12:00, unbekanntes Ereignis (Code 75)");
            QStringList zweite = ringZeilen({{0, 63}});
            zweite[3] = QStringLiteral("01.01, 12:255:03, Meldelinie 1 - kommt : aktiv");
            QTest::newRow("255 mitten im Satz") << mitMarke(vollerRing(), 26) << (l + zweite);
        }
        QTest::newRow("zu kurz: nur ganze Sätze") << vollerRing().left(20) << ringZeilen({{0, 1}});
    }
    void ring()
    {
        QFETCH(QByteArray, speicher);
        QFETCH(QStringList, erwartet);
        QCOMPARE(ereignisZeilen(speicher), erwartet);
    }

    void nichtsHinter512()
    {
        // Bytes behind position 512 belong to nothing: a record there is not read.
        const QByteArray speicher = vollerRing().left(504) + QByteArray(8, char(0xFF)) + satz(1, 1, 1, 1, 1, 1);
        QCOMPARE(ereignisZeilen(speicher), ringZeilen({{0, 62}}));
    }

    void dateiBytes()
    {
        QCOMPARE(logDatei({}), QByteArray());
        QCOMPARE(logDatei({QStringLiteral("21.06, 14:05:09, Meldelinie 3 - kommt : gesendet"),
                           QStringLiteral("01.02, 03:04:05, kein GSM-Netz verfügbar")}),
                 QByteArray("21.06, 14:05:09, Meldelinie 3 - kommt : gesendet\r\n"
                            "01.02, 03:04:05, kein GSM-Netz verf\xFCgbar\r\n"));
    }

    void ordnerWahl()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        // A path below a regular file can be neither created nor written, not
        // even by the superuser.
        schreibeDatei(tmp.filePath("datei"), "x");
        const QString unmoeglich = tmp.filePath("datei/bin");
        const QString programm = tmp.filePath("programm");
        QVERIFY(QDir().mkdir(programm));
        const QString daten = tmp.filePath("daten/gsmbv");

        QVERIFY(ordnerBeschreibbar(programm));
        QVERIFY(!ordnerBeschreibbar(unmoeglich));
        QVERIFY(!ordnerBeschreibbar(tmp.filePath("fehlt")));
        QVERIFY(!ordnerBeschreibbar(tmp.filePath("datei")));
        QVERIFY(!ordnerBeschreibbar(QString()));
        // The probe leaves nothing behind.
        QCOMPARE(QDir(programm).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());

        QCOMPARE(logOrdner(programm, daten), programm);
        QVERIFY(!QFileInfo::exists(daten));
        QCOMPARE(logOrdner(unmoeglich, daten), daten);
        QVERIFY(QFileInfo(daten).isDir());
        QCOMPARE(logOrdner(unmoeglich, tmp.filePath("datei/daten")), QString());
        QCOMPARE(logOrdner(unmoeglich, QString()), QString());
        // An installed program's folder is not used, though the superuser could write there.
        QCOMPARE(logOrdner(QStringLiteral("/usr/bin"), daten), daten);
        QVERIFY(QFile::link(QStringLiteral("/usr/bin"), tmp.filePath("verweis")));
        QCOMPARE(logOrdner(tmp.filePath("verweis"), daten), daten);
    }

    void systemOrt_data()
    {
        QTest::addColumn<QString>("ordner");
        QTest::addColumn<bool>("system");
        QTest::newRow("/usr/bin") << "/usr/bin" << true;
        QTest::newRow("/usr/local/bin") << "/usr/local/bin" << true;
        QTest::newRow("/bin") << "/bin" << true;
        QTest::newRow("/sbin/") << "/sbin/" << true;
        QTest::newRow("/lib64/gsmbv") << "/lib64/gsmbv" << true;
        QTest::newRow("/opt/gsmbv/bin") << "/opt/gsmbv/bin" << true;
        QTest::newRow("/snap/gsmbv/12/bin") << "/snap/gsmbv/12/bin" << true;
        QTest::newRow("über ..") << "/home/../usr/bin" << true;
        QTest::newRow("Wurzel") << "/" << true;
        QTest::newRow("Heimordner") << "/home/anna/gsmbv/build/bin" << false;
        QTest::newRow("/usr2 ist nicht /usr") << "/usr2/bin" << false;
        QTest::newRow("/library") << "/library/bin" << false;
        QTest::newRow("/tmp") << "/tmp/gsmbv" << false;
    }
    void systemOrt()
    {
        QFETCH(QString, ordner);
        QTEST(::systemOrt(ordner), "system");
    }

    void schreibenErsetzt()
    {
        QTemporaryDir tmp;
        const QString pfad = tmp.filePath("LOG.TXT");
        QVERIFY(logSchreiben(pfad, "eine lange erste Fassung\r\n"));
        QCOMPARE(lesen(pfad), QByteArray("eine lange erste Fassung\r\n"));
        QVERIFY(logSchreiben(pfad, "kurz\r\n"));
        QCOMPARE(lesen(pfad), QByteArray("kurz\r\n"));
        QVERIFY(logSchreiben(pfad, QByteArray()));
        QCOMPARE(lesen(pfad), QByteArray());
        // Nothing else is left in the folder.
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"LOG.TXT"});
    }

    void schreibenScheitert()
    {
        QTemporaryDir tmp;
        schreibeDatei(tmp.filePath("datei"), "x");
        QVERIFY(!logSchreiben(tmp.filePath("datei/LOG.TXT"), "a\r\n"));
        // A folder in the log's place cannot be replaced either.
        QVERIFY(QDir().mkdir(tmp.filePath("LOG.TXT")));
        QVERIFY(!logSchreiben(tmp.filePath("LOG.TXT"), "a\r\n"));
        QVERIFY(QFileInfo(tmp.filePath("LOG.TXT")).isDir());
        // Once the obstacle is gone, the next download writes the file.
        QVERIFY(QDir().rmdir(tmp.filePath("LOG.TXT")));
        QVERIFY(logSchreiben(tmp.filePath("LOG.TXT"), "a\r\n"));
        QCOMPARE(lesen(tmp.filePath("LOG.TXT")), QByteArray("a\r\n"));
    }

    void ablegen()
    {
        QTemporaryDir tmp;
        schreibeDatei(tmp.filePath("datei"), "x");
        const QString unmoeglich = tmp.filePath("datei/bin");
        const QString daten = tmp.filePath("daten");
        QByteArray speicher = satz(9, 5, 14, 21, 6, 3, 'K', 'S') + satz(1, 2, 3, 4, 5, 'N', 'G', 'A')
                            + QByteArray(496, char(0xFF));

        const QString pfad = logAblegen(speicher, unmoeglich, daten);
        QCOMPARE(pfad, QDir(daten).filePath("LOG.TXT"));
        QCOMPARE(lesen(pfad), QByteArray("21.06, 14:05:09, Meldelinie 3 - kommt : gesendet\r\n"
                                         "04.05, 03:02:01, kein GSM-Netz verf\xFCgbar - geht : aktiv\r\n"));

        // The same download again, now with an empty ring: the file is empty, not stale.
        QCOMPARE(logAblegen(QByteArray(512, char(0xFF)), unmoeglich, daten), pfad);
        QVERIFY(QFileInfo::exists(pfad));
        QCOMPARE(lesen(pfad), QByteArray());

        // Nowhere to write: failure, no path.
        QCOMPARE(logAblegen(speicher, unmoeglich, tmp.filePath("datei/daten")), QString());

        // A writable program folder is taken first.
        const QString programm = tmp.filePath("programm");
        QVERIFY(QDir().mkdir(programm));
        QCOMPARE(logAblegen(speicher, programm, daten), QDir(programm).filePath("LOG.TXT"));
    }
};

QTEST_GUILESS_MAIN(TestEventlog)
#include "test_eventlog.moc"
