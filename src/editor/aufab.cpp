#include "editor/aufab.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

Aufab::Aufab(const QString& name, int minimum, int maximum, int wert, QWidget* parent)
    : QWidget(parent), m_min(minimum), m_max(maximum), m_wert(qBound(minimum, wert, maximum))
{
    setObjectName(name);
    setFocusPolicy(Qt::StrongFocus);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(1, 1, 1, 1);
    lay->setSpacing(0);
    m_auf = new QToolButton(this);
    m_ab = new QToolButton(this);
    m_auf->setObjectName(name + QStringLiteral("_auf"));
    m_ab->setObjectName(name + QStringLiteral("_ab"));
    m_auf->setArrowType(Qt::UpArrow);
    m_ab->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_auf, m_ab}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(18, 12);
        lay->addWidget(b);
    }
    connect(m_auf, &QToolButton::clicked, this, &Aufab::stepUp);
    connect(m_ab, &QToolButton::clicked, this, &Aufab::stepDown);
    knoepfeAnpassen();
}

void Aufab::setValue(int wert)
{
    wert = qBound(m_min, wert, m_max);
    if (wert == m_wert)
        return;
    m_wert = wert;
    knoepfeAnpassen();
    emit valueChanged(m_wert);
}

void Aufab::knoepfeAnpassen()
{
    m_auf->setEnabled(isEnabled() && m_wert < m_max);
    m_ab->setEnabled(isEnabled() && m_wert > m_min);
}

void Aufab::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange)
        knoepfeAnpassen();
    QWidget::changeEvent(e);
}

void Aufab::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Up: stepUp(); break;
    case Qt::Key_Down: stepDown(); break;
    case Qt::Key_PageUp: setValue(m_wert + 10); break;
    case Qt::Key_PageDown: setValue(m_wert - 10); break;
    default: QWidget::keyPressEvent(e); return;
    }
    e->accept();
}

void Aufab::wheelEvent(QWheelEvent* e)
{
    if (!isEnabled())
        return;
    if (e->angleDelta().y() > 0)
        stepUp();
    else if (e->angleDelta().y() < 0)
        stepDown();
    e->accept();
}

void Aufab::paintEvent(QPaintEvent* e)
{
    QWidget::paintEvent(e);
    if (!hasFocus())
        return;
    // With the keyboard focus the arrows are framed: Up and Down step the value.
    QStylePainter p(this);
    QStyleOptionFocusRect o;
    o.initFrom(this);
    p.drawPrimitive(QStyle::PE_FrameFocusRect, o);
}
