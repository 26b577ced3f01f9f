#include "shell/listendialog.h"

#include <QDialog>
#include <QFontMetrics>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace listendialog {

QTreeWidget* liste(QWidget* eltern, const QString& objektname, const QString& zugangsname, const QStringList& spalten)
{
    auto* l = new QTreeWidget(eltern);
    l->setObjectName(objektname);
    l->setAccessibleName(zugangsname);
    l->setRootIsDecorated(false);
    l->setUniformRowHeights(true);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setHeaderLabels(spalten);
    return l;
}

void legen(QDialog* d, QWidget* kopf, QTreeWidget* liste, QWidget* darunter, QWidget* knoepfe, QSize groesse)
{
    auto* lay = new QVBoxLayout(d);
    lay->addWidget(kopf);
    lay->addWidget(liste, 1);
    lay->addWidget(darunter);
    lay->addWidget(knoepfe);
    d->resize(groesse);
}

QSize zeilenhoehe(const QTreeWidget* liste)
{
    const QFontMetrics fm = liste->fontMetrics();
    const int ueberstand = qMax(0, -(fm.ascent() + fm.tightBoundingRect(QStringLiteral("ÄÖÜÅ")).top()));
    return QSize(0, fm.height() + 2 * ueberstand + 2);
}

} // namespace listendialog
