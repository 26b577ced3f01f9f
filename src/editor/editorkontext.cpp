#include "editor/editorkontext.h"

#include "door/abweisung.h"
#include "editor/eingabefeld.h"

#include <QLabel>
#include <QWidget>

Editorkontext::Editorkontext(Editormodell& m, QObject* parent) : QObject(parent), m_modell(m) {}

void Editorkontext::markerZeigen()
{
    static const QString kGeaendert = QStringLiteral("geändert");
    for (int i = 0; i < kMarker; ++i) {
        const bool an = m_modell.marker(i);
        if (QLabel* l = m_marker[std::size_t(i)])
            l->setHidden(!an);
        for (const auto& [w, eigene] : m_gruppe[std::size_t(i)]) {
            const QString b = !an ? eigene : eigene.isEmpty() ? kGeaendert : eigene + QStringLiteral(", ") + kGeaendert;
            if (w->accessibleDescription() != b)
                w->setAccessibleDescription(b);
        }
    }
}

void Editorkontext::markerGruppe(int i, const QList<QWidget*>& steuerelemente)
{
    auto& gruppe = m_gruppe[std::size_t(i)];
    gruppe.clear();
    for (QWidget* w : steuerelemente)
        gruppe.append({w, w->accessibleDescription()});
    markerZeigen();
}

bool Editorkontext::markerSichtbar(int marker) const
{
    if (marker < 0 || marker >= kMarker || !m_marker[std::size_t(marker)])
        return false;
    return !m_marker[std::size_t(marker)]->isHidden();
}

QLabel* Editorkontext::markerErzeugen(int i, QWidget* parent)
{
    auto* l = new QLabel(QStringLiteral("*"), parent);
    l->setObjectName(QStringLiteral("Aenderung_%1").arg(i));
    l->setAccessibleName(QStringLiteral("geändert"));
    QFont f(QStringLiteral("Arial Black"));
    f.setPointSize(12);
    f.setBold(true);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(0xFF, 0x00, 0x00));
    l->setPalette(p);
    l->setStyleSheet(QStringLiteral("color: #FF0000;"));
    // The marker keeps its place when hidden, so showing it moves nothing.
    QSizePolicy sp = l->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    l->setSizePolicy(sp);
    l->setHidden(!m_modell.marker(i));
    m_marker[std::size_t(i)] = l;
    return l;
}

void Editorkontext::feldAnmelden(Feld f, Eingabefeld* e)
{
    m_felder[f] = e;
    e->setPruefung([this, f, e](bool geaendert) { return folgen(m_modell.Validate(f, e->text(), geaendert)); });
}

Eingabefeld* Editorkontext::feld(Feld f) const
{
    const auto it = m_felder.find(f);
    return it == m_felder.end() ? nullptr : it->second;
}

bool Editorkontext::zeigtModell(const Eingabefeld* e) const
{
    for (const auto& [f, feld] : m_felder)
        if (feld == e)
            return e->text() == Editormodell::text(m_modell.werte(), f);
    return false;
}

bool Editorkontext::folgen(const Folge& w)
{
    if (w.marker >= 0)
        markerZeigen();
    for (const Einwand& e : w.einwaende)
        abweisen(e.grund, e.feld ? feld(*e.feld) : nullptr);
    // A refused value is no step: what it left (the text shown, a marker)
    // goes with the step that takes the corrected value.
    if (m_schritte == 0 && w.angenommen)
        festhalten();
    return w.angenommen;
}

void Editorkontext::festhalten()
{
    if (m_modell.festhalten())
        emit verlaufGeaendert();
}

void textZeigen(QLineEdit* feld, const QString& text)
{
    if (feld->text() != text)
        feld->setText(text);
}
