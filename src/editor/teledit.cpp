#include "editor/teledit.h"

#include "door/abweisung.h"
#include "door/door.h"
#include "editor/editorkontext.h"
#include "image/felder.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using empfaenger::Art;
using empfaenger::Eintrag;

namespace {

const QString kTitelGeraet = QStringLiteral("GSM Boravilon");

Eintrag normiert(Eintrag e)
{
    if (e.text.isEmpty())
        e.art = Art::GSM;  // an empty slot is empty whatever its kind
    return e;
}

} // namespace

Teledit::Teledit(Editorkontext& kontext, QWidget* parent) : QDialog(parent), m_k(kontext)
{
    setObjectName(QStringLiteral("Teledit"));
    setWindowTitle(QStringLiteral("Telefonnummern ML 1"));
    setModal(false);

    auto* raster = new QGridLayout;
    for (int i = 0; i < empfaenger::kPlaetze; ++i) {
        Platz& p = m_platz[i];
        const QString n = QString::number(i);
        auto* rahmen = new QGroupBox(QStringLiteral("Nummer %1").arg(i + 1), this);
        rahmen->setObjectName(QStringLiteral("Frame_") + n);
        p.bezeichnung = new QLabel(empfaenger::bezeichnung(Art::GSM), rahmen);
        p.bezeichnung->setObjectName(QStringLiteral("Bezeichnung_") + n);
        p.nummer = new QLineEdit(rahmen);
        p.nummer->setObjectName(QStringLiteral("Nummer_") + n);
        p.nummer->setMinimumWidth(220);
        p.gsm = new QRadioButton(QStringLiteral("GSM"), rahmen);
        p.gsm->setObjectName(QStringLiteral("Opt_GSM_") + n);
        p.fax = new QRadioButton(QStringLiteral("Fax"), rahmen);
        p.fax->setObjectName(QStringLiteral("Opt_FAX_") + n);
        p.email = new QRadioButton(QStringLiteral("email"), rahmen);
        p.email->setObjectName(QStringLiteral("Opt_email_") + n);
        auto* gruppe = new QButtonGroup(rahmen);
        gruppe->addButton(p.gsm);
        gruppe->addButton(p.fax);
        gruppe->addButton(p.email);
        p.gsm->setChecked(true);
        // A screen reader names a slot's controls by the entry they belong to
        // (the label beside the field is no buddy: its name would win).
        p.gsm->setAccessibleName(QStringLiteral("Eintrag %1, GSM").arg(i + 1));
        p.fax->setAccessibleName(QStringLiteral("Eintrag %1, Fax").arg(i + 1));
        p.email->setAccessibleName(QStringLiteral("Eintrag %1, E-Mail").arg(i + 1));
        artBenennen(i, Art::GSM);

        auto* arten = new QHBoxLayout;
        arten->addWidget(p.gsm);
        arten->addWidget(p.fax);
        arten->addWidget(p.email);
        arten->addStretch();
        auto* innen = new QVBoxLayout(rahmen);
        innen->addWidget(p.bezeichnung);
        innen->addWidget(p.nummer);
        innen->addLayout(arten);
        raster->addWidget(rahmen, i % 4, i / 4);

        const std::array<std::pair<QRadioButton*, Art>, 3> knoepfe{
            {{p.gsm, Art::GSM}, {p.fax, Art::Fax}, {p.email, Art::Email}}};
        for (const auto& [knopf, a] : knoepfe)
            connect(knopf, &QRadioButton::toggled, this, [this, i, a = a](bool an) {
                if (an) {
                    m_platz[i].bezeichnung->setText(empfaenger::bezeichnung(a));
                    artBenennen(i, a);
                }
            });
        connect(p.nummer, &QLineEdit::textEdited, this, [this, i](const QString& neu) { bearbeitet(i, neu); });
    }

    // Enter stores the list and closes the dialog ("Speichern"), Escape closes
    // it without storing ("Abbruch"), as in every dialog of the program.
    auto knopf = [this](const QString& name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        return b;
    };
    m_save = knopf(QStringLiteral("CMD_Save"), QStringLiteral("Speichern"));
    m_save->setDefault(true);
    m_cancel = knopf(QStringLiteral("CMD_Cancel"), QStringLiteral("Abbruch"));
    m_kopieren = knopf(QStringLiteral("CMD_kopieren"), QStringLiteral("Kopieren"));
    setTabOrder(m_save, m_kopieren);
    setTabOrder(m_kopieren, m_cancel);
    connect(m_save, &QPushButton::clicked, this, &Teledit::speichernKlick);
    connect(m_cancel, &QPushButton::clicked, this, &Teledit::reject);
    connect(m_kopieren, &QPushButton::clicked, this, &Teledit::kopierenKlick);

    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(m_save);
    knoepfe->addWidget(m_kopieren);
    knoepfe->addWidget(m_cancel);
    auto* aussen = new QVBoxLayout(this);
    aussen->addLayout(raster);
    aussen->addLayout(knoepfe);
}

void Teledit::artBenennen(int i, Art a)
{
    static const QString kArten[] = {QStringLiteral("GSM-Nummer"), QStringLiteral("Fax-Nummer mit Vorwahl"),
                                     QStringLiteral("E-Mail-Adresse")};
    const int k = a == Art::GSM ? 0 : a == Art::Fax ? 1 : 2;
    m_platz[i].nummer->setAccessibleName(QStringLiteral("Eintrag %1, %2").arg(i + 1).arg(kArten[k]));
}

Art Teledit::art(int i) const
{
    const Platz& p = m_platz[i];
    if (p.fax->isChecked())
        return Art::Fax;
    if (p.email->isChecked())
        return Art::Email;
    return Art::GSM;
}

