#include "eventlog/ereignisspeicher.h"

#include "image/ansi.h"
#include "image/felder.h"

#include <algorithm>

namespace ereignis {
namespace {

constexpr int kSatz = 8;
constexpr std::uint8_t kFrei = 0xFF;

std::uint8_t byteAn(const QByteArray& b, int i)
{
    return std::uint8_t(b.at(i));
}

} // namespace

QString name(std::uint8_t code)
{
    if (code >= 1 && code <= 8)
        return QStringLiteral("Meldelinie %1").arg(code);
    switch (code) {
    case 9: return QStringLiteral("Stromausfall");
    case 10: return QStringLiteral("Minimumalarm");
    case 11: return QStringLiteral("Maximumalarm");
    case 12: return QStringLiteral("Batteriespannung");
    case 'M': return QStringLiteral("Fehler GSM Modul");
    case 'N': return QStringLiteral("kein GSM-Netz verfügbar");
    default: return QStringLiteral("unbekanntes Ereignis (Code %1)").arg(code);
    }
}

QString zeile(const QByteArray& satz)
{
    Q_ASSERT(satz.size() >= kSatz);
    QString z = zweistellig(byteAn(satz, 3)) + QLatin1Char('.') + zweistellig(byteAn(satz, 4))
              + QStringLiteral(", ") + zweistellig(byteAn(satz, 2)) + QLatin1Char(':')
              + zweistellig(byteAn(satz, 1)) + QLatin1Char(':') + zweistellig(byteAn(satz, 0))
              + QStringLiteral(", ") + name(byteAn(satz, 5));
    switch (byteAn(satz, 6)) {
    case 'K': z += QStringLiteral(" - kommt"); break;
    case 'G': z += QStringLiteral(" - geht"); break;
    default: break;
    }
    switch (byteAn(satz, 7)) {
    case 'A': z += QStringLiteral(" : aktiv"); break;
    case 'S': z += QStringLiteral(" : gesendet"); break;
    case 'F': z += QStringLiteral(" : Fehler SMS senden"); break;
    default: break;
    }
    return z;
}

} // namespace ereignis

QStringList ereignisZeilen(const QByteArray& speicher512)
{
    using ereignis::kSpeichergroesse;
    const int laenge = std::min<int>(speicher512.size(), kSpeichergroesse);

    // Positions below count from 1, as the device's memory does: position p is
    // speicher512[p - 1].
    auto byteAn = [&](int p) { return std::uint8_t(speicher512.at(p - 1)); };

    int marke = kSpeichergroesse + 1;
    for (int p = 1; p <= laenge; ++p) {
        if (byteAn(p) == ereignis::kFrei) {
            marke = p;
            break;
        }
    }

    QStringList zeilen;
    // Reads the records from q on while a slot begins below position 512 and
    // not with 255. A slot needs all of its 8 bytes inside the memory.
    auto strecke = [&](int q) {
        while (q < kSpeichergroesse && q + ereignis::kSatz - 1 <= laenge
               && byteAn(q) != ereignis::kFrei) {
            zeilen.append(ereignis::zeile(speicher512.mid(q - 1, ereignis::kSatz)));
            q += ereignis::kSatz;
        }
    };
    strecke(marke + ereignis::kSatz); // the oldest records, behind the write position
    strecke(1);                       // the newest, from the start up to the write position
    return zeilen;
}

QByteArray logDatei(const QStringList& zeilen)
{
    QByteArray out;
    for (const QString& z : zeilen)
        out += ansi::bytes(z) + "\r\n";
    return out;
}
