#include "editor/aufab.h"
#include "editor/bausteine.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "editor/tabs.h"
#include "modell/einstellung.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

using bausteine::beschriftung;

namespace {
constexpr int kMeinMarker = 22;

QRadioButton* option(const QString& name, const QString& text, QWidget* parent)
{
    auto* r = new QRadioButton(text, parent);
    r->setObjectName(name);
    return r;
}
// A slider over the range of setting `schluessel`.
QSlider* schieber(const QString& name, const QString& schluessel, QWidget* parent)
{
    const Einstellung& e = Tab::einstellung(schluessel);
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setRange(e.min, e.max);
    s->setValue(e.min);
    s->setEnabled(false);
    return s;
}

class TabAllgemein : public Tab {
public:
    TabAllgemein(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent);

private:
    // One builder per group box: its controls, their start-up state and its layout.
    QGroupBox* gruppeAllgemein();
    QGroupBox* gruppeNetz();
    QGroupBox* gruppeQuittierung();
    QGroupBox* gruppeKonto();
    QGroupBox* gruppeKontrollruf();
    // Each control's handler: the model's operation of the same name.
    void verdrahten();
    // What the base does not show: the options, sliders, day and time, and
    // the enabled states.
    void zeigen(const Editorwerte& w);
    void kontrollrufOptionenAbwaehlen();

    Eingabefeld* m_anlagenbezeichnung;
    QGroupBox* m_netz;
    QRadioButton* m_optA1;
    QRadioButton* m_optTM;
    QRadioButton* m_optAndere;

    QCheckBox* m_chkQuittierung;
    QSlider* m_sliderQuit;
    QLineEdit* m_quit;

    QCheckBox* m_chkKonto;
    Eingabefeld* m_guthabenrufnummer;
    Eingabefeld* m_nummerAufladung;
    QSlider* m_sliderGuthaben;
    QLineEdit* m_guthaben;

    QCheckBox* m_chkKontrollruf;
    QButtonGroup* m_kontrollrufArt;
    QRadioButton* m_optWoche;
    QRadioButton* m_optTag;
    QComboBox* m_comboTag;
    QLineEdit* m_txtStunde;
    Aufab* m_udStunde;
    QLineEdit* m_txtMinute;
    Aufab* m_udMinute;
};

} // namespace

Tab* tabAllgemein(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent)
{
    return new TabAllgemein(kontext, waechter, parent);
}

TabAllgemein::TabAllgemein(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent)
    : Tab(QStringLiteral("TabAllgemein"), kontext, waechter, parent)
{
    // Built in the order of the Tab key.
    QGroupBox* allgemein = gruppeAllgemein();
    QGroupBox* netz = gruppeNetz();
    QGroupBox* quittierung = gruppeQuittierung();
    QGroupBox* konto = gruppeKonto();
    QGroupBox* kontrollruf = gruppeKontrollruf();

    // The tab: the general group and its marker on top, then two columns.
    auto* marker = kontext.markerErzeugen(kMeinMarker, this);
    auto* lay = new QGridLayout(this);
    lay->addWidget(allgemein, 0, 0, 1, 2);
    lay->addWidget(marker, 0, 2, Qt::AlignTop);
    lay->addWidget(netz, 1, 0);
    lay->addWidget(konto, 1, 1, 2, 1);
    lay->addWidget(quittierung, 2, 0);
    lay->addWidget(kontrollruf, 3, 0, 1, 2);
    lay->setRowStretch(4, 1);
    lay->setColumnStretch(1, 1);

    verdrahten();
    beimAnzeigen([this](const Editorwerte& w) { zeigen(w); },
                 {m_optA1, m_optTM, m_optAndere, m_sliderQuit, m_sliderGuthaben,
                  m_chkKontrollruf, m_optWoche, m_optTag, m_comboTag, m_udStunde, m_udMinute});
}

