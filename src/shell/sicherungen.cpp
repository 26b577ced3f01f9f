#include "shell/sicherungen.h"

#include "backup/sicherung.h"
#include "shell/listendialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {
// The roles of a row's column 0: the path, whether it opens, how the question names it.
constexpr int kPfad = Qt::UserRole, kOeffnet = Qt::UserRole + 1, kBenennung = Qt::UserRole + 2;

// One backup's row: name, date, time, why it was taken, the file's path as
// tooltip (with the machine that took it). The second backup of one name and
// second shows its number, as its file name does; a file that is no
// configuration is shown with its reason and is never opened, and chosen
// only to be written back when it has its memory file.
void zeileAnlegen(QTreeWidget* liste, const sicherung::Eintrag& e, QSize groesse)
{
    const QString uhrzeit = e.zeit.toString(QStringLiteral("HH:mm:ss"))
                          + (e.nummer > 1 ? QStringLiteral(" (%1)").arg(e.nummer) : QString());
    const QString name = e.fehler.isEmpty() ? e.anlagenbezeichnung : e.anlagenbezeichnung + QStringLiteral(" (unlesbar)");
    const QString anlass = e.vorSchreiben ? QStringLiteral("vor Schreiben") : QStringLiteral("gelesen");
    auto* zeile = new QTreeWidgetItem(liste, {name, e.zeit.toString(QStringLiteral("dd.MM.yyyy")), uhrzeit, anlass});
    zeile->setData(0, kPfad, e.pfad);
    zeile->setData(0, kOeffnet, e.fehler.isEmpty());
    zeile->setData(0, kBenennung, QStringLiteral("„%1“ vom %2, %3").arg(e.anlagenbezeichnung, zeile->text(1), uhrzeit));
    zeile->setSizeHint(0, groesse);
    QString tipp = QDir::toNativeSeparators(e.pfad);
    if (!e.rechner.isEmpty())
        tipp += QStringLiteral("\nRechner: ") + e.rechner;
    if (e.speicher.isEmpty() && e.fehler.isEmpty())
        tipp += QStringLiteral("\nOhne Speicherabbild: nur öffnen, nicht wiederherstellen");
    if (!e.fehler.isEmpty()) {
        if (e.speicher.isEmpty())
            zeile->setFlags(zeile->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        tipp += QStringLiteral("\nKeine Konfigurationsdatei: ") + e.fehler;
    }
    for (int spalte = 0; spalte < 4; ++spalte)
        zeile->setToolTip(spalte, tipp);
}
} // namespace

Sicherungen::Sicherungen(const QString& ordner, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Sicherungen"));
    setWindowTitle(QStringLiteral("Sicherungen"));

    const QList<sicherung::Eintrag> eintraege = sicherung::liste(ordner);

    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("Label1"));
    text->setWordWrap(true);
    text->setText(eintraege.isEmpty()
                      ? QStringLiteral("Noch keine Sicherungen. Jede vom Gerät gelesene Konfiguration wird hier gesichert.")
                      : QStringLiteral("Vom Gerät gelesene Konfigurationen, die neueste zuerst:"));

    m_liste = listendialog::liste(this, QStringLiteral("Liste"), QStringLiteral("Sicherungen"),
                                  {QStringLiteral("Anlagenbezeichnung"), QStringLiteral("Datum"),
                                   QStringLiteral("Uhrzeit"), QStringLiteral("Anlass")});
    text->setBuddy(m_liste);
    for (const sicherung::Eintrag& e : eintraege)
        zeileAnlegen(m_liste, e, listendialog::zeilenhoehe(m_liste));
    m_liste->header()->setStretchLastSection(false);
    m_liste->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_liste->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_liste->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_liste->header()->setSectionResizeMode(3, QHeaderView::ResizeToContents);
    for (int i = 0; i < m_liste->topLevelItemCount(); ++i)
        if (m_liste->topLevelItem(i)->flags().testFlag(Qt::ItemIsEnabled)) {
            m_liste->setCurrentItem(m_liste->topLevelItem(i));
            break;
        }

    auto* ort = new QLabel(QStringLiteral("Ordner: %1").arg(QDir::toNativeSeparators(ordner)), this);
    ort->setObjectName(QStringLiteral("Label2"));
    ort->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ort->setWordWrap(true);

    auto* knoepfe = new QDialogButtonBox(this);
    m_oeffnen = knoepfe->addButton(QStringLiteral("Öffnen"), QDialogButtonBox::AcceptRole);
    m_oeffnen->setObjectName(QStringLiteral("CMD_Oeffnen"));
    m_oeffnen->setDefault(true);
    m_wiederherstellen = knoepfe->addButton(QStringLiteral("Wiederherstellen"), QDialogButtonBox::ActionRole);
    m_wiederherstellen->setObjectName(QStringLiteral("CMD_Wiederherstellen"));
    knoepfeSetzen();
    QPushButton* abbrechen = knoepfe->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    abbrechen->setObjectName(QStringLiteral("CMD_Abbruch"));
    connect(m_oeffnen, &QPushButton::clicked, this, &Sicherungen::CMD_Oeffnen_Click);
    connect(m_wiederherstellen, &QPushButton::clicked, this, &Sicherungen::CMD_Wiederherstellen_Click);
    connect(abbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_liste, &QTreeWidget::itemDoubleClicked, this, &Sicherungen::CMD_Oeffnen_Click);
    connect(m_liste, &QTreeWidget::currentItemChanged, this, &Sicherungen::knoepfeSetzen);

    listendialog::legen(this, text, m_liste, ort, knoepfe, QSize(560, 380));
}

void Sicherungen::knoepfeSetzen()
{
    const QTreeWidgetItem* zeile = m_liste->currentItem();
    const bool gewaehlt = zeile && (zeile->flags() & Qt::ItemIsEnabled);
    m_oeffnen->setEnabled(gewaehlt && zeile->data(0, kOeffnet).toBool());
    m_wiederherstellen->setEnabled(gewaehlt);
}

void Sicherungen::CMD_Wiederherstellen_Click()
{
    const QTreeWidgetItem* zeile = m_liste->currentItem();
    if (!zeile || !(zeile->flags() & Qt::ItemIsEnabled))
        return;
    const QString pfad = zeile->data(0, kPfad).toString(), benennung = zeile->data(0, kBenennung).toString();
    // Closed first, so that the question stands over the main window.
    accept();
    emit wiederherstellen(pfad, benennung);
}

void Sicherungen::CMD_Oeffnen_Click()
{
    const QTreeWidgetItem* zeile = m_liste->currentItem();
    if (!zeile || !(zeile->flags() & Qt::ItemIsEnabled) || !zeile->data(0, kOeffnet).toBool())
        return;
    const QString pfad = zeile->data(0, kPfad).toString();
    // Closed first, so that a file error box stands over the main window.
    accept();
    emit oeffnen(pfad);
}
