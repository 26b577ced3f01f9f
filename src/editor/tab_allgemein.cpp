#include "editor/tab_allgemein.h"

#include "editor/aufab.h"
#include "editor/bausteine.h"
#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "editor/feldwaechter.h"
#include "image/ansi.h"
#include "image/felder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

using bausteine::beschriftung;

namespace {
constexpr int kSeite = 0;
constexpr int kMeinMarker = 22;

QRadioButton* option(const QString& name, const QString& text, QWidget* parent)
{
    auto* r = new QRadioButton(text, parent);
    r->setObjectName(name);
    return r;
}
QCheckBox* kaestchen(const QString& name, const QString& text, QWidget* parent)
{
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    return c;
}
QSlider* schieber(const QString& name, int min, int max, QWidget* parent)
{
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setValue(min);
    s->setEnabled(false);
    return s;
}
} // namespace

TabAllgemein::TabAllgemein(Editorkontext& kontext, Feldwaechter& waechter, QWidget* parent)
    : QWidget(parent), m_k(kontext)
{
    setObjectName(QStringLiteral("TabAllgemein"));

    // Group "Allgemeine Einstellungen"
    auto* allgemein = new QGroupBox(QStringLiteral("Allgemeine Einstellungen"), this);
    m_anlagenbezeichnung = new Eingabefeld(QStringLiteral("Anlagenbezeichnung"), Feldart::Freitext, 70, allgemein);
    m_anlagenbezeichnung->setPruefung([this](bool g) { return anlagenbezeichnungSpeichern(g); });
    waechter.anmelden(m_anlagenbezeichnung);
    {
        auto* lay = new QGridLayout(allgemein);
        lay->addWidget(beschriftung(QStringLiteral("Anlagenbezeichnung"), allgemein), 0, 0);
        lay->addWidget(m_anlagenbezeichnung, 0, 1);
        lay->addWidget(beschriftung(QStringLiteral("maximal 70 Zeichen"), allgemein), 0, 2);
        lay->setColumnStretch(1, 1);
    }

    // Group "Netzbetreiber"
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

    // Group "Quittierung"
    auto* quittierung = new QGroupBox(QStringLiteral("Quittierung"), this);
    m_chkQuittierung = kaestchen(QStringLiteral("Chk_Quittierung"), QStringLiteral("aktiv"), quittierung);
    m_sliderQuit = schieber(QStringLiteral("Slider_Quit"), 1, 255, quittierung);
    m_quit = bausteine::anzeigefeld(QStringLiteral("Quit"), QString(), 40, quittierung);
    {
        auto* lay = new QGridLayout(quittierung);
        lay->addWidget(m_chkQuittierung, 0, 0, 1, 2);
        lay->addWidget(m_sliderQuit, 1, 0, 1, 2);
        lay->addWidget(m_quit, 2, 0);
        lay->addWidget(beschriftung(QStringLiteral("Quittierungszeit in Minuten"), quittierung), 2, 1);
        lay->setColumnStretch(1, 1);
    }

    // Group "Kontostandsüberwachung"
    auto* konto = new QGroupBox(QStringLiteral("Kontostandsüberwachung"), this);
    m_chkKonto = kaestchen(QStringLiteral("Chk_Konto"), QStringLiteral("aktiv"), konto);
    m_guthabenrufnummer = new Eingabefeld(QStringLiteral("TXT_Guthabenrufnummer"), Feldart::Nummer, 15, konto);
    m_nummerAufladung = new Eingabefeld(QStringLiteral("TXT_Nummer_Aufladung"), Feldart::Nummer, 15, konto);
    for (Eingabefeld* f : {m_guthabenrufnummer, m_nummerAufladung}) {
        f->setPruefung([this, f](bool g) { return nummerSpeichern(f, g); });
        f->setEnabled(false);
        waechter.anmelden(f);
    }
    m_sliderGuthaben = schieber(QStringLiteral("Slider_Guthaben"), 1, 9, konto);
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

    // Group "Kontrollruf"
    auto* kontrollruf = new QGroupBox(QStringLiteral("Kontrollruf"), this);
    m_chkKontrollruf = kaestchen(QStringLiteral("CHK_Kontrollruf"), QStringLiteral("aktiv"), kontrollruf);
    m_optWoche = option(QStringLiteral("OPT_Woche"), QStringLiteral("wöchentlich"), kontrollruf);
    m_optTag = option(QStringLiteral("OPT_Tag"), QStringLiteral("täglich"), kontrollruf);
    m_kontrollrufArt = new QButtonGroup(this);
    m_kontrollrufArt->addButton(m_optWoche);
    m_kontrollrufArt->addButton(m_optTag);
    m_comboTag = new QComboBox(kontrollruf);
    m_comboTag->setObjectName(QStringLiteral("Combo_Tag"));
    m_comboTag->addItems(bausteine::wochentage());
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

    // The tab: the general group and its marker on top, then two columns.
    auto* marker = m_k.markerErzeugen(kMeinMarker, this);
    auto* lay = new QGridLayout(this);
    lay->addWidget(allgemein, 0, 0, 1, 2);
    lay->addWidget(marker, 0, 2, Qt::AlignTop);
    lay->addWidget(m_netz, 1, 0);
    lay->addWidget(konto, 1, 1, 2, 1);
    lay->addWidget(quittierung, 2, 0);
    lay->addWidget(kontrollruf, 3, 0, 1, 2);
    lay->setRowStretch(4, 1);
    lay->setColumnStretch(1, 1);

    // Start-up state of the dependent controls: everything switched off.
    m_optWoche->setEnabled(false);
    m_optTag->setEnabled(false);
    m_comboTag->setEnabled(false);
    m_udStunde->setEnabled(false);
    m_udMinute->setEnabled(false);

    auto wenn = [this](auto fn) {
        return [this, fn] {
            if (!m_k.still)
                (this->*fn)();
        };
    };
    auto wennAn = [this](auto fn) {
        return [this, fn](bool an) {
            if (an && !m_k.still)
                (this->*fn)();
        };
    };
    connect(m_chkQuittierung, &QCheckBox::toggled, this, wenn(&TabAllgemein::Chk_Quittierung_Click));
    connect(m_sliderQuit, &QSlider::valueChanged, this, wenn(&TabAllgemein::Slider_Quit_Change));
    connect(m_chkKonto, &QCheckBox::toggled, this, wenn(&TabAllgemein::Chk_Konto_Click));
    connect(m_sliderGuthaben, &QSlider::valueChanged, this, wenn(&TabAllgemein::Slider_Guthaben_Change));
    connect(m_optA1, &QRadioButton::toggled, this, wennAn(&TabAllgemein::OPT_A1_Click));
    connect(m_optTM, &QRadioButton::toggled, this, wennAn(&TabAllgemein::OPT_TM_Click));
    connect(m_optAndere, &QRadioButton::toggled, this, wennAn(&TabAllgemein::OPT_Andere_Click));
    connect(m_chkKontrollruf, &QCheckBox::toggled, this, wenn(&TabAllgemein::CHK_Kontrollruf_Click));
    connect(m_optWoche, &QRadioButton::toggled, this, wennAn(&TabAllgemein::OPT_Woche_Click));
    connect(m_optTag, &QRadioButton::toggled, this, wennAn(&TabAllgemein::OPT_Tag_Click));
    connect(m_comboTag, &QComboBox::currentTextChanged, this, wenn(&TabAllgemein::Combo_Tag_Change));
    connect(m_udStunde, &Aufab::valueChanged, this, wenn(&TabAllgemein::UD_Stunde_Change));
    connect(m_udMinute, &Aufab::valueChanged, this, wenn(&TabAllgemein::UD_Minute_Change));
}

