#include "editor/tab.h"

#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "editor/feldwaechter.h"

Tab::Tab(const QString& name, Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent)
    : QWidget(parent), m_k(kontext), m_waechter(waechter)
{
    setObjectName(name);
}

Eingabefeld* Tab::feld(const QString& name, Feld f, Feldart art, int grenze, QWidget* parent)
{
    auto* e = new Eingabefeld(name, art, grenze, parent);
    m_k.feldAnmelden(f, e);
    m_waechter.anmelden(e);
    return e;
}

void Tab::ausfuehren(const Folge& folge)
{
    m_k.folgen(folge);
    anzeigen(m_k.modell().werte());
}
