#pragma once
// The transport on a real serial port: 9600 bit/s, 8 data bits, no parity,
// 1 stop bit, no flow control, DTR raised, a receive buffer of 1024 bytes.
#include "link/transport.h"

#include <QSerialPort>

class SeriellerTransport : public Transport {
    Q_OBJECT
public:
    explicit SeriellerTransport(QObject* parent = nullptr);
    ~SeriellerTransport() override;

    bool oeffnen(const QString& geraet) override;
    void schliessen() override;
    bool istOffen() const override;
    bool schreiben(const QByteArray& bytes) override;
    qint64 wartend() const override;
    QByteArray lesen(qint64 hoechstens) override;
    QString letzterFehler() const override;
    Portursache ursache() const override { return m_ursache; }

    // The folders searched for other programs' lock files (tests).
    void setSperrOrdner(const QStringList& ordner) { m_sperrOrdner = ordner; }

    // True when the driver accepted low-latency mode at the last open
    // (a pseudo-terminal or an adapter without it refuses; that is fine).
    bool niedrigeLatenz() const { return m_niedrigeLatenz; }

private:
    void portFehler(QSerialPort::SerialPortError fehler);

    QSerialPort m_port;
    QString m_fehler;
    Portursache m_ursache;
    QStringList m_sperrOrdner = portursache::sperrOrdner();
    bool m_niedrigeLatenz = false;
};
