#include "image/ansi.h"
#include "image/felder.h"
#include "mitschrift/mitschrift.h"
#include "sim/simfehler.h"
#include "sim/simgeraet.h"
#include "sim/simstandard.h"

#include <QBuffer>
#include <QTest>
#include <memory>

namespace {

QByteArray ff(int n) { return QByteArray(n, char(0xFF)); }
QByteArray b1(int v) { return QByteArray(1, char(v)); }
const QByteArray ESC = b1(0x1B);

// A page of 256 distinct-looking bytes that includes ESC, ACK and 0xFF.
QByteArray musterseite(int saat)
{
    QByteArray s;
    for (int i = 0; i < 256; ++i)
        s.append(char((i * 7 + saat) & 0xFF));
    return s;
}

QByteArray speicherMuster()
{
    QByteArray s;
    for (int i = 0; i < SimGeraet::kSpeicherBytes; ++i)
        s.append(char((i / 256 * 16 + i) & 0xFF));
    return s;
}

struct Uhrzeit {
    qint64 ms = 0;
};

// An engine on a clock that only moves when the test says so.
std::unique_ptr<SimGeraet> geraet(std::shared_ptr<Uhrzeit> zeit = std::make_shared<Uhrzeit>(),
                                  const QDateTime& uhr = QDateTime(QDate(2024, 6, 21), QTime(14, 5, 9)))
{
    return std::make_unique<SimGeraet>(speicherMuster(), simStandardEreignisse(), uhr,
                                       [zeit] { return zeit->ms; });
}

SimFehler fehler(const QString& angabe)
{
    SimFehler f;
    if (!angabe.isEmpty() && !f.hinzufuegen(angabe))
        qFatal("bad fault description in test: %s", qPrintable(angabe));
    return f;
}

} // namespace

class TestSimGeraet : public QObject {
    Q_OBJECT
private slots:
    void verbindung_data()
    {
        QTest::addColumn<QString>("angabe");
        QTest::addColumn<QByteArray>("erwartet");
        QTest::newRow("ohne Fehler") << QString() << b1(0x06);
        QTest::newRow("silent") << "silent" << QByteArray();
        QTest::newRow("hangup@0") << "hangup@0" << QByteArray();
        QTest::newRow("noecho betrifft das ACK nicht") << "noecho@1" << b1(0x06);
    }
    void verbindung()
    {
        QFETCH(QString, angabe);
        QFETCH(QByteArray, erwartet);
        auto g = geraet();
        g->setzeFehler(fehler(angabe));
        QCOMPARE(g->verbunden(), erwartet);
        g->getrennt();
        QCOMPARE(g->verbunden(), erwartet);
    }

    void rauschenVorDemAck()
    {
        auto a = geraet();
        auto b = geraet();
        auto c = geraet();
        a->setzeFehler(fehler("noise"));
        b->setzeFehler(fehler("noise"));
        c->setzeFehler(fehler("noise@12345"));
        QList<QByteArray> folge;
        for (int i = 0; i < 20; ++i) {
            const QByteArray x = a->verbunden();
            QCOMPARE(b->verbunden(), x);  // same seed, same noise
            QVERIFY2(x.size() >= 4 && x.size() <= 9, x.toHex().constData());
            QCOMPARE(x.back(), char(0x06));
            QCOMPARE(x.count(char(0x06)), 1);
            folge.append(x);
        }
        QVERIFY(folge[0] != folge[1]);   // every connection its own noise
        QVERIFY(c->verbunden() != folge[0]);
    }

    void lesen_data()
    {
        QTest::addColumn<QString>("angabe");
        QTest::addColumn<int>("anzahl");
        QTest::newRow("ganz") << QString() << 3328;
        QTest::newRow("stop@0") << "stop@0" << 0;
        QTest::newRow("stop@1") << "stop@1" << 1;
        QTest::newRow("stop@3327") << "stop@3327" << 3327;
        QTest::newRow("stop@3328") << "stop@3328" << 3328;
        QTest::newRow("stop@9999") << "stop@9999" << 3328;
        QTest::newRow("noecho betrifft nur Schreiben") << "noecho@1" << 3328;
    }
    void lesen()
    {
        QFETCH(QString, angabe);
        QFETCH(int, anzahl);
        auto g = geraet();
        g->setzeFehler(fehler(angabe));
        g->verbunden();
        QCOMPARE(g->empfangen("r"), QByteArray("r") + speicherMuster().left(anzahl));
        // The device is ready for the next command.
        QCOMPARE(g->empfangen("r"), QByteArray("r") + speicherMuster().left(anzahl));
    }

