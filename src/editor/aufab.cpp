#include "editor/aufab.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

// To a screen reader the control is a spin box with its value and range; the
// arrow buttons, which the keyboard never reaches, are not shown of it.
class AufabZugang : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AufabZugang(QWidget* w) : QAccessibleWidget(w, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? QString::number(aufab()->value()) : QAccessibleWidget::text(t);
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QVariant currentValue() const override { return aufab()->value(); }
    void setCurrentValue(const QVariant& wert) override { aufab()->setValue(wert.toInt()); }
    QVariant maximumValue() const override { return aufab()->maximum(); }
    QVariant minimumValue() const override { return aufab()->minimum(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    Aufab* aufab() const { return static_cast<Aufab*>(widget()); }
};

QAccessibleInterface* zugangFabrik(const QString& klasse, QObject* o)
{
    if (klasse == QLatin1String("Aufab") && o && o->isWidgetType())
        return new AufabZugang(static_cast<QWidget*>(o));
    return nullptr;
}

} // namespace

Aufab::Aufab(const QString& name, int minimum, int maximum, int wert, QWidget* parent)
    : QWidget(parent), m_min(minimum), m_max(maximum), m_wert(qBound(minimum, wert, maximum))
{
    static const bool eingerichtet = [] {
        QAccessible::installFactory(zugangFabrik);
        return true;
    }();
    Q_UNUSED(eingerichtet);
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
    QAccessibleValueChangeEvent ereignis(this, m_wert);
    QAccessible::updateAccessibility(&ereignis);
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
