#pragma once
// Random configurations as the editor makes them: the editor model after
// start-up, then what a user does with it (ticking boxes, moving sliders and
// spinners, choosing the operator and the day, typing admitted characters into
// fields and leaving them, analog values the fields accept), with recipient
// lists that fit stored as the recipients dialog stores them. The model's
// values afterwards are what the editor shows.
#include "image/ansi.h"
#include "image/felder.h"
#include "image/konfigspeicher.h"
#include "modell/editormodell.h"
#include "modell/editorwerte.h"

#include <QRandomGenerator>

namespace generator {

struct Konfiguration {
    Konfigspeicher image;
    Editorwerte werte;
};

class Erzeuger {
public:
    explicit Erzeuger(quint32 saat) : m_zufall(saat) {}

    Konfiguration naechste()
    {
        Editormodell m;
        m.starten();

        // Operator, and a first recipient of line 1 that selects it.
        const Netzbetreiber netz = Netzbetreiber(m_zufall.bounded(3));
        m.netzbetreiberWaehlen(netz);
        Konfigspeicher& k = m.speicher();
        for (int seite : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11}) {
            const int art = int(m_zufall.bounded(4));
            if (seite == 1) {
                QList<QByteArray> e;
                if (netz == Netzbetreiber::A1)
                    e << "0664" + ziffern(3, 8);
                else if (netz == Netzbetreiber::TMobile)
                    e << "+43676" + ziffern(3, 8);
                else if (art == 0)
                    continue;  // never edited: FF reads as "Andere" too
                else if (art == 1) {
                    liste(k, seite, {});
                    continue;
                } else
                    e << "0699" + ziffern(3, 8);
                liste(k, seite, e + eintraege(int(m_zufall.bounded(8))));
                continue;
            }
            if (art == 0)
                continue;
            liste(k, seite, eintraege(int(m_zufall.bounded(9))));
        }

        // Alarm lines.
        for (int i = 0; i < 8; ++i) {
            if (m_zufall.bounded(2))
                m.Chk_Oeffner_Click(i, true);
            if (m_zufall.bounded(2))
                m.Chk_Gutmeldung_Click(i, true);
        }
        if (m_zufall.bounded(2))
            m.Chk_Gutmeldung_Click(8, m_zufall.bounded(2));
        for (int i = 0; i < 9; ++i)
            text(m, SMSText(i), 70);

        // "Allgemein".
        text(m, Feld::Anlagenbezeichnung, 70);
        if (m_zufall.bounded(2)) {
            m.Chk_Quittierung_Click(true);
            m.Slider_Quit_Change(int(m_zufall.bounded(1, 256)));
        }
        switch (m_zufall.bounded(3)) {
        case 0:
            if (m_zufall.bounded(2)) {  // switched on and off again
                m.CHK_Kontrollruf_Click(true);
                m.CHK_Kontrollruf_Click(false);
            }
            break;
        case 1:
            m.CHK_Kontrollruf_Click(true);
            zeit(m);
            break;
        default:
            m.CHK_Kontrollruf_Click(true);
            m.OPT_Woche_Click();
            m.Combo_Tag_Change(int(m_zufall.bounded(7)));
            zeit(m);
            break;
        }
        if (m.werte().kontoAktivierbar && m_zufall.bounded(3)) {
            m.Chk_Konto_Click(true);
            nummer(m, Feld::Guthabenrufnummer);
            nummer(m, Feld::NummerAufladung);
            m.Slider_Guthaben_Change(int(m_zufall.bounded(1, 10)));
            if (m_zufall.bounded(4) == 0)  // ticked off again: numbers emptied behind their old bytes
                m.Chk_Konto_Click(false);
        }

        // "Relaisausgänge": a ticked box carries a text; unticking empties it.
        relais(m, 1);
        relais(m, 2);

        // "Analogeingänge".
        analog(m);
        const bool einheit = m_zufall.bounded(3);
        if (einheit)
            m.Validate(Feld::Einheit, ansi::text(zeichen(int(m_zufall.bounded(4)))), true);
        text(m, Feld::TextMin, 127);
        text(m, Feld::TextMax, 127);

        Konfiguration c{m.speicher(), m.werte()};
        // A unit comes back blank-padded, as the device read shows it.
        if (einheit)
            c.werte.einheit = c.werte.einheit.leftJustified(3, QLatin1Char(' '));
        return c;
    }

private:
    QRandomGenerator m_zufall;

    void zeit(Editormodell& m)
    {
        m.UD_Stunde_Change(int(m_zufall.bounded(24)));
        m.UD_Minute_Change(int(m_zufall.bounded(60)));
    }

    QByteArray ziffern(int von, int bis)
    {
        QByteArray s;
        const int n = int(m_zufall.bounded(von, bis + 1));
        for (int i = 0; i < n; ++i)
            s.append(char('0' + m_zufall.bounded(10)));
        return s;
    }

