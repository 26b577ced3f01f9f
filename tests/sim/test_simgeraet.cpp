#include "sim/simfehler.h"
#include "sim/simgeraet.h"
#include "sim/simstandard.h"

#include <QTest>
#include <memory>

namespace {

const QByteArray ACK(1, char(0x06)), ESC(1, char(0x1B));

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
std::unique_ptr<SimGeraet> geraet(std::shared_ptr<qint64> zeit)
{
    return std::make_unique<SimGeraet>(speicherMuster(), simStandardEreignisse(), QDateTime(QDate(2024, 6, 21), QTime(14, 5, 9)), [zeit] { return *zeit; });
}

} // namespace

class TestSimGeraet : public QObject {
    Q_OBJECT
private slots:
    // One row: faults, then a session -- "+" connects, "-" disconnects, "~N"
    // lets N ms pass, any other entry is sent -- and what the device answered
    // over it all, what its memory holds, the pages its last write took in
    // whole and its writes. A row runs with both write models, or with the one
    // its first entry names ("=byte", "=complete").
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
        zeile("stop@3327, every read", "stop@3327", L{"+", "r", "r"}, ACK + r.left(3328) + r.left(3328), alt);
        zeile("stop@3328", "stop@3328", L{"+", "r"}, ACK + r, alt);
        zeile("clock set: 23:59:30 on 31 December, 2 s on", "", L{"+", "s\x30\x59\x23\x31\x52", "~2000", "t"}, ACK + "\x20\x3B\x17\x1F\x0C>", alt);
        zeile("write nothing", "", L{"+", "w" + ESC}, ACK + "w", alt, {}, 1);
        zeile("pages 1 and 12", "", L{"+", "w1" + s1 + "<" + s12 + ESC}, ACK + "w1" + s1 + "<" + s12, mit({{1, s1}, {12, s12}}), {1, 12}, 1);
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
        zeile("later write after a broken one, complete", "", L{"=complete"} + danachNeu, danachNeuAntwort, mit({{2, s12}}), {2}, 1);
        zeile("two writes", "", L{"+", "w0" + s0 + ESC, "w1" + s1 + ESC}, ACK + "w0" + s0 + "w1" + s1, mit({{0, s0}, {1, s1}}), {1}, 2);
        zeile("nostore@1", "nostore@1", L{"+", "w0" + s0 + "1" + s1 + ESC}, ACK + "w0" + s0 + "1" + s1, mit({{0, s0}}), {0}, 1);
        // Every write misses the same echo; the byte is taken in all the same.
        const QByteArray w = "w0" + s0 + ";" + s12;
        const auto ohne = [](QByteArray b, int n) { return b.remove(n - 1, 1); };
        const QByteArray m = mit({{0, s0}, {11, s12}});
        zeile("noecho@1: the w", "noecho@1", L{"+", w + ESC, w + ESC}, ACK + ohne(w, 1) + ohne(w, 1), m, {0, 11}, 2);
        zeile("noecho@515: last byte", "noecho@515", L{"+", w + ESC}, ACK + ohne(w, 515), m, {0, 11}, 1);
        // Gone for good at the n-th byte sent: nothing is taken in any more.
        const L danach{"+", "r", "l", "-", "+", "w0" + s0 + ESC + "rlt", "-", "+"};
        const QByteArray l = "l" + simStandardEreignisse();
        zeile("hangup after the ACK", "hangup@1", danach, ACK, alt);
        zeile("hangup within the read", "hangup@100", danach, ACK + r.left(99), alt);
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
            SimFehler fehler;
            QVERIFY2(angabe.isEmpty() || fehler.hinzufuegen(angabe), qPrintable(angabe));  // the row's faults are valid
            g->setzeFehler(fehler);
            g->setzeSchreibmodell(modell);
            QByteArray antwort, gesendet;
            for (const QByteArray& b : schritte) {
                if (b == "+")
                    antwort += g->verbunden();
                else if (b == "-")
                    g->getrennt();
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
            QCOMPARE(bool(g->letzteUhreinstellung()), gesendet.startsWith('s'));
            // The transcript holds every byte either way, also those a device gone for good ignores.
            QCOMPARE(g->mitschrift().empfangeneBytes(), gesendet);
            QTEST(g->mitschrift().gesendeteBytes(), "antwort");
            if (angabe.startsWith("hangup@"))
                QCOMPARE(g->gesendet(), angabe.mid(7).toLongLong());
        }
    }
};

QTEST_GUILESS_MAIN(TestSimGeraet)
#include "test_simgeraet.moc"
