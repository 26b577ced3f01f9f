#include "shell/sicherungen.h"

#include "backup/sicherung.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// One backup's row: name, date, time, the file's path as tooltip. The second
// backup of one name and second shows its number, as its file name does; a
// file that is no configuration is shown with its reason, but never chosen.
void zeileAnlegen(QTreeWidget* liste, const sicherung::Eintrag& e, QSize groesse)
{
    const QString uhrzeit = e.zeit.toString(QStringLiteral("HH:mm:ss"))
                          + (e.nummer > 1 ? QStringLiteral(" (%1)").arg(e.nummer) : QString());
    const QString name = e.fehler.isEmpty() ? e.anlagenbezeichnung : e.anlagenbezeichnung + QStringLiteral(" (unlesbar)");
    auto* zeile = new QTreeWidgetItem(liste, {name, e.zeit.toString(QStringLiteral("dd.MM.yyyy")), uhrzeit});
    zeile->setData(0, Qt::UserRole, e.pfad);
    zeile->setSizeHint(0, groesse);
    QString tipp = QDir::toNativeSeparators(e.pfad);
    if (!e.fehler.isEmpty()) {
        zeile->setFlags(zeile->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        tipp += QStringLiteral("\nKeine Konfigurationsdatei: ") + e.fehler;
    }
    for (int spalte = 0; spalte < 3; ++spalte)
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

    m_liste = new QTreeWidget(this);
    m_liste->setObjectName(QStringLiteral("Liste"));
    m_liste->setAccessibleName(QStringLiteral("Sicherungen"));
    text->setBuddy(m_liste);
    m_liste->setRootIsDecorated(false);
    m_liste->setUniformRowHeights(true);
    m_liste->setSelectionMode(QAbstractItemView::SingleSelection);
    m_liste->setHeaderLabels({QStringLiteral("Anlagenbezeichnung"), QStringLiteral("Datum"), QStringLiteral("Uhrzeit")});
    // Rows high enough for the dots of capital umlauts ("Ölpumpe"), which
    // reach above the font's ascent: as much room below the text as above.
    const QFontMetrics fm = m_liste->fontMetrics();
    const int ueberstand = qMax(0, -(fm.ascent() + fm.tightBoundingRect(QStringLiteral("ÄÖÜÅ")).top()));
    for (const sicherung::Eintrag& e : eintraege)
        zeileAnlegen(m_liste, e, QSize(0, fm.height() + 2 * ueberstand + 2));
    m_liste->header()->setStretchLastSection(false);
    m_liste->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_liste->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_liste->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
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
    m_oeffnen->setEnabled(m_liste->currentItem() != nullptr);
    QPushButton* abbrechen = knoepfe->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    abbrechen->setObjectName(QStringLiteral("CMD_Abbruch"));
    connect(m_oeffnen, &QPushButton::clicked, this, &Sicherungen::CMD_Oeffnen_Click);
    connect(abbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_liste, &QTreeWidget::itemDoubleClicked, this, &Sicherungen::CMD_Oeffnen_Click);
    connect(m_liste, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* aktuell) { m_oeffnen->setEnabled(aktuell && (aktuell->flags() & Qt::ItemIsEnabled)); });

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(text);
    lay->addWidget(m_liste, 1);
    lay->addWidget(ort);
    lay->addWidget(knoepfe);
    resize(560, 380);
}

void Sicherungen::CMD_Oeffnen_Click()
{
    const QTreeWidgetItem* zeile = m_liste->currentItem();
    if (!zeile || !(zeile->flags() & Qt::ItemIsEnabled))
        return;
    const QString pfad = zeile->data(0, Qt::UserRole).toString();
    // Closed first, so that a file error box stands over the main window.
    accept();
    emit oeffnen(pfad);
}
