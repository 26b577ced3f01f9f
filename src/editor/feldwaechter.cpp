#include "editor/feldwaechter.h"

#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "image/ansi.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

Feldwaechter::Feldwaechter(Editorkontext& kontext, QObject* parent) : QObject(parent), m_k(kontext)
{
    connect(qApp, &QApplication::focusChanged, this, &Feldwaechter::fokusGewechselt);
    // Clicks anywhere in the window are looked at before they move the focus.
    qApp->installEventFilter(this);
}

void Feldwaechter::anmelden(Eingabefeld* feld)
{
    // The application-wide filter sees the field's events first.
    feld->setWaechter(this);
    // Every edit by the user counts, also those without a key (cut from the menu).
    connect(feld, &QLineEdit::textEdited, this, [this] {
        m_k.Feldgeaendert = true;
        m_fremd = nullptr;
    });
    // A text set from outside - an assistive technology (screen reader, on-screen
    // keyboard, voice input) through the accessibility interface - is no typing:
    // taken under the same rules once it is clear that no edit of the user's
    // follows (the program's own showing holds the field's signals back).
    connect(feld, &QLineEdit::textChanged, this, [this, feld] {
        if (m_eigen)
            return;
        m_fremd = feld;
        QTimer::singleShot(0, this, [this, feld = QPointer<Eingabefeld>(feld)] {
            if (feld && feld == m_fremd)
                vonAussen(feld);
        });
    });
}

void Feldwaechter::vonAussen(Eingabefeld* feld)
{
    m_fremd = nullptr;
    const QString neu = feld->text();
    const Einfuegeentscheid e = einfuegenPruefen(feld->art(), feld->grenze(), QString(), 0, neu);
    if (e.beeps > 0)
        abweisen(e.grund, feld, e.beeps);
    if (e.text != neu) {
        m_eigen = true;
        feld->setText(e.text);
        m_eigen = false;
    }
    m_geprueft = nullptr;
    if (feld == m_feld) {
        m_k.Feldgeaendert = true;  // stored when the field is left
        return;
    }
    // Not the field being edited: stored now, as if typed in and left.
    feld->pruefen(true);
}

namespace {
// Focus the user gave: by the mouse, the Tab key or a shortcut.
bool vomBenutzer(Qt::FocusReason grund)
{
    return grund == Qt::MouseFocusReason || grund == Qt::TabFocusReason || grund == Qt::BacktabFocusReason
        || grund == Qt::ShortcutFocusReason;
}
} // namespace

bool Feldwaechter::pruefenNoetig(const Eingabefeld* feld) const
{
    return feld != m_feld || m_vomBenutzer || m_k.Feldgeaendert;
}

bool Feldwaechter::uebernehmen()
{
    if (!m_feld || !pruefenNoetig(m_feld))
        return true;
    if (m_geprueft == m_feld && m_geprueftText == m_feld->text())
        return true;
    const bool ok = m_feld->pruefen(m_k.Feldgeaendert);
    if (ok) {
        m_geprueft = m_feld;
        m_geprueftText = m_feld->text();
    }
    return ok;
}

void Feldwaechter::verwerfen()
{
    m_vomBenutzer = false;
    m_k.Feldgeaendert = false;
    m_geprueft = nullptr;
}

bool Feldwaechter::verlassen(Eingabefeld* feld)
{
    if (!pruefenNoetig(feld))
        return true;
    if (m_geprueft == feld && m_geprueftText == feld->text())
        return true;
    return feld->pruefen(m_k.Feldgeaendert);
}

void Feldwaechter::betreten(Eingabefeld* feld)
{
    m_feld = feld;
    m_geprueft = nullptr;
    m_k.Feldgeaendert = false;
    m_vomBenutzer = vomBenutzer(m_fokusGrund);
    if (!feld->hinweis().isEmpty())
        m_k.hinweisSetzen(feld->hinweis());
}