bool TabAllgemein::anlagenbezeichnungSpeichern(bool geaendert)
{
    textSpeichern(m_k.speicher, bereich::Anlagenbezeichnung, ansi::bytes(m_anlagenbezeichnung->text()));
    if (geaendert)
        m_k.vermerken(kMeinMarker, kSeite);
    return true;
}

bool TabAllgemein::nummerSpeichern(Eingabefeld* feld, bool geaendert)
{
    const Bereich b = feld == m_guthabenrufnummer ? bereich::Guthabenrufnummer : bereich::NummerAufladung;
    textSpeichern(m_k.speicher, b, ansi::bytes(feld->text()));
    if (geaendert)
        m_k.vermerken(kMeinMarker, kSeite);
    return true;
}

Netzbetreiber TabAllgemein::netzbetreiber() const
{
    if (m_optTM->isChecked())
        return Netzbetreiber::TMobile;
    if (m_optAndere->isChecked())
        return Netzbetreiber::Andere;
    return Netzbetreiber::A1;
}

void TabAllgemein::startZustand()
{
    for (QCheckBox* c : {m_chkKontrollruf, m_chkQuittierung, m_chkKonto})
        c->setChecked(false);
    Chk_Quittierung_Click();
    CHK_Kontrollruf_Click();
    Chk_Konto_Click();
}

// --- Acknowledgement ---------------------------------------------------------

void TabAllgemein::Chk_Quittierung_Click()
{
    if (!m_chkQuittierung->isChecked()) {
        m_sliderQuit->setEnabled(false);
        m_sliderQuit->setValue(1);
        m_quit->setText(QString());
        m_k.speicher.setze(kSeite, offset::Quittierung, 0);
        m_k.vermerken(kMeinMarker, kSeite);
        return;
    }
    if (m_k.Einlesen)
        return;
    m_sliderQuit->setEnabled(true);
    bausteine::sliderSetzen(m_sliderQuit, 15, [this] { Slider_Quit_Change(); });
}

