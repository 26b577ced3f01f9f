#pragma once
// Random configurations as the editor makes them: the image after start-up,
// then edits by the editor's rules (admitted characters and lengths, recipient
// lists that fit, option handlers' bytes, analog values 0..999), together with
// what the editor shows afterwards.
#include "image/ansi.h"
#include "modell/editorwerte.h"
#include "image/felder.h"
#include "image/konfigspeicher.h"

#include <QRandomGenerator>

namespace generator {

struct Konfiguration {
    Konfigspeicher image;
    Editorwerte werte;
};

class Erzeuger {
public:
    explicit Erzeuger(quint32 saat) : z(saat) {}

    Konfiguration naechste()
    {
        Konfiguration c;
        Konfigspeicher& k = c.image;
        Editorwerte& w = c.werte;
        Grundeinstellung(k);
        // Start-up: acknowledgement, check call and balance monitoring switched
        // off by their handlers.
        k.setze(0, offset::Quittierung, 0);
        kontrollrufAus(k);
        textSpeichern(k, bereich::Guthabenrufnummer, {});
        textSpeichern(k, bereich::NummerAufladung, {});
        k.setze(0, offset::Guthaben, 0);

        // Operator, and a first recipient of line 1 that selects it.
        const int netz = int(z.bounded(3));
        w.netz = Netzbetreiber(netz);
        w.kontoAktivierbar = w.netz != Netzbetreiber::Andere;
        for (int seite : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11}) {
            const int art = int(z.bounded(4));
            if (seite == 1) {
                QList<QByteArray> e;
                if (w.netz == Netzbetreiber::A1)
                    e << "0664" + ziffern(3, 8);
                else if (w.netz == Netzbetreiber::TMobile)
                    e << "+43676" + ziffern(3, 8);
                else if (art == 0)
                    continue;  // never edited: FF reads as "Andere" too
                else if (art == 1) {
                    liste(k, seite, {});
                    continue;
                } else
                    e << "0699" + ziffern(3, 8);
                liste(k, seite, e + eintraege(int(z.bounded(8))));
                continue;
            }
            if (art == 0)
                continue;
            liste(k, seite, eintraege(int(z.bounded(9))));
        }

        // Alarm lines.
        for (int i = 0; i < 8; ++i) {
            if (z.bounded(2)) {
                w.oeffner[i] = true;
                bitSetzen(k, 0, offset::Oeffner, i, true);
            }
            if (z.bounded(2)) {
                w.gutmeldung[i] = true;
                bitSetzen(k, 0, offset::Gutmeldung, i, true);
            }
        }
        if (z.bounded(2)) {
            w.gutmeldung[8] = z.bounded(2);
            k.setze(0, offset::GutmeldungStrom, w.gutmeldung[8] ? 0xFF : 0x00);
        }
        for (int i = 0; i < 9; ++i)
            text(k, bereich::SMSText(i), 70, w.smsText[i]);

        // "Allgemein".
        text(k, bereich::Anlagenbezeichnung, 70, w.anlagenbezeichnung);
        if (z.bounded(2)) {
            w.quittierung = true;
            w.sliderQuit = int(z.bounded(1, 256));
            w.quit = QString::number(w.sliderQuit);
            k.setze(0, offset::Quittierung, std::uint8_t(w.sliderQuit));
        }
        switch (z.bounded(3)) {
        case 0:
            if (z.bounded(2))
                kontrollrufAus(k);  // switched on and off again
            break;
        case 1:
            w.kontrollruf = Editorwerte::Kontrollruf::Taeglich;
            k.setze(0, offset::Kontrollruf, 7);
            zeit(k, w);
            break;
        default:
            w.kontrollruf = Editorwerte::Kontrollruf::Woechentlich;
            w.tag = int(z.bounded(7));
            k.setze(0, offset::Kontrollruf, std::uint8_t(w.tag));
            zeit(k, w);
            break;
        }
        if (w.kontoAktivierbar && z.bounded(3)) {
            w.konto = true;
            nummer(k, bereich::Guthabenrufnummer, w.guthabenrufnummer);
            nummer(k, bereich::NummerAufladung, w.nummerAufladung);
            w.sliderGuthaben = int(z.bounded(1, 10));
            w.guthaben = QString::number(w.sliderGuthaben);
            k.setze(0, offset::Guthaben, std::uint8_t(w.sliderGuthaben));
            if (z.bounded(4) == 0) {  // ticked off again: numbers emptied behind their old bytes
                w.konto = false;
                w.guthabenrufnummer.clear();
                w.nummerAufladung.clear();
                w.sliderGuthaben = 1;
                w.guthaben.clear();
                textSpeichern(k, bereich::Guthabenrufnummer, {});
                textSpeichern(k, bereich::NummerAufladung, {});
                k.setze(0, offset::Guthaben, 0);
            }
        }

        // "Relaisausgänge": a ticked box carries a text; unticking empties it.
        relais(k, bereich::Besttext1, w.besttext1, w.relaisbest1);
        relais(k, bereich::Besttext2, w.besttext2, w.relaisbest2);

