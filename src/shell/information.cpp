#include "shell/information.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <algorithm>

namespace {

// Size of the box and of its pictures, in twips.
constexpr int kBreite = 6720;
constexpr int kHoehe = 3720;
constexpr int kBildLinks = 120, kBildOben = 120, kBildBreite = 3240, kBildHoehe = 1320;
constexpr int kLogoLinks = 5160, kLogoOben = 1980, kLogoSeite = 1320;
constexpr int kKontaktLinks = 120, kKontaktOben = 1980, kKontaktZeile = 240;

const char* const kSchrift = "Arial";

// The product: a wall housing with display, indicator lights, terminal strip
// and the GSM antenna on top.
QPixmap produktbild(QSize groesse)
{
    QPixmap bild(groesse);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = groesse.width(), h = groesse.height();

    // Antenna.
    const QRectF antenne(w * 0.78, h * 0.02, w * 0.035, h * 0.30);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    p.drawRoundedRect(antenne, 2, 2);

    // Housing.
    const QRectF gehaeuse(w * 0.04, h * 0.22, w * 0.92, h * 0.74);
    QLinearGradient verlauf(gehaeuse.topLeft(), gehaeuse.bottomLeft());
    verlauf.setColorAt(0, QColor(235, 238, 242));
    verlauf.setColorAt(1, QColor(170, 176, 186));
    p.setPen(QPen(QColor(90, 95, 105), 1.5));
    p.setBrush(verlauf);
    p.drawRoundedRect(gehaeuse, 8, 8);

    // Display with a line of text.
    const QRectF anzeige(gehaeuse.left() + w * 0.06, gehaeuse.top() + h * 0.12, w * 0.42, h * 0.26);
    p.setPen(QPen(QColor(40, 60, 40), 1));
    p.setBrush(QColor(150, 190, 120));
    p.drawRect(anzeige);
    QFont f(QString::fromLatin1(kSchrift));
    f.setPixelSize(std::max(6, int(anzeige.height() * 0.5)));
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(30, 45, 30));
    p.drawText(anzeige, Qt::AlignCenter, QStringLiteral("GSM BV 3.0"));

    // Indicator lights: power, GSM, alarm, fault.
    const QColor farben[] = {QColor(40, 190, 60), QColor(40, 190, 60), QColor(230, 60, 40),
                             QColor(245, 180, 30)};
    const qreal r = h * 0.045;
    for (int i = 0; i < 4; ++i) {
        const QPointF mitte(anzeige.right() + w * 0.08 + i * w * 0.09, anzeige.center().y());
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(farben[i]);
        p.drawEllipse(mitte, r, r);
    }

    // Terminal strip.
    const QRectF leiste(gehaeuse.left() + w * 0.06, gehaeuse.bottom() - h * 0.24, w * 0.80, h * 0.14);
    p.setPen(QPen(QColor(30, 80, 30), 1));
    p.setBrush(QColor(60, 140, 70));
    p.drawRect(leiste);
    p.setBrush(QColor(200, 200, 200));
    const int klemmen = 12;
    for (int i = 0; i < klemmen; ++i) {
        const qreal x = leiste.left() + (i + 0.5) * leiste.width() / klemmen;
        p.drawEllipse(QPointF(x, leiste.center().y()), leiste.height() * 0.3, leiste.height() * 0.3);
    }
    return bild;
}

// The maker's sign: rising signal bars in a ring.
QPixmap zeichen(QSize groesse)
{
    QPixmap bild(groesse);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = std::min(groesse.width(), groesse.height());
    const QRectF ring(s * 0.06, s * 0.06, s * 0.88, s * 0.88);
    p.setPen(QPen(QColor(20, 70, 140), s * 0.06));
    p.setBrush(QColor(225, 235, 250));
    p.drawEllipse(ring);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 70, 140));
    const int balken = 4;
    const qreal breite = s * 0.09, abstand = s * 0.04;
    const qreal links = (s - (balken * breite + (balken - 1) * abstand)) / 2;
    const qreal boden = s * 0.72;
    for (int i = 0; i < balken; ++i) {
        const qreal hoehe = s * (0.12 + 0.10 * i);
        p.drawRect(QRectF(links + i * (breite + abstand), boden - hoehe, breite, hoehe));
    }
    return bild;
}

QPointer<Information> g_offen;

} // namespace

