#include "door/abweisung.h"

#include "door/door.h"

void abweisen(const Abweisung& a, QWidget* feld, int beeps)
{
    for (int i = 0; i < beeps; ++i)
        Door::aktuell().beep();
    if (a)
        emit Abweisungen::melder().abgewiesen(a.text(), feld);
}

Abweisungen& Abweisungen::melder()
{
    static Abweisungen m;
    return m;
}
