// The form check: every file the writer makes, from editor-made images and
// from whatever a device holds, and the files of earlier versions pass; other
// files are refused with the first line that does not fit.
#include "cfgfile/cfgdatei.h"
#include "cfgfile/cfgform.h"
#include "cfgfile/dekodieren.h"
#include "generator.h"
#include "testhilfen.h"

#include <QTest>

using namespace testhilfen;

class TestCfgForm : public QObject {
    Q_OBJECT
private slots:
    void passt_data();
    void passt();
    void abgewiesen_data();
    void abgewiesen();
    void erzeugteDateien();
};

void TestCfgForm::passt_data()
{
    QTest::addColumn<QByteArray>("datei");
    QTest::newRow("default content") << datei(grundzeilen());

    // Saved from a device never written (every cell 0xFF), by the line rules.
    QList<QByteArray> leer = grundzeilen();
    leer[0] = "255;255;255;255;255;FF;FF;" + ff(16) + ";" + ff(16) + ";255;" + E + ";" + NL;
    leer[11] = E + QByteArray("255;").repeated(8) + ff(3) + E + ";" + ff(56) + NL;
    QTest::newRow("device all 0xFF") << datei(leer);

    QTest::newRow("Windows-1252 texts, raw CR in a relay text")
        << mitZeilen({{1, ersteZeile({"12", "63", "255", "15", "2", "10", "30", "0800", "", "5", "Sch\xF6pfwerk S\xFC\x64"})},
                      {9, "0664123;" + E + "\xDC" "bertemperatur Motor, Stra\xDF" "e 3" + NL},
                      {11, "Pumpe\r1 ein" + E + "Hupe aus" + E + NL}});
    // Earlier versions: a list whose ETX stood at offset 127 ended its line;
    // page 11's list without ETX; a maximum text running to offset 255.
    QTest::newRow("list up to offset 126") << mitZeilen({{2, QByteArray("066412345678901;").repeated(7) + "06641234567890;" + NL}});
    QTest::newRow("page 11 list without ETX")
        << mitZeilen({{12, QByteArray(128, 'A') + QByteArray("255;").repeated(8) + ff(3) + E + ";Akku" + E + NL}});
    QTest::newRow("maximum text to offset 255") << mitZeilen({{13, "tief" + E + QByteArray(128, 'x')}});
    QTest::newRow("line end added behind line 13") << datei(grundzeilen()) + NL;
}

void TestCfgForm::passt()
{
    QFETCH(QByteArray, datei);
    QCOMPARE(cfgFormPruefen(datei).text(), QString());
}

