#pragma once
// The byte pipe to the device. The link only needs these few operations, so a
// test or another kind of port can stand in for the serial port.
#include "link/portursache.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class Transport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Transport() override = default;

    // Opens the device (a path such as "/dev/ttyUSB0"). False when it cannot be
    // opened; letzterFehler() then says why.
    virtual bool oeffnen(const QString& geraet) = 0;
    // Closes after handing what was written to the driver. Harmless when closed.
    virtual void schliessen() = 0;
    virtual bool istOffen() const = 0;
    // Hands the bytes to the driver at once. False when the port is closed or refuses.
    virtual bool schreiben(const QByteArray& bytes) = 0;
    // Bytes received and not yet read.
    virtual qint64 wartend() const = 0;
    // Up to `hoechstens` received bytes, oldest first.
    virtual QByteArray lesen(qint64 hoechstens) = 0;
    // The last error in words; empty when none.
    virtual QString letzterFehler() const = 0;
    // Why the last open failed (Unbekannt when it did not, or when the
    // transport cannot tell).
    virtual Portursache ursache() const { return {}; }

signals:
    // Received bytes are waiting.
    void datenDa();
    // The line is gone (the other end hung up, the adapter was pulled): the
    // port has been closed under its user. A device that merely keeps silent
    // is no such thing.
    void getrennt();
};
