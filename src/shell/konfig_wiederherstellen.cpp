// The main window's restore of a backup ("Sicherungen ..." > "Wiederherstellen")
// and its backup folder ("Einstellungen" > "Sicherungsordner ..."). A restore
// writes a backup's memory back the way gsmbv restore does: the device read
// and kept as a backup first, then all 13 pages, then the read back compared
// byte for byte. It never touches the editor.
#include "shell/konfig.h"

#include "backup/sicherung.h"
#include "cfgfile/dekodieren.h"
#include "linktext/linktext.h"
#include "linktext/pruefung.h"

#include <QDir>
#include <QFileInfo>

// One restore under way: the memory to write and what the reads brought.
struct Konfig::Rueckschrieb {
    QByteArray speicher;      // the backup's memory, pages 0..12
    Konfigspeicher vorher;    // the device's configuration before, decoded
    QByteArray vorherBytes;   // ... and as it came
    QByteArray zurueck;       // the device read back after the write
};

void Konfig::MNU_Sicherungsordner_Click()
{
    // For this run: the program keeps no settings of its own.
    const QString ordner = Door::aktuell().dateiOeffnen(
        {QStringLiteral("Sicherungsordner"), QString(), sicherungsOrdner(), QString(), true});
    if (ordner.isEmpty())
        return;
    setSicherungsOrdner(QDir::cleanPath(ordner));
    hinweisSetzen(QStringLiteral("Sicherungsordner für diese Sitzung: %1").arg(QDir::toNativeSeparators(sicherungsOrdner())));
}

void Konfig::sicherungWiederherstellen(const QString& pfad, const QString& benennung)
{
    if (!befehlZulassen(true, false))
        return;
    auto r = std::make_shared<Rueckschrieb>();
    const sicherung::Speicher s = sicherung::speicherLesen(pfad);
    if (!s) {
        dateiHinweis(QStringLiteral("Nicht wiederhergestellt, ") + s.fehler, pfad);
        dateiFehler();
        return;
    }
    r->speicher = s.bytes;
    const QString frage = QStringLiteral("Sicherung %1 in das Gerät an COM %2 (%3) zurückschreiben?\n\n"
                                         "Alle 13 Seiten des Geräts werden überschrieben; sein jetziger Inhalt wird "
                                         "vorher gesichert.")
                              .arg(benennung)
                              .arg(m_verbindung->port())
                              .arg(QDir::toNativeSeparators(m_verbindung->geraet()));
    if (Door::aktuell().meldung(frage, Door::Icon::Frage, Door::Knoepfe::JaNein, linktext::titel()) != Door::Antwort::Ja)
        return;
    // The device's content first, kept as the backup before a write.
    m_verbindung->konfigurationLesen(
        [r](const QByteArray& bytes) {
            r->vorherBytes = bytes;
            r->vorher = geraetebild(bytes);
            return dekodieren(r->vorher).has_value();
        },
        [this, r](const Vorgangsbericht& e) {
            if (e.ausgang != Ausgang::Erfolg)
                return rueckschriebEnde(e, QStringLiteral("Gerät nicht beschrieben"));
            Konfigspeicher bild = geraetebild(r->speicher);
            sichern(r->vorher, r->vorherBytes, sicherung::listenname(bild));
            rueckschriebSchreiben(r);
        });
}

void Konfig::rueckschriebSchreiben(const std::shared_ptr<Rueckschrieb>& r)
{
    Seitenaenderung alle{};
    Alles_markieren(alle);
    m_verbindung->konfigurationSchreiben(geraetebild(r->speicher), alle, [this, r](const Vorgangsbericht& e) {
        if (e.ausgang != Ausgang::Erfolg)
            return rueckschriebEnde(e, {});
        rueckschriebPruefen(r);
    });
}

void Konfig::rueckschriebPruefen(const std::shared_ptr<Rueckschrieb>& r)
{
    m_verbindung->konfigurationLesen(
        [r](const QByteArray& bytes) {
            r->zurueck = bytes;
            return true;
        },
        [this, r](const Vorgangsbericht& e) {
            if (e.ausgang != Ausgang::Erfolg)
                return rueckschriebEnde(e, linktext::nichtGeprueft());
            const linktext::Pruefbefund b = linktext::pruefen(r->speicher, r->zurueck);
            if (!m_geschlossen) {
                hinweisSetzen(b ? QStringLiteral("Konfiguration geschrieben und geprüft: 13 Seiten") : b.detail);
                if (!b) {
                    Door::aktuell().beep();
                    Door::aktuell().meldung(b.meldung, Door::Icon::Kritisch, Door::Knoepfe::Ok, linktext::titel());
                }
            }
            emit geraetBeendet(b ? Ausgang::Erfolg : Ausgang::Uebertragungsfehler);
        });
}

void Konfig::rueckschriebEnde(const Vorgangsbericht& e, const QString& folge)
{
    // The operation's box and detail as for any device command; then what
    // became of the device, after the detail.
    geraetEnde(e);
    if (!m_geschlossen && !folge.isEmpty())
        hinweisSetzen(linktext::detail(e).isEmpty() ? folge : m_hinweis + QStringLiteral(" – ") + folge);
    emit geraetBeendet(e.ausgang);
}
