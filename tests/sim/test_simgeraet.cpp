#include "mitschrift/mitschrift.h"
#include "sim/simfehler.h"
#include "sim/simgeraet.h"
#include "sim/simstandard.h"

#include <QBuffer>
#include <QFile>
#include <QTest>
#include <memory>

namespace {

const QByteArray ACK(1, char(0x06));
const QByteArray ESC(1, char(0x1B));

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

// An engine on a clock that only moves when the test says so.
std::unique_ptr<SimGeraet> geraet(std::shared_ptr<qint64> zeit = std::make_shared<qint64>(0),
                                  const QDateTime& uhr = QDateTime(QDate(2024, 6, 21), QTime(14, 5, 9)))
{
    return std::make_unique<SimGeraet>(speicherMuster(), simStandardEreignisse(), uhr,
                                       [zeit] { return *zeit; });
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
    // One row: faults, then a session -- "+" connects, "-" disconnects, "@..."
    // gives the device that event memory, "~N" lets N ms pass, any other entry
    // is sent -- and what the device answered over it all, what its memory
    // holds, the pages its last write took in whole and its writes. A row runs
    // with both write models, or with the one its first entry names ("=byte",
    // "=complete").
    void ablauf_data()
    {
        QTest::addColumn<QString>("angabe");
        QTest::addColumn<QList<QByteArray>>("schritte");
        QTest::addColumn<QByteArray>("antwort");
        QTest::addColumn<QByteArray>("speicher");
        QTest::addColumn<QList<int>>("seiten");
        QTest::addColumn<int>("vorgaenge");
        using L = QList<QByteArray>;
        const QByteArray alt = speicherMuster(), r = "r" + alt;
        const QByteArray s0 = musterseite(1), s1 = musterseite(2), s12 = musterseite(3);
        const auto mit = [&alt](std::initializer_list<std::pair<int, QByteArray>> seiten) {
            QByteArray m = alt;
            for (const auto& [seite, inhalt] : seiten)
                m.replace(seite * 256, 256, inhalt);
            return m;
        };
        const auto zeile = [](const char* name, const QString& angabe, const L& schritte, const QByteArray& antwort,
                              const QByteArray& speicher, const QList<int>& seiten = {}, int vorgaenge = 0) {
            QTest::newRow(name) << angabe << schritte << antwort << speicher << seiten << vorgaenge;
        };
        zeile("ACK on every connection", "", L{"+", "-", "+"}, ACK + ACK, alt);
        zeile("silent", "silent", L{"+", "r", "-", "+"}, "", alt);
        zeile("hangup@0", "hangup@0", L{"+", "t"}, "", alt);
        zeile("noecho does not touch the ACK", "noecho@1", L{"+", "r"}, ACK + r, alt);
        zeile("stop@0", "stop@0", L{"+", "r", "r"}, ACK + "rr", alt);
        zeile("stop@3327, every read", "stop@3327", L{"+", "r", "r"}, ACK + r.left(3328) + r.left(3328), alt);
        zeile("stop@3328", "stop@3328", L{"+", "r"}, ACK + r, alt);
        zeile("write nothing", "", L{"+", "w" + ESC}, ACK + "w", alt, {}, 1);
        zeile("pages 1 and 12", "", L{"+", "w1" + s1 + "<" + s12 + ESC}, ACK + "w1" + s1 + "<" + s12,
              mit({{1, s1}, {12, s12}}), {1, 12}, 1);
        zeile("same page twice: the last counts", "", L{"+", "w1" + s1 + "1" + s0 + ESC}, ACK + "w1" + s1 + "1" + s0,
              mit({{1, s0}}), {1}, 1);
        zeile("pages 13 and 31 echoed and dropped", "", L{"+", "w=" + s0 + "O" + s1 + ESC},
              ACK + "w=" + s0 + "O" + s1, alt, {}, 1);
        zeile("stray bytes instead of a page select: no echo", "", L{"+", "wP/x2" + s1 + "\x06" + ESC},
              ACK + "w2" + s1, mit({{2, s1}}), {2}, 1);
        // Every byte of a page is stored as it comes, ESC included, and stays
        // when the write breaks off; the other model keeps only whole writes.
        const QByteArray escSeite = s0.left(10) + ESC + s0.left(100) + ESC;
        const L escDrin{"+", "w0" + s0.left(10) + ESC + s0.left(100), ESC};
        zeile("ESC within a page is data", "", L{"=byte"} + escDrin, ACK + "w0" + escSeite, mit({{0, escSeite + alt.mid(112, 144)}}));
        zeile("ESC within a page is data, complete", "", L{"=complete"} + escDrin, ACK + "w0" + escSeite, alt);
        const L abgerissen{"+", "w0" + s0 + "1" + s1.left(50), "-", "+", "0" + ESC + "s12", "-", "+", "t"};
        const QByteArray abgerissenAntwort = ACK + "w0" + s0 + "1" + s1.left(50) + ACK + ACK + "\x09\x05\x0E\x15\x06>";
        zeile("disconnect ends a write begun; 0 is no command", "", L{"=byte"} + abgerissen, abgerissenAntwort,
              mit({{0, s0}, {1, s1.left(50) + alt.mid(256 + 50, 206)}}));
        zeile("disconnect drops a write begun, complete", "", L{"=complete"} + abgerissen, abgerissenAntwort, alt);
        // 5 s without a byte end a write: the next byte is a command.
        const L stille{"+", "w0" + s0.left(20), "~4999", s0.mid(20, 1), "~5000", "t"};
        const QByteArray stilleAntwort = ACK + "w0" + s0.left(21) + "\x12\x05\x0E\x15\x06>";
        zeile("silence ends a write", "", L{"=byte"} + stille, stilleAntwort, mit({{0, s0.left(21) + alt.mid(21, 235)}}));
        zeile("silence drops a write, complete", "", L{"=complete"} + stille, stilleAntwort, alt);
        // A write takes in only its own pages: none of an earlier one, ended or broken off.
        const L danachNeu{"+", "w0" + s0 + "1" + s1.left(9), "-", "+", "w2" + s12 + ESC};
        const QByteArray danachNeuAntwort = ACK + "w0" + s0 + "1" + s1.left(9) + ACK + "w2" + s12;
        zeile("later write after a broken one", "", L{"=byte"} + danachNeu, danachNeuAntwort,
              mit({{0, s0}, {1, s1.left(9) + alt.mid(256 + 9, 247)}, {2, s12}}), {2}, 1);
        zeile("later write after a broken one, complete", "", L{"=complete"} + danachNeu, danachNeuAntwort,
              mit({{2, s12}}), {2}, 1);
        zeile("two writes", "", L{"+", "w0" + s0 + ESC, "w1" + s1 + ESC}, ACK + "w0" + s0 + "w1" + s1,
              mit({{0, s0}, {1, s1}}), {1}, 2);
        zeile("nostore@1", "nostore@1", L{"+", "w0" + s0 + "1" + s1 + ESC}, ACK + "w0" + s0 + "1" + s1, mit({{0, s0}}), {0}, 1);
        zeile("ESC leaves a clock setting", "", L{"+", "s\x12\x34" + ESC + "t"}, ACK + "\x09\x05\x0E\x15\x06>", alt);
        QByteArray fremd;
        for (int c = 0; c < 256; ++c)
            if (!QByteArray("rwlts").contains(char(c)))
                fremd.append(char(c));
        zeile("unknown bytes unanswered", "", L{"+", fremd, "R W L T S", "l"}, ACK + "l" + simStandardEreignisse(),
              alt);
        zeile("short event memory filled with 0xFF", "", L{"+", "@kurz", "l"}, ACK + "lkurz" + QByteArray(508, '\xFF'), alt);
        // Every write misses the same echo; the byte is taken in all the same.
        const QByteArray w = "w0" + s0 + ";" + s12;
        const auto ohne = [](QByteArray b, int n) { return b.remove(n - 1, 1); };
        const QByteArray m = mit({{0, s0}, {11, s12}});
        zeile("noecho@1: the w", "noecho@1", L{"+", w + ESC, w + ESC}, ACK + ohne(w, 1) + ohne(w, 1), m, {0, 11}, 2);
        zeile("noecho@2: page select", "noecho@2", L{"+", w + ESC}, ACK + ohne(w, 2), m, {0, 11}, 1);
        zeile("noecho@515: last byte", "noecho@515", L{"+", w + ESC}, ACK + ohne(w, 515), m, {0, 11}, 1);
        zeile("noecho@516: after the end", "noecho@516", L{"+", w + ESC}, ACK + w, m, {0, 11}, 1);
        // Gone for good at the n-th byte sent: nothing is taken in any more.
        const L danach{"+", "r", "l", "-", "+", "w0" + s0 + ESC + "rlt", "-", "+"};
        const QByteArray l = "l" + simStandardEreignisse();
        zeile("hangup after the ACK", "hangup@1", danach, ACK, alt);
        zeile("hangup within the read", "hangup@100", danach, ACK + r.left(99), alt);
        zeile("hangup right after the read", "hangup@3330", danach, ACK + r, alt);
        zeile("hangup within the events", "hangup@3331", danach, ACK + r + "l", alt);
        zeile("hangup within a page: its bytes echoed stay in place", "hangup@53", L{"=byte", "+", "w0" + s0 + ESC},
              ACK + "w0" + s0.left(50), mit({{0, s0.left(50) + alt.mid(50, 206)}}));
        zeile("hangup at the next ACK", "hangup@3844", danach, ACK + r + l + ACK, alt);
    }
    void ablauf()
    {
        QFETCH(QString, angabe);
        QFETCH(QList<QByteArray>, schritte);
        using M = SimGeraet::Schreibmodell;
        QList<M> modelle{M::Zeichenweise, M::Vollstaendig};
        if (schritte.first().startsWith('='))
            modelle = {schritte.takeFirst() == "=byte" ? M::Zeichenweise : M::Vollstaendig};
        for (M modell : modelle)
        for (bool einzeln : {false, true}) {  // each entry at once, then byte by byte
            auto zeit = std::make_shared<qint64>(0);
            auto g = geraet(zeit);
            g->setzeFehler(fehler(angabe));
            g->setzeSchreibmodell(modell);
            QByteArray antwort, gesendet;
            for (const QByteArray& b : schritte) {
                if (b == "+")
                    antwort += g->verbunden();
                else if (b == "-")
                    g->getrennt();
                else if (b.startsWith('@'))
                    g->setzeEreignisse(b.mid(1));
                else if (b.startsWith('~') && b.size() > 1)
                    *zeit += b.mid(1).toLongLong();
                else if (gesendet += b; !einzeln)
                    antwort += g->empfangen(b);
                else
                    for (char c : b)
                        antwort += g->empfangen(QByteArray(1, c));
            }
            QTEST(antwort, "antwort");
            QTEST(g->speicher(), "speicher");
            QTEST(g->letzteSeiten(), "seiten");
            QTEST(g->schreibvorgaenge(), "vorgaenge");
            QVERIFY(!g->letzteUhreinstellung());
            // The transcript holds every byte either way, also those a device gone for good ignores.
            QCOMPARE(g->mitschrift().empfangeneBytes(), gesendet);
            QTEST(g->mitschrift().gesendeteBytes(), "antwort");
            if (angabe.startsWith("hangup@"))
                QCOMPARE(g->gesendet(), angabe.mid(7).toLongLong());
        }
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

    // The clock as read after a time, or after a setting ("s", five bytes, ESC:
    // no answer); two seconds later it has run on by two.
    void uhr_data()
    {
        QTest::addColumn<QDateTime>("gestellt");
        QTest::addColumn<qint64>("spaeterMs");
        QTest::addColumn<QByteArray>("bytes");     // of the setting; empty: none
        QTest::addColumn<bool>("gueltig");
        QTest::addColumn<QList<int>>("felder");  // s, m, h, Tag, Monat, Jahr mod 4, Wochentag
        QTest::addColumn<QByteArray>("antwort");
        const QDateTime d(QDate(2024, 6, 21), QTime(14, 5, 9));
        const QByteArray vorher("\x09\x05\x0E\x15\x06>");
        const auto lesen = [](const char* name, const QDateTime& gestellt, qint64 ms, const QByteArray& antwort) {
            QTest::newRow(name) << gestellt << ms << QByteArray() << false << QList<int>() << antwort;
        };
        const auto stellen = [&d](const char* name, const QByteArray& b, bool ok, const QList<int>& f, const QByteArray& a) {
            QTest::newRow(name) << d << qint64(0) << b << ok << f << a;
        };
        lesen("61,9 s spaeter", d, 61'900, "\x0A\x06\x0E\x15\x06>");
        lesen("ueber Mitternacht ins neue Jahr", QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58)), 3'000,
              QByteArray("\x01\x00\x00\x01\x01>", 6));
        lesen("Schaltjahr", QDateTime(QDate(2024, 2, 28), QTime(23, 59, 59)), 1'000, QByteArray("\x00\x00\x00\x1D\x02>", 6));
        stellen("Sonntag 21.6., Jahr mod 4 = 2", "\x09\x05\x14\xA1\xC6", true, {9, 5, 14, 21, 6, 2, 6}, vorher);
        stellen("23:59:45 am 31.12., Montag", "\x45\x59\x23\x31\x12", true, {45, 59, 23, 31, 12, 0, 0}, "\x2D\x3B\x17\x1F\x0C>");
        stellen("29.2. im Schaltjahr", QByteArray("\x00\x00\x00\x29\x02", 5), true, {0, 0, 0, 29, 2, 0, 0},
                QByteArray("\x00\x00\x00\x1D\x02>", 6));
        stellen("1.3., Samstag", QByteArray("\x00\x00\x00\x41\xA3", 5), true, {0, 0, 0, 1, 3, 1, 5},
                QByteArray("\x00\x00\x00\x01\x03>", 6));
        stellen("29.2. sonst", QByteArray("\x00\x00\x00\x69\x02", 5), false, {0, 0, 0, 29, 2, 1, 0}, vorher);
        stellen("Sekunden nicht BCD", "\x3A\x05\x14\x21\x06", false, {-1, 5, 14, 21, 6, 0, 0}, vorher);
        stellen("Stunde 24", QByteArray("\x00\x00\x24\x21\x06", 5), false, {0, 0, -1, 21, 6, 0, 0}, vorher);
        stellen("Monat 13", QByteArray("\x00\x00\x10\x21\x13", 5), false, {0, 0, 10, 21, -1, 0, 0}, vorher);
        stellen("Wochentag 7", QByteArray("\x00\x00\x10\x21\xE6", 5), false, {0, 0, 10, 21, 6, 0, 7}, vorher);
    }
    void uhr()
    {
        QFETCH(QDateTime, gestellt);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, antwort);
        auto zeit = std::make_shared<qint64>(5'000);
        auto g = geraet(zeit, gestellt);
        QFETCH(qint64, spaeterMs);
        *zeit += spaeterMs;
        g->verbunden();
        if (!bytes.isEmpty()) {
            QCOMPARE(g->empfangen("s" + bytes + ESC), QByteArray());
            const auto e = g->letzteUhreinstellung();
            QVERIFY(e);
            QCOMPARE(e->bytes, bytes);
            QTEST(e->gueltig, "gueltig");
            QTEST((QList<int>{e->sekunde, e->minute, e->stunde, e->tag, e->monat, e->jahrRest, e->wochentag}), "felder");
        }
        QCOMPARE(g->empfangen("t"), antwort);
        *zeit += 2'000;
        QCOMPARE(g->empfangen("t").at(0), char(antwort.at(0) + 2));
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
        QFile datei(qEnvironmentVariable("GSMBV_SOURCE_DIR") + QStringLiteral("/tests/sim/daten/zeilen.txt"));
        QVERIFY(datei.open(QIODevice::ReadOnly));
        const QString erwartet = QString::fromUtf8(datei.readAll());
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
