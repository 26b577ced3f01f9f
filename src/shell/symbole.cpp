#include "shell/symbole.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace {

constexpr int kGroesse = 32;

// A picture drawn by `zeichnen` on a transparent square, smoothed.
QIcon bild(void (*zeichnen)(QPainter&))
{
    QPixmap pm(kGroesse, kGroesse);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        zeichnen(p);
    }
    return QIcon(pm);
}

// The device: a grey box with a display and an antenna.
void geraet(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    p.setBrush(QColor(150, 155, 165));
    p.drawRoundedRect(r, 2, 2);
    p.setBrush(QColor(180, 220, 180));
    p.drawRect(QRectF(r.left() + 2, r.top() + 3, r.width() - 4, r.height() * 0.35));
    p.setPen(QPen(QColor(40, 40, 40), 1.6));
    p.drawLine(QPointF(r.right() - 3, r.top()), QPointF(r.right() - 3, r.top() - 6));
}

// A thick arrow from `von` to `nach`.
void pfeil(QPainter& p, QPointF von, QPointF nach, const QColor& farbe)
{
    const QLineF linie(von, nach);
    const QLineF einheit = linie.unitVector();
    const QPointF d(einheit.dx(), einheit.dy());
    const QPointF n(-d.y(), d.x());
    const QPointF spitzeBasis = nach - d * 8.0;
    QPolygonF form;
    form << von + n * 2.5 << spitzeBasis + n * 2.5 << spitzeBasis + n * 6.5 << nach << spitzeBasis - n * 6.5
         << spitzeBasis - n * 2.5 << von - n * 2.5;
    p.setPen(QPen(farbe.darker(150), 1.0));
    p.setBrush(farbe);
    p.drawPolygon(form);
}

// A PC screen.
void bildschirm(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    p.setBrush(QColor(230, 230, 230));
    p.drawRect(r);
    p.setBrush(QColor(90, 140, 210));
    p.drawRect(r.adjusted(2, 2, -2, -2));
    p.setBrush(QColor(120, 120, 120));
    p.drawRect(QRectF(r.center().x() - 3, r.bottom(), 6, 3));
}

void abbrechen(QPainter& p)
{
    p.setPen(QPen(QColor(120, 0, 0), 1.5));
    p.setBrush(QColor(210, 30, 30));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.setPen(QPen(Qt::white, 4.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
    p.drawLine(QPointF(21, 11), QPointF(11, 21));
}

// Device and PC screen with the arrow of a transfer between them.
void uebertragung(QPainter& p, QPointF von, QPointF nach, const QColor& farbe)
{
    geraet(p, QRectF(19, 9, 11, 18));
    bildschirm(p, QRectF(1, 16, 13, 11));
    pfeil(p, von, nach, farbe);
}

void lesen(QPainter& p)
{
    uebertragung(p, QPointF(19, 8), QPointF(5, 8), QColor(40, 170, 60));
}

void schreiben(QPainter& p)
{
    uebertragung(p, QPointF(3, 8), QPointF(18, 8), QColor(220, 120, 20));
}

void uhr(QPainter& p)
{
    p.setPen(QPen(QColor(30, 30, 90), 2.0));
    p.setBrush(QColor(250, 250, 235));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.setPen(QPen(QColor(30, 30, 30), 1.0));
    for (int i = 0; i < 12; ++i) {
        QLineF strich(QPointF(16, 16), QPointF(16, 5));
        strich.setAngle(90 - i * 30);
        p.drawLine(strich.pointAt(0.82), strich.p2());
    }
    p.setPen(QPen(QColor(30, 30, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 16), QPointF(16, 8));
    p.drawLine(QPointF(16, 16), QPointF(22, 19));
}

void ereignisse(QPainter& p)
{
    QPainterPath blatt;
    blatt.moveTo(6, 2);
    blatt.lineTo(21, 2);
    blatt.lineTo(27, 8);
    blatt.lineTo(27, 30);
    blatt.lineTo(6, 30);
    blatt.closeSubpath();
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(Qt::white);
    p.drawPath(blatt);
    p.setPen(QPen(QColor(60, 60, 160), 1.6));
    for (int y = 10; y <= 26; y += 4)
        p.drawLine(QPointF(9, y), QPointF(24, y));
    p.setPen(QPen(QColor(200, 30, 30), 1.6));
    p.drawLine(QPointF(9, 10), QPointF(13, 10));
    p.drawLine(QPointF(9, 18), QPointF(13, 18));
}

void oeffnen(QPainter& p)
{
    p.setPen(QPen(QColor(120, 90, 10), 1.2));
    p.setBrush(QColor(220, 180, 60));
    QPolygonF hinten;
    hinten << QPointF(2, 8) << QPointF(11, 8) << QPointF(14, 11) << QPointF(27, 11) << QPointF(27, 27)
           << QPointF(2, 27);
    p.drawPolygon(hinten);
    p.setBrush(QColor(245, 210, 90));
    QPolygonF vorne;
    vorne << QPointF(2, 27) << QPointF(8, 15) << QPointF(31, 15) << QPointF(27, 27);
    p.drawPolygon(vorne);
}

void speichern(QPainter& p)
{
    p.setPen(QPen(QColor(20, 30, 70), 1.2));
    p.setBrush(QColor(50, 80, 160));
    QPolygonF diskette;
    diskette << QPointF(3, 3) << QPointF(25, 3) << QPointF(29, 7) << QPointF(29, 29) << QPointF(3, 29);
    p.drawPolygon(diskette);
    p.setBrush(QColor(225, 225, 225));
    p.drawRect(QRectF(8, 3, 15, 9));
    p.setBrush(QColor(50, 80, 160));
    p.drawRect(QRectF(18, 5, 3, 5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 17, 18, 12));
}

} // namespace

QIcon symbole::knopf(int index)
{
    switch (index) {
    case 1: return bild(abbrechen);
    case 2: return bild(lesen);
    case 3: return bild(schreiben);
    case 4: return bild(uhr);
    case 5: return bild(ereignisse);
    case 6: return bild(oeffnen);
    case 7: return bild(speichern);
    default: return {};
    }
}

QIcon symbole::fenster()
{
    return bild([](QPainter& p) {
        geraet(p, QRectF(7, 8, 18, 22));
        p.setPen(QPen(QColor(200, 30, 30), 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(17, 0, 12, 12), 0, 90 * 16);
        p.drawArc(QRectF(14, -3, 18, 18), 0, 90 * 16);
    });
}
