#pragma once
// Which device stands for COM 1..4. The machine's serial ports are put in a
// fixed order: USB adapters (ttyUSB*, ttyACM*) first, then the others, each
// group in name order with numbers compared as numbers (ttyS2 before ttyS10).
// COM n is the n-th port of that order; where the machine has fewer ports,
// COM n is /dev/ttyS(n-1). A port can be pinned to an explicit device path
// (the simulated device of the demo mode, tests, a path given on the command line);
// the ports not pinned then take the machine's ports in the same order, leaving
// out any pinned path, so that no machine port is skipped or named twice.
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

// The port names in COM order (names as the system lists them, e.g. "ttyUSB0").
QStringList portsOrdnen(const QStringList& namen);

class Portzuordnung {
public:
    using Liste = std::function<QStringList()>;

    // Works on the machine's serial-port list.
    Portzuordnung();
    // Works on the given list (tests).
    explicit Portzuordnung(Liste liste);

    // The device path for COM n: the pinned path, else the mapping.
    QString geraet(int com) const;
    // Pins COM n to a path; an empty path removes the pin.
    void festlegen(int com, const QString& pfad);
    bool festgelegt(int com) const { return m_fest.contains(com); }

    // The names of the machine's serial ports, unordered.
    static QStringList systemPorts();

private:
    Liste m_liste;
    QMap<int, QString> m_fest;
};
