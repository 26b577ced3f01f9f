// The main window's file commands: saving the configuration as a "*.cfg"
// file and opening one (from the file dialog, from the list of backups or
// named at start-up), and printing the configuration sheet. Save and open
// share one file dialog that remembers the last name chosen.
#include "shell/konfig.h"

#include "backup/sicherung.h"
#include "cfgfile/cfgdatei.h"
#include "cfgfile/cfgform.h"
#include "cfgfile/dateilesen.h"
#include "editor/editorkontext.h"
#include "editor/feldwaechter.h"
#include "editor/teledit.h"
#include "shell/sicherungen.h"
#include "systemfehler/ablage.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>

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
// does). Empty: the command refused or the dialog cancelled. Saving is
// allowed while a device operation runs and carries the field being edited;
// opening replaces the editor, so a field's unfinished value neither stops
// it nor, once a file is loaded, is checked later, and it is refused while
// an operation runs (the operation's end would overwrite the file's content).
QString Konfig::dateinameWaehlen(bool speichern)
{
    if (!befehlZulassen(!speichern, speichern))
        return {};
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
    // Replaced whole or left as it was, with the permissions the user's file
    // has (a new one: the usual ones). A folder that takes no new file (while
    // the file itself may be written) gets the file overwritten in place.
    if (!ablage::dateiErsetzen(name, cfgSchreiben(m_modell.speicher()), std::nullopt, true).isEmpty())
        dateiFehler();
}

void Konfig::MNU_Open_Click()
{
    const QString name = dateinameWaehlen(false);
    if (name.isEmpty())
        return;
    dateiLaden(name);
}

bool Konfig::dateiOeffnen(const QString& pfad)
{
    if (!befehlZulassen(true, false))
        return false;
    m_dateiname = QFileInfo(pfad).absoluteFilePath();
    return dateiLaden(pfad);
}

void Konfig::dateiHinweis(const QString& ursache, const QString& pfad)
{
    const QFileInfo fi(pfad);
    hinweisSetzen(QStringLiteral("%1 – %2").arg(ursache, fi.fileName()), QDir::toNativeSeparators(fi.absoluteFilePath()));
}

namespace {
// Why bytes are no configuration file, for the status bar.
QString keineKonfiguration(const Formbefund& b)
{
    const bool fehlt = b.grund.startsWith(QLatin1String("fehlt"));
    return QStringLiteral("Keine Konfigurationsdatei, Zeile %1%2%3").arg(b.zeile).arg(fehlt ? QStringLiteral(" ") : QStringLiteral(": "), b.grund);
}
} // namespace

bool Konfig::dateiLaden(const QString& name, bool nurGanze)
{
    // A missing or unreadable file, a folder or a file past 1 MiB (and with
    // `nurGanze` one that is no configuration file): the file error, the
    // editor as it was. The status bar names the cause and the file.
    const Dateiinhalt datei = dateiLesen(name);
    const Formbefund befund = datei ? cfgFormPruefen(datei.bytes) : Formbefund{};
    if (!datei || (nurGanze && !befund.passt())) {
        dateiHinweis(datei ? keineKonfiguration(befund) : QStringLiteral("Datei nicht geöffnet, ") + datei.fehler, name);
        dateiFehler();
        return false;
    }

    // The reader fills the model: editor emptied, every marker shown, pages
    // 0..12 flagged, the file's settings; the controls then show it.
    m_waechter->verwerfen();
    m_kontext->Feldgeaendert = false;
    const Ladung l = cfgLaden(m_modell, datei.bytes);
    zeigen();
    verlaufBeginnen();
    m_teledit->bildErneuert();
    herkunftMerken(QStringLiteral("Datei %1").arg(QFileInfo(name).absoluteFilePath())
                   + (l.vollstaendig ? QString() : QStringLiteral(" (nur %1 von 13 Zeilen)").arg(l.zeilen)));
    if (!l.vollstaendig) {
        dateiHinweis(keineKonfiguration(befund), name);
        dateiFehler();
    }
    return l.vollstaendig;
}

// --- Backups -------------------------------------------------------------------

QString Konfig::sicherungsOrdner() const
{
    return m_sicherungsOrdner.value_or(sicherung::ordner());
}

Sicherungen* Konfig::sicherungen() const
{
    return m_sicherungen;
}

void Konfig::sichern(const Konfigspeicher& bild, const QByteArray& speicher, const std::optional<QString>& vorSchreiben)
{
    // The read itself has succeeded whatever happens here; the status bar
    // says where the backup is, or why there is none.
    const sicherung::Versuch s = sicherung::anlegen({bild, speicher, vorSchreiben}, sicherungsOrdner());
    if (s)
        hinweisSetzen(QStringLiteral("Konfiguration gesichert: %1").arg(QFileInfo(s.pfad).fileName()),
                      QDir::toNativeSeparators(s.pfad));
    else
        dateiHinweis(QStringLiteral("Konfiguration nicht gesichert, ") + s.grund, s.ort);
}

void Konfig::MNU_Sicherungen_Click()
{
    if (!befehlZulassen(true, false))
        return;
    // Modal for the whole program, without an event loop of its own.
    if (!m_sicherungen) {
        m_sicherungen = new Sicherungen(sicherungsOrdner(), this);
        m_sicherungen->setWindowModality(Qt::ApplicationModal);
        connect(m_sicherungen, &QDialog::finished, m_sicherungen, &QObject::deleteLater);
        // A backup is taken whole or not at all: one that is no configuration
        // file (any more) leaves the editor as it was.
        connect(m_sicherungen, &Sicherungen::oeffnen, this, [this](const QString& pfad) { dateiLaden(pfad, true); });
        connect(m_sicherungen, &Sicherungen::wiederherstellen, this, &Konfig::sicherungWiederherstellen);
    }
    m_sicherungen->show();
    m_sicherungen->raise();
    m_sicherungen->activateWindow();
}

// --- The configuration sheet -----------------------------------------------------

QList<blatt::Abschnitt> Konfig::einstellungen() const
{
    return blatt::einstellungen(m_modell.speicher(), werte());
}

void Konfig::herkunftMerken(const QString& herkunft)
{
    m_herkunft = herkunft;
    m_herkunftStand = blatt::zeilen(einstellungen());
}

QString Konfig::herkunft() const
{
    if (blatt::zeilen(einstellungen()) != m_herkunftStand)
        return m_herkunft + QStringLiteral(", seither geändert");
    return m_herkunft;
}

blatt::Kopf Konfig::blattKopf() const
{
    return {werte().anlagenbezeichnung, m_uhr().date(), herkunft()};
}

void Konfig::MNU_Drucken_Click()
{
    // While a device read fills the editor there is nothing whole to print.
    // Like saving, printing carries the focused field's value into the image
    // first, so the sheet shows what a write would send.
    if (!befehlZulassen(true, true))
        return;
    const blatt::Kopf kopf = blattKopf();
    QPrinter drucker(QPrinter::HighResolution);
    blatt::seiteEinrichten(drucker);
    drucker.setDocName(QStringLiteral("Konfiguration %1").arg(kopf.anlage).trimmed());
    if (!Door::aktuell().druckdialog(drucker))
        return;
    if (blatt::zeichnen(drucker, kopf, einstellungen()) == 0)
        Door::aktuell().meldung(textDruckfehler(), Door::Icon::Kritisch, Door::Knoepfe::Ok,
                                QStringLiteral("GSM Boravilon"));
}