    // Characters the free-text fields admit: no " # [ \ ] ^ _ ` and nothing above z.
    QByteArray zeichen(int n)
    {
        QByteArray s;
        while (s.size() < n) {
            const int c = int(m_zufall.bounded(32, 123));
            if (c == 34 || c == 35 || (c >= 91 && c <= 96))
                continue;
            s.append(char(c));
        }
        return s;
    }

    // A text field: never edited (free area), typed, or typed and emptied
    // again, possibly after a longer text.
    void text(Editormodell& m, Feld f, int grenze)
    {
        const int art = int(m_zufall.bounded(5));
        if (art == 0)
            return;
        if (art >= 3)
            m.Validate(f, ansi::text(zeichen(int(m_zufall.bounded(1, grenze + 1)))), true);
        const QByteArray t = art == 4 ? QByteArray() : zeichen(int(m_zufall.bounded(art == 1 ? grenze - 3 : 0, grenze + 1)));
        m.Validate(f, ansi::text(t), true);
    }

    void relais(Editormodell& m, int r)
    {
        const Feld f = r == 1 ? Feld::Besttext1 : Feld::Besttext2;
        const int art = int(m_zufall.bounded(4));
        if (art == 0)
            return;
        m.Chk_Relaisbest_Click(r, true);
        if (art == 3) {  // ticked, typed, unticked
            m.Validate(f, ansi::text(zeichen(int(m_zufall.bounded(1, 128)))), true);
            m.Chk_Relaisbest_Click(r, false);
            return;
        }
        m.Validate(f, ansi::text(zeichen(int(m_zufall.bounded(art == 1 ? 120 : 1, 128)))), true);
    }

    void nummer(Editormodell& m, Feld f)
    {
        static const char erlaubt[] = "0123456789+*#";
        QByteArray s;
        const int n = int(m_zufall.bounded(16));
        for (int i = 0; i < n; ++i)
            s.append(erlaubt[m_zufall.bounded(13)]);
        m.Validate(f, ansi::text(s), true);
    }

    // Values the analog fields take: a range with the 20 mA value above the
    // 4 mA value (either may stay empty), thresholds inside a complete range
    // more than 50 apart. A threshold left empty where the range starts above
    // 0 is refused when the range is left: it keeps its empty bytes.
    void analog(Editormodell& m)
    {
        const auto zahl = [](int v) { return QString::number(v); };
        const int a = m_zufall.bounded(4) ? int(m_zufall.bounded(999)) : -1;
        const int b = m_zufall.bounded(4) ? int(m_zufall.bounded(a + 1, 1000)) : -1;
        if (a >= 0)
            m.Validate(Feld::Messbereich4, zahl(a), true);
        if (b >= 0)
            m.Validate(Feld::Messbereich20, zahl(b), true);
        if (a < 0 || b < 0 || b - a <= 50 || m_zufall.bounded(4) == 0)
            return;
        const int mini = int(m_zufall.bounded(a, b - 50));
        const int maxi = int(m_zufall.bounded(mini + 51, b + 1));
        m.Validate(Feld::Grenzwertmin, zahl(mini), true);
        m.Validate(Feld::Grenzwertmax, zahl(maxi), true);
    }

    // Recipient entries as the recipients dialog stores them (GSM, fax and
    // e-mail with either operator's prefixes, "@" stored as "*").
    QList<QByteArray> eintraege(int n)
    {
        QList<QByteArray> e;
        for (int i = 0; i < n; ++i) {
            switch (m_zufall.bounded(5)) {
            case 0: e << "06646802" + ziffern(4, 10); break;
            case 1: e << "6762" + ziffern(4, 10); break;
            case 2: e << "0664680502&" + adresse() + " (Boravilon)"; break;
            case 3: e << "6761&" + adresse() + " "; break;
            default: e << (m_zufall.bounded(2) ? "+43" : "0") + ziffern(4, 12); break;
            }
        }
        return e;
    }

    QByteArray adresse()
    {
        static const char a[] = "abcdefghijklmnopqrstuvwxyz0123456789.-_";
        QByteArray s;
        for (int i = 0, n = int(m_zufall.bounded(1, 12)); i < n; ++i)
            s.append(a[m_zufall.bounded(int(sizeof a) - 1)]);
        s.append('*');
        for (int i = 0, n = int(m_zufall.bounded(1, 8)); i < n; ++i)
            s.append(a[m_zufall.bounded(26)]);
        return s + ".at";
    }

    // Stores the entries that fit (the dialog refuses a list that does not).
    static void liste(Konfigspeicher& k, int seite, QList<QByteArray> e)
    {
        while (!listeRahmen(e))
            e.removeLast();
        listeSpeichern(k, seite, *listeRahmen(e));
    }
};

} // namespace generator
