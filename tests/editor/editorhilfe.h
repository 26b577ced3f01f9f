#pragma once
// The former names of the window fixture (tests/common/fenster.h), for the
// window tests that still use them.
#include "fenster.h"
#include "kit.h"

namespace hilfe {
using kit::ff;
using kit::Fenster;
using kit::plattformHinweiseAus;
using kit::startbild;
using kit::tippen;
using kit::zellen;
inline QList<QPair<int, int>> unterschiede(const Konfigspeicher& a, const Konfigspeicher& b)
{
    QList<QPair<int, int>> out;
    for (int s = 0; s < kSeiten; ++s)
        for (int o = 0; o < kZellen; ++o)
            if (a.zelle(s, o) != b.zelle(s, o))
                out.append({s, o});
    return out;
}
inline QList<int> sichtbareMarker(const Konfig& k) { return kit::marker(k); }
inline QList<int> geflaggt(Konfig& k) { return kit::geflaggt(k.seitenaenderung()); }
} // namespace hilfe
