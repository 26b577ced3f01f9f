#pragma once
// Small helpers the tabs share.
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace bausteine {

QLabel* beschriftung(const QString& text, QWidget* parent);

// A check box with its control name.
QCheckBox* kaestchen(const QString& name, const QString& text, QWidget* parent);

// A field that only shows a value (the slider and spinner read-outs, the
// fixed battery values): no typing.
QLineEdit* anzeigefeld(const QString& name, const QString& text, int breite, QWidget* parent);

} // namespace bausteine