namespace {
// The page of a stack (a tab) that holds `feld`, when another page is shown.
bool seiteVerdeckt(QWidget* feld)
{
    QWidget* kind = feld;
    for (QWidget* p = feld->parentWidget(); p; kind = p, p = p->parentWidget())
        if (auto* stapel = qobject_cast<QStackedWidget*>(p); stapel && stapel->currentWidget() != kind)
            return true;
    return false;
}
} // namespace

void Feldwaechter::zurueck(Eingabefeld* feld)
{
    // A tab switched away from the field is switched back once the switch
    // under way has ended; until then no second check runs.
    if ((seiteVerdeckt(feld) || !feld->isVisible()) && !m_rueckkehr) {
        m_rueckkehr = true;
        QTimer::singleShot(0, this, &Feldwaechter::rueckkehrAbschliessen);
    }
    if (feld->isVisible()) {
        m_zuruecksetzen = true;
        feld->setFocus(Qt::OtherFocusReason);
        m_zuruecksetzen = false;
    }
}

void Feldwaechter::rueckkehrAbschliessen()
{
    m_rueckkehr = false;
    Eingabefeld* feld = m_feld;
    if (!feld)
        return;
    m_zuruecksetzen = true;
    QWidget* kind = feld;
    for (QWidget* p = feld->parentWidget(); p; kind = p, p = p->parentWidget()) {
        auto* stapel = qobject_cast<QStackedWidget*>(p);
        if (!stapel || stapel->currentWidget() == kind)
            continue;
        if (auto* tabs = qobject_cast<QTabWidget*>(stapel->parentWidget()))
            tabs->setCurrentWidget(kind);
        else
            stapel->setCurrentWidget(kind);
    }
    feld->setFocus(Qt::OtherFocusReason);
    m_zuruecksetzen = false;
}

void Feldwaechter::fokusGewechselt(QWidget* /*alt*/, QWidget* neu)
{
    if (m_zuruecksetzen)
        return;
    Eingabefeld* feld = m_feld;
    if (feld && neu == feld) {
        // Back in the field being edited (e.g. after another window); a click
        // or the Tab key into it enters it.
        if (vomBenutzer(m_fokusGrund))
            m_vomBenutzer = true;
        return;
    }
    // The focus left the window (another window, another program): the field
    // stays the one being edited and nothing is checked.
    if (feld && (!neu || neu->window() != feld->window()))
        return;
    if (feld) {
        if (m_rueckkehr) {
            zurueck(feld);  // the refusal under way holds
            return;
        }
        if (!verlassen(feld)) {
            // A click that moved the focus is not carried out either; the
            // refusal only holds for the event under way.
            m_abgewiesen = neu;
            QTimer::singleShot(0, this, [this] { m_abgewiesen = nullptr; });
            zurueck(feld);
            return;
        }
        m_geprueft = nullptr;
        if (!feld->hinweis().isEmpty())
            m_k.hinweisSetzen(QString());
        m_feld = nullptr;
    }
    auto* neuesFeld = qobject_cast<Eingabefeld*>(neu);
    if (neuesFeld && neuesFeld->waechter() == this)
        betreten(neuesFeld);
}

bool Feldwaechter::klickPruefen(QWidget* ziel)
{
    if (!m_feld || !ziel || ziel->window() != m_feld->window())
        return true;
    if (ziel == m_feld || m_feld->isAncestorOf(ziel))
        return true;
    // Menu bar and toolbar take pending input over in their commands.
    for (QWidget* w = ziel; w; w = w->parentWidget())
        if (qobject_cast<QMenuBar*>(w) || qobject_cast<QToolBar*>(w))
            return true;
    // Would the click move the focus, or switch the tab?
    bool wirkt = false;
    for (QWidget* w = ziel; w; w = w->parentWidget()) {
        if (qobject_cast<QTabBar*>(w)) {
            wirkt = true;
            break;
        }
        if (w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus)) {
            wirkt = w != m_feld;
            break;
        }
        if (w->isWindow())
            break;
    }
    if (!wirkt)
        return true;
    const bool ok = verlassen(m_feld);
    if (ok) {
        m_geprueft = m_feld;
        m_geprueftText = m_feld->text();
    }
    return ok;
}

