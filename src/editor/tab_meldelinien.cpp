#include "editor/tab_meldelinien.h"

#include "editor/bausteine.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "editor/feldwaechter.h"

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
        m_k.feldAnmelden(SMSText(i), text);
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
            connect(oe, &QCheckBox::toggled, this,
                    [this, i](bool an) { ausfuehren(m_k.modell().Chk_Oeffner_Click(i, an)); });
            m_oeffner[std::size_t(i)] = oe;
            lay->addWidget(oe, r, Oeffner, Qt::AlignHCenter);
        }
        auto* gut = new QCheckBox(this);
        gut->setObjectName(QStringLiteral("Chk_Gutmeldung_%1").arg(i));
        connect(gut, &QCheckBox::toggled, this,
                [this, i](bool an) { ausfuehren(m_k.modell().Chk_Gutmeldung_Click(i, an)); });
        m_gutmeldung[std::size_t(i)] = gut;
        lay->addWidget(gut, r, Gutmeldung, Qt::AlignHCenter);
    }
    lay->setColumnStretch(Text, 1);
    lay->setColumnMinimumWidth(Oeffner, 70);
    lay->setColumnMinimumWidth(Gutmeldung, 80);
    lay->setRowStretch(10, 1);
}

void TabMeldelinien::ausfuehren(const Folge& w)
{
    m_k.folgen(w);
    anzeigen(m_k.modell().werte());
}

void TabMeldelinien::anzeigen(const Editorwerte& w)
{
    for (std::size_t i = 0; i < 9; ++i) {
        const bausteine::Stumm stumm{m_gutmeldung[i], i < 8 ? m_oeffner[i] : nullptr};
        textZeigen(m_smsText[i], w.smsText[i]);
        m_gutmeldung[i]->setChecked(w.gutmeldung[i]);
        if (i < 8)
            m_oeffner[i]->setChecked(w.oeffner[i]);
    }
}