Information::Information(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Information"));
    setWindowTitle(QStringLiteral("über GSM Boravilon Konfiguration"));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(twipsX(kBreite), twipsY(kHoehe));

    auto* produkt = new QLabel(this);
    produkt->setObjectName(QStringLiteral("ImageGSMBV"));
    produkt->setGeometry(twipsX(kBildLinks), twipsY(kBildOben), twipsX(kBildBreite), twipsY(kBildHoehe));
    produkt->setPixmap(produktbild(produkt->size()));
    produkt->setAccessibleName(QStringLiteral("Bild des Boravilon 3.0"));

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("Image2"));
    logo->setGeometry(twipsX(kLogoLinks), twipsY(kLogoOben), twipsX(kLogoSeite), twipsY(kLogoSeite));
    logo->setPixmap(zeichen(logo->size()));
    logo->setAccessibleName(QStringLiteral("Firmenzeichen"));

    beschriftung("Label1", QStringLiteral("GSM Boravilon"), 3480, 120, 12, true);
    beschriftung("Label3", QStringLiteral("Konfigurationsprogramm"), 3480, 480, 9.75, true);
    beschriftung("Label11", QStringLiteral(" Windows NT 4.0"), 3480, 840, 9.75, false);
    beschriftung("Label2", QStringLiteral(" Windows 2000"), 3480, 1080, 9.75, false);
    beschriftung("Label12", QStringLiteral("Version: 1.3 Release 05052003"), 120, 1560, 9.75, true);

    const QStringList kontakt = {
        QStringLiteral("Musterwerk Alarmtechnik GmbH"),
        QStringLiteral("Beispielweg 12, 12345 Musterstadt"),
        QStringLiteral("Telefon: +49 000 1234567"),
        QStringLiteral("E-Mail: info@example.org"),
        QStringLiteral("Internet: www.example.org"),
        QStringLiteral("Alarm-, Melde- und Fernwirktechnik"),
    };
    for (int i = 0; i < kontakt.size(); ++i) {
        const QByteArray name = "Kontakt_" + QByteArray::number(i);
        beschriftung(name.constData(), kontakt.at(i), kKontaktLinks,
                     kKontaktOben + i * kKontaktZeile, 8.25, false);
    }
    untereinander();
}

void Information::untereinander()
{
    // A font taller than the one the places were made for (Arial is not on
    // every system) would put one line over the next: such a line moves down.
    QList<QLabel*> zeilen;
    for (QLabel* l : findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (l->pixmap().isNull())
            zeilen.append(l);
    std::sort(zeilen.begin(), zeilen.end(), [](QLabel* a, QLabel* b) { return a->y() < b->y(); });
    for (qsizetype i = 0; i < zeilen.size(); ++i)
        for (qsizetype j = 0; j < i; ++j)
            if (zeilen[i]->geometry().intersects(zeilen[j]->geometry()))
                zeilen[i]->move(zeilen[i]->x(), zeilen[j]->geometry().bottom() + 1);
}

Information* Information::zeigen(QWidget* parent)
{
    if (!g_offen) {
        g_offen = new Information(parent);
        g_offen->setAttribute(Qt::WA_DeleteOnClose);
    }
    g_offen->show();
    g_offen->raise();
    g_offen->activateWindow();
    return g_offen;
}

int Information::twipsX(int twips) const
{
    return twips * logicalDpiX() / 1440;
}

int Information::twipsY(int twips) const
{
    return twips * logicalDpiY() / 1440;
}

QLabel* Information::beschriftung(const char* name, const QString& text, int links, int oben,
                                  qreal punkte, bool fett)
{
    auto* l = new QLabel(text, this);
    l->setObjectName(QString::fromLatin1(name));
    QFont f(QString::fromLatin1(kSchrift));
    f.setPointSizeF(punkte);
    f.setBold(fett);
    l->setFont(f);
    l->move(twipsX(links), twipsY(oben));
    l->adjustSize();
    return l;
}

QPoint Information::mitte() const
{
    const QScreen* s = screen();
    if (!s)
        return pos();
    const QRect bildschirm = s->geometry();
    const QRect rahmen = frameGeometry();
    return {bildschirm.x() + (bildschirm.width() - rahmen.width()) / 2,
            bildschirm.y() + (bildschirm.height() - rahmen.height()) / 2};
}

void Information::zentrieren()
{
    // A move may itself cause a repaint; the guard and the comparison keep
    // that from going round in circles.
    if (m_verschiebt)
        return;
    const QPoint ziel = mitte();
    if (pos() == ziel)
        return;
    m_verschiebt = true;
    move(ziel);
    m_verschiebt = false;
}

void Information::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    zentrieren();
}

void Information::paintEvent(QPaintEvent* e)
{
    zentrieren();
    QDialog::paintEvent(e);
}