    void schreiben_data()
    {
        QTest::addColumn<QByteArray>("gesendet");
        QTest::addColumn<QByteArray>("echo");
        QTest::addColumn<QList<int>>("seiten");
        QTest::addColumn<QByteArray>("speicher");
        QTest::addColumn<bool>("vollendet");  // ended by ESC

        const QByteArray s0 = musterseite(1), s1 = musterseite(2), s12 = musterseite(3);
        QByteArray alt = speicherMuster();

        QTest::newRow("nichts") << (QByteArray("w") + ESC) << QByteArray("w") << QList<int>{} << alt << true;

        QByteArray m = alt;
        m.replace(0, 256, s0);
        QTest::newRow("Seite 0") << (QByteArray("w0") + s0 + ESC) << (QByteArray("w0") + s0) << QList<int>{0} << m << true;

        m = alt;
        m.replace(256, 256, s1);
        m.replace(12 * 256, 256, s12);
        QTest::newRow("Seiten 1 und 12") << (QByteArray("w1") + s1 + "<" + s12 + ESC)
                                         << (QByteArray("w1") + s1 + "<" + s12) << QList<int>{1, 12} << m << true;

        m = alt;
        m.replace(256, 256, s0);
        QTest::newRow("gleiche Seite zweimal: die letzte gilt")
            << (QByteArray("w1") + s1 + "1" + s0 + ESC) << (QByteArray("w1") + s1 + "1" + s0) << QList<int>{1} << m << true;

        QTest::newRow("Seiten 13 und 31 werden bestaetigt und verworfen")
            << (QByteArray("w=") + s0 + "O" + s1 + ESC) << (QByteArray("w=") + s0 + "O" + s1) << QList<int>{} << alt << true;

        m = alt;
        m.replace(2 * 256, 256, s1);
        QTest::newRow("fremde Zeichen statt Seitenwahl: ohne Echo uebergangen")
            << (QByteArray("wP/x2") + s1 + "\x06" + ESC) << (QByteArray("w2") + s1) << QList<int>{2} << m << true;

        QTest::newRow("ESC mitten in der Seite ist ein Datenbyte")
            << (QByteArray("w0") + s0.left(10) + ESC + s0.left(100))
            << (QByteArray("w0") + s0.left(10) + ESC + s0.left(100)) << QList<int>{} << alt << false;
    }
    void schreiben()
    {
        QFETCH(QByteArray, gesendet);
        QFETCH(QByteArray, echo);
        QFETCH(QList<int>, seiten);
        QFETCH(QByteArray, speicher);
        QFETCH(bool, vollendet);
        auto g = geraet();
        g->verbunden();
        QCOMPARE(g->empfangen(gesendet), echo);
        if (!vollendet) {  // the device still waits for the rest of the page
            QCOMPARE(g->schreibvorgaenge(), 0);
            QCOMPARE(g->speicher(), speicher);
            QCOMPARE(g->empfangen(ESC), ESC);  // still data of page 0, echoed
            return;
        }
        QCOMPARE(g->schreibvorgaenge(), 1);
        QCOMPARE(g->letzteSeiten(), seiten);
        QCOMPARE(g->speicher(), speicher);
        // Byte by byte gives the same.
        auto h = geraet();
        h->verbunden();
        QByteArray e;
        for (char c : gesendet)
            e += h->empfangen(QByteArray(1, c));
        QCOMPARE(e, echo);
        QCOMPARE(h->speicher(), speicher);
    }

    void keinEcho_data()
    {
        QTest::addColumn<int>("n");
        QTest::newRow("das w") << 1;
        QTest::newRow("die Seitenwahl") << 2;
        QTest::newRow("erstes Datenbyte") << 3;
        QTest::newRow("100. Byte von Seite 11") << 2 + 256 + 1 + 100;
        QTest::newRow("letztes Byte") << 2 + 256 + 1 + 256;
        QTest::newRow("nach dem Ende") << 2 + 256 + 1 + 256 + 1;
    }
    void keinEcho()
    {
        QFETCH(int, n);
        auto g = geraet();
        g->setzeFehler(fehler(QStringLiteral("noecho@%1").arg(n)));
        g->verbunden();
        const QByteArray s0 = musterseite(5), s11 = musterseite(6);
        const QByteArray zeichen = QByteArray("w0") + s0 + ";" + s11;
        QByteArray erwartet = zeichen;
        if (n <= zeichen.size())
            erwartet.remove(n - 1, 1);
        for (int durchgang = 0; durchgang < 2; ++durchgang) {  // every write misses the same echo
            QByteArray echo;
            for (char c : zeichen)
                echo += g->empfangen(QByteArray(1, c));
            QCOMPARE(echo, erwartet);
            QCOMPARE(g->empfangen(ESC), QByteArray());
            // The unechoed byte was taken in all the same.
            QCOMPARE(g->speicher().mid(0, 256), s0);
            QCOMPARE(g->speicher().mid(11 * 256, 256), s11);
            QCOMPARE(g->schreibvorgaenge(), durchgang + 1);
        }
    }

