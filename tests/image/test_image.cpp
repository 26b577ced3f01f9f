// The image's encodings, one row each: what a function makes of the cells or
// values, as bytes (texts in UTF-8, truth values as "ja"/"nein").
#include "image/ansi.h"
#include "image/felder.h"
#include "kit.h"

using kit::ff, kit::zellen;
using Fall = std::function<QByteArray(Konfigspeicher&)>;
Q_DECLARE_METATYPE(Fall)

namespace {
QByteArray jn(bool b) { return b ? "ja" : "nein"; }
void setze(Konfigspeicher& k, int seite, int von, const QByteArray& b)
{
    for (int i = 0; i < b.size(); ++i)
        k.setze(seite, von + i, std::uint8_t(b[i]));
}
QByteArray zahl(Konfigspeicher& k, int o) { return jn(zahlLesen(k, 11, o).ueberlauf) + zahlLesen(k, 11, o).text().toLatin1() + "|"; }
} // namespace

class TestImage : public QObject {
    Q_OBJECT
private slots:
    void kodierung_data()
    {
        QTest::addColumn<bool>("grund");  // the image starts with the default content (else unset)
        QTest::addColumn<Fall>("fall");
        QTest::addColumn<QByteArray>("erwartet");
        const auto z = [](const char* name, bool grund, Fall f, const QByteArray& e) { QTest::newRow(name) << grund << f << e; };
        QByteArray alle;
        for (int b = 0; b < 256; ++b)
            alle.append(char(b));
        z("ANSI: jedes Byte hin und zurück", false, [alle](Konfigspeicher&) { return ansi::bytes(ansi::text(alle)); }, alle);
        z("ANSI: Umlaute, Euro, fünf undefinierte", false, [](Konfigspeicher&) { return ansi::text("\xD6\xDF\x80\x81\x8D\x8F\x90\x9D").toUtf8(); },
          "\xC3\x96\xC3\x9F\xE2\x82\xAC\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
        z("ANSI: Zeichen ohne Byte", false, [](Konfigspeicher&) { return ansi::bytes(QStringLiteral("ä\u4e2d")) + jn(ansi::darstellbar(QStringLiteral("a\u4e2d"))); }, "\xE4?nein");
        z("unbelegt, außerhalb nichts", false, [](Konfigspeicher& k) { k.setze(32, 0, 1), k.setze(0, 256, 1), k.setze(-1, 0, 1); return jn(k.gesetzt(0, 0)) + jn(k == Konfigspeicher()); },
          "neinja");
        z("Grundinhalt", true, [](Konfigspeicher& k) { return k.seite(0) + k.seite(1) + k.seite(10) + k.seite(11) + k.seite(12) + k.seite(31); },
          QByteArray(3, '\0') + ff(71) + "Kontostand Minimum\x03" + ff(163 + 2 * 256 + 200) + "Batteriespannung zu niedrig\x03" + ff(28 + 2 * 256));
        z("Text, dann leerer Text", true, [](Konfigspeicher& k) { textSpeichern(k, bereich::Anlagenbezeichnung, "AB"), textSpeichern(k, bereich::Anlagenbezeichnung, ""); return k.seite(0).mid(128); },
          "\x03" "B\x03" + ff(125));
        z("Nummer zu lang: ohne ETX gekürzt", true, [](Konfigspeicher& k) { textSpeichern(k, bereich::Guthabenrufnummer, QByteArray(20, '7')); return zellen(k, 0, 24, 17) + textLesen(k, bereich::Guthabenrufnummer); },
          QByteArray(16, '7') + "\xFF" + QByteArray(16, '7'));
        for (auto [name, b, c, text] : {std::tuple{"128 nur FF", bereich::TextMin, ff(128), ff(128)}, {"16 nur FF", bereich::Guthabenrufnummer, ff(16), ""},
                                        {"16 bis FF", bereich::Guthabenrufnummer, "0664" + ff(12), "0664"}, {"16 bis ETX", bereich::Guthabenrufnummer, "*101#\x03" + ff(10), "*101#"}})
            z(name, false, [b, c](Konfigspeicher& k) { setze(k, b.seite, b.anfang, c); return textLesen(k, b); }, text);
        z("Nummernliste: die letzte ohne CR", false, [](Konfigspeicher& k) { setze(k, 1, 0, "0664\r0699\x03"); return listeLesen(k, 1).join('|'); }, "0664|0699");
        z("BCD: Ziffern bis zum Höchstwert", false, [](Konfigspeicher&) {
            QByteArray b;
            for (auto [byte, hoechstens] : {std::pair{0x23, 23}, {0x24, 23}, {0x3A, 59}, {0x59, 59}})
                b += QByteArray::number(bcdWert(std::uint8_t(byte), hoechstens)) + ',';
            return b;
        }, "23,-1,-1,59,");
        z("Zahl: FF 12 leer, 7F FF, Überlauf 80 C0 FE", false, [](Konfigspeicher& k) {
            QByteArray b;
            for (const char* c : {"\xFF\x12", "\x7F\xFF", "\x80\x00", "\xC0\x01", "\xFE\xFF"})
                setze(k, 11, 128, QByteArray(c, 2)), b += zahl(k, 128);
            return b;
        }, "nein|nein32767|ja|ja|ja|");
        for (auto [name, liste, netz] : {std::tuple{"Netz A1 national", "06641234\r\x03", "0"}, {"Netz A1 international", "+43664123\r\x03", "0"},
                                         {"Netz: 664 ab Zeichen 7", "0699996641\r\x03", "2"}, {"Netz: zweiter Eintrag zählt nicht", "0699\r0664\r\x03", "2"}})
            z(name, true, [l = QByteArray(liste)](Konfigspeicher& k) { setze(k, 1, 0, l); return QByteArray::number(int(Netzbetreiber_erkennen(k))); }, netz);
    }
    void kodierung()
    {
        QFETCH(bool, grund);
        QFETCH(Fall, fall);
        Konfigspeicher k;
        if (grund)
            Grundeinstellung(k);
        QTEST(fall(k), "erwartet");
    }
};

QTEST_GUILESS_MAIN(TestImage)
#include "test_image.moc"