QList<Eintrag> Teledit::eintraege() const
{
    QList<Eintrag> out;
    for (int i = 0; i < empfaenger::kPlaetze; ++i)
        out.append(normiert({art(i), m_platz[i].nummer->text()}));
    return out;
}

bool Teledit::geaendert() const
{
    return eintraege() != m_abgelegt;
}

void Teledit::zeigen(int i, const Eintrag& e)
{
    Platz& p = m_platz[i];
    switch (e.art) {
    case Art::GSM: p.gsm->setChecked(true); break;
    case Art::Fax: p.fax->setChecked(true); break;
    case Art::Email: p.email->setChecked(true); break;
    }
    p.text = e.text;
    p.nummer->setText(e.text);
    p.nummer->setCursorPosition(0);
}

void Teledit::laden(int seite)
{
    m_seite = seite;
    setWindowTitle(empfaenger::titel(seite));
    const QList<Eintrag> liste = empfaenger::listeDekodieren(listeLesen(m_k.modell().speicher(), seite));
    for (int i = 0; i < empfaenger::kPlaetze; ++i)
        zeigen(i, i < liste.size() ? liste[i] : Eintrag{});
    m_ueberzaehlig = std::max(0, int(liste.size()) - empfaenger::kPlaetze);
    m_abgelegt = eintraege();
}

// Typed keys, pasted and dropped text all arrive here. The characters an edit
// adds that the slot's kind does not admit are dropped, with one beep and the
// reason; the rest of the edit stays.
void Teledit::bearbeitet(int i, const QString& neu)
{
    Platz& p = m_platz[i];
    const Art a = art(i);
    const empfaenger::Gefiltert g = empfaenger::eingabeFiltern(a, p.text, neu);
    p.text = g.text;
    if (!g.verworfen)
        return;
    p.nummer->setText(g.text);
    p.nummer->setCursorPosition(g.cursor);
    abweisen({a == Art::Email ? Abweisung::Art::Zeichen : Abweisung::Art::Rufnummernzeichen}, p.nummer);
}

void Teledit::ueberzaehligMelden()
{
    if (m_ueberzaehlig == 0)
        return;
    Door::aktuell().meldung(
        QStringLiteral("Für %1 sind %2 Empfänger gespeichert, bearbeitet werden können höchstens 8. "
                       "Angezeigt werden die ersten 8; beim Speichern %3.")
            .arg(meldequelle(m_seite))
            .arg(m_ueberzaehlig + empfaenger::kPlaetze)
            .arg(m_ueberzaehlig == 1 ? QStringLiteral("wird der neunte entfernt")
                                     : QStringLiteral("werden die übrigen %1 entfernt").arg(m_ueberzaehlig)),
        Door::Icon::Warnung, Door::Knoepfe::Ok, kTitelGeraet);
}

bool Teledit::oeffnen(int nummernseite)
{
    if (!empfaenger::istListenseite(nummernseite))
        return false;
    if (isVisible() && nummernseite == m_seite) {
        raise();
        activateWindow();
        return true;
    }
    if (isVisible() && geaendert()) {
        const Door::Antwort a = Door::aktuell().meldung(
            QStringLiteral("Die Änderungen der Nummern für %1 sind noch nicht gespeichert. "
                           "Sollen sie gespeichert werden, bevor die Nummern für %2 geöffnet werden?")
                .arg(meldequelle(m_seite), meldequelle(nummernseite)),
            Door::Icon::Frage, Door::Knoepfe::JaNein, kTitelGeraet);
        if (a == Door::Antwort::Ja && !ablegen()) {
            raise();
            activateWindow();
            return false;
        }
    }
    laden(nummernseite);
    show();
    raise();
    activateWindow();
    ueberzaehligMelden();
    return true;
}

void Teledit::bildErneuert()
{
    if (!isVisible() || !empfaenger::istListenseite(m_seite))
        return;
    laden(m_seite);
    ueberzaehligMelden();
}

// Stores the slots into the dialog's own page. A list that does not fit into
// offsets 0..127 is refused whole: the cells behind it hold the source's alarm
// text or the analog settings.
bool Teledit::ablegen()
{
    const QList<Eintrag> liste = eintraege();
    const Folge f = m_k.modell().Nummern_Speichern(m_seite, liste);
    if (!m_k.folgen(f)) {
        Door::aktuell().meldung(QStringLiteral("Die Rufnummern passen nicht in den Speicher des Boravilon "
                                               "(%1 von %2 Zeichen). Bitte Einträge kürzen oder entfernen.")
                                    .arg(f.einwaende.value(0).grund.a)
                                    .arg(empfaenger::kListenZellen),
                                Door::Icon::Warnung, Door::Knoepfe::Ok, kTitelGeraet);
        return false;
    }
    m_abgelegt = liste;
    m_ueberzaehlig = 0;
    return true;
}

void Teledit::speichernKlick()
{
    if (ablegen())
        accept();
}

// Stores the list, then on confirmation copies the stored cells as they are
// (prefixes included) to every source's list. The dialog stays open.
void Teledit::kopierenKlick()
{
    // Stored and copied: one step of the editor's history.
    const Editorkontext::Schritt schritt(m_k);
    if (!ablegen())
        return;
    const Door::Antwort a = Door::aktuell().meldung(
        QStringLiteral("Wollen Sie diese Einstellung für alle anderen Meldelinien und Alarme übernehmen ?"),
        Door::Icon::Keins, Door::Knoepfe::OkAbbrechen, QStringLiteral("GSM BV Konfiguration"));
    if (a == Door::Antwort::Ok)
        m_k.folgen(m_k.modell().Nummern_Kopieren(m_seite));
}
