#pragma once
// The window fixture: a shown, active main window with a fake door in front
// of the user and no real serial port behind it. Controls are found by their
// objectName; keys are real key events; a field is entered as a click into it
// enters it. Needs gsmbv_shell.
#include "editor/aufab.h"
#include "editor/eingabefeld.h"
#include "kit.h"
#include "shell/konfig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QSlider>
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
// own text (also characters beyond Latin-1, which have no key code); "\b" is
// the Backspace key, "\t" the Tab key.
inline void tippen(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        if (c == QLatin1Char('\b') || c == QLatin1Char('\t')) {
            QTest::keyClick(w, c == QLatin1Char('\b') ? Qt::Key_Backspace : Qt::Key_Tab);
            continue;
        }
        const Qt::Key taste = c.unicode() >= 0x20 && c.unicode() < 0x7F ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, w, taste, QString(c), Qt::NoModifier);
    }
}

// The change markers a window shows, in ascending order.
inline QList<int> marker(const Konfig& k)
{
    QList<int> out;
    for (int i = 0; i < kMarker; ++i)
        if (k.markerSichtbar(i))
            out.append(i);
    return out;
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

    // What a control shows, as "name=..." with its text, current entry, value
    // or tick (x, -); " gesperrt" appended when it is disabled.
    QString zeigt(const QString& name)
    {
        QWidget* w = finde(name);
        if (!w)
            return name + QStringLiteral("?");
        auto* e = qobject_cast<QLineEdit*>(w);
        auto* c = qobject_cast<QComboBox*>(w);
        auto* r = qobject_cast<QSlider*>(w);
        auto* a = qobject_cast<Aufab*>(w);
        auto* b = qobject_cast<QAbstractButton*>(w);
        const QString s = e ? e->text() : c ? c->currentText() : r ? QString::number(r->value()) : a ? QString::number(a->value())
                        : b && b->isChecked() ? QStringLiteral("x") : QStringLiteral("-");
        return name + QLatin1Char('=') + s + (w->isEnabled() ? QString() : QStringLiteral(" gesperrt"));
    }

    // The change markers shown and the pages flagged, in ascending order.
    QList<int> marker() const { return kit::marker(k); }
    QList<int> geflaggt() { return kit::geflaggt(k.seitenaenderung()); }
};

} // namespace kit
