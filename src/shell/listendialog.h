#pragma once
// The shape the backup list and the comparison share: a heading over a list
// of whole rows that takes the spare height, a line under the list, the buttons.
#include <QSize>
#include <QStringList>

class QDialog;
class QTreeWidget;
class QWidget;

namespace listendialog {

// A list of whole rows with the given columns, one row selectable at a time,
// without the tree's decoration; `zugangsname` is what a screen reader says.
QTreeWidget* liste(QWidget* eltern, const QString& objektname, const QString& zugangsname, const QStringList& spalten);

// The height of a row of `liste`: enough for the dots of capital umlauts
// ("Ölpumpe"), which reach above the font's ascent, with as much room below
// the text as above.
QSize zeilenhoehe(const QTreeWidget* liste);

// Heading, list, line and buttons one under the other in `d`, which starts at `groesse`.
void legen(QDialog* d, QWidget* kopf, QTreeWidget* liste, QWidget* darunter, QWidget* knoepfe, QSize groesse);

} // namespace listendialog
