#include "editor/bausteine.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "editor/tabs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

Tab* tabRelais(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent)
{
    auto* tab = new Tab(QStringLiteral("TabRelais"), kontext, waechter, parent);
    auto* lay = new QVBoxLayout(tab);
    for (int r = 0; r < 2; ++r) {
        const QString nr = QString::number(r + 1);
        auto* gruppe = new QGroupBox(QStringLiteral("Relais ") + nr, tab);
        const QString s = QStringLiteral("relays[%1].").arg(r);
        QCheckBox* chk = tab->kaestchen(QStringLiteral("Chk_Relaisbest") + nr, QStringLiteral("Bestätigungsmeldung"),
                                        s + QStringLiteral("confirmation"), gruppe);
        Eingabefeld* text = tab->feld(QStringLiteral("Besttext") + nr, s + QStringLiteral("text"), gruppe);
        text->setEnabled(false);
        tab->beimAnzeigen([text, chk](const Editorwerte&) { text->setEnabled(chk->isChecked()); });
        auto* g = new QGridLayout(gruppe);
        g->addWidget(chk, 0, 0);
        g->addWidget(kontext.markerErzeugen(18 + r, gruppe), 0, 2);
        g->addWidget(text, 1, 0, 1, 2);
        g->addWidget(bausteine::beschriftung(QStringLiteral("maximal 127 Zeichen"), gruppe), 2, 0);
        g->setColumnStretch(1, 1);
        lay->addWidget(gruppe);
    }
    lay->addStretch();
    return tab;
}