QGroupBox* TabAllgemein::gruppeAllgemein()
{
    auto* allgemein = new QGroupBox(QStringLiteral("Allgemeine Einstellungen"), this);
    m_anlagenbezeichnung = feld(QStringLiteral("Anlagenbezeichnung"), QStringLiteral("general.installation_name"), allgemein);
    {
        auto* lay = new QGridLayout(allgemein);
        lay->addWidget(beschriftung(QStringLiteral("Anlagenbezeichnung"), allgemein), 0, 0);
        lay->addWidget(m_anlagenbezeichnung, 0, 1);
        lay->addWidget(beschriftung(QStringLiteral("maximal 70 Zeichen"), allgemein), 0, 2);
        lay->setColumnStretch(1, 1);
    }
    return allgemein;
}

QGroupBox* TabAllgemein::gruppeNetz()
{
    m_netz = new QGroupBox(QStringLiteral("Netzbetreiber"), this);
    m_netz->setObjectName(QStringLiteral("Netz"));
    m_optA1 = option(QStringLiteral("OPT_A1"), QStringLiteral("A1"), m_netz);
    m_optTM = option(QStringLiteral("OPT_TM"), QStringLiteral("T Mobile"), m_netz);
    m_optAndere = option(QStringLiteral("OPT_Andere"), QStringLiteral("Andere"), m_netz);
    m_optA1->setChecked(true);
    {
        auto* lay = new QVBoxLayout(m_netz);
        lay->addWidget(m_optA1);
        lay->addWidget(m_optTM);
        lay->addWidget(m_optAndere);
        lay->addStretch();
    }
    return m_netz;
}

QGroupBox* TabAllgemein::gruppeQuittierung()
{
    auto* quittierung = new QGroupBox(QStringLiteral("Quittierung"), this);
    m_chkQuittierung = kaestchen(QStringLiteral("Chk_Quittierung"), QStringLiteral("aktiv"),
                                 QStringLiteral("general.acknowledgement.active"), quittierung);
    m_sliderQuit = schieber(QStringLiteral("Slider_Quit"), QStringLiteral("general.acknowledgement.minutes"), quittierung);
    m_quit = bausteine::anzeigefeld(QStringLiteral("Quit"), QString(), 40, quittierung);
    {
        auto* lay = new QGridLayout(quittierung);
        lay->addWidget(m_chkQuittierung, 0, 0, 1, 2);
        lay->addWidget(m_sliderQuit, 1, 0, 1, 2);
        lay->addWidget(m_quit, 2, 0);
        lay->addWidget(beschriftung(QStringLiteral("Quittierungszeit in Minuten"), quittierung), 2, 1);
        lay->setColumnStretch(1, 1);
    }
    return quittierung;
}

QGroupBox* TabAllgemein::gruppeKonto()
{
    auto* konto = new QGroupBox(QStringLiteral("Kontostandsüberwachung"), this);
    m_chkKonto = kaestchen(QStringLiteral("Chk_Konto"), QStringLiteral("aktiv"), QStringLiteral("general.balance.active"), konto);
    m_guthabenrufnummer = feld(QStringLiteral("TXT_Guthabenrufnummer"), QStringLiteral("general.balance.query_number"), konto);
    m_nummerAufladung = feld(QStringLiteral("TXT_Nummer_Aufladung"), QStringLiteral("general.balance.topup_number"), konto);
    m_guthabenrufnummer->setEnabled(false);
    m_nummerAufladung->setEnabled(false);
    m_sliderGuthaben = schieber(QStringLiteral("Slider_Guthaben"), QStringLiteral("general.balance.minimum_euro"), konto);
    m_sliderGuthaben->setTickPosition(QSlider::TicksBelow);
    m_sliderGuthaben->setTickInterval(1);
    m_sliderGuthaben->setPageStep(1);
    m_guthaben = bausteine::anzeigefeld(QStringLiteral("TXT_Guthaben"), QString(), 40, konto);
    {
        auto* lay = new QGridLayout(konto);
        lay->addWidget(m_chkKonto, 0, 0, 1, 2);
        lay->addWidget(beschriftung(QStringLiteral("Nummer für SMS Kontostandsabfrage"), konto), 1, 0);
        lay->addWidget(m_guthabenrufnummer, 1, 1);
        lay->addWidget(beschriftung(QStringLiteral("Nummer für Kontoaufladung"), konto), 2, 0);
        lay->addWidget(m_nummerAufladung, 2, 1);
        lay->addWidget(m_sliderGuthaben, 3, 0, 1, 2);
        auto* zeile = new QHBoxLayout;
        zeile->addWidget(beschriftung(QStringLiteral("Minimalguthaben: EURO"), konto));
        zeile->addWidget(m_guthaben);
        zeile->addStretch();
        lay->addLayout(zeile, 4, 0, 1, 2);
        lay->setColumnStretch(1, 1);
    }
    return konto;
}

