#include "editor/tab_relais.h"

#include "editor/bausteine.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

TabRelais::TabRelais(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent)
    : Tab(QStringLiteral("TabRelais"), kontext, waechter, parent)
{
    auto* lay = new QVBoxLayout(this);
    for (int r = 0; r < 2; ++r) {
        const QString nr = QString::number(r + 1);
        auto* gruppe = new QGroupBox(QStringLiteral("Relais ") + nr, this);
        m_chk[r] = bausteine::kaestchen(QStringLiteral("Chk_Relaisbest") + nr, QStringLiteral("Bestätigungsmeldung"), gruppe);
        m_text[r] = feld(QStringLiteral("Besttext") + nr, r == 0 ? Feld::Besttext1 : Feld::Besttext2,
                         Feldart::Freitext, 127, gruppe);
        m_text[r]->setEnabled(false);
        auto* g = new QGridLayout(gruppe);
        g->addWidget(m_chk[r], 0, 0);
        g->addWidget(m_k.markerErzeugen(18 + r, gruppe), 0, 2);
        g->addWidget(m_text[r], 1, 0, 1, 2);
        g->addWidget(bausteine::beschriftung(QStringLiteral("maximal 127 Zeichen"), gruppe), 2, 0);
        g->setColumnStretch(1, 1);
        lay->addWidget(gruppe);
        connect(m_chk[r], &QCheckBox::toggled, this,
                [this, r](bool an) { ausfuehren(m_k.modell().Chk_Relaisbest_Click(r + 1, an)); });
    }
    lay->addStretch();
}

void TabRelais::anzeigen(const Editorwerte& w)
{
    const bausteine::Stumm stumm{m_chk[0], m_chk[1]};
    m_chk[0]->setChecked(w.relaisbest1);
    m_chk[1]->setChecked(w.relaisbest2);
    textZeigen(m_text[0], w.besttext1);
    textZeigen(m_text[1], w.besttext2);
    m_text[0]->setEnabled(w.relaisbest1);
    m_text[1]->setEnabled(w.relaisbest2);
}
