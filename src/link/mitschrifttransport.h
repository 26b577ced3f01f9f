#pragma once
// A transport that writes every byte on the line into a transcript as it goes
// through the real one: the bytes written as "<-" (the device receives them),
// the bytes read as "->" (the device sent them), in the order the program
// handled them, and the opening and closing of the port as events. It sits
// between the link and the serial port, so the transcript shows exactly what
// went over the line, for failed runs as much as for good ones.
#include "link/transport.h"
#include "mitschrift/mitschrift.h"

#include <memory>

class MitschriftTransport : public Transport {
    Q_OBJECT
public:
    // `mitschrift` must outlive this transport.
    MitschriftTransport(std::unique_ptr<Transport> innen, Mitschrift& mitschrift, QObject* parent = nullptr);
    ~MitschriftTransport() override;

    bool oeffnen(const QString& geraet) override;
    void schliessen() override;
    bool istOffen() const override;
    bool schreiben(const QByteArray& bytes) override;
    qint64 wartend() const override;
    QByteArray lesen(qint64 hoechstens) override;
    QString letzterFehler() const override;
    Portursache ursache() const override;

private:
    std::unique_ptr<Transport> m_innen;
    Mitschrift& m_mitschrift;
    bool m_offen = false;  // opened as far as the transcript knows
};