    void trennenVerwirftAngefangenes()
    {
        auto g = geraet();
        g->verbunden();
        // A complete page, then the line is closed before ESC: nothing is stored.
        g->empfangen(QByteArray("w0") + musterseite(9) + "1" + musterseite(9).left(50));
        g->getrennt();
        QCOMPARE(g->speicher(), speicherMuster());
        QCOMPARE(g->schreibvorgaenge(), 0);
        // The next connection starts afresh: "0" is no command outside a write.
        QCOMPARE(g->verbunden(), b1(0x06));
        QCOMPARE(g->empfangen(QByteArray("0") + ESC + "s12"), QByteArray());
        g->getrennt();
        QVERIFY(!g->letzteUhreinstellung());
        g->verbunden();
        QCOMPARE(g->empfangen("t"), QByteArray("\x09\x05\x0E\x15\x06>"));
    }

    void fremdeBytesOhneAntwort()
    {
        auto g = geraet();
        g->verbunden();
        QByteArray alle;
        for (int b = 0; b < 256; ++b)
            if (!QByteArray("rwlts").contains(char(b)))
                alle.append(char(b));
        QCOMPARE(g->empfangen(alle), QByteArray());
        QCOMPARE(g->empfangen("R W L T S"), QByteArray());
        QCOMPARE(g->empfangen("l").size(), 513);
    }

    void ereignisspeicher()
    {
        auto g = geraet();
        QByteArray ring;
        for (int i = 0; i < 512; ++i)
            ring.append(char(255 - i % 256));
        g->setzeEreignisse(ring);
        g->verbunden();
        QCOMPARE(g->empfangen("l"), QByteArray("l") + ring);
        g->setzeEreignisse("kurz");
        QCOMPARE(g->empfangen("l"), QByteArray("lkurz") + ff(508));
    }

