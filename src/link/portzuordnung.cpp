#include "link/portzuordnung.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace {
bool istUsb(const QString& name)
{
    const QString n = name.section(QLatin1Char('/'), -1);
    return n.startsWith(QLatin1String("ttyUSB")) || n.startsWith(QLatin1String("ttyACM"));
}

// Name order with a trailing number compared by value: ttyS2 < ttyS10.
bool namensfolge(const QString& a, const QString& b)
{
    auto teilen = [](const QString& s) {
        qsizetype i = s.size();
        while (i > 0 && s.at(i - 1).isDigit())
            --i;
        return std::pair{s.left(i), s.mid(i)};
    };
    const auto [sa, za] = teilen(a);
    const auto [sb, zb] = teilen(b);
    if (sa != sb)
        return sa < sb;
    if (za.size() != zb.size())  // no leading zeros in device numbers: shorter is smaller
        return za.size() < zb.size();
    return za < zb;
}

QString pfad(const QString& name)
{
    return name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
}
} // namespace

QStringList portsOrdnen(const QStringList& namen)
{
    QStringList usb, andere;
    for (const QString& n : namen)
        (istUsb(n) ? usb : andere).append(n);
    std::sort(usb.begin(), usb.end(), namensfolge);
    std::sort(andere.begin(), andere.end(), namensfolge);
    return usb + andere;
}

Portzuordnung::Portzuordnung() : m_liste(&Portzuordnung::systemPorts) {}

Portzuordnung::Portzuordnung(Liste liste) : m_liste(std::move(liste)) {}

QString Portzuordnung::geraet(int com) const
{
    if (const auto it = m_fest.find(com); it != m_fest.end())
        return *it;
    if (com < 1)
        return {};
    // The ports not pinned take the machine's ports in COM order, leaving out
    // those pinned: with COM 1 pinned, COM 2..4 are the machine's first three.
    QStringList frei;
    for (const QString& name : portsOrdnen(m_liste ? m_liste() : QStringList()))
        if (!m_fest.values().contains(pfad(name)))
            frei.append(name);
    qsizetype vorher = 0;
    for (int c = 1; c < com; ++c)
        vorher += m_fest.contains(c) ? 0 : 1;
    if (vorher < frei.size())
        return pfad(frei.at(vorher));
    return QStringLiteral("/dev/ttyS%1").arg(com - 1);
}

void Portzuordnung::festlegen(int com, const QString& pfad)
{
    if (pfad.isEmpty())
        m_fest.remove(com);
    else
        m_fest.insert(com, pfad);
}

QStringList Portzuordnung::systemPorts()
{
    QStringList namen;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& p : ports)
        namen.append(p.portName());
    return namen;
}
