#include "image/empfaenger.h"

#include <QTest>

using namespace empfaenger;
Q_DECLARE_METATYPE(empfaenger::Art)

namespace {
QByteArray ff(int n) { return QByteArray(n, char(0xFF)); }
QByteArray gerahmt(const QByteArray& inhalt) { return inhalt + ff(128 - int(inhalt.size())); }
} // namespace

class TestEmpfaenger : public QObject {
    Q_OBJECT
private slots:
    void kodierung_data()
    {
        QTest::addColumn<Art>("art");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("a1");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("GSM A1") << Art::GSM << "+436641234567" << true << QByteArray("+436641234567");
        QTest::newRow("GSM andere") << Art::GSM << "06761234" << false << QByteArray("06761234");
        QTest::newRow("Fax A1") << Art::Fax << "0316123456" << true << QByteArray("066468020316123456");
        QTest::newRow("Fax andere") << Art::Fax << "0316123456" << false << QByteArray("67620316123456");
        QTest::newRow("email A1") << Art::Email << "max@firma.at" << true << QByteArray("0664680502&max*firma.at (Boravilon)");
        QTest::newRow("email andere") << Art::Email << "max@firma.at" << false << QByteArray("6761&max*firma.at ");
        QTest::newRow("email Umlaut") << Art::Email << "jörg@bäcker.at" << false << QByteArray("6761&j\xF6rg*b\xE4" "cker.at ");
    }
    void kodierung()
    {
        QFETCH(Art, art);
        QFETCH(QString, text);
        QFETCH(bool, a1);
        QFETCH(QByteArray, bytes);
        QCOMPARE(kodieren({art, text}, a1), bytes);
        QCOMPARE(dekodieren(bytes), (Eintrag{art, text}));
    }

