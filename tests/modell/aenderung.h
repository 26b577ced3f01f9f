#pragma once
// The cells in which an image differs from another, run by run: "page:offset" and the new cells, two
// or more printable characters quoted, other bytes in hex, "--" unset: `0:24 "*101#" 03; 0:56 05`.
#include "image/konfigspeicher.h"

#include <QStringList>

inline QString aenderung(const Konfigspeicher& ist, const Konfigspeicher& vorher)
{
    QStringList laeufe;
    for (int s = 0; s < kSeiten; ++s)
        for (int o = 0; o < kZellen; ++o) {
            if (ist.zelle(s, o) == vorher.zelle(s, o))
                continue;
            QString lauf = QStringLiteral("%1:%2").arg(s).arg(o);
            // A differing printable character; two or more in a row are quoted.
            auto zeichen = [&](int i) {
                const auto z = i < kZellen ? ist.zelle(s, i) : std::nullopt;
                return z != vorher.zelle(s, i) && z && *z >= 0x20 && *z < 0x7F && *z != '"';
            };
            for (bool text = false; o < kZellen && ist.zelle(s, o) != vorher.zelle(s, o); ++o) {
                const auto z = ist.zelle(s, o);
                const bool quote = zeichen(o) && (text || zeichen(o + 1));
                if (quote != text)
                    lauf += quote ? QStringLiteral(" \"") : QStringLiteral("\"");
                lauf += quote ? QString(QChar(*z)) : z ? QStringLiteral(" %1").arg(*z, 2, 16, QLatin1Char('0')).toUpper() : QStringLiteral(" --");
                text = quote;
            }
            laeufe << lauf + (lauf.count(QLatin1Char('"')) % 2 ? QStringLiteral("\"") : QString());
        }
    return laeufe.join(QStringLiteral("; "));
}
