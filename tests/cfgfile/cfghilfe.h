#pragma once
// Pages spelled out for the configuration-file and device-read tests, and the
// editor values that differ from an empty editor's.
#include "kit.h"

using kit::ff;
inline const QByteArray E("\x03");
inline const QByteArray NL("\r\n");

// The bytes padded with FF to n.
inline QByteArray auf(const QByteArray& b, int n) { return b + ff(n - int(b.size())); }
// A page of two 128-cell areas.
inline QByteArray zwei(const QByteArray& a, const QByteArray& b) { return auf(a, 128) + auf(b, 128); }

// "name=value" of every field that differs from an empty editor's, joined by
// "; "; ordnen() puts both sides of a comparison in the same order.
inline QString ordnen(const QString& s)
{
    QStringList l = s.split(QStringLiteral("; "), Qt::SkipEmptyParts);
    l.sort();
    return l.join(QStringLiteral("; "));
}
inline QString geaendert(const Editorwerte& w)
{
    const QStringList leer = kit::felder(Editorwerte());
    QStringList out;
    for (const QString& f : kit::felder(w))
        if (!leer.contains(f))
            out << f;
    return ordnen(out.join(QStringLiteral("; ")));
}
