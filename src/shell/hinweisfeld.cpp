#include "shell/hinweisfeld.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

void Hinweisfeld::zeigen(const QString& text, const QString& tipp)
{
    setText(text);
    setToolTip(tipp);
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