void TabAllgemein::Slider_Quit_Change()
{
    const int v = m_sliderQuit->value();
    m_quit->setText(QString::number(v));
    m_k.speicher.setze(kSeite, offset::Quittierung, std::uint8_t(v));
    m_k.vermerken(kMeinMarker, kSeite);
}

// --- Account monitoring ------------------------------------------------------

void TabAllgemein::Chk_Konto_Click()
{
    if (!m_chkKonto->isChecked()) {
        for (Eingabefeld* f : {m_guthabenrufnummer, m_nummerAufladung}) {
            f->setEnabled(false);
            f->setText(QString());
        }
        m_sliderGuthaben->setEnabled(false);
        m_sliderGuthaben->setValue(1);
        m_guthaben->setText(QString());
        nummerSpeichern(m_guthabenrufnummer, false);
        nummerSpeichern(m_nummerAufladung, false);
        m_k.speicher.setze(kSeite, offset::Guthaben, 0);
        m_k.vermerken(kMeinMarker, kSeite);
        return;
    }
    m_guthabenrufnummer->setEnabled(true);
    m_nummerAufladung->setEnabled(true);
    m_sliderGuthaben->setEnabled(true);
    if (m_k.Einlesen)
        return;
    // The operator's own numbers for the balance query and the top-up.
    if (m_optA1->isChecked()) {
        m_guthabenrufnummer->setText(QStringLiteral("08006642903"));
        m_nummerAufladung->setText(QStringLiteral("08006642902"));
    } else if (m_optTM->isChecked()) {
        m_guthabenrufnummer->setText(QStringLiteral("*101#"));
        m_nummerAufladung->setText(QStringLiteral("*105*"));
    }
    nummerSpeichern(m_guthabenrufnummer, true);
    nummerSpeichern(m_nummerAufladung, true);
    bausteine::sliderSetzen(m_sliderGuthaben, 5, [this] { Slider_Guthaben_Change(); });
}

void TabAllgemein::Slider_Guthaben_Change()
{
    const int v = m_sliderGuthaben->value();
    m_guthaben->setText(QString::number(v));
    m_k.speicher.setze(kSeite, offset::Guthaben, std::uint8_t(v));
    m_k.vermerken(kMeinMarker, kSeite);
}

void TabAllgemein::OPT_A1_Click()
{
    m_chkKonto->setEnabled(true);
    Chk_Konto_Click();
}

void TabAllgemein::OPT_TM_Click()
{
    m_chkKonto->setEnabled(true);
    Chk_Konto_Click();
}

void TabAllgemein::OPT_Andere_Click()
{
    {
        const QSignalBlocker b(m_chkKonto);
        m_chkKonto->setChecked(false);
    }
    m_chkKonto->setEnabled(false);
    Chk_Konto_Click();
}

// --- Check call --------------------------------------------------------------

void TabAllgemein::kontrollrufOptionenAbwaehlen()
{
    // An exclusive group keeps one button selected; both are cleared here.
    m_kontrollrufArt->setExclusive(false);
    m_optTag->setChecked(false);
    m_optWoche->setChecked(false);
    m_kontrollrufArt->setExclusive(true);
}

void TabAllgemein::CHK_Kontrollruf_Click()
{
    if (m_chkKontrollruf->isChecked()) {
        if (m_k.Einlesen)
            return;
        m_optTag->setEnabled(true);
        m_optWoche->setEnabled(true);
        m_udStunde->setEnabled(true);
        m_udMinute->setEnabled(true);
        m_optTag->setChecked(true);
        m_udStunde->setValue(10);
        m_udMinute->setValue(0);
        // Switching on is a change of its own: daily at the time shown is
        // stored and recorded even when no other handler had to run.
        m_k.speicher.setze(kSeite, offset::Kontrollruf, 7);
        m_k.speicher.setze(kSeite, offset::Stunde, bcd(m_udStunde->value()));
        m_k.speicher.setze(kSeite, offset::Minute, bcd(m_udMinute->value()));
        m_k.vermerken(kMeinMarker, kSeite);
        return;
    }
    kontrollrufOptionenAbwaehlen();
    m_optTag->setEnabled(false);
    m_optWoche->setEnabled(false);
    m_comboTag->setCurrentIndex(-1);
    m_comboTag->setEnabled(false);
    m_udStunde->setValue(10);
    m_udStunde->setEnabled(false);
    m_udMinute->setValue(0);
    m_udMinute->setEnabled(false);
    Konfigspeicher& k = m_k.speicher;
    k.setze(kSeite, offset::Kontrollruf, 0xFF);
    k.setze(kSeite, offset::Stunde, 0x10);
    k.setze(kSeite, offset::Minute, 0x00);
    k.setze(kSeite, 7, ETX);
    for (int o = 8; o <= 23; ++o)
        k.setze(kSeite, o, FF);
    m_k.vermerken(kMeinMarker, kSeite);
}

