// The image's encodings, one row each: what a function makes of the cells or
// values, as bytes (texts in UTF-8, truth values as "ja"/"nein").
#include "image/ansi.h"
#include "image/empfaenger.h"
#include "image/felder.h"
#include "kit.h"

using kit::ff;
using Fall = std::function<QByteArray(Konfigspeicher&)>;
Q_DECLARE_METATYPE(Fall)

namespace {
QByteArray jn(bool b) { return b ? "ja" : "nein"; }
QByteArray zellen(const Konfigspeicher& k, int seite, int von, int anzahl) { return kit::zellen(k, seite, von, anzahl); }
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
        z("Gerätebytes: Seiten 0..12, ungesetzt als FF", false, [](Konfigspeicher& k) { k.setze(12, 255, 7), k.setze(13, 0, 1); return k.geraeteBytes().right(2) + QByteArray::number(k.geraeteBytes().size()); },
          "\xFF\x07" "3328");
        z("Text, dann leerer Text", true, [](Konfigspeicher& k) { textSpeichern(k, bereich::Anlagenbezeichnung, "AB"), textSpeichern(k, bereich::Anlagenbezeichnung, ""); return k.seite(0).mid(128); },
          "\x03" "B\x03" + ff(125));
        z("Nummer zu lang: ohne ETX gekürzt", true, [](Konfigspeicher& k) { textSpeichern(k, bereich::Guthabenrufnummer, QByteArray(20, '7')); return zellen(k, 0, 24, 17) + textLesen(k, bereich::Guthabenrufnummer); },
          QByteArray(16, '7') + "\xFF" + QByteArray(16, '7'));
        for (auto [name, b, c, text] : {std::tuple{"128 nur FF", bereich::TextMin, ff(128), ff(128)}, {"128 bis ETX", bereich::TextMin, "Hallo\x03xyz" + ff(120), "Hallo"},
                                        {"128: FF ist ein Zeichen", bereich::TextMin, "a\xFF" "b\x03" + ff(124), "a\xFF" "b"}, {"16 nur FF", bereich::Guthabenrufnummer, ff(16), ""},
                                        {"16 bis FF", bereich::Guthabenrufnummer, "0664" + ff(12), "0664"}, {"16 bis ETX", bereich::Guthabenrufnummer, "*101#\x03" + ff(10), "*101#"}})
            z(name, false, [b, c](Konfigspeicher& k) { setze(k, b.seite, b.anfang, c); return textLesen(k, b); }, text);
        z("Einheit V, leer, FF", true, [](Konfigspeicher& k) {
            einheitSpeichern(k, "V");
            QByteArray b = zellen(k, 11, 136, 4) + einheitLesen(k);
            einheitSpeichern(k, "");
            b += zellen(k, 11, 136, 4) + einheitLesen(k);
            k.setze(11, 137, 0xFF);
            return b + einheitLesen(k) + "|";
        }, "V  \x03V     \x03     |");
        z("Bitfeld", false, [](Konfigspeicher& k) {
            bitSetzen(k, 0, 0, 3, true);  // an unset cell counts as 0
            QByteArray b(1, char(k.byte(0, 0)));
            k.setze(0, 0, 0x05), bitSetzen(k, 0, 0, 7, true), b += char(k.byte(0, 0));
            bitSetzen(k, 0, 0, 0, false);
            return b + char(k.byte(0, 0)) + jn(bitGesetzt(k, 0, 0, 2)) + jn(bitGesetzt(k, 0, 0, 0));
        }, "\x08\x85\x84janein");
        z("BCD", false, [](Konfigspeicher&) {
            QByteArray b;
            for (int w : {0, 9, 10, 23, 45})
                b += char(bcd(w)) + zweistellig(bcd(w), 16).toLatin1();
            b += zweistellig(0x3A, 16).toLatin1() + zweistellig(7).toLatin1() + zweistellig(135).toLatin1();
            for (auto [byte, hoechstens] : {std::pair{0x23, 23}, {0x24, 23}, {0x3A, 59}, {0x59, 59}})
                b += QByteArray::number(bcdWert(std::uint8_t(byte), hoechstens)) + ',';
            return b;
        }, QByteArray("\x00" "00\x09" "09\x10" "10\x23" "23\x45" "45" "3A" "07" "135" "23,-1,-1,59,", 34));
        z("Zahlen 999 200 256 0 leer", true, [](Konfigspeicher& k) {
            QByteArray b;
            for (int w : {999, 200, 256, 0, -1})
                zahlSpeichern(k, 11, 130, w < 0 ? std::nullopt : std::optional<int>(w)), b += zellen(k, 11, 128, 6) + zahl(k, 130);
            return b;
        }, ff(2) + "\x03\xE7" + ff(2) + "nein999|" + ff(2) + QByteArray("\x00\xC8", 2) + ff(2) + "nein200|" + ff(2) + QByteArray("\x01\x00", 2) + ff(2) + "nein256|"
                 + ff(2) + QByteArray(2, '\0') + ff(2) + "nein0|" + ff(4) + ff(2) + "nein|");
        z("Zahl: FF 12 leer, 7F FF, Überlauf 80 C0 FE", false, [](Konfigspeicher& k) {
            QByteArray b;
            for (const char* c : {"\xFF\x12", "\x7F\xFF", "\x80\x00", "\xC0\x01", "\xFE\xFF"})
                setze(k, 11, 128, QByteArray(c, 2)), b += zahl(k, 128);
            return b;
        }, "nein|nein32767|ja|ja|ja|");
        z("Liste", true, [](Konfigspeicher& k) {
            listeSpeichern(k, 3, *listeRahmen({"0664123", "06646802555"}));
            return k.seite(3).left(128) + listeLesen(k, 3).join('|') + "|" + listeLesen(k, 5).join('|') + "|" + *listeRahmen({});
        }, "0664123\r06646802555\r\x03" + ff(107) + "0664123|06646802555||\x03" + ff(127));
        z("Liste: 127 Zellen passen, 128 nicht", false, [](Konfigspeicher&) {
            return jn(listeRahmen({QByteArray(126, '1')}).has_value()) + jn(listeRahmen({QByteArray(127, '1')}).has_value())
                 + jn(listeRahmen(QList<QByteArray>(8, QByteArray(15, '1'))).has_value());
        }, "janeinnein");
        z("Empfänger: GSM, Fax, E-Mail bei A1 und sonst, leere fallen weg", false, [](Konfigspeicher&) {
            using empfaenger::Art;
            const QList<empfaenger::Eintrag> e{{Art::GSM, "0664"}, {Art::Fax, "123"}, {Art::GSM, ""}, {Art::Email, "a@b.at"}};
            return *empfaenger::listeKodieren(e, true) + *empfaenger::listeKodieren(e, false);
        }, "0664\r06646802123\r0664680502&a*b.at (Boravilon)\r\x03" + ff(80) + "0664\r6762123\r6761&a*b.at \r\x03" + ff(101));
        z("E-Mail: ; * Blank ( Tab ÿ 中 nicht, @ _ ä schon; Nummer: 9 + ja, a nicht", false, [](Konfigspeicher&) {
            QByteArray b;
            for (QChar c : QStringLiteral(";* (\tÿ\u4e2d@_ä"))
                b += jn(empfaenger::zeichenZulaessig(empfaenger::Art::Email, c));
            for (QChar c : QStringLiteral("9+a"))
                b += jn(empfaenger::zeichenZulaessig(empfaenger::Art::Fax, c));
            return b;
        }, "neinneinneinneinneinneinneinjajajajajanein");
        for (auto [name, liste, netz] : {std::tuple{"Netz A1 national", "06641234\r\x03", "0"}, {"Netz A1 international", "+43664123\r\x03", "0"},
                                         {"Netz T Mobile", "0676555\r\x03", "1"}, {"Netz: 664 ab Zeichen 7", "0699996641\r\x03", "2"},
                                         {"Netz: leere Liste", "\x03", "2"}, {"Netz: nur FF", "", "2"}, {"Netz: zweiter Eintrag zählt nicht", "0699\r0664\r\x03", "2"}})
            z(name, true, [l = QByteArray(liste)](Konfigspeicher& k) { setze(k, 1, 0, l); return QByteArray::number(int(Netzbetreiber_erkennen(k))); }, netz);
        z("Markierungen, Seitentitel", false, [](Konfigspeicher&) {
            Seitenaenderung s{};
            Alles_markieren(s);
            QByteArray b;
            for (bool f : s)
                b += f ? '1' : '0';
            Markierungen_loeschen(s);
            b += jn(s == Seitenaenderung{});
            for (int i : {0, 8, 9, 10, 12, 13})
                b += "|" + seitenTitel(i).toUtf8();
            return b;
        }, "11111111111110000000000000000000ja|Allgemeine Daten ...|Daten zu Meldelinie 8 ...|Daten zu Stromausfall ...|Bestätigungstexte ...|Daten zu Analogeingang ...|");
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
