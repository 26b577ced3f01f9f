#include "editor/tab_relais.h"

#include "editor/bausteine.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "editor/feldwaechter.h"
#include "image/ansi.h"
#include "image/felder.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

TabRelais::TabRelais(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent)
    : QWidget(parent), m_k(kontext)
{
    setObjectName(QStringLiteral("TabRelais"));
    auto* lay = new QVBoxLayout(this);
    for (int r = 0; r < 2; ++r) {
        const QString nr = QString::number(r + 1);
        auto* gruppe = new QGroupBox(QStringLiteral("Relais ") + nr, this);
        m_chk[r] = new QCheckBox(QStringLiteral("Bestätigungsmeldung"), gruppe);
        m_chk[r]->setObjectName(QStringLiteral("Chk_Relaisbest") + nr);
        m_text[r] = new Eingabefeld(QStringLiteral("Besttext") + nr, Feldart::Freitext, 127, gruppe);
        m_text[r]->setPruefung([this, r](bool g) { return besttextSpeichern(r, g); });
        m_text[r]->setEnabled(false);
        waechter.anmelden(m_text[r]);
        auto* g = new QGridLayout(gruppe);
        g->addWidget(m_chk[r], 0, 0);
        g->addWidget(m_k.markerErzeugen(18 + r, gruppe), 0, 2);
        g->addWidget(m_text[r], 1, 0, 1, 2);
        g->addWidget(bausteine::beschriftung(QStringLiteral("maximal 127 Zeichen"), gruppe), 2, 0);
        g->setColumnStretch(1, 1);
        lay->addWidget(gruppe);
        connect(m_chk[r], &QCheckBox::toggled, this, [this, r] {
            if (!m_k.still)
                relaisbestClick(r);
        });
    }
    lay->addStretch();
}

bool TabRelais::besttextSpeichern(int r, bool geaendert)
{
    textSpeichern(m_k.speicher, r == 0 ? bereich::Besttext1 : bereich::Besttext2, ansi::bytes(m_text[r]->text()));
    if (geaendert)
        m_k.vermerken(18 + r, 10);
    return true;
}

void TabRelais::relaisbestClick(int r)
{
    const bool an = m_chk[r]->isChecked();
    m_text[r]->setEnabled(an);
    if (!an)
        m_text[r]->setText(QString());
    if (m_k.Einlesen)
        return;
    // Unticking empties the text in the image as well (0x03 at its first cell).
    besttextSpeichern(r, true);
}

void TabRelais::anzeigen(const Editorwerte& w)
{
    const Stille still(m_k);
    m_chk[0]->setChecked(w.relaisbest1);
    m_chk[1]->setChecked(w.relaisbest2);
    m_text[0]->setText(w.besttext1);
    m_text[1]->setText(w.besttext2);
    m_text[0]->setEnabled(w.relaisbest1);
    m_text[1]->setEnabled(w.relaisbest2);
}

void TabRelais::werteEintragen(Editorwerte& w) const
{
    w.relaisbest1 = m_chk[0]->isChecked();
    w.relaisbest2 = m_chk[1]->isChecked();
    w.besttext1 = m_text[0]->text();
    w.besttext2 = m_text[1]->text();
}