void TabAllgemein::OPT_Woche_Click()
{
    m_comboTag->setEnabled(true);
    if (m_k.Einlesen)
        return;
    if (m_comboTag->currentIndex() != 0)
        m_comboTag->setCurrentIndex(0);
    else
        Combo_Tag_Change();
}

void TabAllgemein::OPT_Tag_Click()
{
    m_comboTag->setEnabled(false);
    m_comboTag->setCurrentIndex(-1);
    m_k.speicher.setze(kSeite, offset::Kontrollruf, 7);
}

void TabAllgemein::Combo_Tag_Change()
{
    if (m_k.Einlesen)
        return;
    const int tag = bausteine::wochentage().indexOf(m_comboTag->currentText());
    m_k.speicher.setze(kSeite, offset::Kontrollruf, tag >= 0 ? std::uint8_t(tag) : std::uint8_t(0xFF));
    m_k.vermerken(kMeinMarker, kSeite);
}

void TabAllgemein::UD_Stunde_Change()
{
    m_txtStunde->setText(bausteine::zweistellig(m_udStunde->value()));
    m_k.speicher.setze(kSeite, offset::Stunde, bcd(m_udStunde->value()));
    m_k.vermerken(kMeinMarker, kSeite);
}

void TabAllgemein::UD_Minute_Change()
{
    m_txtMinute->setText(bausteine::zweistellig(m_udMinute->value()));
    m_k.speicher.setze(kSeite, offset::Minute, bcd(m_udMinute->value()));
    m_k.vermerken(kMeinMarker, kSeite);
}

// --- Showing values ----------------------------------------------------------

void TabAllgemein::anzeigen(const Editorwerte& w)
{
    const Stille still(m_k);
    m_anlagenbezeichnung->setText(w.anlagenbezeichnung);

    switch (w.netz) {
    case Netzbetreiber::A1: m_optA1->setChecked(true); break;
    case Netzbetreiber::TMobile: m_optTM->setChecked(true); break;
    case Netzbetreiber::Andere: m_optAndere->setChecked(true); break;
    }

    m_chkQuittierung->setChecked(w.quittierung);
    m_sliderQuit->setValue(w.sliderQuit);
    m_sliderQuit->setEnabled(w.quittierung);
    m_quit->setText(w.quit);

    m_chkKonto->setChecked(w.konto);
    m_chkKonto->setEnabled(w.kontoAktivierbar);
    m_guthabenrufnummer->setText(w.guthabenrufnummer);
    m_nummerAufladung->setText(w.nummerAufladung);
    m_guthabenrufnummer->setEnabled(w.konto);
    m_nummerAufladung->setEnabled(w.konto);
    m_sliderGuthaben->setValue(w.sliderGuthaben);
    m_sliderGuthaben->setEnabled(w.konto);
    m_guthaben->setText(w.guthaben);

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
    m_txtStunde->setText(w.txtStunde);
    m_txtMinute->setText(w.txtMinute);
}

void TabAllgemein::werteEintragen(Editorwerte& w) const
{
    w.anlagenbezeichnung = m_anlagenbezeichnung->text();
    w.netz = netzbetreiber();
    w.quittierung = m_chkQuittierung->isChecked();
    w.sliderQuit = m_sliderQuit->value();
    w.quit = m_quit->text();
    w.konto = m_chkKonto->isChecked();
    w.kontoAktivierbar = m_chkKonto->isEnabledTo(this);
    w.guthabenrufnummer = m_guthabenrufnummer->text();
    w.nummerAufladung = m_nummerAufladung->text();
    w.sliderGuthaben = m_sliderGuthaben->value();
    w.guthaben = m_guthaben->text();
    if (!m_chkKontrollruf->isChecked())
        w.kontrollruf = Editorwerte::Kontrollruf::Aus;
    else if (m_optWoche->isChecked())
        w.kontrollruf = Editorwerte::Kontrollruf::Woechentlich;
    else
        w.kontrollruf = Editorwerte::Kontrollruf::Taeglich;
    w.tag = m_comboTag->currentIndex();
    w.udStunde = m_udStunde->value();
    w.udMinute = m_udMinute->value();
    w.txtStunde = m_txtStunde->text();
    w.txtMinute = m_txtMinute->text();
}
