#pragma once
// A text or number field of the editor: a line edit that knows its kind of
// input, its length limit, its status-bar hint and its check-and-store step.
// Keys, pasted, dropped and composed text are filtered by the Feldwaechter
// the field is registered with; the check runs when the focus leaves it.
#include "editor/zeichenregeln.h"

#include <QLineEdit>
#include <functional>

class Feldwaechter;

class Eingabefeld : public QLineEdit {
    Q_OBJECT
public:
    // The check-and-store step. `geaendert`: the field was typed in since it got
    // the focus (or a handler wants the change recorded). Returns false to
    // refuse: the value is not taken and the focus stays in the field.
    using Pruefung = std::function<bool(bool geaendert)>;

    Eingabefeld(const QString& name, Feldart art, int grenze, QWidget* parent = nullptr);

    Feldart art() const { return m_art; }
    int grenze() const { return m_grenze; }

    void setHinweis(const QString& h) { m_hinweis = h; }
    const QString& hinweis() const { return m_hinweis; }

    void setPruefung(Pruefung p) { m_pruefung = std::move(p); }
    // Runs the check-and-store step.
    bool pruefen(bool geaendert) const { return m_pruefung ? m_pruefung(geaendert) : true; }

    void setWaechter(Feldwaechter* w) { m_waechter = w; }
    Feldwaechter* waechter() const { return m_waechter; }

protected:
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    Feldart m_art;
    int m_grenze;
    QString m_hinweis;
    Pruefung m_pruefung;
    Feldwaechter* m_waechter = nullptr;
};
