#pragma once
// Random valid configurations for the fault campaign: an editing session of
// random steps through the editor model (each step a control's handler as a
// user would run it; a step the model refuses is undone), saved as a *.cfg.
#include "modell/editormodell.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <random>

// The campaign's random numbers: one generator per run, from the campaign's
// seed and the run's number, so that a run can be repeated on its own.
class Zufall {
public:
    explicit Zufall(std::uint64_t saat) : m_g(saat) {}
    int zahl(int bis) { return int(std::uniform_int_distribution<int>(0, bis - 1)(m_g)); }  // 0 .. bis-1
    bool ja(double p) { return std::uniform_real_distribution<double>(0, 1)(m_g) < p; }
    std::uint32_t wort() { return std::uint32_t(m_g()); }

private:
    std::mt19937_64 m_g;
};

// The bytes of a *.cfg after up to `schritte` random editing steps.
QByteArray zufallsKonfiguration(Zufall& z, int schritte = 60);
