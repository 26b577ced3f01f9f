#pragma once
// The window fixture: a shown, active main window with a fake door in front
// of the user and no real serial port behind it. Controls are found by their
// objectName; keys are real key events; a field is entered as a click into it
// enters it. Needs gsmbv_shell.
#include "fakedoor.h"
#include "editor/eingabefeld.h"
#include "shell/konfig.h"

#include <QApplication>
#include <QTabWidget>
#include <QTest>

namespace kit {

// The offscreen platform's notes about window features it lacks are noise.
inline void plattformHinweiseAus()
{
    // Installed once: a second handler would hand every message to itself.
    static bool eingerichtet = false;
    if (eingerichtet)
        return;
    eingerichtet = true;
    static QtMessageHandler vorher = nullptr;
    vorher = qInstallMessageHandler([](QtMsgType t, const QMessageLogContext& c, const QString& m) {
        if (!m.startsWith(QLatin1String("This plugin does not support")) && vorher)
            vorher(t, c, m);
    });
}

// Types text with real key events, one character at a time, each carrying its
// own text (also characters beyond Latin-1, which have no key code).
inline void tippen(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        const Qt::Key taste = c.unicode() >= 0x20 && c.unicode() < 0x7F ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Press, w, taste, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, taste, QString(c), Qt::NoModifier);
    }
}

struct Fenster {
    FakeDoor door;
    Konfig k;

    // COM 1..4 lead nowhere; `com1` (a simulator's pseudo-terminal, say) maps COM 1.
    explicit Fenster(const QString& com1 = QString())
    {
        plattformHinweiseAus();
        for (int com = 1; com <= 4; ++com)
            k.verbindung().zuordnung().festlegen(
                com, com == 1 && !com1.isEmpty() ? com1 : QStringLiteral("/nonexistent/gsmbv-test-port"));
        k.show();
        QApplication::setActiveWindow(&k);
        if (!QTest::qWaitForWindowActive(&k))
            qWarning("main window not active");
    }

    // A control (or action) by objectName; a missing one is reported by name.
    template <class T = QWidget>
    T* finde(const QString& name)
    {
        T* w = k.findChild<T*>(name);
        if (!w)
            qWarning("no control %s", qPrintable(name));
        return w;
    }
    Eingabefeld* feld(const QString& name) { return finde<Eingabefeld>(name); }
    QWidget* fokus() const { return QApplication::focusWidget(); }

    // Shows the tab a control is on.
    void zeigen(QWidget* w)
    {
        for (int i = 0; i < k.tabs()->count(); ++i)
            if (k.tabs()->widget(i)->isAncestorOf(w))
                k.tabs()->setCurrentIndex(i);
    }
    // Puts the focus into a field as a click into it does: the user enters it
    // (also when the tab switch has already put the focus there).
    void betreten(QWidget* w)
    {
        zeigen(w);
        if (w->hasFocus())
            w->clearFocus();
        w->setFocus(Qt::MouseFocusReason);
    }
    // A left click near the left edge of a control (on a box: its tick) on its tab.
    void klicken(const QString& name)
    {
        QWidget* w = finde(name);
        if (!w)
            return;
        zeigen(w);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
    }

    // The change markers shown and the pages flagged, in ascending order.
    QList<int> marker() const
    {
        QList<int> out;
        for (int i = 0; i < kMarker; ++i)
            if (k.markerSichtbar(i))
                out.append(i);
        return out;
    }
    QList<int> geflaggt()
    {
        QList<int> out;
        for (int i = 0; i < kSeiten; ++i)
            if (k.seitenaenderung()[std::size_t(i)])
                out.append(i);
        return out;
    }
};

} // namespace kit