QGroupBox* TabAllgemein::gruppeKontrollruf()
{
    auto* kontrollruf = new QGroupBox(QStringLiteral("Kontrollruf"), this);
    m_chkKontrollruf = bausteine::kaestchen(QStringLiteral("CHK_Kontrollruf"), QStringLiteral("aktiv"), kontrollruf);
    m_optWoche = option(QStringLiteral("OPT_Woche"), QStringLiteral("wöchentlich"), kontrollruf);
    m_optTag = option(QStringLiteral("OPT_Tag"), QStringLiteral("täglich"), kontrollruf);
    m_kontrollrufArt = new QButtonGroup(this);
    m_kontrollrufArt->addButton(m_optWoche);
    m_kontrollrufArt->addButton(m_optTag);
    m_comboTag = new QComboBox(kontrollruf);
    m_comboTag->setObjectName(QStringLiteral("Combo_Tag"));
    m_comboTag->addItems(einstellung(QStringLiteral("general.check_call.day")).wahl);
    m_comboTag->setCurrentIndex(-1);
    m_comboTag->setMinimumWidth(130);
    m_txtStunde = bausteine::anzeigefeld(QStringLiteral("TXT_Stunde"), QStringLiteral("10"), 32, kontrollruf);
    m_udStunde = new Aufab(QStringLiteral("UD_Stunde"), 0, 23, 10, kontrollruf);
    m_txtMinute = bausteine::anzeigefeld(QStringLiteral("TXT_Minute"), QStringLiteral("00"), 32, kontrollruf);
    m_udMinute = new Aufab(QStringLiteral("UD_Minute"), 0, 59, 0, kontrollruf);
    {
        auto* lay = new QGridLayout(kontrollruf);
        lay->addWidget(m_chkKontrollruf, 0, 0, 1, 2);
        lay->addWidget(m_optWoche, 1, 0);
        lay->addWidget(m_comboTag, 1, 1, Qt::AlignLeft);
        lay->addWidget(m_optTag, 2, 0);
        auto* zeit = new QHBoxLayout;
        zeit->addWidget(beschriftung(QStringLiteral("senden um:"), kontrollruf));
        zeit->addWidget(m_txtStunde);
        zeit->addWidget(m_udStunde);
        zeit->addWidget(beschriftung(QStringLiteral("Stunde"), kontrollruf));
        zeit->addSpacing(12);
        zeit->addWidget(m_txtMinute);
        zeit->addWidget(m_udMinute);
        zeit->addWidget(beschriftung(QStringLiteral("Minute"), kontrollruf));
        zeit->addStretch();
        lay->addLayout(zeit, 3, 0, 1, 2);
        lay->setColumnStretch(1, 1);
    }

    // Start-up state: everything but the check box switched off.
    m_optWoche->setEnabled(false);
    m_optTag->setEnabled(false);
    m_comboTag->setEnabled(false);
    m_udStunde->setEnabled(false);
    m_udMinute->setEnabled(false);
    return kontrollruf;
}

