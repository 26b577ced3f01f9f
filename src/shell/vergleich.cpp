#include "shell/vergleich.h"

#include "linktext/linktext.h"
#include "shell/listendialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

Vergleich::Vergleich(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Vergleich"));
    setWindowTitle(QStringLiteral("Vergleich mit Gerät"));
    setModal(false);

    m_kopf = new QLabel(this);
    m_kopf->setObjectName(QStringLiteral("Label1"));
    m_kopf->setWordWrap(true);

    m_liste = listendialog::liste(this, QStringLiteral("Unterschiede"), QStringLiteral("Unterschiede zwischen Gerät und Editor"),
                                  {QStringLiteral("Einstellung"), QStringLiteral("Gerät"), QStringLiteral("Editor")});
    m_liste->header()->setStretchLastSection(true);
    m_liste->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_liste->header()->setSectionResizeMode(1, QHeaderView::Interactive);
    m_liste->setColumnWidth(1, 220);

    m_seiten = new QLabel(this);
    m_seiten->setObjectName(QStringLiteral("Label2"));
    m_seiten->setWordWrap(true);

    // "Schließen" takes Enter, Escape closes as well.
    auto* knoepfe = new QDialogButtonBox(this);
    QPushButton* schliessen = knoepfe->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    schliessen->setObjectName(QStringLiteral("CMD_Schliessen"));
    schliessen->setDefault(true);
    connect(schliessen, &QPushButton::clicked, this, &QDialog::reject);

    listendialog::legen(this, m_kopf, m_liste, m_seiten, knoepfe, QSize(720, 420));
}

void Vergleich::zeigen(const QString& kopf, const QList<blatt::Unterschied>& u, const Seitenaenderung& seiten)
{
    m_kopf->setText(u.isEmpty() ? QStringLiteral("%1: keine Unterschiede").arg(kopf)
                    : u.size() == 1 ? QStringLiteral("%1: 1 Unterschied").arg(kopf)
                                    : QStringLiteral("%1: %2 Unterschiede").arg(kopf).arg(u.size()));
    m_liste->clear();
    for (const blatt::Unterschied& x : u) {
        auto* zeile = new QTreeWidgetItem(m_liste, {x.beschriftung, blatt::vergleichswert(x.a), blatt::vergleichswert(x.b)});
        zeile->setSizeHint(2, listendialog::zeilenhoehe(m_liste));  // the stretched column: its width counts for nothing
        zeile->setData(0, Qt::UserRole, x.schluessel);
        for (int spalte = 0; spalte < 3; ++spalte)
            zeile->setToolTip(spalte, zeile->text(spalte));
    }
    m_liste->setVisible(!u.isEmpty());
    if (!u.isEmpty())
        m_liste->setCurrentItem(m_liste->topLevelItem(0));
    m_seiten->setText(seitenText(seiten));
}

QString Vergleich::seitenText(const Seitenaenderung& seiten)
{
    QList<int> p;
    for (int i = 0; i < kSeiten; ++i)
        if (seiten[std::size_t(i)])
            p.append(i);
    if (p.isEmpty())
        return QStringLiteral("Konfiguration schreiben sendet jetzt keine Seite.");
    if (p.size() == 1)
        return QStringLiteral("Konfiguration schreiben sendet jetzt Seite %1.").arg(p[0]);
    return QStringLiteral("Konfiguration schreiben sendet jetzt die Seiten %1.").arg(linktext::seitenliste(p));
}
