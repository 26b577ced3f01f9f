#include "editor/tab_meldelinien.h"

#include "editor/bausteine.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "editor/feldwaechter.h"
#include "image/ansi.h"
#include "image/felder.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kMarkerOptionen = 21;
// Columns of the grid.
enum Spalte { Zeile, Text, TextMarker, Knopf, KnopfMarker, Oeffner, Gutmeldung, OptionMarker };
} // namespace

TabMeldelinien::TabMeldelinien(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent)
    : QWidget(parent), m_k(kontext)
{
    setObjectName(QStringLiteral("TabMeldelinien"));
    auto* lay = new QGridLayout(this);
    lay->addWidget(bausteine::beschriftung(QStringLiteral("Meldungstext (maximal 70 Zeichen)"), this), 0, Text);
    lay->addWidget(bausteine::beschriftung(QStringLiteral("Öffner"), this), 0, Oeffner, Qt::AlignHCenter);
    lay->addWidget(bausteine::beschriftung(QStringLiteral("Gutmeldung"), this), 0, Gutmeldung, Qt::AlignHCenter);
    lay->addWidget(m_k.markerErzeugen(kMarkerOptionen, this), 0, OptionMarker);

    for (int i = 0; i < 9; ++i) {
        const int r = i + 1;
        const QString zeile = i < 8 ? QStringLiteral("Meldelinie %1").arg(i + 1) : QStringLiteral("Stromausfall");
        lay->addWidget(bausteine::beschriftung(zeile, this), r, Zeile);

        auto* text = new Eingabefeld(QStringLiteral("SMSText_%1").arg(i), Feldart::Freitext, 70, this);
        text->setPruefung([this, i](bool g) { return smsTextSpeichern(i, g); });
        waechter.anmelden(text);
        m_smsText[std::size_t(i)] = text;
        lay->addWidget(text, r, Text);
        lay->addWidget(m_k.markerErzeugen(i, this), r, TextMarker);

        auto* knopf = new QPushButton(QStringLiteral("Nummern"), this);
        knopf->setObjectName(QStringLiteral("CMD_Nr_%1").arg(i));
        connect(knopf, &QPushButton::clicked, this, [this, i] { emit nummernGeklickt(i); });
        m_cmdNr[std::size_t(i)] = knopf;
        lay->addWidget(knopf, r, Knopf);
        lay->addWidget(m_k.markerErzeugen(9 + i, this), r, KnopfMarker);

        if (i < 8) {
            auto* oe = new QCheckBox(this);
            oe->setObjectName(QStringLiteral("Chk_Oeffner_%1").arg(i));
            connect(oe, &QCheckBox::toggled, this, [this, i] {
                if (!m_k.still)
                    Chk_Oeffner_Click(i);
            });
            m_oeffner[std::size_t(i)] = oe;
            lay->addWidget(oe, r, Oeffner, Qt::AlignHCenter);
        }
        auto* gut = new QCheckBox(this);
        gut->setObjectName(QStringLiteral("Chk_Gutmeldung_%1").arg(i));
        connect(gut, &QCheckBox::toggled, this, [this, i] {
            if (!m_k.still)
                Chk_Gutmeldung_Click(i);
        });
        m_gutmeldung[std::size_t(i)] = gut;
        lay->addWidget(gut, r, Gutmeldung, Qt::AlignHCenter);
    }
    lay->setColumnStretch(Text, 1);
    lay->setColumnMinimumWidth(Oeffner, 70);
    lay->setColumnMinimumWidth(Gutmeldung, 80);
    lay->setRowStretch(10, 1);
}

bool TabMeldelinien::smsTextSpeichern(int i, bool geaendert)
{
    textSpeichern(m_k.speicher, bereich::SMSText(i), ansi::bytes(m_smsText[std::size_t(i)]->text()));
    if (geaendert)
        m_k.vermerken(i, i + 1);
    return true;
}

void TabMeldelinien::Chk_Oeffner_Click(int i)
{
    bitSetzen(m_k.speicher, 0, offset::Oeffner, i, m_oeffner[std::size_t(i)]->isChecked());
    m_k.vermerken(kMarkerOptionen, 0);
}

void TabMeldelinien::Chk_Gutmeldung_Click(int i)
{
    const bool an = m_gutmeldung[std::size_t(i)]->isChecked();
    if (i < 8)
        bitSetzen(m_k.speicher, 0, offset::Gutmeldung, i, an);
    else
        m_k.speicher.setze(0, offset::GutmeldungStrom, an ? 0xFF : 0x00);
    m_k.vermerken(kMarkerOptionen, 0);
}

void TabMeldelinien::anzeigen(const Editorwerte& w)
{
    const Stille still(m_k);
    for (std::size_t i = 0; i < 9; ++i) {
        m_smsText[i]->setText(w.smsText[i]);
        m_gutmeldung[i]->setChecked(w.gutmeldung[i]);
        if (i < 8)
            m_oeffner[i]->setChecked(w.oeffner[i]);
    }
}

void TabMeldelinien::werteEintragen(Editorwerte& w) const
{
    for (std::size_t i = 0; i < 9; ++i) {
        w.smsText[i] = m_smsText[i]->text();
        w.gutmeldung[i] = m_gutmeldung[i]->isChecked();
        if (i < 8)
            w.oeffner[i] = m_oeffner[i]->isChecked();
    }
}
