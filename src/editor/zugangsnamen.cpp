#include "editor/zugangsnamen.h"

#include "editor/editorkontext.h"
#include "editor/eingabefeld.h"
#include "image/konfigspeicher.h"

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
        {"Anlagenbezeichnung", "Anlagenbezeichnung"},
        {"Chk_Quittierung", "Quittierung aktiv"},
        {"Slider_Quit", "Quittierungszeit in Minuten"},
        {"Quit", "Quittierungszeit in Minuten, Wert"},
        {"Chk_Konto", "Kontostandsüberwachung aktiv"},
        {"TXT_Guthabenrufnummer", "Nummer für SMS Kontostandsabfrage"},
        {"TXT_Nummer_Aufladung", "Nummer für Kontoaufladung"},
        {"Slider_Guthaben", "Minimalguthaben in EURO"},
        {"TXT_Guthaben", "Minimalguthaben in EURO, Wert"},
        {"CHK_Kontrollruf", "Kontrollruf aktiv"},
        {"Combo_Tag", "Kontrollruf Tag"},
        {"UD_Stunde", "Kontrollruf Stunde"},
        {"TXT_Stunde", "Kontrollruf Stunde, Wert"},
        {"UD_Minute", "Kontrollruf Minute"},
        {"TXT_Minute", "Kontrollruf Minute, Wert"},
        {"Chk_Relaisbest1", "Bestätigungsmeldung Relais 1"},
        {"Besttext1", "Bestätigungstext Relais 1"},
        {"Chk_Relaisbest2", "Bestätigungsmeldung Relais 2"},
        {"Besttext2", "Bestätigungstext Relais 2"},
        {"Messbereich4", "Messwert 4 mA"},
        {"Messbereich20", "Messwert 20 mA"},
        {"Einheit", "Messwert Einheit"},
        {"Grenzwertmin", "unterer Grenzwert"},
        {"Grenzwertmax", "oberer Grenzwert"},
        {"Text_Min", "Meldungstext unterer Grenzwert"},
        {"Text_Max", "Meldungstext oberer Grenzwert"},
        {"Cmd_Analog", "Nummern Analogeingang"},
        {"TXT_Batterie", "Grenzwert Batteriespannung"},
        {"TXT_TextBatterie", "Meldungstext Batteriespannung"},
    };
    for (int i = 0; i < 9; ++i) {
        const QString quelle = meldequelle(i + 1);
        n.append({QStringLiteral("SMSText_%1").arg(i), QStringLiteral("Meldungstext ") + quelle});
        n.append({QStringLiteral("CMD_Nr_%1").arg(i), QStringLiteral("Nummern ") + quelle});
        n.append({QStringLiteral("Chk_Gutmeldung_%1").arg(i), QStringLiteral("Gutmeldung ") + quelle});
        if (i < 8)
            n.append({QStringLiteral("Chk_Oeffner_%1").arg(i), QStringLiteral("Öffner ") + quelle});
    }
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

void tabsBenennen(QWidget* fenster, Editorkontext& kontext)
{
    for (const auto& [objekt, name] : namen()) {
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
