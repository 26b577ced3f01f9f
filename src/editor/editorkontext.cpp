#include "editor/editorkontext.h"

#include <QLabel>

Editorkontext::Editorkontext(Konfigspeicher& s, Seitenaenderung& f, QObject* parent)
    : QObject(parent), speicher(s), seiten(f)
{
}

void Editorkontext::markieren(int marker, int seite)
{
    if (marker >= 0 && marker < kMarker && m_marker[std::size_t(marker)])
        m_marker[std::size_t(marker)]->show();
    if (seite >= 0 && seite < kGeraeteSeiten)
        seiten[std::size_t(seite)] = true;
}

void Editorkontext::vermerken(int marker, int seite)
{
    if (Einlesen)
        return;
    markieren(marker, seite);
}

void Editorkontext::markerVerbergen()
{
    for (QLabel* l : m_marker)
        if (l)
            l->hide();
}

void Editorkontext::markerZeigen()
{
    for (QLabel* l : m_marker)
        if (l)
            l->show();
}

bool Editorkontext::markerSichtbar(int marker) const
{
    if (marker < 0 || marker >= kMarker || !m_marker[std::size_t(marker)])
        return false;
    return !m_marker[std::size_t(marker)]->isHidden();
}

QLabel* Editorkontext::markerErzeugen(int i, QWidget* parent)
{
    auto* l = new QLabel(QStringLiteral("*"), parent);
    l->setObjectName(QStringLiteral("Aenderung_%1").arg(i));
    QFont f(QStringLiteral("Arial Black"));
    f.setPointSize(12);
    f.setBold(true);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(0xFF, 0x00, 0x00));
    l->setPalette(p);
    l->setStyleSheet(QStringLiteral("color: #FF0000;"));
    // The marker keeps its place when hidden, so showing it moves nothing.
    QSizePolicy sp = l->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    l->setSizePolicy(sp);
    l->hide();
    m_marker[std::size_t(i)] = l;
    return l;
}
