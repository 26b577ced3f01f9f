#pragma once
// The transcript of a simulated device: every byte it took in and every byte it
// sent, in order, seen from the device. Bytes of one direction that follow each
// other form one run. As text, a run is written in lines of at most 32
// hexadecimal bytes, "<- " for bytes the device received and "-> " for bytes it
// sent; connection events are lines of their own starting with "== ":
//
//   == verbunden
//   -> 06
//   <- 72
//   -> 72 00 0C FF ...
//
// With an output device attached, every finished line is written there at once,
// so a transcript file can be followed while the device runs.
#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

class Mitschrift {
public:
    enum class Richtung { Empfangen, Gesendet, Ereignis };
    struct Abschnitt {
        Richtung richtung;
        QByteArray bytes;   // Empfangen / Gesendet
        QString ereignis;   // Ereignis
    };

    static constexpr int kBytesProZeile = 32;

    void empfangen(const QByteArray& bytes) { anhaengen(Richtung::Empfangen, bytes); }
    void gesendet(const QByteArray& bytes) { anhaengen(Richtung::Gesendet, bytes); }
    void ereignis(const QString& text);

    const QList<Abschnitt>& abschnitte() const { return m_abschnitte; }
    // Every byte received / sent, in order, without the other direction.
    QByteArray empfangeneBytes() const { return m_empfangen; }
    QByteArray gesendeteBytes() const { return m_gesendet; }
    // The whole transcript as text, lines ended by "\n".
    QString text() const;
    void leeren();

    // Lines go to `ausgabe` as they are finished (nullptr: none). The device
    // must outlive the transcript or be detached.
    void setzeAusgabe(QIODevice* ausgabe);
    // Writes the unfinished last line to the output (e.g. before closing it).
    void abschliessen();

private:
    void anhaengen(Richtung r, const QByteArray& bytes);
    static QString zeile(Richtung r, const QByteArray& bytes);
    void ausgeben(const QString& zeilen);

    QList<Abschnitt> m_abschnitte;
    QByteArray m_empfangen;
    QByteArray m_gesendet;
    QIODevice* m_ausgabe = nullptr;
    qsizetype m_ausgegeben = 0;   // bytes of the last run already written as lines
    bool m_letzterOffen = false;  // the last run has bytes not yet written
};
