#include "mitschrift/mitschrift.h"

#include "image/felder.h"

#include <QFileDevice>
#include <QIODevice>

QString Mitschrift::zeitText(const QTime& t)
{
    return t.isValid() ? t.toString(QStringLiteral("HH:mm:ss.zzz ")) : QString();
}

void Mitschrift::ereignis(const QString& text)
{
    abschliessen();
    const QTime zeit = m_uhr ? m_uhr() : QTime();
    m_abschnitte.append({Richtung::Ereignis, {}, text, zeit.isValid() ? QList<QTime>{zeit} : QList<QTime>{}});
    ausgeben(zeitText(zeit) + QStringLiteral("== ") + text + QLatin1Char('\n'));
}

void Mitschrift::anhaengen(Richtung r, const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    (r == Richtung::Empfangen ? m_empfangen : m_gesendet).append(bytes);
    if (m_abschnitte.isEmpty() || m_abschnitte.last().richtung != r) {
        abschliessen();
        m_abschnitte.append({r, {}, {}, {}});
        m_ausgegeben = 0;
    }
    Abschnitt& a = m_abschnitte.last();
    if (m_uhr) {
        // Every line that begins with these bytes gets the time they came.
        const QTime jetzt = m_uhr();
        const qsizetype zeilen = (a.bytes.size() + bytes.size() + kBytesProZeile - 1) / kBytesProZeile;
        while (a.zeiten.size() < zeilen)
            a.zeiten.append(jetzt);
    }
    a.bytes.append(bytes);
    // Full lines go out at once; the rest waits for more bytes or the end of the run.
    QString zeilen;
    while (a.bytes.size() - m_ausgegeben >= kBytesProZeile) {
        zeilen += zeile(r, a.bytes.mid(m_ausgegeben, kBytesProZeile), a.zeiten.value(m_ausgegeben / kBytesProZeile));
        m_ausgegeben += kBytesProZeile;
    }
    m_letzterOffen = a.bytes.size() > m_ausgegeben;
    ausgeben(zeilen);
}

void Mitschrift::abschliessen()
{
    if (!m_letzterOffen || m_abschnitte.isEmpty())
        return;
    const Abschnitt& a = m_abschnitte.last();
    ausgeben(zeile(a.richtung, a.bytes.mid(m_ausgegeben), a.zeiten.value(m_ausgegeben / kBytesProZeile)));
    m_ausgegeben = a.bytes.size();
    m_letzterOffen = false;
}

QString Mitschrift::zeile(Richtung r, const QByteArray& bytes, const QTime& zeit)
{
    QString z = zeitText(zeit) + (r == Richtung::Empfangen ? QStringLiteral("<-") : QStringLiteral("->"));
    for (char c : bytes)
        z += QLatin1Char(' ') + zweistellig(std::uint8_t(c), 16);
    return z + QLatin1Char('\n');
}

void Mitschrift::leeren()
{
    abschliessen();
    m_abschnitte.clear();
    m_empfangen.clear();
    m_gesendet.clear();
    m_ausgegeben = 0;
    m_letzterOffen = false;
}

void Mitschrift::setzeAusgabe(QIODevice* ausgabe)
{
    abschliessen();
    m_ausgabe = ausgabe;
    m_ausgabeOk = true;
}

void Mitschrift::ausgeben(const QString& zeilen)
{
    if (!m_ausgabe || zeilen.isEmpty())
        return;
    const QByteArray b = zeilen.toUtf8();
    bool ok = m_ausgabe->write(b) == b.size();
    // A file is flushed line by line so that it can be followed while the
    // device runs, and so that it holds every line when the program ends abruptly.
    if (auto* f = qobject_cast<QFileDevice*>(m_ausgabe))
        ok = f->flush() && ok;
    if (!ok)
        m_ausgabeOk = false;
}
