// The event memory and "LOG.TXT": a record's line, the ring's order, the
// file's bytes, where the file goes and how it is written.
#include "eventlog/ereignisspeicher.h"
#include "eventlog/logdatei.h"
#include "kit.h"

#include <QDir>
#include <QTemporaryDir>
#include <sys/stat.h>

namespace {

QByteArray satz(int s, int m, int h, int tag, int monat, int code, char k = 'K', char a = 'S')
{
    const char b[] = {char(s), char(m), char(h), char(tag), char(monat), char(code), k, a};
    return QByteArray(b, 8);
}
// 64 records of Meldelinie 1, each with its slot's index as its seconds; 255 at the positions (from 1) given.
QByteArray voll(std::initializer_list<int> marken = {})
{
    QByteArray m;
    for (int i = 0; i < 64; ++i)
        m += satz(i, 0, 12, 1, 1, 1, 'K', 'A');
    for (int p : marken)
        m[p - 1] = char(0xFF);
    return m;
}
// The lines of the slots von..bis of voll(), stretch after stretch.
QStringList strecken(std::initializer_list<std::pair<int, int>> teile)
{
    QStringList l;
    for (auto [von, bis] : teile)
        for (int i = von; i <= bis; ++i)
            l << QStringLiteral("01.01, 12:00:%1, Meldelinie 1 - kommt : aktiv").arg(i, 2, 10, QLatin1Char('0'));
    return l;
}
} // namespace

class TestEventlog : public QObject {
    Q_OBJECT
private slots:
    // A record's line; the ring's order: the first 255 marks the write position, the slots behind it
    // first, then those from the start; a 255 where a record would begin ends a stretch.
    void ring_data()
    {
        QTest::addColumn<QByteArray>("speicher");
        QTest::addColumn<QStringList>("zeilen");
        const auto z = [](const char* name, const QByteArray& s, const QStringList& zeilen) { QTest::newRow(name) << s << zeilen; };
        const QByteArray frei(504, char(0xFF));  // behind the only record
        z("Nullen zweistellig", satz(0, 0, 0, 0, 0, 1, 'G', 'A') + frei, {"00.00, 00:00:00, Meldelinie 1 - geht : aktiv"});
        z("drei Ziffern", satz(135, 255, 100, 31, 12, 8, 'K', 'F') + frei, {"31.12, 100:255:135, Meldelinie 8 - kommt : Fehler SMS senden"});
        z("Stromausfall", satz(1, 2, 3, 4, 5, 9, 'G', 'S') + frei, {"04.05, 03:02:01, Stromausfall - geht : gesendet"});
        z("Minimum, Maximum, Batterie", satz(1, 2, 3, 4, 5, 10) + satz(1, 2, 3, 4, 5, 11) + satz(1, 2, 3, 4, 5, 12) + frei.left(488),
          {"04.05, 03:02:01, Minimumalarm - kommt : gesendet", "04.05, 03:02:01, Maximumalarm - kommt : gesendet", "04.05, 03:02:01, Batteriespannung - kommt : gesendet"});
        z("GSM Modul", satz(1, 2, 3, 4, 5, 'M', 'K', 'A') + frei, {"04.05, 03:02:01, Fehler GSM Modul - kommt : aktiv"});
        z("kein Netz", satz(1, 2, 3, 4, 5, 'N', 'G', 'A') + frei, {QStringLiteral("04.05, 03:02:01, kein GSM-Netz verfügbar - geht : aktiv")});
        z("kleines k und s", satz(7, 8, 9, 10, 11, 2, 'k', 's') + frei, {"10.11, 09:08:07, Meldelinie 2"});
        z("Code 0 und 13", satz(7, 8, 9, 10, 11, 0, 'K', 'S') + satz(7, 8, 9, 10, 11, 13, 'G', 'x') + frei.left(496),
          {"10.11, 09:08:07, unbekanntes Ereignis (Code 0) - kommt : gesendet", "10.11, 09:08:07, unbekanntes Ereignis (Code 13) - geht"});
        QStringList quer(59, QStringLiteral("01.01, 01:12:00, unbekanntes Ereignis (Code 75)"));
        QStringList zweite = strecken({{0, 63}});
        zweite[3] = QStringLiteral("01.01, 12:255:03, Meldelinie 1 - kommt : aktiv");
        QTest::newRow("alles 255") << QByteArray(512, char(0xFF)) << QStringList();
        QTest::newRow("keine Marke: 64 ab Position 1") << voll() << strecken({{0, 63}});
        QTest::newRow("Marke bei 201: 209..505, dann 1..193") << voll({201}) << strecken({{26, 63}, {0, 24}});
        QTest::newRow("Marke bei 1") << voll({1}) << strecken({{1, 63}});
        QTest::newRow("Marke bei 505: Slot 497 zuletzt") << voll({505}) << strecken({{0, 62}});
        QTest::newRow("255 beendet die erste Strecke") << voll({201, 401}) << strecken({{26, 49}, {0, 24}});
        // Off the slot grid the first stretch reads across slot borders at 34, 42, ... 498; 506 would pass 512.
        QTest::newRow("255 mitten im Satz") << voll({26}) << quer + zweite;
        QTest::newRow("zu kurz: nur ganze Sätze") << voll().left(20) << strecken({{0, 1}});
        QTest::newRow("nichts hinter 512") << voll().left(504) + QByteArray(8, char(0xFF)) + satz(1, 1, 1, 1, 1, 1) << strecken({{0, 62}});
    }
    void ring()
    {
        QFETCH(QByteArray, speicher);
        QTEST(ereignisZeilen(speicher), "zeilen");
    }

