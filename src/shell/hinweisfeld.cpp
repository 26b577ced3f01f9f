#include "shell/hinweisfeld.h"

#include <QAccessible>
#include <QAccessibleWidget>

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

void Hinweisfeld::ansagen(const QString& text)
{
    setText(text);
    // Qt has no announcement of its own here; a notification that shows is
    // what screen readers speak (AT-SPI: object:state-changed:showing).
    QAccessibleEvent ereignis(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&ereignis);
}
