#include "editor/bausteine.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "editor/tabs.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using bausteine::beschriftung;

namespace {
constexpr int kMeinMarker = 20;
} // namespace

Tab* tabAnalog(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent)
{
    auto* tab = new Tab(QStringLiteral("TabAnalog"), kontext, waechter, parent);
    auto* gruppe = new QGroupBox(QStringLiteral("Analogeingang 1"), tab);

    auto mitHinweis = [&](const QString& name, const QString& schluessel, const QString& hinweis) {
        Eingabefeld* e = tab->feld(name, QStringLiteral("analog.") + schluessel, gruppe);
        e->setHinweis(hinweis);
        return e;
    };
    auto* const messbereich4 = mitHinweis(QStringLiteral("Messbereich4"), QStringLiteral("value_4ma"),
                                          QStringLiteral("Wert bei 4 mA: 0 bis 999"));
    auto* const messbereich20 = mitHinweis(QStringLiteral("Messbereich20"), QStringLiteral("value_20ma"),
                                           QStringLiteral("Wert bei 20 mA: 0 bis 999"));
    auto* const grenzwertmin = mitHinweis(QStringLiteral("Grenzwertmin"), QStringLiteral("lower_threshold"),
                                          QStringLiteral("Analogwert Minimumalarm: muss um mind. 50 unter Maximumalarm liegen"));
    auto* const grenzwertmax = mitHinweis(QStringLiteral("Grenzwertmax"), QStringLiteral("upper_threshold"),
                                          QStringLiteral("Analogwert Maximumalarm: muss um mind. 50 über Minimumalarm liegen"));
    auto* const einheit = mitHinweis(QStringLiteral("Einheit"), QStringLiteral("unit"),
                                     QStringLiteral("Einheit des Analogwertes: max. 3 Zeichen"));
    for (Eingabefeld* e : {messbereich4, messbereich20, grenzwertmin, grenzwertmax, einheit})
        e->setFixedWidth(60);
    auto* const textMin = mitHinweis(QStringLiteral("Text_Min"), QStringLiteral("lower_text"),
                                     QStringLiteral("Meldunsgtext für Minimumalarm"));
    auto* const textMax = mitHinweis(QStringLiteral("Text_Max"), QStringLiteral("upper_text"),
                                     QStringLiteral("Meldunsgtext für Maximumalarm"));

    auto* nummern = new QPushButton(QStringLiteral("Nummern"), gruppe);
    nummern->setObjectName(QStringLiteral("Cmd_Analog"));
    QObject::connect(nummern, &QPushButton::clicked, tab, [tab] { emit tab->nummernGeklickt(0); });

    {
        auto* g = new QGridLayout(gruppe);
        g->addWidget(beschriftung(QStringLiteral("Messwert 4 mA"), gruppe), 0, 0);
        g->addWidget(messbereich4, 0, 1);
        g->addWidget(beschriftung(QStringLiteral("Messwert 20 mA"), gruppe), 1, 0);
        g->addWidget(messbereich20, 1, 1);
        g->addWidget(beschriftung(QStringLiteral("Messwert Einheit"), gruppe), 2, 0);
        g->addWidget(einheit, 2, 1);
        g->addWidget(nummern, 0, 3, Qt::AlignRight);
        g->addWidget(kontext.markerErzeugen(kMeinMarker, gruppe), 0, 4, Qt::AlignTop);
        g->addWidget(beschriftung(QStringLiteral("Meldungstext (maximal 127 Zeichen)"), gruppe), 3, 3);
        g->addWidget(beschriftung(QStringLiteral("unterer Grenzwert"), gruppe), 4, 0);
        g->addWidget(grenzwertmin, 4, 1);
        g->addWidget(textMin, 4, 3);
        g->addWidget(beschriftung(QStringLiteral("oberer Grenzwert"), gruppe), 5, 0);
        g->addWidget(grenzwertmax, 5, 1);
        g->addWidget(textMax, 5, 3);
        g->setColumnMinimumWidth(2, 16);
        g->setColumnStretch(3, 1);
    }
    // The Tab key follows the columns as they stand: the values from the top
    // down (the unit between range and thresholds), then the button and the
    // two alarm texts on the right.
    QWidget* const reihe[] = {messbereich4, messbereich20, einheit, grenzwertmin,
                             grenzwertmax, nummern, textMin, textMax};
    for (std::size_t i = 1; i < std::size(reihe); ++i)
        QWidget::setTabOrder(reihe[i - 1], reihe[i]);

    // The battery threshold and its text are fixed in the device; they are
    // shown, not edited.
    auto* batterie = new QGroupBox(QStringLiteral("Batteriespannung"), tab);
    {
        auto* g = new QGridLayout(batterie);
        g->addWidget(beschriftung(QStringLiteral("Grenzwert"), batterie), 0, 0);
        g->addWidget(bausteine::anzeigefeld(QStringLiteral("TXT_Batterie"), QStringLiteral("16"), 60, batterie), 0, 1);
        g->addWidget(beschriftung(QStringLiteral("Meldungstext"), batterie), 1, 0);
        g->addWidget(bausteine::anzeigefeld(QStringLiteral("TXT_TextBatterie"),
                                            QStringLiteral("Batteriespannung zu niedrig"), 0, batterie),
                     1, 1, 1, 2);
        g->addWidget(beschriftung(QStringLiteral("maximal 127 Zeichen"), batterie), 2, 1, 1, 2);
        g->setColumnStretch(2, 1);
    }

    auto* lay = new QVBoxLayout(tab);
    lay->addWidget(gruppe);
    lay->addWidget(batterie);
    lay->addStretch();
    return tab;
}
