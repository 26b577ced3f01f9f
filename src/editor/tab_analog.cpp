#include "editor/tab_analog.h"

#include "editor/bausteine.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"

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

TabAnalog::TabAnalog(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent)
    : Tab(QStringLiteral("TabAnalog"), kontext, waechter, parent)
{
    auto* gruppe = new QGroupBox(QStringLiteral("Analogeingang 1"), this);

    auto mitHinweis = [&](const QString& name, Feld f, Feldart art, int grenze, const QString& hinweis) {
        Eingabefeld* e = feld(name, f, art, grenze, gruppe);
        e->setHinweis(hinweis);
        return e;
    };
    m_messbereich4 = mitHinweis(QStringLiteral("Messbereich4"), Feld::Messbereich4, Feldart::Analog, 3,
                               QStringLiteral("Wert bei 4 mA: 0 bis 999"));
    m_messbereich20 = mitHinweis(QStringLiteral("Messbereich20"), Feld::Messbereich20, Feldart::Analog, 3,
                                QStringLiteral("Wert bei 20 mA: 0 bis 999"));
    m_grenzwertmin = mitHinweis(QStringLiteral("Grenzwertmin"), Feld::Grenzwertmin, Feldart::Analog, 3,
                               QStringLiteral("Analogwert Minimumalarm: muss um mind. 50 unter Maximumalarm liegen"));
    m_grenzwertmax = mitHinweis(QStringLiteral("Grenzwertmax"), Feld::Grenzwertmax, Feldart::Analog, 3,
                               QStringLiteral("Analogwert Maximumalarm: muss um mind. 50 über Minimumalarm liegen"));
    m_einheit = mitHinweis(QStringLiteral("Einheit"), Feld::Einheit, Feldart::Einheit, 3,
                          QStringLiteral("Einheit des Analogwertes: max. 3 Zeichen"));
    for (Eingabefeld* e : {m_messbereich4, m_messbereich20, m_grenzwertmin, m_grenzwertmax, m_einheit})
        e->setFixedWidth(60);
    m_textMin = mitHinweis(QStringLiteral("Text_Min"), Feld::TextMin, Feldart::Freitext, 127,
                          QStringLiteral("Meldunsgtext für Minimumalarm"));
    m_textMax = mitHinweis(QStringLiteral("Text_Max"), Feld::TextMax, Feldart::Freitext, 127,
                          QStringLiteral("Meldunsgtext für Maximumalarm"));

    auto* nummern = new QPushButton(QStringLiteral("Nummern"), gruppe);
    nummern->setObjectName(QStringLiteral("Cmd_Analog"));
    connect(nummern, &QPushButton::clicked, this, &TabAnalog::nummernGeklickt);

    {
        auto* g = new QGridLayout(gruppe);
        g->addWidget(beschriftung(QStringLiteral("Messwert 4 mA"), gruppe), 0, 0);
        g->addWidget(m_messbereich4, 0, 1);
        g->addWidget(beschriftung(QStringLiteral("Messwert 20 mA"), gruppe), 1, 0);
        g->addWidget(m_messbereich20, 1, 1);
        g->addWidget(beschriftung(QStringLiteral("Messwert Einheit"), gruppe), 2, 0);
        g->addWidget(m_einheit, 2, 1);
        g->addWidget(nummern, 0, 3, Qt::AlignRight);
        g->addWidget(m_k.markerErzeugen(kMeinMarker, gruppe), 0, 4, Qt::AlignTop);
        g->addWidget(beschriftung(QStringLiteral("Meldungstext (maximal 127 Zeichen)"), gruppe), 3, 3);
        g->addWidget(beschriftung(QStringLiteral("unterer Grenzwert"), gruppe), 4, 0);
        g->addWidget(m_grenzwertmin, 4, 1);
        g->addWidget(m_textMin, 4, 3);
        g->addWidget(beschriftung(QStringLiteral("oberer Grenzwert"), gruppe), 5, 0);
        g->addWidget(m_grenzwertmax, 5, 1);
        g->addWidget(m_textMax, 5, 3);
        g->setColumnMinimumWidth(2, 16);
        g->setColumnStretch(3, 1);
    }
    // The Tab key follows the columns as they stand: the values from the top
    // down (the unit between range and thresholds), then the button and the
    // two alarm texts on the right.
    QWidget* const reihe[] = {m_messbereich4, m_messbereich20, m_einheit, m_grenzwertmin,
                             m_grenzwertmax, nummern, m_textMin, m_textMax};
    for (std::size_t i = 1; i < std::size(reihe); ++i)
        setTabOrder(reihe[i - 1], reihe[i]);

    // The battery threshold and its text are fixed in the device; they are
    // shown, not edited.
    auto* batterie = new QGroupBox(QStringLiteral("Batteriespannung"), this);
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

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(gruppe);
    lay->addWidget(batterie);
    lay->addStretch();
}

void TabAnalog::anzeigen(const Editorwerte& w)
{
    textZeigen(m_messbereich4, w.messbereich4);
    textZeigen(m_messbereich20, w.messbereich20);
    textZeigen(m_grenzwertmin, w.grenzwertmin);
    textZeigen(m_grenzwertmax, w.grenzwertmax);
    textZeigen(m_einheit, w.einheit);
    textZeigen(m_textMin, w.textMin);
    textZeigen(m_textMax, w.textMax);
}