    void dekodierung_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Art>("art");
        QTest::addColumn<QString>("text");
        QTest::newRow("GSM wie Fax A1") << QByteArray("0664680212345") << Art::Fax << "12345";
        QTest::newRow("GSM wie Fax andere") << QByteArray("67621234") << Art::Fax << "1234";
        QTest::newRow("nur Fax-Vorwahl") << QByteArray("6762") << Art::Fax << "";
        QTest::newRow("0664 ist GSM") << QByteArray("06641234") << Art::GSM << "06641234";
        QTest::newRow("6761 ohne &") << QByteArray("67611234") << Art::GSM << "67611234";
        QTest::newRow("GSM behaelt *") << QByteArray("*101#") << Art::GSM << "*101#";
        QTest::newRow("A1 ohne Blank vor (") << QByteArray("0664680502&a*b.at(Boravilon)") << Art::Email << "a@b.at";
        QTest::newRow("A1 nur ein Blank weg") << QByteArray("0664680502&a*b.at  (x)") << Art::Email << "a@b.at ";
        QTest::newRow("A1 ohne Endung") << QByteArray("0664680502&a*b.at") << Art::Email << "a@b.at";
        QTest::newRow("A1 bis zur ersten (") << QByteArray("0664680502&a(b) (Boravilon)") << Art::Email << "a";
        QTest::newRow("andere ohne Blank") << QByteArray("6761&a*b.at") << Art::Email << "a@b.at";
        QTest::newRow("andere bis zum ersten Blank") << QByteArray("6761&a*b c ") << Art::Email << "a@b";
        QTest::newRow("andere mit A1-Endung") << QByteArray("6761&a*b.at (Boravilon)") << Art::Email << "a@b.at";
    }
    void dekodierung()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Art, art);
        QFETCH(QString, text);
        QCOMPARE(dekodieren(bytes), (Eintrag{art, text}));
    }

    void liste_data()
    {
        QTest::addColumn<QList<Eintrag>>("eintraege");
        QTest::addColumn<bool>("a1");
        QTest::addColumn<QByteArray>("bytes");  // empty: does not fit
        QTest::addColumn<int>("bedarf");
        QTest::newRow("leer") << QList<Eintrag>{} << true << gerahmt("\x03") << 1;
        QTest::newRow("Luecke andere")
            << QList<Eintrag>{{Art::GSM, "0664111"}, {Art::Fax, ""}, {Art::Fax, "0316"}} << false
            << gerahmt("0664111\r67620316\r\x03") << 18;
        QTest::newRow("genau 128") << QList<Eintrag>{{Art::GSM, QString(126, '1')}} << true
                                   << (QByteArray(126, '1') + "\r\x03") << 128;
        QTest::newRow("129") << QList<Eintrag>{{Art::GSM, QString(127, '1')}} << true << QByteArray() << 129;
        const QList<Eintrag> mails(3, {Art::Email, "service@firma.at"});
        QTest::newRow("Mails andere passen") << mails << false << gerahmt(QByteArray("6761&service*firma.at \r").repeated(3) + '\x03') << 70;
        QTest::newRow("Mails A1 zu lang") << mails + QList<Eintrag>(2, {Art::Email, "service@firma.at"}) << true << QByteArray() << 201;
    }
    void liste()
    {
        QFETCH(QList<Eintrag>, eintraege);
        QFETCH(bool, a1);
        QFETCH(QByteArray, bytes);
        QFETCH(int, bedarf);
        QCOMPARE(listeBedarf(eintraege, a1), bedarf);
        const std::optional<QByteArray> l = listeKodieren(eintraege, a1);
        QCOMPARE(l.has_value(), !bytes.isEmpty());
        if (l)
            QCOMPARE(*l, bytes);
    }

    void zeichen_data()
    {
        QTest::addColumn<Art>("art");
        QTest::addColumn<QString>("zulaessig");
        QTest::addColumn<QString>("abgewiesen");
        QTest::newRow("GSM") << Art::GSM << "0123456789+" << "aZ -/*#@()\r\t\u00e4\u4e2d";
        QTest::newRow("Fax") << Art::Fax << "0123456789+" << "x .";
        QTest::newRow("email") << Art::Email << "az.AZ09@-_+~!\u00e4\u00df\u20ac"
                               << QStringLiteral(" (*\u00ff\u4e2d\r\t\u0001\u007f\u0081");
    }
    void zeichen()
    {
        QFETCH(Art, art);
        QFETCH(QString, zulaessig);
        QFETCH(QString, abgewiesen);
        for (QChar c : zulaessig)
            QVERIFY2(zeichenZulaessig(art, c), qPrintable(QString(c)));
        for (QChar c : abgewiesen)
            QVERIFY2(!zeichenZulaessig(art, c), qPrintable(QString::number(c.unicode(), 16)));
    }

    // An edit keeps what the slot admits and drops the rest (pasted text as
    // typed text); characters of a stored list may stay and be deleted.
    void eingabe_data()
    {
        QTest::addColumn<Art>("art");
        QTest::addColumn<QString>("alt");
        QTest::addColumn<QString>("neu");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<bool>("verworfen");
        QTest::newRow("Ziffer") << Art::GSM << "066" << "0664" << "0664" << 4 << false;
        QTest::newRow("Buchstabe") << Art::GSM << "066" << "066a" << "066" << 3 << true;
        QTest::newRow("Einfuegen mit Blanks") << Art::GSM << "" << "+43 664 123" << "+43664123" << 9 << true;
        QTest::newRow("Einfuegen in der Mitte") << Art::Fax << "0316" << "03/1-216" << "031216" << 4 << true;
        QTest::newRow("Auswahl ersetzt") << Art::GSM << "0664999" << "06641 2" << "066412" << 6 << true;
        QTest::newRow("alte Zeichen bleiben") << Art::GSM << "12AB" << "12AB3" << "12AB3" << 5 << false;
        QTest::newRow("altes Zeichen loeschen") << Art::GSM << "12AB" << "12B" << "12B" << 2 << false;
        QTest::newRow("altes Zeichen verdoppelt") << Art::GSM << "12AB" << "12AAB" << "12AB" << 3 << true;
        QTest::newRow("email Adresse") << Art::Email << "" << "max@firma.at" << "max@firma.at" << 12 << false;
        QTest::newRow("email Blank") << Art::Email << "max" << "max mustermann" << "maxmustermann" << 13 << true;
    }
    void eingabe()
    {
        QFETCH(Art, art);
        QFETCH(QString, alt);
        QFETCH(QString, neu);
        const Gefiltert g = eingabeFiltern(art, alt, neu);
        QTEST(g.text, "text");
        QTEST(g.cursor, "cursor");
        QTEST(g.verworfen, "verworfen");
    }
};

QTEST_GUILESS_MAIN(TestEmpfaenger)
#include "test_empfaenger.moc"
