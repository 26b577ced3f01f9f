#include "editor/tab_analog.h"

#include "editor/bausteine.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "editor/feldwaechter.h"
#include "image/ansi.h"
#include "image/felder.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using bausteine::beschriftung;

namespace {
constexpr int kMeinMarker = 20;
constexpr int kSeite = 11;
} // namespace

TabAnalog::TabAnalog(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent)
    : QWidget(parent), m_k(kontext)
{
    setObjectName(QStringLiteral("TabAnalog"));
    auto* gruppe = new QGroupBox(QStringLiteral("Analogeingang 1"), this);

    auto wert = [&](const QString& name, Analogfeld f, const QString& hinweis) {
        auto* e = new Eingabefeld(name, Feldart::Analog, 3, gruppe);
        e->setHinweis(hinweis);
        e->setPruefung([this, f](bool g) { return analogSpeichern(f, g); });
        e->setFixedWidth(60);
        waechter.anmelden(e);
        return e;
    };
    m_messbereich4 = wert(QStringLiteral("Messbereich4"), Analogfeld::Messbereich4,
                          QStringLiteral("Wert bei 4 mA: 0 bis 999"));
    m_messbereich20 = wert(QStringLiteral("Messbereich20"), Analogfeld::Messbereich20,
                           QStringLiteral("Wert bei 20 mA: 0 bis 999"));
    m_grenzwertmin = wert(QStringLiteral("Grenzwertmin"), Analogfeld::Grenzwertmin,
                          QStringLiteral("Analogwert Minimumalarm: muss um mind. 50 unter Maximumalarm liegen"));
    m_grenzwertmax = wert(QStringLiteral("Grenzwertmax"), Analogfeld::Grenzwertmax,
                          QStringLiteral("Analogwert Maximumalarm: muss um mind. 50 über Minimumalarm liegen"));

    m_einheit = new Eingabefeld(QStringLiteral("Einheit"), Feldart::Einheit, 3, gruppe);
    m_einheit->setHinweis(QStringLiteral("Einheit des Analogwertes: max. 3 Zeichen"));
    m_einheit->setPruefung([this](bool g) { return einheitSpeichern(g); });
    m_einheit->setFixedWidth(60);
    waechter.anmelden(m_einheit);

    m_textMin = new Eingabefeld(QStringLiteral("Text_Min"), Feldart::Freitext, 127, gruppe);
    m_textMin->setHinweis(QStringLiteral("Meldunsgtext für Minimumalarm"));
    m_textMin->setPruefung([this](bool g) { return alarmtextSpeichern(0, g); });
    waechter.anmelden(m_textMin);
    m_textMax = new Eingabefeld(QStringLiteral("Text_Max"), Feldart::Freitext, 127, gruppe);
    m_textMax->setHinweis(QStringLiteral("Meldunsgtext für Maximumalarm"));
    m_textMax->setPruefung([this](bool g) { return alarmtextSpeichern(1, g); });
    waechter.anmelden(m_textMax);

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

Eingabefeld* TabAnalog::feld(Analogfeld f) const
{
    switch (f) {
    case Analogfeld::Messbereich4: return m_messbereich4;
    case Analogfeld::Messbereich20: return m_messbereich20;
    case Analogfeld::Grenzwertmin: return m_grenzwertmin;
    case Analogfeld::Grenzwertmax: return m_grenzwertmax;
    }
    return m_messbereich4;
}

bool TabAnalog::analogSpeichern(Analogfeld f, bool geaendert)
{
    const Analogwerte werte{m_messbereich4->text(), m_messbereich20->text(), m_grenzwertmin->text(),
                            m_grenzwertmax->text()};
    const Analogentscheid e = analogPruefen(f, werte, geaendert);
    if (e.abgelehnt) {
        abweisen(e.grund, feld(f));
        return false;
    }
    if (e.speichern)
        zahlSpeichern(m_k.speicher, kSeite, analogOffset(f), e.wert);
    if (e.vermerken)
        m_k.vermerken(kMeinMarker, kSeite);
    if (e.grenzwerteNeuPruefen) {
        // A new range: both thresholds are checked and stored again; one that
        // no longer fits beeps and keeps its stored bytes until corrected.
        analogSpeichern(Analogfeld::Grenzwertmax, geaendert);
        analogSpeichern(Analogfeld::Grenzwertmin, geaendert);
    }
    return true;
}

bool TabAnalog::einheitSpeichern(bool geaendert)
{
    const QString text = m_einheit->text();
    const bool ok = text.size() <= 3;
    if (ok)
        ::einheitSpeichern(m_k.speicher, ansi::bytes(text));
    else
        abweisen({Abweisung::Art::Laenge, 3}, m_einheit);
    // An empty unit counts as a change whenever it is left.
    if (text.isEmpty() || geaendert)
        m_k.vermerken(kMeinMarker, kSeite);
    return ok;
}

bool TabAnalog::alarmtextSpeichern(int welcher, bool geaendert)
{
    const Eingabefeld* f = welcher == 0 ? m_textMin : m_textMax;
    textSpeichern(m_k.speicher, welcher == 0 ? bereich::TextMin : bereich::TextMax, ansi::bytes(f->text()));
    if (geaendert)
        m_k.vermerken(kMeinMarker, 12);
    return true;
}

void TabAnalog::anzeigen(const Editorwerte& w)
{
    const Stille still(m_k);
    m_messbereich4->setText(w.messbereich4);
    m_messbereich20->setText(w.messbereich20);
    m_grenzwertmin->setText(w.grenzwertmin);
    m_grenzwertmax->setText(w.grenzwertmax);
    m_einheit->setText(w.einheit);
    m_textMin->setText(w.textMin);
    m_textMax->setText(w.textMax);
}

void TabAnalog::werteEintragen(Editorwerte& w) const
{
    w.messbereich4 = m_messbereich4->text();
    w.messbereich20 = m_messbereich20->text();
    w.grenzwertmin = m_grenzwertmin->text();
    w.grenzwertmax = m_grenzwertmax->text();
    w.einheit = m_einheit->text();
    w.textMin = m_textMin->text();
    w.textMax = m_textMax->text();
}
