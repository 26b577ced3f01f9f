#include "editor/eingabefeld.h"

#include "editor/feldwaechter.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QKeySequence>
#include <QPointer>

Eingabefeld::Eingabefeld(const QString& name, Feldart art, int grenze, QWidget* parent)
    : QLineEdit(parent), m_art(art), m_grenze(grenze)
{
    setObjectName(name);
    // Drags out of a field would move text past the field's rules.
    setDragEnabled(false);
}

void Eingabefeld::contextMenuEvent(QContextMenuEvent* e)
{
    QPointer<QMenu> menu = createStandardContextMenu();
    if (!menu)
        return;
    // The menu's "Einfügen" goes through the same rules as typed text.
    // The standard paste entry carries the paste shortcut behind a tab,
    // whatever the language.
    const QString kuerzel = QLatin1Char('\t') + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
    QAction* einfuegen = nullptr;
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String("edit-paste") || a->text().endsWith(kuerzel))
            einfuegen = a;
    if (einfuegen) {
        einfuegen->setObjectName(QStringLiteral("edit-paste"));
        disconnect(einfuegen, &QAction::triggered, nullptr, nullptr);
        connect(einfuegen, &QAction::triggered, this, [this] {
            if (m_waechter)
                m_waechter->zwischenablageEinfuegen(this);
        });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(e->globalPos());
}
