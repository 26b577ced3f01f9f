#include "cfgfile/zeilen.h"

QList<QByteArrayView> cfgZeilen(const QByteArray& d, int hoechstens)
{
    QByteArray trenner = QByteArrayLiteral("\r\n");
    if (!d.contains(trenner))
        trenner = d.contains('\n') ? QByteArrayLiteral("\n") : QByteArrayLiteral("\r");
    QList<QByteArrayView> zeilen;
    const QByteArrayView alles(d);
    qsizetype pos = 0;
    while (zeilen.size() < hoechstens && pos < d.size()) {
        const qsizetype ende = d.indexOf(trenner, pos);
        if (ende < 0) {
            zeilen.append(alles.sliced(pos));
            break;
        }
        zeilen.append(alles.sliced(pos, ende - pos));
        pos = ende + trenner.size();
    }
    return zeilen;
}
