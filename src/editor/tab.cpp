#include "editor/tab.h"

#include "editor/bausteine.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "editor/feldwaechter.h"
#include "editor/zugangsnamen.h"

#include "modell/einstellung.h"

#include <QCheckBox>
#include <QSignalBlocker>

Tab::Tab(const QString& name, Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent)
    : QWidget(parent), m_k(kontext), m_waechter(waechter)
{
    setObjectName(name);
}

const Einstellung& Tab::einstellung(const QString& schluessel)
{
    const Einstellung* e = Einstellung::finden(schluessel);
    if (!e)
        qFatal("Tab: no setting \"%s\"", qPrintable(schluessel));
    return *e;
}

Eingabefeld* Tab::feld(const QString& name, const QString& schluessel, QWidget* parent)
{
    const Einstellung& s = einstellung(schluessel);
    auto* e = new Eingabefeld(name, s.zeichen, s.max, parent);
    e->setAccessibleName(zugangsname(s));
    m_k.feldAnmelden(s.feld, e);
    m_waechter.anmelden(e);
    m_felder.emplace_back(e, s.feld);
    m_stumm.push_back(e);
    return e;
}

QCheckBox* Tab::kaestchen(const QString& name, const QString& text, const QString& schluessel, QWidget* parent)
{
    const Einstellung* e = &einstellung(schluessel);
    QCheckBox* c = bausteine::kaestchen(name, text, parent);
    c->setAccessibleName(zugangsname(*e));
    connect(c, &QCheckBox::toggled, this, [this, e](bool neu) { ausfuehren(m_k.modell().schalten(*e, neu)); });
    m_kaestchen.emplace_back(c, e);
    m_stumm.push_back(c);
    return c;
}

void Tab::beimAnzeigen(Schritt schritt, std::initializer_list<QObject*> stumm)
{
    m_schritte.push_back(std::move(schritt));
    m_stumm.insert(m_stumm.end(), stumm);
}

void Tab::anzeigen(const Editorwerte& w)
{
    std::vector<QSignalBlocker> sperren;
    sperren.reserve(m_stumm.size());
    for (QObject* o : m_stumm)
        sperren.emplace_back(o);
    for (const auto& [e, f] : m_felder)
        textZeigen(e, Editormodell::text(w, f));
    for (const auto& [c, e] : m_kaestchen)
        c->setChecked(Editormodell::schalter(w, *e));
    for (const Schritt& s : m_schritte)
        s(w);
}

void Tab::ausfuehren(const Folge& folge)
{
    m_k.folgen(folge);
    anzeigen(m_k.modell().werte());
}