        // "Analogeingänge".
        bereichswert(k, offset::Messbereich4, w.messbereich4);
        bereichswert(k, offset::Messbereich20, w.messbereich20);
        bereichswert(k, offset::Grenzwertmin, w.grenzwertmin);
        bereichswert(k, offset::Grenzwertmax, w.grenzwertmax);
        if (z.bounded(3)) {
            const QByteArray e = zeichen(int(z.bounded(4)));
            einheitSpeichern(k, e);
            w.einheit = ansi::text(e + QByteArray(3 - e.size(), ' '));
        }
        text(k, bereich::TextMin, 127, w.textMin);
        text(k, bereich::TextMax, 127, w.textMax);
        return c;
    }

private:
    QRandomGenerator z;

    static void kontrollrufAus(Konfigspeicher& k)
    {
        k.setze(0, offset::Kontrollruf, 0xFF);
        k.setze(0, offset::Stunde, 0x10);
        k.setze(0, offset::Minute, 0x00);
        k.setze(0, 7, ETX);
        for (int o = 8; o <= 23; ++o)
            k.setze(0, o, FF);
    }

    void zeit(Konfigspeicher& k, Editorwerte& w)
    {
        w.udStunde = int(z.bounded(24));
        w.udMinute = int(z.bounded(60));
        w.txtStunde = QStringLiteral("%1").arg(w.udStunde, 2, 10, QLatin1Char('0'));
        w.txtMinute = QStringLiteral("%1").arg(w.udMinute, 2, 10, QLatin1Char('0'));
        k.setze(0, offset::Stunde, bcd(w.udStunde));
        k.setze(0, offset::Minute, bcd(w.udMinute));
    }

    QByteArray ziffern(int von, int bis)
    {
        QByteArray s;
        const int n = int(z.bounded(von, bis + 1));
        for (int i = 0; i < n; ++i)
            s.append(char('0' + z.bounded(10)));
        return s;
    }

    // Characters the free-text fields admit: no " # [ \ ] ^ _ ` and nothing above z.
    QByteArray zeichen(int n)
    {
        QByteArray s;
        while (s.size() < n) {
            const int c = int(z.bounded(32, 123));
            if (c == 34 || c == 35 || (c >= 91 && c <= 96))
                continue;
            s.append(char(c));
        }
        return s;
    }

    // A text field: never edited (free area), typed, or typed and emptied
    // again, possibly after a longer text.
    void text(Konfigspeicher& k, Bereich b, int grenze, QString& anzeige)
    {
        const int art = int(z.bounded(5));
        if (art == 0)
            return;
        if (art >= 3)
            textSpeichern(k, b, zeichen(int(z.bounded(1, grenze + 1))));
        const QByteArray t = art == 4 ? QByteArray() : zeichen(int(z.bounded(art == 1 ? grenze - 3 : 0, grenze + 1)));
        textSpeichern(k, b, t);
        anzeige = ansi::text(t);
    }

    void relais(Konfigspeicher& k, Bereich b, QString& anzeige, bool& an)
    {
        const int art = int(z.bounded(4));
        if (art == 0)
            return;
        if (art == 3) {  // ticked, typed, unticked
            textSpeichern(k, b, zeichen(int(z.bounded(1, 128))));
            textSpeichern(k, b, {});
            return;
        }
        const QByteArray t = zeichen(int(z.bounded(art == 1 ? 120 : 1, 128)));
        textSpeichern(k, b, t);
        anzeige = ansi::text(t);
        an = true;
    }

    void nummer(Konfigspeicher& k, Bereich b, QString& anzeige)
    {
        static const char erlaubt[] = "0123456789+*#";
        QByteArray s;
        const int n = int(z.bounded(16));
        for (int i = 0; i < n; ++i)
            s.append(erlaubt[z.bounded(13)]);
        textSpeichern(k, b, s);
        anzeige = ansi::text(s);
    }

    void bereichswert(Konfigspeicher& k, int off, QString& anzeige)
    {
        if (z.bounded(4) == 0) {
            zahlSpeichern(k, 11, off, std::nullopt);
            return;
        }
        const int v = int(z.bounded(1000));
        zahlSpeichern(k, 11, off, v);
        anzeige = QString::number(v);
    }

    // Recipient entries as the recipients dialog stores them (GSM, fax and
    // e-mail with either operator's prefixes, "@" stored as "*").
    QList<QByteArray> eintraege(int n)
    {
        QList<QByteArray> e;
        for (int i = 0; i < n; ++i) {
            switch (z.bounded(5)) {
            case 0: e << "06646802" + ziffern(4, 10); break;
            case 1: e << "6762" + ziffern(4, 10); break;
            case 2: e << "0664680502&" + adresse() + " (Boravilon)"; break;
            case 3: e << "6761&" + adresse() + " "; break;
            default: e << (z.bounded(2) ? "+43" : "0") + ziffern(4, 12); break;
            }
        }
        return e;
    }

    QByteArray adresse()
    {
        static const char a[] = "abcdefghijklmnopqrstuvwxyz0123456789.-_";
        QByteArray s;
        for (int i = 0, n = int(z.bounded(1, 12)); i < n; ++i)
            s.append(a[z.bounded(int(sizeof a) - 1)]);
        s.append('*');
        for (int i = 0, n = int(z.bounded(1, 8)); i < n; ++i)
            s.append(a[z.bounded(26)]);
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
