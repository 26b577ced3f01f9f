#include "blatt/blatt.h"

#include <QFont>
#include <QFontMetricsF>
#include <QIODevice>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>

namespace blatt {
namespace {

// Millimetres of the page layout.
constexpr qreal kRandSeite = 18.0;    // left and right
constexpr qreal kRandOben = 15.0;
constexpr qreal kRandUnten = 12.0;
constexpr qreal kFusszeile = 9.0;     // footer, inside the printable area
constexpr qreal kZelleX = 1.6;        // cell padding
constexpr qreal kZelleY = 0.9;
constexpr qreal kGruppenAbstand = 3.0;
constexpr qreal kAbschnittAbstand = 5.0;
constexpr qreal kBeschriftungsAnteil = 0.42;  // of the width, for the captions

// What stands for an empty value on paper, so that it is seen to be empty.
const QString kLeer = QStringLiteral("–");

QFont schrift(qreal punkte, bool fett = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    // No ligatures: the text taken from the PDF (search, copy) reads as typed.
    f.setStyleStrategy(QFont::PreferNoShaping);
    f.setPointSizeF(punkte);
    f.setBold(fett);
    return f;
}

// Lays out a text in lines of `breite` (at word boundaries, inside a word that
// is longer than a line) and draws it at `pos` when a painter is given.
// Returns its height.
qreal satz(const QString& text, const QFont& f, qreal breite, const QPaintDevice* d, QPainter* p = nullptr,
           QPointF pos = {})
{
    QTextLayout l(text, f, d);
    QTextOption o;
    o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    l.setTextOption(o);
    l.beginLayout();
    qreal y = 0;
    for (QTextLine z = l.createLine(); z.isValid(); z = l.createLine()) {
        z.setLineWidth(breite);
        z.setPosition(QPointF(0, y));
        y += z.height();
    }
    l.endLayout();
    if (p)
        l.draw(p, pos);
    return y;
}

// A table of the sheet: a group box of the window, or the sheet's own data.
struct Tabelle {
    QString titel;  // empty: no title row
    QList<std::pair<QString, QString>> zeilen;
};

// One thing placed on a page.
struct Platz {
    enum Art { Titel, Ueberschrift, Tabellenkopf, Zeile, Rahmen } art;
    QRectF rect;
    QString links, rechts;
};

class Setzer {
public:
    Setzer(const QPaintDevice* d, qreal breite, qreal hoehe) : m_d(d), m_breite(breite), m_hoehe(hoehe)
    {
        m_mm = d->logicalDpiY() / 25.4;
        m_seiten.append(QList<Platz>());
    }

    qreal mm(qreal v) const { return v * m_mm; }
    qreal spalte() const { return m_breite * kBeschriftungsAnteil; }

    qreal titelHoehe(const QString& t) const { return satz(t, schrift(15, true), m_breite, m_d) + mm(3); }
    qreal ueberschriftHoehe(const QString& t) const { return satz(t, schrift(12.5, true), m_breite, m_d) + mm(2); }
    qreal kopfHoehe(const QString& t) const
    {
        return satz(t, schrift(10, true), m_breite - 2 * mm(kZelleX), m_d) + 2 * mm(kZelleY);
    }
    qreal zeilenHoehe(const std::pair<QString, QString>& z) const
    {
        const qreal l = satz(z.first, schrift(10), spalte() - 2 * mm(kZelleX), m_d);
        const qreal r = satz(z.second, schrift(10), m_breite - spalte() - 2 * mm(kZelleX), m_d);
        return qMax(l, r) + 2 * mm(kZelleY);
    }
    qreal tabellenHoehe(const Tabelle& t) const
    {
        qreal h = t.titel.isEmpty() ? 0 : kopfHoehe(t.titel);
        for (const auto& z : t.zeilen)
            h += zeilenHoehe(z);
        return h;
    }

    void titel(const QString& t)
    {
        const qreal h = titelHoehe(t);
        setzen({Platz::Titel, QRectF(0, m_y, m_breite, h), t, {}});
        m_y += h;
    }

    // A tab's heading stays on the page of the table that follows it.
    void ueberschrift(const QString& t, const Tabelle& erste)
    {
        if (m_y > 0)
            m_y += mm(kAbschnittAbstand);
        const qreal h = ueberschriftHoehe(t);
        const qreal tab = tabellenHoehe(erste);
        const qreal mindestens = tab <= m_hoehe - h ? tab : kopfHoehe(erste.titel) + zeilenHoehe(erste.zeilen.value(0));
        if (m_y + h + mindestens > m_hoehe)
            neueSeite();
        setzen({Platz::Ueberschrift, QRectF(0, m_y, m_breite, h), t, {}});
        m_y += h;
    }

