#include "editor/tab.h"

#include "editor/bausteine.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "editor/feldwaechter.h"

#include <QCheckBox>
#include <QSignalBlocker>

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
    m_felder.emplace_back(e, f);
    m_stumm.push_back(e);
    return e;
}

QCheckBox* Tab::kaestchen(const QString& name, const QString& text, QWidget* parent, Zustand an,
                          std::function<Folge(bool)> operation)
{
    QCheckBox* c = bausteine::kaestchen(name, text, parent);
    connect(c, &QCheckBox::toggled, this, [this, operation = std::move(operation)](bool neu) {
        ausfuehren(operation(neu));
    });
    m_kaestchen.emplace_back(c, std::move(an));
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
    for (const auto& [c, an] : m_kaestchen)
        c->setChecked(an(w));
    for (const Schritt& s : m_schritte)
        s(w);
}

void Tab::ausfuehren(const Folge& folge)
{
    m_k.folgen(folge);
    anzeigen(m_k.modell().werte());
}
