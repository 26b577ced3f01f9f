#pragma once
// The configuration image: a copy of the device's configuration memory,
// 32 pages x 256 cells. A cell holds a byte or is unset (before the default
// content is applied, or behind a device read that delivered fewer bytes).
#include <QByteArray>
#include <QString>
#include <array>
#include <bitset>
#include <cstdint>
#include <optional>

constexpr int kSeiten = 32;
constexpr int kZellen = 256;
constexpr int kGeraeteSeiten = 13;                       // pages 0..12 live in the device
constexpr int kGeraeteBytes = kGeraeteSeiten * kZellen;  // 3328
constexpr int kMarker = 23;                              // Aenderung(0) .. Aenderung(22)

class Konfigspeicher {
public:
    Konfigspeicher() { m_bytes.fill(0xFF); }

    static bool gueltig(int seite, int offset)
    {
        return seite >= 0 && seite < kSeiten && offset >= 0 && offset < kZellen;
    }

    bool gesetzt(int seite, int offset) const { return gueltig(seite, offset) && m_gesetzt[idx(seite, offset)]; }
    std::optional<std::uint8_t> zelle(int seite, int offset) const
    {
        if (!gesetzt(seite, offset))
            return std::nullopt;
        return m_bytes[idx(seite, offset)];
    }
    // The cell's byte, or `wennLeer` when the cell is unset or outside the image.
    std::uint8_t byte(int seite, int offset, std::uint8_t wennLeer = 0xFF) const
    {
        return zelle(seite, offset).value_or(wennLeer);
    }
    // Writes outside the image are ignored: nothing is ever written past a page.
    void setze(int seite, int offset, std::uint8_t b)
    {
        if (!gueltig(seite, offset))
            return;
        m_bytes[idx(seite, offset)] = b;
        m_gesetzt.set(idx(seite, offset));
    }
    void leere(int seite, int offset)
    {
        if (gueltig(seite, offset))
            m_gesetzt.reset(idx(seite, offset));
    }
    void alleLeeren() { m_gesetzt.reset(); m_bytes.fill(0xFF); }

    // A whole page as bytes; unset cells as 0xFF (how the device receives them).
    QByteArray seite(int seite) const;
    // Pages 0..12 in serial order (3328 bytes), unset cells as 0xFF.
    QByteArray geraeteBytes() const;

    bool operator==(const Konfigspeicher& o) const = default;

private:
    static int idx(int seite, int offset) { return seite * kZellen + offset; }
    std::array<std::uint8_t, kSeiten * kZellen> m_bytes;
    std::bitset<kSeiten * kZellen> m_gesetzt;
};

// One page-changed flag per page; the device write sends exactly the flagged pages.
using Seitenaenderung = std::array<bool, kSeiten>;

enum class Netzbetreiber { A1, TMobile, Andere };

// Fill the whole image with its default content.
void Grundeinstellung(Konfigspeicher& k);

// The operator choice derived from the first recipient of line 1 (page 1).
Netzbetreiber Netzbetreiber_erkennen(const Konfigspeicher& k);

// Flag pages 0..12 as changed (the window also shows all markers).
void Alles_markieren(Seitenaenderung& s);
// Clear every flag (the window also hides all markers and selects tab 0).
void Markierungen_loeschen(Seitenaenderung& s);

// Caption shown in the progress window while page `seite` is written; empty for 13..31.
QString seitenTitel(int seite);

// The alarm source of a recipient list page as the captions name it:
// "Meldelinie 1" .. "Meldelinie 8" (pages 1..8), "Stromausfall" (9),
// "Analogwertüberwachung" (11); empty for any other page.
QString meldequelle(int seite);