    // A table stays on one page when it fits on one; one that does not goes
    // on row by row, with its title repeated on the next page.
    void tabelle(const Tabelle& t, bool abstand)
    {
        if (abstand)
            m_y += mm(kGruppenAbstand);
        if (m_y + tabellenHoehe(t) > m_hoehe && tabellenHoehe(t) <= m_hoehe && m_y > 0)
            neueSeite();
        qreal anfang = m_y;
        auto kopf = [&](const QString& text) {
            if (t.titel.isEmpty())
                return;
            const qreal h = kopfHoehe(text);
            setzen({Platz::Tabellenkopf, QRectF(0, m_y, m_breite, h), text, {}});
            m_y += h;
        };
        kopf(t.titel);
        for (const auto& z : t.zeilen) {
            const qreal h = zeilenHoehe(z);
            if (m_y + h > m_hoehe && m_y > anfang) {
                setzen({Platz::Rahmen, QRectF(0, anfang, m_breite, m_y - anfang), {}, {}});
                neueSeite();
                anfang = m_y;
                kopf(t.titel + QStringLiteral(" (Fortsetzung)"));
            }
            setzen({Platz::Zeile, QRectF(0, m_y, m_breite, h), z.first, z.second});
            m_y += h;
        }
        setzen({Platz::Rahmen, QRectF(0, anfang, m_breite, m_y - anfang), {}, {}});
    }

    const QList<QList<Platz>>& seiten() const { return m_seiten; }

private:
    void neueSeite()
    {
        m_seiten.append(QList<Platz>());
        m_y = 0;
    }
    void setzen(const Platz& p) { m_seiten.last().append(p); }

    const QPaintDevice* m_d;
    qreal m_breite, m_hoehe, m_mm = 1;
    qreal m_y = 0;
    QList<QList<Platz>> m_seiten;
};

QString wert(const QString& text)
{
    return text.isEmpty() ? kLeer : lesbar(text);
}

QList<Tabelle> tabellen(const Abschnitt& a)
{
    QList<Tabelle> t;
    for (const Gruppe& g : a.gruppen) {
        Tabelle tab{g.titel, {}};
        for (const Eintrag& e : g.eintraege)
            tab.zeilen.append({e.kurz, wert(e.text)});
        // A list without recipients says so, rather than leaving no trace.
        for (const QString& liste : g.listen) {
            const bool leer = std::none_of(g.eintraege.cbegin(), g.eintraege.cend(), [&](const Eintrag& e) {
                return e.schluessel.startsWith(liste + QLatin1Char('['));
            });
            if (leer)
                tab.zeilen.append({QStringLiteral("Nummern"), QStringLiteral("keine")});
        }
        t.append(tab);
    }
    return t;
}

void malen(QPainter& p, const QPaintDevice* d, const Platz& pl, qreal mm, qreal spalte)
{
    const qreal pt = d->logicalDpiY() / 72.0;
    const QColor grau(0x80, 0x80, 0x80);
    switch (pl.art) {
    case Platz::Titel:
        satz(pl.links, schrift(15, true), pl.rect.width(), d, &p, pl.rect.topLeft());
        break;
    case Platz::Ueberschrift: {
        const qreal h = satz(pl.links, schrift(12.5, true), pl.rect.width(), d, &p, pl.rect.topLeft());
        p.setPen(QPen(Qt::black, 1.0 * pt));
        p.drawLine(QPointF(pl.rect.left(), pl.rect.top() + h + 0.6 * mm),
                   QPointF(pl.rect.right(), pl.rect.top() + h + 0.6 * mm));
        break;
    }
    case Platz::Tabellenkopf:
        // A very light grey: printed halftoned on a black-and-white printer it
        // leaves the bold title readable.
        p.fillRect(pl.rect, QColor(0xF0, 0xF0, 0xF0));
        p.setPen(QPen(Qt::black, 0.5 * pt));
        p.drawLine(pl.rect.bottomLeft(), pl.rect.bottomRight());
        satz(pl.links, schrift(10, true), pl.rect.width() - 2 * kZelleX * mm, d, &p,
             pl.rect.topLeft() + QPointF(kZelleX * mm, kZelleY * mm));
        break;
    case Platz::Zeile:
        p.setPen(QPen(grau, 0.3 * pt));
        p.drawLine(pl.rect.bottomLeft(), pl.rect.bottomRight());
        p.drawLine(QPointF(spalte, pl.rect.top()), QPointF(spalte, pl.rect.bottom()));
        p.setPen(Qt::black);
        satz(pl.links, schrift(10), spalte - 2 * kZelleX * mm, d, &p,
             pl.rect.topLeft() + QPointF(kZelleX * mm, kZelleY * mm));
        satz(pl.rechts, schrift(10), pl.rect.width() - spalte - 2 * kZelleX * mm, d, &p,
             QPointF(spalte + kZelleX * mm, pl.rect.top() + kZelleY * mm));
        break;
    case Platz::Rahmen:
        p.setPen(QPen(Qt::black, 0.6 * pt));
        p.setBrush(Qt::NoBrush);
        p.drawRect(pl.rect);
        break;
    }
    p.setPen(Qt::black);
}

} // namespace

void seiteEinrichten(QPagedPaintDevice& geraet)
{
    geraet.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kRandSeite, kRandOben, kRandSeite, kRandUnten),
                                     QPageLayout::Millimeter));
}