void TabAllgemein::verdrahten()
{
    // Each handler hands the user's change to the model and shows what the
    // model then holds; showing runs no handler.
    auto bei = [this](auto signal, auto* control, auto operation) {
        connect(control, signal, this, [this, operation](auto wert) { ausfuehren(operation(wert)); });
    };
    bei(&QSlider::valueChanged, m_sliderQuit, [this](int v) { return kontext().modell().Slider_Quit_Change(v); });
    bei(&QSlider::valueChanged, m_sliderGuthaben, [this](int v) { return kontext().modell().Slider_Guthaben_Change(v); });
    bei(&QCheckBox::toggled, m_chkKontrollruf, [this](bool an) { return kontext().modell().CHK_Kontrollruf_Click(an); });
    bei(&QComboBox::currentIndexChanged, m_comboTag, [this](int tag) { return kontext().modell().Combo_Tag_Change(tag); });
    bei(&Aufab::valueChanged, m_udStunde, [this](int v) { return kontext().modell().UD_Stunde_Change(v); });
    bei(&Aufab::valueChanged, m_udMinute, [this](int v) { return kontext().modell().UD_Minute_Change(v); });
    // An option's click handler runs when it becomes selected.
    auto gewaehlt = [this](QRadioButton* r, auto operation) {
        connect(r, &QRadioButton::toggled, this, [this, operation](bool an) {
            if (an)
                ausfuehren(operation());
        });
    };
    gewaehlt(m_optA1, [this] { return kontext().modell().OPT_A1_Click(); });
    gewaehlt(m_optTM, [this] { return kontext().modell().OPT_TM_Click(); });
    gewaehlt(m_optAndere, [this] { return kontext().modell().OPT_Andere_Click(); });
    gewaehlt(m_optWoche, [this] { return kontext().modell().OPT_Woche_Click(); });
    gewaehlt(m_optTag, [this] { return kontext().modell().OPT_Tag_Click(); });
}

void TabAllgemein::kontrollrufOptionenAbwaehlen()
{
    // An exclusive group keeps one button selected; both are cleared here.
    m_kontrollrufArt->setExclusive(false);
    m_optTag->setChecked(false);
    m_optWoche->setChecked(false);
    m_kontrollrufArt->setExclusive(true);
}

// --- Showing values ----------------------------------------------------------

void TabAllgemein::zeigen(const Editorwerte& w)
{
    switch (w.netz) {
    case Netzbetreiber::A1: m_optA1->setChecked(true); break;
    case Netzbetreiber::TMobile: m_optTM->setChecked(true); break;
    case Netzbetreiber::Andere: m_optAndere->setChecked(true); break;
    }

    m_sliderQuit->setValue(w.sliderQuit);
    m_sliderQuit->setEnabled(w.quittierung);
    textZeigen(m_quit, w.quit);

    m_chkKonto->setEnabled(w.kontoAktivierbar);
    m_guthabenrufnummer->setEnabled(w.konto);
    m_nummerAufladung->setEnabled(w.konto);
    m_sliderGuthaben->setValue(w.sliderGuthaben);
    m_sliderGuthaben->setEnabled(w.konto);
    textZeigen(m_guthaben, w.guthaben);

    const bool an = w.kontrollruf != Editorwerte::Kontrollruf::Aus;
    m_chkKontrollruf->setChecked(an);
    if (w.kontrollruf == Editorwerte::Kontrollruf::Taeglich)
        m_optTag->setChecked(true);
    else if (w.kontrollruf == Editorwerte::Kontrollruf::Woechentlich)
        m_optWoche->setChecked(true);
    else
        kontrollrufOptionenAbwaehlen();
    m_optTag->setEnabled(an);
    m_optWoche->setEnabled(an);
    const bool woche = w.kontrollruf == Editorwerte::Kontrollruf::Woechentlich;
    m_comboTag->setCurrentIndex(woche && w.tag >= 0 && w.tag <= 6 ? w.tag : -1);
    m_comboTag->setEnabled(woche);
    m_udStunde->setValue(w.udStunde);
    m_udMinute->setValue(w.udMinute);
    m_udStunde->setEnabled(an);
    m_udMinute->setEnabled(an);
    textZeigen(m_txtStunde, w.txtStunde);
    textZeigen(m_txtMinute, w.txtMinute);
}