    void uhrLesen_data()
    {
        QTest::addColumn<QDateTime>("gestellt");
        QTest::addColumn<qint64>("spaeterMs");
        QTest::addColumn<QByteArray>("antwort");
        const QDate d(2024, 6, 21);
        QTest::newRow("gleich") << QDateTime(d, QTime(14, 5, 9)) << qint64(0) << QByteArray("\x09\x05\x0E\x15\x06>");
        QTest::newRow("61,9 s spaeter") << QDateTime(d, QTime(14, 5, 9)) << qint64(61'900)
                                        << QByteArray("\x0A\x06\x0E\x15\x06>");
        QTest::newRow("ueber Mitternacht ins neue Jahr")
            << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58)) << qint64(3'000)
            << QByteArray("\x01\x00\x00\x01\x01>", 6);
        QTest::newRow("Schaltjahr") << QDateTime(QDate(2024, 2, 28), QTime(23, 59, 59)) << qint64(1'000)
                                    << QByteArray("\x00\x00\x00\x1D\x02>", 6);
    }
    void uhrLesen()
    {
        QFETCH(QDateTime, gestellt);
        QFETCH(qint64, spaeterMs);
        QFETCH(QByteArray, antwort);
        auto zeit = std::make_shared<Uhrzeit>();
        zeit->ms = 5'000;
        auto g = geraet(zeit, gestellt);
        zeit->ms += spaeterMs;
        g->verbunden();
        QCOMPARE(g->empfangen("t"), antwort);
    }

    void uhrStellen_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("gueltig");
        QTest::addColumn<QByteArray>("danachT");
        QTest::addColumn<QList<int>>("felder");  // s, m, h, Tag, Monat, Jahr mod 4, Wochentag
        const QByteArray vorher("\x09\x05\x0E\x15\x06>");
        QTest::newRow("Sonntag 21.6., Jahr mod 4 = 2") << QByteArray("\x09\x05\x14\xA1\xC6") << true
                                                       << QByteArray("\x09\x05\x0E\x15\x06>")
                                                       << QList<int>{9, 5, 14, 21, 6, 2, 6};
        QTest::newRow("23:59:45 am 31.12., Montag") << QByteArray("\x45\x59\x23\x31\x12") << true
                                                    << QByteArray("\x2D\x3B\x17\x1F\x0C>")
                                                    << QList<int>{45, 59, 23, 31, 12, 0, 0};
        QTest::newRow("29.2. im Schaltjahr") << QByteArray("\x00\x00\x00\x29\x02", 5) << true
                                             << QByteArray("\x00\x00\x00\x1D\x02>", 6)
                                             << QList<int>{0, 0, 0, 29, 2, 0, 0};
        QTest::newRow("29.2. sonst") << QByteArray("\x00\x00\x00\x69\x02", 5) << false << vorher
                                     << QList<int>{0, 0, 0, 29, 2, 1, 0};
        QTest::newRow("Sekunden nicht BCD") << QByteArray("\x3A\x05\x14\x21\x06") << false << vorher
                                            << QList<int>{-1, 5, 14, 21, 6, 0, 0};
        QTest::newRow("Stunde 24") << QByteArray("\x00\x00\x24\x21\x06", 5) << false << vorher
                                   << QList<int>{0, 0, -1, 21, 6, 0, 0};
        QTest::newRow("Monat 13") << QByteArray("\x00\x00\x10\x21\x13", 5) << false << vorher
                                  << QList<int>{0, 0, 10, 21, -1, 0, 0};
        QTest::newRow("Wochentag 7") << QByteArray("\x00\x00\x10\x21\xE6", 5) << false << vorher
                                     << QList<int>{0, 0, 10, 21, 6, 0, 7};
    }
    void uhrStellen()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, gueltig);
        QFETCH(QByteArray, danachT);
        QFETCH(QList<int>, felder);
        auto zeit = std::make_shared<Uhrzeit>();
        auto g = geraet(zeit);
        g->verbunden();
        // No echo, no answer, for "s" and its five bytes; the ESC that follows is ignored.
        QCOMPARE(g->empfangen("s"), QByteArray());
        for (char c : bytes)
            QCOMPARE(g->empfangen(QByteArray(1, c)), QByteArray());
        QCOMPARE(g->empfangen(ESC), QByteArray());
        const auto e = g->letzteUhreinstellung();
        QVERIFY(e);
        QCOMPARE(e->bytes, bytes);
        QCOMPARE(e->gueltig, gueltig);
        QCOMPARE((QList<int>{e->sekunde, e->minute, e->stunde, e->tag, e->monat, e->jahrRest, e->wochentag}), felder);
        QCOMPARE(g->empfangen("t"), danachT);
        zeit->ms += 2'000;
        QCOMPARE(g->empfangen("t").at(0), char(danachT.at(0) + 2));
    }

    void uhrStellenAbgebrochen()
    {
        auto g = geraet();
        g->verbunden();
        // ESC leaves the setting; the bytes after it are commands again.
        QCOMPARE(g->empfangen(QByteArray("s\x12\x34") + ESC + "t"), QByteArray("\x09\x05\x0E\x15\x06>"));
        QVERIFY(!g->letzteUhreinstellung());
    }

    void auflegen_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QByteArray>("antworten");  // ACK, "r" answer, "l" answer, next ACK
        const QByteArray r = QByteArray("r") + speicherMuster();
        QTest::newRow("nach dem ACK") << 1 << b1(0x06);
        QTest::newRow("mitten im Lesen") << 100 << (b1(0x06) + r.left(99));
        QTest::newRow("genau nach dem Lesen") << 3330 << (b1(0x06) + r);
        QTest::newRow("im Ereignisspeicher") << 3331 << (b1(0x06) + r + "l");
        QTest::newRow("beim naechsten ACK")
            << 3330 + 513 + 1 << (b1(0x06) + r + QByteArray("l") + simStandardEreignisse() + b1(0x06));
    }
    void auflegen()
    {
        QFETCH(int, n);
        QFETCH(QByteArray, antworten);
        auto g = geraet();
        g->setzeFehler(fehler(QStringLiteral("hangup@%1").arg(n)));
        QByteArray alles = g->verbunden();
        alles += g->empfangen("r");
        alles += g->empfangen("l");
        g->getrennt();
        alles += g->verbunden();
        QCOMPARE(alles, antworten);
        QCOMPARE(g->gesendet(), qint64(n));
        QVERIFY(g->weg());
        // Gone for good: nothing is taken in any more.
        QCOMPARE(g->empfangen(QByteArray("w0") + musterseite(1) + ESC + "rlt"), QByteArray());
        QCOMPARE(g->verbunden(), QByteArray());
        QCOMPARE(g->schreibvorgaenge(), 0);
    }

    void mitschrift()
    {
        auto g = geraet();
        g->verbunden();
        g->empfangen("t");
        g->empfangen(QByteArray("w") + ESC);
        g->getrennt();
        QCOMPARE(g->mitschrift().text(), QStringLiteral("== verbunden\n-> 06\n<- 74\n-> 09 05 0E 15 06 3E\n"
                                                        "<- 77\n-> 77\n<- 1B\n== getrennt\n"));
        QCOMPARE(g->mitschrift().empfangeneBytes(), QByteArray("tw\x1B"));
        QCOMPARE(g->mitschrift().gesendeteBytes(), QByteArray("\x06\x09\x05\x0E\x15\x06>w"));
    }

    void mitschriftZeilenUndAusgabe()
    {
        Mitschrift m;
        QBuffer puffer;
        puffer.open(QIODevice::WriteOnly);
        m.setzeAusgabe(&puffer);
        QByteArray lang;
        for (int i = 0; i < 70; ++i)
            lang.append(char(i));
        m.gesendet(lang.left(40));
        // One full line out at once, the rest waits.
        QCOMPARE(puffer.data().count('\n'), 1);
        m.gesendet(lang.mid(40));
        QCOMPARE(puffer.data().count('\n'), 2);
        m.empfangen("\xAB");
        m.ereignis(QStringLiteral("getrennt"));
        m.abschliessen();
        const QString erwartet = QStringLiteral(
            "-> 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F\n"
            "-> 20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D 2E 2F 30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F\n"
            "-> 40 41 42 43 44 45\n"
            "<- AB\n"
            "== getrennt\n");
        QCOMPARE(m.text(), erwartet);
        QCOMPARE(QString::fromUtf8(puffer.data()), erwartet);
        m.setzeAusgabe(nullptr);
    }

    void fehlerangaben_data()
    {
        QTest::addColumn<QString>("angabe");
        QTest::addColumn<QStringList>("angaben");  // empty = refused
        QTest::newRow("silent") << "silent" << QStringList{"silent"};
        QTest::newRow("kombiniert") << "noecho@258, stop@100,noise,hangup@5000"
                                    << QStringList{"noecho@258", "stop@100", "noise", "hangup@5000"};
        QTest::newRow("Saat") << "noise@77" << QStringList{"noise@77"};
        QTest::newRow("nostore zweimal") << "nostore@11,nostore@3" << QStringList{"nostore@3", "nostore@11"};
        QTest::newRow("nostore@13") << "nostore@13" << QStringList{};
        QTest::newRow("stop@0") << "stop@0" << QStringList{"stop@0"};
        QTest::newRow("noecho@0") << "noecho@0" << QStringList{};
        QTest::newRow("ohne Zahl") << "stop@" << QStringList{};
        QTest::newRow("negativ") << "hangup@-1" << QStringList{};
        QTest::newRow("keine Zahl") << "noecho@x" << QStringList{};
        QTest::newRow("silent mit Zahl") << "silent@1" << QStringList{};
        QTest::newRow("unbekannt") << "hangup" << QStringList{};
        QTest::newRow("leer") << "" << QStringList{};
        QTest::newRow("Saat 0") << "noise@0" << QStringList{};
        QTest::newRow("ein Teil falsch") << "silent,stop@x" << QStringList{};
    }
    void fehlerangaben()
    {
        QFETCH(QString, angabe);
        QFETCH(QStringList, angaben);
        SimFehler f;
        f.stopp = 7;
        QString meldung;
        const bool ok = f.hinzufuegen(angabe, &meldung);
        QCOMPARE(ok, !angaben.isEmpty());
        if (!ok) {
            QVERIFY(!meldung.isEmpty());
            QCOMPARE(f.angaben(), QStringList{"stop@7"});  // unchanged
            return;
        }
        SimFehler neu;
        QVERIFY(neu.hinzufuegen(angabe));
        QCOMPARE(neu.angaben(), angaben);
    }
};

QTEST_GUILESS_MAIN(TestSimGeraet)
#include "test_simgeraet.moc"
