// The values of the command line for a configuration file: read from their
// files, then applied through the editor model's setting by key.
#include "cli/auftrag.h"
#include "cli/konsole.h"
#include "modell/einstellung.h"
#include "modell/empfaengerliste.h"
#include "modell/vorgaben.h"
#include "systemfehler/ablage.h"

namespace cli {
namespace {

// A file of values is small; a larger one is not read into memory.
constexpr qint64 kHoechsteWertedatei = 1 << 20;

// The editor as the window holds it after opening the file.
Editormodell modell(const Dateiergebnis& d)
{
    Editormodell m;
    m.speicher() = d.image;
    m.seiten() = d.flags;
    m.werte() = d.werte;
    return m;
}

// Whether the lists will be stored for A1: the operator given among the
// values, else the file's.
bool fuerA1(const QList<Vorgabe>& vorgaben, const Editorwerte& w)
{
    const Einstellung* netz = Einstellung::finden(u"general.operator");
    qsizetype n = qsizetype(w.netz);
    for (const Vorgabe& v : vorgaben)
        if (Einstellung::setzbar(v.schluessel) == netz)
            if (const qsizetype i = std::max(netz->wahl.indexOf(v.text), netz->codes.indexOf(v.text)); i >= 0)
                n = i;
    return n == qsizetype(Netzbetreiber::A1);
}

// The values of --from; what is wrong with the file into `fehler`.
QList<Vorgabe> jsonLesen(const QString& pfad, QStringList& fehler)
{
    const ablage::Inhalt d = ablage::einlesen(pfad, kHoechsteWertedatei);
    if (!d) {
        fehler.append(pfad + QStringLiteral(": ") + d.fehler);
        return {};
    }
    const Jsonvorgaben j = vorgabenAusJson(d.bytes);
    for (const Ablehnung& a : j.fehler)
        fehler.append(pfad + QStringLiteral(": ") + (a.schluessel.isEmpty() ? a.grund : a.text()));
    return j.werte;
}

// The list of --empfaenger LISTE=DATEI.csv, or none with every refused row in `fehler`.
std::optional<Vorgabe> csvLesen(const QString& angabe, bool a1, QStringList& fehler)
{
    const QString pfad = angabe.section(QLatin1Char('='), 1);
    const ablage::Inhalt d = ablage::einlesen(pfad, kHoechsteWertedatei);
    if (!d) {
        fehler.append(pfad + QStringLiteral(": ") + d.fehler);
        return std::nullopt;
    }
    const empfaengerliste::Gelesen g = empfaengerliste::ausCsv(d.bytes, a1);
    for (const empfaengerliste::Zeilenfehler& f : g.fehler)
        fehler.append(pfad + QStringLiteral(", ") + f.text());
    if (!g.fehler.isEmpty())
        return std::nullopt;
    return Vorgabe{angabe.section(QLatin1Char('='), 0, 0), {}, g.liste};
}

QList<Vorgabe> alsVorgaben(const QStringList& zuweisungen)
{
    QList<Vorgabe> v;
    for (const QString& z : zuweisungen)
        v.append({z.section(QLatin1Char('='), 0, 0), z.section(QLatin1Char('='), 1), {}});
    return v;
}

// The values into `datei` through the editor's rules, all or none; the refusals.
QStringList anwenden(const QList<Vorgabe>& vorgaben, Dateiergebnis& datei)
{
    QStringList fehler;
    Editormodell m = modell(datei);
    for (const Ablehnung& x : vorgabenAnwenden(m, vorgaben))
        fehler.append(x.text());
    if (fehler.isEmpty())
        datei = {m.speicher(), m.seiten(), m.werte(), datei.zeilen, datei.vollstaendig, datei.anpassungen};
    return fehler;
}

} // namespace

bool werteSetzen(const Aufruf& a, Konsole& konsole, Dateiergebnis& datei)
{
    QStringList fehler;
    QList<Vorgabe> vorgaben;
    if (!a.werteDatei.isEmpty())
        vorgaben = jsonLesen(a.werteDatei, fehler);
    const QList<Vorgabe> zuweisungen = alsVorgaben(a.zuweisungen);
    const bool a1 = fuerA1(vorgaben + zuweisungen, datei.werte);
    for (const QString& l : a.listen)
        if (const std::optional<Vorgabe> v = csvLesen(l, a1, fehler))
            vorgaben.append(*v);
    vorgaben += zuweisungen;
    if (fehler.isEmpty())
        fehler = anwenden(vorgaben, datei);
    for (const QString& f : fehler)
        konsole.hinweis(f);
    return fehler.isEmpty();
}

QStringList zuweisungenAnwenden(const QStringList& zuweisungen, Dateiergebnis& datei)
{
    return anwenden(alsVorgaben(zuweisungen), datei);
}

} // namespace cli
