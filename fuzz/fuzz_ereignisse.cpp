// Any bytes as the event memory: the lines of LOG.TXT and the file's bytes.
#include "eventlog/ereignisspeicher.h"
#include "image/ansi.h"
#include "pruefen.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse)
{
    const QByteArray speicher = alsBytes(daten, groesse);
    const QStringList zeilen = ereignisZeilen(speicher);

    // The ring has 64 slots: with the write position on the slot grid (or none)
    // there are at most 64 lines. A 255 inside a record puts the write position
    // off the grid and the first stretch then reads across slot borders, each
    // stretch still at most 64 records. Nothing behind the 512 bytes counts.
    const qsizetype marke = speicher.left(ereignis::kSpeichergroesse).indexOf(char(0xFF));
    if (marke < 0 || marke % 8 == 0)
        PRUEFE(zeilen.size() <= 64);
    PRUEFE(zeilen.size() <= 128);
    if (speicher.size() > ereignis::kSpeichergroesse)
        PRUEFE(ereignisZeilen(speicher.left(ereignis::kSpeichergroesse)) == zeilen);

    // A ring without a write position is read from its first slot to its last.
    if (speicher.size() >= ereignis::kSpeichergroesse
        && !speicher.left(ereignis::kSpeichergroesse).contains(char(0xFF))) {
        PRUEFE(zeilen.size() == 64);
        for (int i = 0; i < 64; ++i)
            PRUEFE(zeilen[i] == ereignis::zeile(speicher.mid(8 * i, 8)));
    }

    static const QRegularExpression form(QStringLiteral(
        "^\\d{2,3}\\.\\d{2,3}, \\d{2,3}:\\d{2,3}:\\d{2,3}, "
        "(Meldelinie [1-8]|Stromausfall|Minimumalarm|Maximumalarm|Batteriespannung"
        "|Fehler GSM Modul|kein GSM-Netz verf\u00fcgbar|unbekanntes Ereignis \\(Code \\d{1,3}\\))"
        "( - kommt| - geht)?( : aktiv| : gesendet| : Fehler SMS senden)?$"));
    for (const QString& z : zeilen)
        PRUEFE(form.match(z).hasMatch());

    // LOG.TXT: one byte per character, every line ended by CR LF, no character
    // replaced for want of a byte.
    const QByteArray datei = logDatei(zeilen);
    qsizetype erwartet = 0;
    for (const QString& z : zeilen)
        erwartet += z.size() + 2;
    PRUEFE(datei.size() == erwartet);
    PRUEFE(!datei.contains('?'));
    PRUEFE(datei.count("\r\n") == zeilen.size());
    QString zurueck;
    for (const QString& z : zeilen)
        zurueck += z + QStringLiteral("\r\n");
    PRUEFE(ansi::text(datei) == zurueck);
    return 0;
}
