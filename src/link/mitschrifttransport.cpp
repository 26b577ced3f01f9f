#include "link/mitschrifttransport.h"

MitschriftTransport::MitschriftTransport(std::unique_ptr<Transport> innen, Mitschrift& mitschrift, QObject* parent)
    : Transport(parent), m_innen(std::move(innen)), m_mitschrift(mitschrift)
{
    connect(m_innen.get(), &Transport::datenDa, this, &Transport::datenDa);
    connect(m_innen.get(), &Transport::getrennt, this, &Transport::getrennt);
}

MitschriftTransport::~MitschriftTransport()
{
    disconnect(m_innen.get(), nullptr, this, nullptr);
    schliessen();
}

bool MitschriftTransport::oeffnen(const QString& geraet)
{
    if (m_innen->istOffen())
        return true;
    if (!m_innen->oeffnen(geraet)) {
        m_mitschrift.ereignis(QStringLiteral("Port %1 nicht geöffnet: %2").arg(geraet, m_innen->letzterFehler()));
        return false;
    }
    m_offen = true;
    m_mitschrift.ereignis(QStringLiteral("Port %1 geöffnet").arg(geraet));
    return true;
}

void MitschriftTransport::schliessen()
{
    if (!m_offen)
        return;
    m_offen = false;
    // The port may have been closed under the link already (the other end hung up).
    const bool warOffen = m_innen->istOffen();
    m_innen->schliessen();
    const QString grund = m_innen->letzterFehler();
    m_mitschrift.ereignis(warOffen || grund.isEmpty() ? QStringLiteral("Port geschlossen")
                                                     : QStringLiteral("Port geschlossen (%1)").arg(grund));
}

bool MitschriftTransport::istOffen() const { return m_innen->istOffen(); }

bool MitschriftTransport::schreiben(const QByteArray& bytes)
{
    if (!m_innen->schreiben(bytes)) {
        m_mitschrift.ereignis(QStringLiteral("nicht gesendet (%1 Bytes): %2")
                                  .arg(bytes.size())
                                  .arg(m_innen->istOffen() ? m_innen->letzterFehler() : QStringLiteral("Port geschlossen")));
        return false;
    }
    m_mitschrift.empfangen(bytes);
    return true;
}

qint64 MitschriftTransport::wartend() const { return m_innen->wartend(); }

QByteArray MitschriftTransport::lesen(qint64 hoechstens)
{
    const QByteArray b = m_innen->lesen(hoechstens);
    m_mitschrift.gesendet(b);
    return b;
}

QString MitschriftTransport::letzterFehler() const { return m_innen->letzterFehler(); }

Portursache MitschriftTransport::ursache() const { return m_innen->ursache(); }
