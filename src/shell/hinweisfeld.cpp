#include "shell/hinweisfeld.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace {

// The panel as a screen reader sees it: role notification, named by its text.
class HinweisfeldZugang : public QAccessibleWidget {
public:
    explicit HinweisfeldZugang(QWidget* w) : QAccessibleWidget(w, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* zugangFabrik(const QString& klasse, QObject* o)
{
    if (klasse == QLatin1String("Hinweisfeld") && o && o->isWidgetType())
        return new HinweisfeldZugang(static_cast<QWidget*>(o));
    return nullptr;
}

} // namespace

Hinweisfeld::Hinweisfeld(QWidget* parent) : QLabel(parent)
{
    static const bool eingerichtet = [] {
        QAccessible::installFactory(zugangFabrik);
        return true;
    }();
    Q_UNUSED(eingerichtet);
}

void Hinweisfeld::zeigen(const QString& text, const QString& tipp)
{
    setText(text);
    setToolTip(tipp);
}

void Hinweisfeld::ansagen(const QString& text)
{
    zeigen(text);
    // Qt has no announcement of its own here; a notification that shows is
    // what screen readers speak (AT-SPI: object:state-changed:showing).
    QAccessibleEvent ereignis(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&ereignis);
}

int Hinweisfeld::platz() const
{
    return contentsRect().width() - fontMetrics().horizontalAdvance(QLatin1Char('x'));
}

void Hinweisfeld::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    drawFrame(&p);
    const int rand = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
    const QRect r = contentsRect().adjusted(rand, 0, -rand, 0);
    const QString sichtbar = fontMetrics().elidedText(text(), Qt::ElideRight, r.width());
    style()->drawItemText(&p, r, QStyle::visualAlignment(layoutDirection(), Qt::AlignLeft | Qt::AlignVCenter), palette(),
                          isEnabled(), sichtbar, foregroundRole());
}

bool Hinweisfeld::event(QEvent* e)
{
    // Without a tooltip of its own, a cut line shows itself whole.
    if (e->type() == QEvent::ToolTip && toolTip().isEmpty() && fontMetrics().horizontalAdvance(text()) > platz()) {
        QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), text(), this);
        return true;
    }
    return QLabel::event(e);
}
