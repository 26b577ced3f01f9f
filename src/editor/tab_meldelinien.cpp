#include "editor/tab_meldelinien.h"

#include "editor/bausteine.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"

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
    : Tab(QStringLiteral("TabMeldelinien"), kontext, waechter, parent)
{
    auto* lay = new QGridLayout(this);
    lay->addWidget(bausteine::beschriftung(QStringLiteral("Meldungstext (maximal 70 Zeichen)"), this), 0, Text);
    lay->addWidget(bausteine::beschriftung(QStringLiteral("Öffner"), this), 0, Oeffner, Qt::AlignHCenter);
    lay->addWidget(bausteine::beschriftung(QStringLiteral("Gutmeldung"), this), 0, Gutmeldung, Qt::AlignHCenter);
    lay->addWidget(m_k.markerErzeugen(kMarkerOptionen, this), 0, OptionMarker);

    // An option of line i: its check box in its column, its handler the
    // model's operation.
    using Handler = Folge (Editormodell::*)(int, bool);
    auto option = [&](const QString& name, int i, int spalte, Handler handler) {
        auto* c = bausteine::kaestchen(QStringLiteral("%1_%2").arg(name).arg(i), QString(), this);
        connect(c, &QCheckBox::toggled, this, [this, i, handler](bool an) { ausfuehren((m_k.modell().*handler)(i, an)); });
        lay->addWidget(c, i + 1, spalte, Qt::AlignHCenter);
        return c;
    };
    for (int i = 0; i < 9; ++i) {
        const int r = i + 1;
        lay->addWidget(bausteine::beschriftung(meldequelle(i + 1), this), r, Zeile);

        m_smsText[std::size_t(i)] = feld(QStringLiteral("SMSText_%1").arg(i), SMSText(i), Feldart::Freitext, 70, this);
        lay->addWidget(m_smsText[std::size_t(i)], r, Text);
        lay->addWidget(m_k.markerErzeugen(i, this), r, TextMarker);

        auto* knopf = new QPushButton(QStringLiteral("Nummern"), this);
        knopf->setObjectName(QStringLiteral("CMD_Nr_%1").arg(i));
        connect(knopf, &QPushButton::clicked, this, [this, i] { emit nummernGeklickt(i); });
        m_cmdNr[std::size_t(i)] = knopf;
        lay->addWidget(knopf, r, Knopf);
        lay->addWidget(m_k.markerErzeugen(9 + i, this), r, KnopfMarker);

        if (i < 8)
            m_oeffner[std::size_t(i)] = option(QStringLiteral("Chk_Oeffner"), i, Oeffner, &Editormodell::Chk_Oeffner_Click);
        m_gutmeldung[std::size_t(i)] = option(QStringLiteral("Chk_Gutmeldung"), i, Gutmeldung, &Editormodell::Chk_Gutmeldung_Click);
    }
    lay->setColumnStretch(Text, 1);
    lay->setColumnMinimumWidth(Oeffner, 70);
    lay->setColumnMinimumWidth(Gutmeldung, 80);
    lay->setRowStretch(10, 1);
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