int zeichnen(QPagedPaintDevice& geraet, const Kopf& kopf, const QList<Abschnitt>& abschnitte)
{
    QPainter p;
    if (!p.begin(&geraet))
        return 0;
    const qreal mm = geraet.logicalDpiY() / 25.4;
    const qreal breite = geraet.width();
    const qreal hoehe = geraet.height() - kFusszeile * mm;

    Setzer s(&geraet, breite, hoehe);
    s.titel(QStringLiteral("GSM Boravilon Konfiguration"));
    s.tabelle({{},
               {{QStringLiteral("Anlagenbezeichnung"), wert(kopf.anlage)},
                {QStringLiteral("Datum"), kopf.datum.toString(QStringLiteral("dd.MM.yyyy"))},
                {QStringLiteral("Herkunft"), wert(kopf.herkunft)}}},
              false);
    for (const Abschnitt& a : abschnitte) {
        const QList<Tabelle> t = tabellen(a);
        if (t.isEmpty())
            continue;
        s.ueberschrift(a.titel, t.first());
        for (qsizetype i = 0; i < t.size(); ++i)
            s.tabelle(t[i], i > 0);
    }

    const qsizetype n = s.seiten().size();
    const QFont fuss = schrift(8);
    // The footer's installation name is shortened ("…") to leave the page
    // number its place; the head shows it whole.
    const QFontMetricsF fm(fuss, &geraet);
    const QString datum = kopf.datum.toString(QStringLiteral("dd.MM.yyyy"));
    const qreal platz = breite - fm.horizontalAdvance(QStringLiteral("Seite %1 von %1").arg(n)) - 4 * mm
                      - fm.horizontalAdvance(QStringLiteral(", ") + datum);
    const QString links = (kopf.anlage.isEmpty() ? QString()
                                                 : fm.elidedText(lesbar(kopf.anlage), Qt::ElideRight, platz) + QStringLiteral(", "))
                        + datum;
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && !geraet.newPage()) {
            p.end();
            return 0;
        }
        for (const Platz& pl : s.seiten()[i])
            malen(p, &geraet, pl, mm, s.spalte());
        // Footer: a grey rule, the installation and the date, the page number.
        const qreal y = geraet.height() - kFusszeile * mm + 3 * mm;
        p.setPen(QPen(QColor(0x80, 0x80, 0x80), 0.3 * geraet.logicalDpiY() / 72.0));
        p.drawLine(QPointF(0, y), QPointF(breite, y));
        p.setPen(Qt::black);
        p.setFont(fuss);
        const QRectF zeile(0, y + 1 * mm, breite, kFusszeile * mm - 4 * mm);
        p.drawText(zeile, Qt::AlignLeft | Qt::AlignTop, links);
        p.drawText(zeile, Qt::AlignRight | Qt::AlignTop, QStringLiteral("Seite %1 von %2").arg(i + 1).arg(n));
    }
    return p.end() ? int(n) : 0;
}

bool pdf(QIODevice& ziel, const Kopf& kopf, const QList<Abschnitt>& abschnitte)
{
    QPdfWriter w(&ziel);
    w.setResolution(600);
    w.setCreator(QStringLiteral("GSM Boravilon Konfiguration"));
    w.setTitle(QStringLiteral("Konfiguration %1").arg(kopf.anlage).trimmed());
    seiteEinrichten(w);
    return zeichnen(w, kopf, abschnitte) > 0;
}

} // namespace blatt