    // The folder: the program's when it is no system location and can be
    // written to, else the data folder (created); the file's bytes, replaced whole.
    void ablegen()
    {
        ::umask(022);  // the usual one: private files must not rely on the user's
        QTemporaryDir tmp;
        QVERIFY(kit::schreiben(tmp.filePath("datei"), "x") && QDir().mkdir(tmp.filePath("programm")));
        const QString unmoeglich = tmp.filePath("datei/bin"), programm = tmp.filePath("programm"), daten = tmp.filePath("daten/gsmbv");
        QCOMPARE(logOrdner(programm, daten), programm);
        QCOMPARE(QDir(programm).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());  // the probe leaves nothing
        QVERIFY(!QFileInfo::exists(daten));
        // Not the system's, though the superuser could write there.
        QCOMPARE(logOrdner("/usr/bin", daten), daten);
        const QByteArray speicher = satz(9, 5, 14, 21, 6, 3) + satz(1, 2, 3, 4, 5, 'N', 'G', 'A') + QByteArray(496, char(0xFF));
        const QString pfad = QDir(daten).filePath("LOG.TXT");
        QCOMPARE(logAblegen(speicher, unmoeglich, daten), pfad);
        QCOMPARE(kit::lesen(pfad), QByteArray("21.06, 14:05:09, Meldelinie 3 - kommt : gesendet\r\n04.05, 03:02:01, kein GSM-Netz verf\xFCgbar - geht : aktiv\r\n"));
        // The user's alone: the folders made for it, the file.
        QCOMPARE(QStringList({kit::modus(tmp.filePath("daten")), kit::modus(daten), kit::modus(pfad)}), QStringList({"700", "700", "600"}));
        QCOMPARE(logAblegen(QByteArray(512, char(0xFF)), unmoeglich, daten), pfad);  // an empty ring: the file empty, not stale
        QCOMPARE(kit::lesen(pfad), QByteArray());
        QCOMPARE(QDir(daten).entryList(QDir::Files | QDir::Hidden), QStringList{"LOG.TXT"});
        // No folder to be had, none at all, or a folder where the file would go: no file said to be there.
        QVERIFY(QDir().mkpath(tmp.filePath("voll/LOG.TXT")));
        QCOMPARE(QStringList({logAblegen(speicher, unmoeglich, tmp.filePath("datei/daten")), logAblegen(speicher, "", ""),
                              logAblegen(speicher, "/", tmp.filePath("voll")), logAblegen(speicher, programm, daten)}),
                 QStringList({"", "", "", QDir(programm).filePath("LOG.TXT")}));
    }
};

QTEST_GUILESS_MAIN(TestEventlog)
#include "test_eventlog.moc"
