#pragma once
// The former names of the window fixture (tests/common/fenster.h) and what
// came with them, for the window tests that still use them.
#include "../modell/aenderung.h"
#include "editor/editorkontext.h"
#include "fenster.h"
#include "image/felder.h"

#include <QLabel>

namespace hilfe {
using kit::ff;
using kit::Fenster;
using kit::plattformHinweiseAus;
using kit::startbild;
using kit::tippen;
using kit::zellen;
inline QStringList unterschiede(const Konfigspeicher& a, const Konfigspeicher& b) { return aenderung(a, b).split(QStringLiteral("; "), Qt::SkipEmptyParts); }
inline QList<int> sichtbareMarker(const Konfig& k) { return kit::marker(k); }
inline QList<int> geflaggt(Konfig& k) { return kit::geflaggt(k.seitenaenderung()); }
} // namespace hilfe
