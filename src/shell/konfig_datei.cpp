// The main window's file commands: saving the configuration as a "*.cfg"
// file and opening one. Both share one file dialog that remembers the last
// name chosen.
#include "shell/konfig.h"

#include "cfgfile/cfgdatei.h"
#include "editor/teledit.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

Door::Dateidialog Konfig::dateidialog() const
{
    return {QStringLiteral("Konfigurationsdatei"), QStringLiteral("Konfigurationsdateien (*.cfg)"),
            m_dateiname.isEmpty() ? QStringLiteral("*.cfg") : m_dateiname, QStringLiteral("cfg")};
}

void Konfig::dateiFehler()
{
    Door::aktuell().beep();
    Door::aktuell().meldung(textDateifehler(), Door::Icon::Kritisch, Door::Knoepfe::Ok,
                            QStringLiteral("GSM-Boravilon"));
}

// The name from the dialog, with the default extension when it has none
// (when opening: only when the name as typed does not exist but with ".cfg"
// does). Empty: cancelled.
QString Konfig::dateinameWaehlen(bool speichern)
{
    const Door::Dateidialog d = dateidialog();
    QString name = speichern ? Door::aktuell().dateiSpeichern(d) : Door::aktuell().dateiOeffnen(d);
    if (name.isEmpty())
        return {};
    if (QFileInfo(name).suffix().isEmpty()) {
        const QString mitEndung = name + QLatin1Char('.') + d.endung;
        if (speichern || (!QFileInfo::exists(name) && QFileInfo::exists(mitEndung)))
            name = mitEndung;
    }
    m_dateiname = name;
    return name;
}

void Konfig::MNU_Save_Click()
{
    if (!befehlZulassen(false))
        return;
    const QString name = dateinameWaehlen(true);
    if (name.isEmpty())
        return;
    if (QFileInfo(name).isFile()) {
        Door::aktuell().beep();
        const Door::Antwort a =
            Door::aktuell().meldung(QStringLiteral("Datei bereits vorhanden! Überschreiben?"), Door::Icon::Warnung,
                                    Door::Knoepfe::JaNein, QStringLiteral("GSM Boravilon"));
        if (a != Door::Antwort::Ja)
            return;
    }
    // Written beside the old file and put in its place only when complete: a
    // full disk or a lost medium leaves the old file as it was. The explicit
    // flush matters: commit() does not notice a buffer that failed to reach
    // the disk and would put the short file in place.
    // A folder that takes no new file (while the file itself may be
    // written) gets the file overwritten in place, with the same checks.
    const QByteArray inhalt = cfgSchreiben(m_speicher);
    QSaveFile datei(name);
    datei.setDirectWriteFallback(true);
    if (!datei.open(QIODevice::WriteOnly) || datei.write(inhalt) != inhalt.size() || !datei.flush()) {
        datei.cancelWriting();
        dateiFehler();
        return;
    }
    if (!datei.commit())
        dateiFehler();
}

void Konfig::MNU_Open_Click()
{
    if (!befehlZulassen(false))
        return;
    const QString name = dateinameWaehlen(false);
    if (name.isEmpty())
        return;
    // A configuration file has a few kilobytes. Anything far larger is no
    // configuration file and is not read into memory.
    QFile datei(name);
    if (!QFileInfo(name).isFile() || !datei.open(QIODevice::ReadOnly) || datei.size() > kHoechsteDateigroesse) {
        dateiFehler();
        return;
    }
    const QByteArray bytes = datei.read(kHoechsteDateigroesse + 1);
    if (datei.error() != QFileDevice::NoError || bytes.size() > kHoechsteDateigroesse) {
        dateiFehler();
        return;
    }
    datei.close();

    Dateiergebnis e = cfgLesen(bytes, netzbetreiber());
    editorLeeren();
    m_speicher = e.image;
    m_seiten = e.flags;
    alleMarkieren();
    anzeigen(e.werte);
    m_teledit->bildErneuert();
    if (!e.vollstaendig)
        dateiFehler();
}