bool Feldwaechter::mausGedrueckt(QObject* obj, QMouseEvent* me)
{
    if (auto* fenster = qobject_cast<QWindow*>(obj)) {
        // The press reaches the window before any widget takes the focus:
        // the place to check a field that is about to be left by a click.
        if (!m_feld)
            return false;
        QWidget* oben = nullptr;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t->windowHandle() == fenster)
                oben = t;
        if (!oben)
            return false;
        QWidget* ziel = oben->childAt(me->position().toPoint());
        return !klickPruefen(ziel ? ziel : oben);
    }
    auto* w = qobject_cast<QWidget*>(obj);
    if (!w)
        return false;
    if (m_abgewiesen && (w == m_abgewiesen || m_abgewiesen->isAncestorOf(w))) {
        m_abgewiesen = nullptr;
        return true;  // its focus was refused: the click is not carried out
    }
    if (m_feld && !klickPruefen(w))
        return true;
    if (w == m_feld)
        m_vomBenutzer = true;
    auto* feld = qobject_cast<Eingabefeld*>(w);
    if (feld && feld->waechter() == this && me->button() == Qt::MiddleButton)
        return true;  // the selection is pasted on release, under the rules
    return false;
}

bool Feldwaechter::eventFilter(QObject* obj, QEvent* e)
{
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (mausGedrueckt(obj, static_cast<QMouseEvent*>(e)))
            return true;
        break;
    case QEvent::MouseButtonRelease: {
        auto* feld = qobject_cast<Eingabefeld*>(obj);
        auto* me = static_cast<QMouseEvent*>(e);
        if (feld && feld->waechter() == this && me->button() == Qt::MiddleButton) {
            if (!feld->isReadOnly() && QApplication::clipboard()->supportsSelection()) {
                feld->setCursorPosition(feld->cursorPositionAt(me->position().toPoint()));
                feld->deselect();
                einfuegen(feld, QApplication::clipboard()->text(QClipboard::Selection));
            }
            return true;
        }
        break;
    }
    case QEvent::FocusIn: {
        auto* feld = qobject_cast<Eingabefeld*>(obj);
        if (feld && feld->waechter() == this)
            m_fokusGrund = static_cast<QFocusEvent*>(e)->reason();
        break;
    }
    case QEvent::ShortcutOverride: {
        auto* feld = qobject_cast<Eingabefeld*>(obj);
        auto* ke = static_cast<QKeyEvent*>(e);
        const Verlaufstaste t = feld && feld->waechter() == this ? verlaufstaste(ke) : Verlaufstaste::Keine;
        if (t == Verlaufstaste::Keine)
            break;
        // The field keeps the key while it has a step of its own to take
        // back or do again; otherwise the key is the window's.
        const bool eigene = !feld->isReadOnly()
                         && (t == Verlaufstaste::Rueckgaengig ? feld->isUndoAvailable() : feld->isRedoAvailable());
        ke->setAccepted(eigene);
        return true;
    }
    case QEvent::KeyPress: {
        auto* feld = qobject_cast<Eingabefeld*>(obj);
        auto* ke = static_cast<QKeyEvent*>(e);
        if (feld && feld->waechter() == this) {
            // A key in the field enters it; the shortcuts that switch the tab do not.
            if (feld == m_feld && !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
                m_vomBenutzer = true;
            return tasteFiltern(feld, ke);
        }
        break;
    }
    case QEvent::InputMethod: {
        auto* feld = qobject_cast<Eingabefeld*>(obj);
        auto* ie = static_cast<QInputMethodEvent*>(e);
        if (feld && feld->waechter() == this && !ie->commitString().isEmpty()) {
            // Composed text: the preedit goes on as it is, the committed text
            // through the rules.
            m_k.Feldgeaendert = true;
            if (ie->replacementLength() == 0) {
                QInputMethodEvent rest(ie->preeditString(), ie->attributes());
                QCoreApplication::sendEvent(feld, &rest);
                einfuegen(feld, ie->commitString());
                return true;
            }
            return true;  // replacing committed text around the cursor: not taken
        }
        break;
    }
    case QEvent::Drop: {
        auto* feld = qobject_cast<Eingabefeld*>(obj);
        auto* de = static_cast<QDropEvent*>(e);
        if (feld && feld->waechter() == this) {
            if (de->mimeData() && de->mimeData()->hasText() && !feld->isReadOnly()) {
                feld->setCursorPosition(feld->cursorPositionAt(de->position().toPoint()));
                feld->deselect();
                einfuegen(feld, de->mimeData()->text());
                de->setDropAction(Qt::CopyAction);
                de->accept();
                feld->setFocus(Qt::MouseFocusReason);
            } else {
                de->ignore();
            }
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(obj, e);
}

Feldwaechter::Verlaufstaste Feldwaechter::verlaufstaste(const QKeyEvent* e)
{
    const QKeyCombination k = e->keyCombination();
    if (e->matches(QKeySequence::Undo) || k == QKeyCombination(Qt::ControlModifier, Qt::Key_Z))
        return Verlaufstaste::Rueckgaengig;
    if (e->matches(QKeySequence::Redo) || k == QKeyCombination(Qt::ControlModifier, Qt::Key_Y))
        return Verlaufstaste::Wiederholen;
    return Verlaufstaste::Keine;
}

bool Feldwaechter::tasteFiltern(Eingabefeld* feld, QKeyEvent* e)
{
    if (feld->isReadOnly())
        return false;
    // Ctrl+Y does the field's redo also where the platform's redo key is another.
    if (verlaufstaste(e) == Verlaufstaste::Wiederholen && !e->matches(QKeySequence::Redo)) {
        feld->redo();
        return true;
    }
    if (e->matches(QKeySequence::Paste)) {
        m_k.Feldgeaendert = true;
        zwischenablageEinfuegen(feld);
        return true;
    }
    const QString text = e->text();
    const Qt::KeyboardModifiers mod = e->modifiers();
    const bool befehl = (mod & Qt::ControlModifier) && !(mod & Qt::AltModifier);
    const bool rueck = e->key() == Qt::Key_Backspace;
    if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab)
        return false;  // moving on: the check runs when the focus goes
    if (!rueck && (befehl || text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127)) {
        // Cursor keys, Delete, copy, cut, undo, select all: no character is typed.
        return false;
    }
    m_k.Feldgeaendert = true;
    if (!rueck && text.size() > 1) {
        einfuegen(feld, text);
        return true;
    }
    int code = kBackspace;
    if (!rueck) {
        const auto b = ansi::byteFuer(text.at(0));
        code = b ? int(*b) : kKeinByte;
    }
    const Tastenentscheid t = tastePruefen(feld->art(), feld->grenze(), feld->text(), code);
    if (t.einheitLeeren) {
        m_eigen = true;
        feld->setText(QString());
        m_eigen = false;
    }
    if (t.beeps > 0)
        abweisen(t.grund, feld, t.beeps);
    if (!t.zulassen)
        return true;
    m_geprueft = nullptr;
    return false;
}

void Feldwaechter::einfuegen(Eingabefeld* feld, const QString& text)
{
    if (feld->isReadOnly())
        return;
    m_k.Feldgeaendert = true;
    const int ersetzt = feld->hasSelectedText() ? feld->selectedText().size() : 0;
    const Einfuegeentscheid e = einfuegenPruefen(feld->art(), feld->grenze(), feld->text(), ersetzt, text);
    m_eigen = true;
    if (e.einheitLeeren)
        feld->setText(QString());
    if (!e.text.isEmpty() || ersetzt > 0) {
        m_geprueft = nullptr;
        feld->insert(e.text);
    }
    m_eigen = false;
    if (e.beeps > 0)
        abweisen(e.grund, feld, e.beeps);
}

void Feldwaechter::zwischenablageEinfuegen(Eingabefeld* feld)
{
    einfuegen(feld, QApplication::clipboard()->text());
}

Eingabefeld* Feldwaechter::aktuellesFeld() const
{
    return m_feld;
}
