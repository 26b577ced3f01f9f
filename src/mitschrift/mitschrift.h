#pragma once
// The transcript of a serial line: every byte the device took in and every byte
// it sent, in order, seen from the device. The simulated device writes it of
// itself, gsmbv --transcript of the line it uses: both in this one format.
// Bytes of one direction that follow each other form one run. As text, a run is
// written in lines of at most 32 hexadecimal bytes, "<- " for bytes the device
// received (the program sent) and "-> " for bytes it sent; connection events
// are lines of their own starting with "== ":
//
//   == verbunden
//   -> 06
//   <- 72
//   -> 72 00 0C FF ...
//
// With a clock set, every line begins with the time of day of its first byte
// (or of its event), to the millisecond: "14:05:09.123 -> 06".
//
// With an output device attached, every finished line is written there at once,
// so a transcript file can be followed while the device runs.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QTime>
#include <functional>

class QIODevice;

class Mitschrift {
public:
    enum class Richtung { Empfangen, Gesendet, Ereignis };
    struct Abschnitt {
        Richtung richtung;
        QByteArray bytes;    // Empfangen / Gesendet
        QString ereignis;    // Ereignis
        QList<QTime> zeiten; // with a clock: the time of each line's first byte (of the event)
    };
    using Uhr = std::function<QTime()>;

    static constexpr int kBytesProZeile = 32;

    void empfangen(const QByteArray& bytes) { anhaengen(Richtung::Empfangen, bytes); }
    void gesendet(const QByteArray& bytes) { anhaengen(Richtung::Gesendet, bytes); }
    void ereignis(const QString& text);

    // Lines from now on begin with the time `uhr` gives when their first byte
    // comes (empty: no times, as the simulated device writes its transcript).
    void setzeUhr(Uhr uhr) { m_uhr = std::move(uhr); }
    // The time as it begins a line: "14:05:09.123 ".
    static QString zeitText(const QTime& t);

    const QList<Abschnitt>& abschnitte() const { return m_abschnitte; }
    // Every byte received / sent, in order, without the other direction.
    QByteArray empfangeneBytes() const { return m_empfangen; }
    QByteArray gesendeteBytes() const { return m_gesendet; }
    void leeren();

    // Lines go to `ausgabe` as they are finished (nullptr: none). The device
    // must outlive the transcript or be detached.
    void setzeAusgabe(QIODevice* ausgabe);
    // Writes the unfinished last line to the output (e.g. before closing it).
    void abschliessen();
    // False once a line could not be written to the output.
    bool ausgabeOk() const { return m_ausgabeOk; }

private:
    void anhaengen(Richtung r, const QByteArray& bytes);
    static QString zeile(Richtung r, const QByteArray& bytes, const QTime& zeit);
    void ausgeben(const QString& zeilen);

    QList<Abschnitt> m_abschnitte;
    QByteArray m_empfangen;
    QByteArray m_gesendet;
    Uhr m_uhr;
    QIODevice* m_ausgabe = nullptr;
    qsizetype m_ausgegeben = 0;   // bytes of the last run already written as lines
    bool m_letzterOffen = false;  // the last run has bytes not yet written
    bool m_ausgabeOk = true;
};
