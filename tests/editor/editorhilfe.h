#pragma once
// Helpers of the editor tests: a shown, active main window with a fake door,
// real key events, and the image as the editor should leave it.
#include "fakedoor.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "image/felder.h"
#include "image/konfigspeicher.h"
#include "shell/konfig.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

namespace hilfe {

// The offscreen platform's notes about window features it lacks are noise here.
inline void plattformHinweiseAus()
{
    // Installed once: a second handler would hand every message to itself.
    static bool eingerichtet = false;
    if (eingerichtet)
        return;
    eingerichtet = true;
    static QtMessageHandler vorher = nullptr;
    vorher = qInstallMessageHandler([](QtMsgType t, const QMessageLogContext& c, const QString& m) {
        if (m.startsWith(QLatin1String("This plugin does not support")))
            return;
        if (vorher)
            vorher(t, c, m);
    });
}

inline QByteArray zellen(const Konfigspeicher& k, int seite, int von, int anzahl)
{
    QByteArray out;
    for (int i = 0; i < anzahl; ++i)
        out.append(char(k.byte(seite, von + i, 0xEE)));
    return out;
}

inline QByteArray ff(int n) { return QByteArray(n, char(0xFF)); }

// The image right after start-up: the default content with the switched-off
// acknowledgement, check call and balance monitoring.
inline Konfigspeicher startbild()
{
    Konfigspeicher k;
    Grundeinstellung(k);
    k.setze(0, 3, 0x00);
    k.setze(0, 4, 0xFF);
    k.setze(0, 5, 0x10);
    k.setze(0, 6, 0x00);
    k.setze(0, 7, 0x03);
    for (int o = 8; o <= 23; ++o)
        k.setze(0, o, 0xFF);
    k.setze(0, 24, 0x03);
    k.setze(0, 40, 0x03);
    k.setze(0, 56, 0x00);
    return k;
}

// The (page, offset) cells in which two images differ.
inline QList<QPair<int, int>> unterschiede(const Konfigspeicher& a, const Konfigspeicher& b)
{
    QList<QPair<int, int>> out;
    for (int s = 0; s < kSeiten; ++s)
        for (int o = 0; o < kZellen; ++o)
            if (a.zelle(s, o) != b.zelle(s, o))
                out.append({s, o});
    return out;
}

inline QList<int> sichtbareMarker(const Konfig& k)
{
    QList<int> out;
    for (int i = 0; i < kMarker; ++i)
        if (k.markerSichtbar(i))
            out.append(i);
    return out;
}

inline QList<int> geflaggt(Konfig& k)
{
    QList<int> out;
    for (int i = 0; i < kSeiten; ++i)
        if (k.seitenaenderung()[std::size_t(i)])
            out.append(i);
    return out;
}

// Types text with real key events, one character at a time, each carrying
// its own text (also for characters beyond Latin-1).
inline void tippen(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        Qt::Key taste = Qt::Key_unknown;
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            taste = Qt::Key(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, w, taste, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, taste, QString(c), Qt::NoModifier);
    }
}

// A shown and active main window with a fake door.
struct Fenster {
    FakeDoor door;
    Konfig k;

    Fenster()
    {
        // No test of the editor ever reaches a real serial port.
        for (int com = 1; com <= 4; ++com)
            k.verbindung().zuordnung().festlegen(com, QStringLiteral("/nonexistent/gsmbv-test-port"));
        k.show();
        QApplication::setActiveWindow(&k);
        if (!QTest::qWaitForWindowActive(&k))
            qWarning("main window not active");
    }

    template <class T = QWidget>
    T* finde(const QString& name)
    {
        T* w = k.findChild<T*>(name);
        if (!w)
            qWarning("no control %s", qPrintable(name));
        return w;
    }
    Eingabefeld* feld(const QString& name) { return finde<Eingabefeld>(name); }

    // Puts the focus into a field on its tab as a click into it does: the
    // user enters it (also when the tab switch has put the focus there).
    void betreten(QWidget* w)
    {
        for (int i = 0; i < k.tabs()->count(); ++i)
            if (k.tabs()->widget(i)->isAncestorOf(w))
                k.tabs()->setCurrentIndex(i);
        if (w->hasFocus())
            w->clearFocus();
        w->setFocus(Qt::MouseFocusReason);
    }

    QWidget* fokus() const { return QApplication::focusWidget(); }
};

} // namespace hilfe
