// gsmbv ports: COM1 to COM4 with the device each stands for and what the
// machine tells about it.
#include "cli/auftrag.h"
#include "cli/konsole.h"
#include "link/portzuordnung.h"

namespace cli {
namespace {

// One COM port: its device, then the details sysfs and /dev give, one per line.
QString portText(int com, const Portangaben& a)
{
    QString t = QStringLiteral("COM%1: %2").arg(com).arg(a.geraet);
    if (!a.vorhanden)
        return t + QStringLiteral(" (nicht vorhanden)\n");
    t += QLatin1Char('\n');
    if (!a.stabil.isEmpty())
        t += QStringLiteral("  fester Name: %1\n").arg(a.stabil);
    if (!a.treiber.isEmpty())
        t += a.adapter.isEmpty() ? QStringLiteral("  Treiber: %1\n").arg(a.treiber)
                                 : QStringLiteral("  Treiber: %1 (%2)\n").arg(a.treiber, a.adapter);
    t += a.zugriff ? QStringLiteral("  Zugriff: ja\n") : QStringLiteral("  Zugriff: nein (Gruppe %1)\n").arg(a.gruppe);
    return t;
}

class Ports final : public Auftrag {
public:
    using Auftrag::Auftrag;

    void starten() override
    {
        // COM n as the window and --port COMn map it; with a tree of its own,
        // from the ports its sysfs lists.
        const Portwurzeln w = m_t.portwurzeln.value_or(Portwurzeln{});
        const QStringList namen = m_t.portwurzeln ? sysfsPorts(w) : Portzuordnung::systemPorts();
        const Portzuordnung zuordnung([namen] { return namen; });
        QByteArray text;
        for (int com = 1; com <= 4; ++com)
            text += portText(com, portangaben(zuordnung.geraet(com), w)).toUtf8();
        ende(m_t.konsole.ergebnis(text) ? Erfolg : Ausgabe);
    }
};

} // namespace

std::unique_ptr<Auftrag> auftragPorts(const Teile& t)
{
    return std::make_unique<Ports>(t);
}

} // namespace cli
