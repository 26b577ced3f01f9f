#pragma once
// What the machine tells about a serial port: the stable name under
// /dev/serial/by-id/ that points to it, its driver and the adapter it belongs
// to (from /sys/class/tty/<name>/device), and whether this user may open it
// for reading and writing. The roots of /sys and /dev can be given, so that a
// test works on a tree of its own.
#include <QString>
#include <QStringList>

struct Portwurzeln {
    QString sys = QStringLiteral("/sys");
    QString dev = QStringLiteral("/dev");
};

struct Portangaben {
    QString geraet;          // as asked, e.g. "/dev/ttyUSB0"
    bool vorhanden = false;  // the device node exists
    QString stabil;          // "/dev/serial/by-id/..." pointing to it, or ""
    QString treiber;         // e.g. "ftdi_sio", or ""
    QString adapter;         // e.g. "FTDI FT232R USB UART" (USB adapters), or ""
    bool zugriff = false;    // this user may open it for reading and writing
    QString gruppe;          // the group that may open it ("dialout" for a root-owned node)
};

// `geraet` is a path under /dev ("/dev/ttyUSB0"); it is looked up under the roots.
Portangaben portangaben(const QString& geraet, const Portwurzeln& w = {});

// The tty names that sysfs lists with a driver (ttyUSB0, ttyS0, ...), unordered.
QStringList sysfsPorts(const Portwurzeln& w);
