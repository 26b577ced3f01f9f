// Any bytes as a file name from the system: the name carried in a QString
// gives back exactly these bytes, holds no surrogate but a whole pair or a
// kept byte, and its readable form is valid text of the same length.
#include "pruefen.h"
#include "systemfehler/dateiname.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse)
{
    const QByteArray bytes = alsBytes(daten, groesse);
    const QString name = dateiname::text(bytes);
    PRUEFE(dateiname::bytes(name) == bytes);
    PRUEFE(name.size() <= bytes.size());
    const QString lesbar = dateiname::lesbar(name);
    PRUEFE(lesbar.size() == name.size());
    PRUEFE(lesbar.isValidUtf16());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        const bool paar = QChar::isHighSurrogate(c) ? i + 1 < name.size() && name.at(i + 1).isLowSurrogate()
                        : QChar::isLowSurrogate(c) ? i > 0 && name.at(i - 1).isHighSurrogate()
                                                   : true;
        PRUEFE(paar || (c >= 0xDC80 && c <= 0xDCFF));
    }
    return 0;
}
