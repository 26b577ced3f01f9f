#include "editor/bausteine.h"

#include <QLabel>
#include <QLineEdit>
#include <QStringList>

QLabel* bausteine::beschriftung(const QString& text, QWidget* parent)
{
    return new QLabel(text, parent);
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

QString bausteine::zweistellig(int wert)
{
    QString s = QString::number(wert);
    if (s.size() == 1)
        s.prepend(QLatin1Char('0'));
    return s;
}

const QStringList& bausteine::wochentage()
{
    static const QStringList tage = {
        QStringLiteral("Montag"),     QStringLiteral("Dienstag"), QStringLiteral("Mittwoch"),
        QStringLiteral("Donnerstag"), QStringLiteral("Freitag"),  QStringLiteral("Samstag"),
        QStringLiteral("Sonntag"),
    };
    return tage;
}
