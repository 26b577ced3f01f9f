#include "editor/zugangsnamen.h"

#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "image/konfigspeicher.h"
#include "modell/einstellung.h"

#include <QComboBox>
#include <QLabel>
#include <QList>
#include <QWidget>
#include <utility>

namespace {

// Control name -> accessible name, for the controls whose caption does not
// name them on its own ("aktiv", the unnamed option columns, "Nummern").
QList<std::pair<QString, QString>> namen()
{
    QList<std::pair<QString, QString>> n{
        {"Slider_Quit", "Quittierungszeit in Minuten"},
        {"Quit", "Quittierungszeit in Minuten, Wert"},
        {"Slider_Guthaben", "Minimalguthaben in EURO"},
        {"TXT_Guthaben", "Minimalguthaben in EURO, Wert"},
        {"CHK_Kontrollruf", "Kontrollruf"},
        {"Combo_Tag", "Kontrollruf Tag"},
        {"UD_Stunde", "Kontrollruf Stunde"},
        {"TXT_Stunde", "Kontrollruf Stunde, Wert"},
        {"UD_Minute", "Kontrollruf Minute"},
        {"TXT_Minute", "Kontrollruf Minute, Wert"},
        {"Cmd_Analog", "Nummern Analogeingang"},
        {"TXT_Batterie", "Grenzwert Batteriespannung"},
        {"TXT_TextBatterie", "Meldungstext Batteriespannung"},
    };
    for (int i = 0; i < 9; ++i)
        n.append({QStringLiteral("CMD_Nr_%1").arg(i), QStringLiteral("Nummern ") + meldequelle(i + 1)});
    return n;
}

// The controls a change marker stands for, by control name; a name ending in
// "*" stands for every control below the widget of that name.
QList<QStringList> markerGruppen()
{
    QList<QStringList> g(kMarker);
    for (int i = 0; i < 9; ++i) {
        g[i] << QStringLiteral("SMSText_%1").arg(i);
        g[9 + i] << QStringLiteral("CMD_Nr_%1").arg(i);
        g[21] << QStringLiteral("Chk_Gutmeldung_%1").arg(i);
        if (i < 8)
            g[21] << QStringLiteral("Chk_Oeffner_%1").arg(i);
    }
    g[18] << QStringLiteral("Chk_Relaisbest1") << QStringLiteral("Besttext1");
    g[19] << QStringLiteral("Chk_Relaisbest2") << QStringLiteral("Besttext2");
    g[20] << QStringLiteral("Messbereich4") << QStringLiteral("Messbereich20") << QStringLiteral("Einheit")
          << QStringLiteral("Grenzwertmin") << QStringLiteral("Grenzwertmax") << QStringLiteral("Text_Min")
          << QStringLiteral("Text_Max") << QStringLiteral("Cmd_Analog");
    g[22] << QStringLiteral("TabAllgemein*");
    return g;
}

} // namespace

QString zugangsname(const Einstellung& e)
{
    const bool familie = e.reiter == Reiter::Meldelinien || e.reiter == Reiter::Relais;
    return familie ? e.kurz + QLatin1Char(' ') + e.gruppe : e.kurz;
}

void tabsBenennen(QWidget* fenster, Editorkontext& kontext)
{
    QList<std::pair<QString, QString>> alle = namen();
    for (QWidget* w : fenster->findChildren<QWidget*>())  // named by their settings
        if (!w->accessibleName().isEmpty() && !w->objectName().isEmpty())
            alle.append({w->objectName(), w->accessibleName()});
    for (const auto& [objekt, name] : alle) {
        auto* w = fenster->findChild<QWidget*>(objekt);
        if (!w)
            continue;
        w->setAccessibleName(name);
        // The caption beside the control is its label (a screen reader says
        // the label's text); a list without one gets one the eye does not see,
        // since its own name is the entry chosen.
        QLabel* beschriftung = nullptr;
        for (QLabel* l : w->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            if (l->text() == name)
                beschriftung = l;
        if (!beschriftung && qobject_cast<QComboBox*>(w)) {
            beschriftung = new QLabel(name, w->parentWidget());
            beschriftung->hide();
        }
        if (beschriftung)
            beschriftung->setBuddy(w);
    }
    // A field's hint in the status bar is its description.
    for (Eingabefeld* e : fenster->findChildren<Eingabefeld*>())
        if (!e->hinweis().isEmpty())
            e->setAccessibleDescription(e->hinweis());

    const QList<QStringList> gruppen = markerGruppen();
    for (int i = 0; i < kMarker; ++i) {
        QList<QWidget*> gruppe;
        for (const QString& name : gruppen[i]) {
            if (!name.endsWith(QLatin1Char('*'))) {
                if (auto* w = fenster->findChild<QWidget*>(name))
                    gruppe << w;
                continue;
            }
            if (auto* wurzel = fenster->findChild<QWidget*>(name.chopped(1)))
                for (QWidget* w : wurzel->findChildren<QWidget*>())
                    if (w->focusPolicy() != Qt::NoFocus && !qobject_cast<QLabel*>(w))
                        gruppe << w;
        }
        kontext.markerGruppe(i, gruppe);
    }
}
