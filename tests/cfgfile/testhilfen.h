#pragma once
// Helpers shared by the configuration-file tests: the default file spelled out
// line by line, cell excerpts, and a readable difference of editor values.
#include "modell/editorwerte.h"
#include "image/konfigspeicher.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QStringList>

namespace testhilfen {

inline QByteArray ff(int n) { return QByteArray(n, char(0xFF)); }
inline const QByteArray E("\x03");
inline const QByteArray NL("\r\n");

// The thirteen lines of the default image's file, each with its line end
// (line 13 has none). Derived by hand from the line rules.
inline QList<QByteArray> grundzeilen()
{
    QList<QByteArray> z;
    z << QByteArray(";;;255;255;FF;FF;") + ff(16) + ";" + ff(16) + ";255;" + E + ";" + NL;
    for (int i = 0; i < 9; ++i)
        z << E + NL;
    z << QByteArray(" ") + NL;
    z << E + QByteArray("255;").repeated(8) + ff(3) + E + ";Batteriespannung zu niedrig" + E + NL;
    z << E + E;
    return z;
}

inline QByteArray datei(const QList<QByteArray>& zeilen)
{
    QByteArray d;
    for (const QByteArray& z : zeilen)
        d += z;
    return d;
}

// The default file with some lines (1..13) replaced; a replacement is taken as
// it is, line end included.
inline QByteArray mitZeilen(const QMap<int, QByteArray>& ersatz)
{
    QList<QByteArray> z = grundzeilen();
    for (auto it = ersatz.begin(); it != ersatz.end(); ++it)
        z[it.key() - 1] = it.value();
    return datei(z);
}

// Line 1 from its fields: each followed by ";", then CR LF.
inline QByteArray ersteZeile(const QList<QByteArray>& felder)
{
    QByteArray z;
    for (const QByteArray& f : felder)
        z += f + ";";
    return z + NL;
}

// Cells of a page; an unset cell shows as 0xEE so that it cannot pass for a byte.
inline QByteArray zellen(const Konfigspeicher& k, int seite, int von, int anzahl)
{
    QByteArray out;
    for (int i = 0; i < anzahl; ++i)
        out.append(char(k.byte(seite, von + i, 0xEE)));
    return out;
}

inline QString zeigen(const QString& s)
{
    QString out;
    for (QChar c : s)
        out += (c.unicode() < 0x20 || c.unicode() >= 0x7F) ? QStringLiteral("<%1>").arg(c.unicode(), 0, 16) : QString(c);
    return out;
}

// Every field in which two editor states differ, "" when they are equal.
// `ohneSpinner` leaves out the spinner values (the device read keeps them at
// 10 and 0 and shows the time in the text fields only).
inline QString unterschiede(const Editorwerte& a, const Editorwerte& b, bool ohneSpinner = false)
{
    QStringList u;
    auto t = [&](const char* name, const QString& x, const QString& y) {
        if (x != y)
            u << QStringLiteral("%1: '%2' / '%3'").arg(QLatin1String(name), zeigen(x), zeigen(y));
    };
    auto n = [&](const char* name, int x, int y) {
        if (x != y)
            u << QStringLiteral("%1: %2 / %3").arg(QLatin1String(name)).arg(x).arg(y);
    };
    for (int i = 0; i < 8; ++i)
        n(qPrintable(QStringLiteral("oeffner%1").arg(i)), a.oeffner[i], b.oeffner[i]);
    for (int i = 0; i < 9; ++i) {
        n(qPrintable(QStringLiteral("gutmeldung%1").arg(i)), a.gutmeldung[i], b.gutmeldung[i]);
        t(qPrintable(QStringLiteral("smsText%1").arg(i)), a.smsText[i], b.smsText[i]);
    }
    t("anlagenbezeichnung", a.anlagenbezeichnung, b.anlagenbezeichnung);
    n("netz", int(a.netz), int(b.netz));
    n("quittierung", a.quittierung, b.quittierung);
    n("sliderQuit", a.sliderQuit, b.sliderQuit);
    t("quit", a.quit, b.quit);
    n("konto", a.konto, b.konto);
    n("kontoAktivierbar", a.kontoAktivierbar, b.kontoAktivierbar);
    t("guthabenrufnummer", a.guthabenrufnummer, b.guthabenrufnummer);
    t("nummerAufladung", a.nummerAufladung, b.nummerAufladung);
    n("sliderGuthaben", a.sliderGuthaben, b.sliderGuthaben);
    t("guthaben", a.guthaben, b.guthaben);
    n("kontrollruf", int(a.kontrollruf), int(b.kontrollruf));
    n("tag", a.tag, b.tag);
    if (!ohneSpinner) {
        n("udStunde", a.udStunde, b.udStunde);
        n("udMinute", a.udMinute, b.udMinute);
    }
    t("txtStunde", a.txtStunde, b.txtStunde);
    t("txtMinute", a.txtMinute, b.txtMinute);
    n("relaisbest1", a.relaisbest1, b.relaisbest1);
    n("relaisbest2", a.relaisbest2, b.relaisbest2);
    t("besttext1", a.besttext1, b.besttext1);
    t("besttext2", a.besttext2, b.besttext2);
    t("messbereich4", a.messbereich4, b.messbereich4);
    t("messbereich20", a.messbereich20, b.messbereich20);
    t("grenzwertmin", a.grenzwertmin, b.grenzwertmin);
    t("grenzwertmax", a.grenzwertmax, b.grenzwertmax);
    t("einheit", a.einheit, b.einheit);
    t("textMin", a.textMin, b.textMin);
    t("textMax", a.textMax, b.textMax);
    if (u.isEmpty() && !ohneSpinner && !(a == b))
        u << QStringLiteral("a field this helper does not list");
    return u.join(QLatin1String("; "));
}

} // namespace testhilfen
