#pragma once
// The shared test kit: bytes and cells, one readable printer of editor values
// and one image difference (both shown by QCOMPARE through QTest::toString),
// one matcher of the boxes the program showed, and one wait. Area fixtures
// (the device, the window) live beside it in tests/common.
#include "fakedoor.h"
#include "image/konfigspeicher.h"
#include "modell/editorwerte.h"

#include <QByteArray>
#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <functional>
#include <sys/stat.h>

namespace kit {

inline QByteArray ff(int n) { return QByteArray(n, char(0xFF)); }
inline QByteArray esc() { return QByteArray(1, char(0x1B)); }
inline QByteArray hex(const char* h) { return QByteArray::fromHex(h); }

// A file's bytes ("<fehlt>" when it cannot be read); a file written whole.
inline QByteArray lesen(const QString& pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}
inline bool schreiben(const QString& pfad, const QByteArray& inhalt)
{
    QFile f(pfad);
    return f.open(QIODevice::WriteOnly) && f.write(inhalt) == inhalt.size();
}

// The permission bits of a file or folder in octal ("600"), "-" when it is missing.
inline QString modus(const QString& pfad)
{
    struct stat st {};
    if (::stat(QFile::encodeName(pfad).constData(), &st) != 0)
        return QStringLiteral("-");
    return QString::number(st.st_mode & 07777, 8);
}

// Cells of a page; an unset cell shows as 0xEE so that it cannot pass for a byte.
inline QByteArray zellen(const Konfigspeicher& k, int seite, int von, int anzahl)
{
    QByteArray out;
    for (int i = 0; i < anzahl; ++i)
        out.append(char(k.byte(seite, von + i, 0xEE)));
    return out;
}

// An image from the bytes of a device's memory, page after page.
inline Konfigspeicher bild(const QByteArray& bytes)
{
    Konfigspeicher k;
    for (int i = 0; i < bytes.size() && i < kSeiten * kZellen; ++i)
        k.setze(i / kZellen, i % kZellen, std::uint8_t(bytes.at(i)));
    return k;
}

// The image right after start-up: the default content with the switched-off
// acknowledgement, check call and balance monitoring. Spelled out cell by cell.
inline Konfigspeicher startbild()
{
    Konfigspeicher k;
    Grundeinstellung(k);
    for (auto [o, b] : {std::pair{3, 0x00}, {4, 0xFF}, {5, 0x10}, {6, 0x00}, {7, 0x03}, {24, 0x03}, {40, 0x03}, {56, 0x00}})
        k.setze(0, o, std::uint8_t(b));
    for (int o = 8; o <= 23; ++o)
        k.setze(0, o, 0xFF);
    return k;
}

// The page numbers flagged in a set of page flags.
template <class Flags>
QList<int> geflaggt(const Flags& flags)
{
    QList<int> out;
    for (int i = 0; i < int(flags.size()); ++i)
        if (flags[std::size_t(i)])
            out.append(i);
    return out;
}

// Runs the event loop until `erreicht` holds or `ms` have passed. Unlike
// QTest::qWaitFor it never sleeps, so a byte-by-byte exchange with the
// simulator runs at full speed meanwhile.
inline bool warten(const std::function<bool()>& erreicht, int ms = 10000)
{
    if (erreicht())
        return true;
    QEventLoop schleife;
    QTimer takt;
    takt.setInterval(1);
    QObject::connect(&takt, &QTimer::timeout, &schleife, [&] {
        if (erreicht())
            schleife.quit();
    });
    QTimer frist;
    frist.setSingleShot(true);
    QObject::connect(&frist, &QTimer::timeout, &schleife, &QEventLoop::quit);
    takt.start();
    frist.start(ms);
    schleife.exec();
    return erreicht();
}

// The boxes shown, one line each: "icon|buttons|text" with the title left out
// when it is the program's own; compared as a list, so a missing, extra or
// reworded box shows in the test's output.
inline QStringList boxen(const FakeDoor& door)
{
    static const char* icons[] = {"Keins", "Kritisch", "Warnung", "Information", "Frage"};
    static const char* knoepfe[] = {"Ok", "OkAbbrechen", "JaNein"};
    QStringList out;
    for (const FakeDoor::Meldung& m : door.meldungen) {
        QString z = QStringLiteral("%1|%2|%3").arg(QLatin1String(icons[int(m.icon)]), QLatin1String(knoepfe[int(m.knoepfe)]), m.text);
        if (m.titel != Door::programmTitel())
            z += QStringLiteral("|") + m.titel;
        out << z;
    }
    return out;
}

// Every cell in which two images differ, "page:offset ist/soll" in hex ("--"
// for an unset cell), "" when they are equal: QCOMPARE(kit::unterschied(a, b), QString()).
inline QString unterschied(const Konfigspeicher& ist, const Konfigspeicher& soll)
{
    auto z = [](std::optional<std::uint8_t> c) {
        return c ? QStringLiteral("%1").arg(*c, 2, 16, QLatin1Char('0')).toUpper() : QStringLiteral("--");
    };
    QStringList out;
    for (int s = 0; s < kSeiten; ++s)
        for (int o = 0; o < kZellen; ++o)
            if (ist.zelle(s, o) != soll.zelle(s, o))
                out << QStringLiteral("%1:%2 %3/%4").arg(s).arg(o).arg(z(ist.zelle(s, o)), z(soll.zelle(s, o)));
    return out.join(QLatin1Char(' '));
}

// The editor values field by field ("name=value"), so that a comparison names
// the field that differs.
inline QStringList felder(const Editorwerte& w)
{
    QStringList out;
    auto b = [](bool x) { return x ? QStringLiteral("ja") : QStringLiteral("nein"); };
    auto n = [](int x) { return QString::number(x); };
    for (int i = 0; i < 8; ++i)
        out << QStringLiteral("oeffner%1=").arg(i) + b(w.oeffner[std::size_t(i)]);
    for (int i = 0; i < 9; ++i) {
        out << QStringLiteral("gutmeldung%1=").arg(i) + b(w.gutmeldung[std::size_t(i)]);
        out << QStringLiteral("smsText%1=").arg(i) + w.smsText[std::size_t(i)];
    }
    const std::pair<const char*, QString> liste[] = {
        {"anlagenbezeichnung", w.anlagenbezeichnung}, {"netz", n(int(w.netz))}, {"quittierung", b(w.quittierung)},
        {"sliderQuit", n(w.sliderQuit)}, {"quit", w.quit}, {"konto", b(w.konto)},
        {"kontoAktivierbar", b(w.kontoAktivierbar)}, {"guthabenrufnummer", w.guthabenrufnummer},
        {"nummerAufladung", w.nummerAufladung}, {"sliderGuthaben", n(w.sliderGuthaben)}, {"guthaben", w.guthaben},
        {"kontrollruf", n(int(w.kontrollruf))}, {"tag", n(w.tag)}, {"udStunde", n(w.udStunde)},
        {"udMinute", n(w.udMinute)}, {"txtStunde", w.txtStunde}, {"txtMinute", w.txtMinute},
        {"relaisbest1", b(w.relaisbest1)}, {"relaisbest2", b(w.relaisbest2)}, {"besttext1", w.besttext1},
        {"besttext2", w.besttext2}, {"messbereich4", w.messbereich4}, {"messbereich20", w.messbereich20},
        {"grenzwertmin", w.grenzwertmin}, {"grenzwertmax", w.grenzwertmax}, {"einheit", w.einheit},
        {"textMin", w.textMin}, {"textMax", w.textMax}};
    for (const auto& [name, wert] : liste)
        out << QLatin1String(name) + QLatin1Char('=') + wert;
    return out;
}
} // namespace kit

// QCOMPARE on editor values prints them field by field.
inline char* toString(const Editorwerte& w)
{
    return QTest::toString(kit::felder(w).join(QLatin1String("; ")));
}
