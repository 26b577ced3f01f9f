#include "editor/bausteine.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

QLabel* bausteine::beschriftung(const QString& text, QWidget* parent)
{
    return new QLabel(text, parent);
}

QCheckBox* bausteine::kaestchen(const QString& name, const QString& text, QWidget* parent)
{
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    return c;
}

QLineEdit* bausteine::anzeigefeld(const QString& name, const QString& text, int breite, QWidget* parent)
{
    auto* f = new QLineEdit(text, parent);
    f->setObjectName(name);
    f->setReadOnly(true);
    f->setFocusPolicy(Qt::NoFocus);
    if (breite > 0)
        f->setFixedWidth(breite);
    return f;
}
