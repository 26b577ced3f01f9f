#include "shell/fokusrueckgabe.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

Fokusrueckgabe::Fokusrueckgabe(QWidget* hauptfenster) : QObject(hauptfenster), m_hauptfenster(hauptfenster)
{
    qApp->installEventFilter(this);
}

bool Fokusrueckgabe::eventFilter(QObject* obj, QEvent* e)
{
    if (e->type() != QEvent::Hide || !obj->isWidgetType())
        return false;
    auto* w = static_cast<QWidget*>(obj);
    if (!w->isWindow() || !w->parentWidget() || w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip)
        return false;
    QWidget* herkunft = w->parentWidget()->window();
    if (herkunft != m_hauptfenster && !m_hauptfenster->isAncestorOf(herkunft))
        return false;
    // Once the platform has had its say: only when no window is active.
    QTimer::singleShot(0, this, [ziel = QPointer<QWidget>(herkunft)] {
        if (ziel && ziel->isVisible() && !QApplication::activeWindow())
            ziel->activateWindow();
    });
    return false;
}
