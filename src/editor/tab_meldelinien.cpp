#include "editor/bausteine.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "editor/tabs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kMarkerOptionen = 21;
// Columns of the grid.
enum Spalte { Zeile, Text, TextMarker, Knopf, KnopfMarker, Oeffner, Gutmeldung, OptionMarker };
} // namespace

Tab* tabMeldelinien(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent)
{
    auto* tab = new Tab(QStringLiteral("TabMeldelinien"), kontext, waechter, parent);
    auto* lay = new QGridLayout(tab);
    lay->addWidget(bausteine::beschriftung(QStringLiteral("Meldungstext (maximal 70 Zeichen)"), tab), 0, Text);
    lay->addWidget(bausteine::beschriftung(QStringLiteral("Öffner"), tab), 0, Oeffner, Qt::AlignHCenter);
    lay->addWidget(bausteine::beschriftung(QStringLiteral("Gutmeldung"), tab), 0, Gutmeldung, Qt::AlignHCenter);
    lay->addWidget(kontext.markerErzeugen(kMarkerOptionen, tab), 0, OptionMarker);

    // An option of source i: its check box in its column.
    auto option = [&](const QString& name, int i, int spalte, const QString& schluessel) {
        QCheckBox* c = tab->kaestchen(QStringLiteral("%1_%2").arg(name).arg(i), QString(), schluessel, tab);
        lay->addWidget(c, i + 1, spalte, Qt::AlignHCenter);
    };
    for (int i = 0; i < 9; ++i) {
        const int r = i + 1;
        const QString s = i < 8 ? QStringLiteral("lines[%1].").arg(i) : QStringLiteral("mains_failure.");
        lay->addWidget(bausteine::beschriftung(meldequelle(i + 1), tab), r, Zeile);
        lay->addWidget(tab->feld(QStringLiteral("SMSText_%1").arg(i), s + QStringLiteral("text"), tab), r, Text);
        lay->addWidget(kontext.markerErzeugen(i, tab), r, TextMarker);

        auto* knopf = new QPushButton(QStringLiteral("Nummern"), tab);
        knopf->setObjectName(QStringLiteral("CMD_Nr_%1").arg(i));
        QObject::connect(knopf, &QPushButton::clicked, tab, [tab, i] { emit tab->nummernGeklickt(i); });
        lay->addWidget(knopf, r, Knopf);
        lay->addWidget(kontext.markerErzeugen(9 + i, tab), r, KnopfMarker);

        if (i < 8)
            option(QStringLiteral("Chk_Oeffner"), i, Oeffner, s + QStringLiteral("normally_closed"));
        option(QStringLiteral("Chk_Gutmeldung"), i, Gutmeldung, s + QStringLiteral("all_clear"));
    }
    lay->setColumnStretch(Text, 1);
    lay->setColumnMinimumWidth(Oeffner, 70);
    lay->setColumnMinimumWidth(Gutmeldung, 80);
    lay->setRowStretch(10, 1);
    return tab;
}