void TestCfgForm::abgewiesen_data()
{
    QTest::addColumn<QByteArray>("datei");
    QTest::addColumn<QString>("text");
    const QString form = QStringLiteral("Zeile %1 passt nicht zum Format einer Konfigurationsdatei (%2)");

    QTest::newRow("LOG.TXT") << QByteArray("31.12, 23:59:59, Stromausfall - geht : Fehler SMS senden\r\n"
                                           "02.03, 05:07:135, Fehler GSM Modul\r\n")
                             << form.arg(1).arg("Feld 1 ist keine Zahl");
    QTest::newRow("empty") << QByteArray() << form.arg(1).arg("fehlt: die Datei ist leer");
    QList<QByteArray> zwoelf = grundzeilen();
    zwoelf.removeLast();
    QTest::newRow("12 lines") << datei(zwoelf) << form.arg(13).arg("fehlt: die Datei hat nur 12 von 13 Zeilen");
    QTest::newRow("14 lines") << datei(grundzeilen()) + NL + "x" << form.arg(14).arg("eine Konfigurationsdatei endet mit Zeile 13");

    // Re-saved as UTF-8: the erased cells of field 8 became "ÿ" (C3 BF).
    QTest::newRow("UTF-8, erased cells") << QString::fromLatin1(datei(grundzeilen())).toUtf8()
                                         << form.arg(1).arg("UTF-8-Zeichen an Stelle 18; erwartet ist Windows-1252");
    QTest::newRow("UTF-8, umlaut in line 6") << mitZeilen({{6, "0664;" + E + "St\xC3\xB6rung Pumpe" + NL}})
                                             << form.arg(6).arg("UTF-8-Zeichen an Stelle 9; erwartet ist Windows-1252");
    QTest::newRow("UTF-8 BOM") << "\xEF\xBB\xBF" + datei(grundzeilen())
                               << form.arg(1).arg("beginnt mit der UTF-8-Kennung (BOM); erwartet ist Windows-1252");

    QTest::newRow("field 4 no number")
        << mitZeilen({{1, ersteZeile({"12", "63", "255", "x5", "2", "10", "30", "", "", "", "A"})}})
        << form.arg(1).arg("Feld 4 ist keine Zahl");
    QTest::newRow("field 10 above 255")
        << mitZeilen({{1, ersteZeile({"", "", "", "", "2", "10", "30", "", "", "256", "A"})}})
        << form.arg(1).arg("Feld 10 ist größer als 255");
    QTest::newRow("field 6 lower-case hex")
        << mitZeilen({{1, ersteZeile({"", "", "", "", "2", "a", "30", "", "", "", "A"})}})
        << form.arg(1).arg("Feld 6 ist keine Hexadezimalzahl von 0 bis FF");
    QTest::newRow("line 1 with ten fields") << mitZeilen({{1, "1;2;3;4;5;6;7;8;9;10" + NL}})
                                            << form.arg(1).arg("nach Feld 10 fehlt \";\"");
    QTest::newRow("two ETX in line 3") << mitZeilen({{3, "0664;" + E + "a" + E + NL}}) << form.arg(3).arg("mehr als ein ETX");
    QTest::newRow("FF in line 7") << mitZeilen({{7, E + "ab\xFF" + NL}}) << form.arg(7).arg("Byte FF an Stelle 4");
    QTest::newRow("relay line ends in text") << mitZeilen({{11, "Pumpe ein" + E + "Hupe" + NL}})
                                             << form.arg(11).arg("endet nicht mit ETX oder Leerzeichen");
    QTest::newRow("unit without ETX")
        << mitZeilen({{12, E + QByteArray("255;").repeated(8) + "bar;Akku" + E + NL}})
        << form.arg(12).arg("hinter der Einheit fehlen ETX und \";\"");
    QTest::newRow("line 13 without ETX") << mitZeilen({{13, "zu tief"}}) << form.arg(13).arg("ETX fehlt");
}

void TestCfgForm::abgewiesen()
{
    QFETCH(QByteArray, datei);
    QFETCH(QString, text);
    QCOMPARE(cfgFormPruefen(datei).text(), text);
}

void TestCfgForm::erzeugteDateien()
{
    // Editor-made images, saved as they are and after a device read of them.
    generator::Erzeuger erzeuger(16);
    for (int n = 0; n < 1000; ++n) {
        const Konfigspeicher k = erzeuger.naechste().image;
        const QByteArray d = cfgSchreiben(k);
        QVERIFY2(cfgFormPruefen(d).passt(), qPrintable(QString::number(n) + ": " + cfgFormPruefen(d).text()));
        Konfigspeicher gelesen = geraetebild(k.geraeteBytes());
        QVERIFY(dekodieren(gelesen));
        QVERIFY2(cfgFormPruefen(cfgSchreiben(gelesen)).passt(), qPrintable(QString::number(n)));
    }

    // Whatever a device holds: texts without end marks, lists running over
    // offset 127, erased cells anywhere (no LF, no UTF-8, and no ";" inside
    // the two numbers of page 0, which split line 1 for the reader as well).
    QRandomGenerator z(16);
    const QByteArray selten("\x03\x03\x03\x0D\xFF\xFF\xFF\xE4\xF6\xFC\xDF\xC4", 12);
    for (int n = 0; n < 500; ++n) {
        QByteArray b(kGeraeteBytes, 0);
        const int dichte = 1 << z.bounded(1, 11);  // one special byte in 2 .. 1024
        for (int i = 0; i < b.size(); ++i) {
            char c = z.bounded(dichte) ? char(z.bounded(0x20, 0x7F)) : selten[z.bounded(int(selten.size()))];
            if (c == ';' && i >= 24 && i < 56)
                c = '0';
            b[i] = c;
        }
        const QByteArray d = cfgSchreiben(geraetebild(b));
        QVERIFY2(cfgFormPruefen(d).passt(), qPrintable(QString::number(n) + ": " + cfgFormPruefen(d).text()));
    }

    // Random bytes never pass.
    for (int n = 0; n < 500; ++n) {
        QByteArray b(z.bounded(1, 5000), 0);
        for (char& c : b)
            c = char(z.bounded(256));
        QVERIFY2(!cfgFormPruefen(b).passt(), qPrintable(QString::number(n)));
    }
}

QTEST_GUILESS_MAIN(TestCfgForm)
#include "test_cfgform.moc"
