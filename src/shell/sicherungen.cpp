#include "shell/sicherungen.h"

#include "backup/sicherung.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

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
    for (const sicherung::Eintrag& e : eintraege) {
        auto* zeile = new QTreeWidgetItem(m_liste, {e.anlagenbezeichnung, e.zeit.toString(QStringLiteral("dd.MM.yyyy")),
                                                    e.zeit.toString(QStringLiteral("HH:mm:ss"))});
        zeile->setData(0, Qt::UserRole, e.pfad);
        zeile->setToolTip(0, QDir::toNativeSeparators(e.pfad));
    }
    m_liste->header()->setStretchLastSection(false);
    m_liste->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_liste->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_liste->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    if (m_liste->topLevelItemCount() > 0)
        m_liste->setCurrentItem(m_liste->topLevelItem(0));

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
            [this](QTreeWidgetItem* aktuell) { m_oeffnen->setEnabled(aktuell != nullptr); });

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
    if (!zeile)
        return;
    const QString pfad = zeile->data(0, Qt::UserRole).toString();
    // Closed first, so that a file error box stands over the main window.
    accept();
    emit oeffnen(pfad);
}
