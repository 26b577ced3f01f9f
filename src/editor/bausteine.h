#pragma once
// Small helpers the tabs share.
#include <QSignalBlocker>
#include <QString>
#include <initializer_list>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QObject;
class QWidget;

namespace bausteine {

QLabel* beschriftung(const QString& text, QWidget* parent);

// A check box with its control name.
QCheckBox* kaestchen(const QString& name, const QString& text, QWidget* parent);

// A field that only shows a value (the slider and spinner read-outs, the
// fixed battery values): no typing.
QLineEdit* anzeigefeld(const QString& name, const QString& text, int breite, QWidget* parent);

// The controls' signals held back while it lives: the program sets them to
// the model's values, and their handlers are there for the user's changes.
class Stumm {
public:
    Stumm(std::initializer_list<QObject*> objekte)
    {
        m_sperren.reserve(objekte.size());
        for (QObject* o : objekte)
            m_sperren.emplace_back(o);
    }

private:
    std::vector<QSignalBlocker> m_sperren;
};

} // namespace bausteine
