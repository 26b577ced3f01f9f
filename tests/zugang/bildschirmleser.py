#!/usr/bin/python3
"""The window as a screen reader reaches it: through AT-SPI only.

Starts its own virtual display and, under a private D-Bus session on it
(dbus-run-session, so the accessibility bus is its own), the simulated device on
a pseudo-terminal and gsmbv-konfig on that with Qt's AT-SPI bridge switched on;
finds the controls by role and name, reads the device's configuration through
the menu (its progress read off the progress window meanwhile), hears a
refused key's reason announced, changes the installation name and the message
text of alarm line 3 with keys, writes, and compares the simulated device's
memory.

    python3 bildschirmleser.py BIN_DIR [--baum DATEI]

--baum writes the main window's tree (role and name, indented) to DATEI.
Exit status 0 when every step held, 1 otherwise.
"""
import os
import random
import subprocess
import sys
import tempfile
import time

pyatspi = None  # imported inside the D-Bus session

FRIST = 20.0  # seconds for anything the program does on its own
SEITE = 256


class Fehler(Exception):
    pass


def ereignisse_abholen():
    """Hands the AT-SPI events that have arrived to their listeners."""
    from gi.repository import GLib
    kontext = GLib.MainContext.default()
    while kontext.pending():
        kontext.iteration(False)


def warten(bedingung, was, frist=FRIST):
    ende = time.monotonic() + frist
    while time.monotonic() < ende:
        ereignisse_abholen()
        try:
            wert = bedingung()
        except Exception:  # the tree changes under our feet: try again
            wert = None
        if wert:
            return wert
        time.sleep(0.05)
    raise Fehler("nicht erreicht: " + was)


# What the program announced: (role, name) of each object that reported itself
# shown anew, as a screen reader hears of notifications.
ansagen = []


def angesagt(ereignis):
    if ereignis.detail1 and rolle(ereignis.source) == "notification":
        ansagen.append(ereignis.source.name)


def rolle(o):
    return o.getRoleName()


def kinder(o):
    for i in range(o.childCount):
        k = o.getChildAtIndex(i)
        if k is not None:
            yield k


def finden(wurzel, rollenname, name):
    """The first descendant with this role and name (depth first)."""
    stapel = [wurzel]
    while stapel:
        o = stapel.pop()
        try:
            if rolle(o) == rollenname and o.name == name:
                return o
            stapel.extend(reversed(list(kinder(o))))
        except Exception:
            continue
    return None


def suchen(wurzel, rollenname, name, frist=FRIST):
    return warten(lambda: finden(wurzel, rollenname, name), "%s \"%s\"" % (rollenname, name), frist)


def baum(o, tiefe=0, zeilen=None):
    """Role, name and (description) of `o` and below, indented; what is not shown now is marked."""
    zeilen = [] if zeilen is None else zeilen
    beschreibung = o.description or ""
    zeile = "  " * tiefe + rolle(o) + " \"" + (o.name or "") + "\""
    if beschreibung and beschreibung != o.name:
        zeile += " (" + beschreibung + ")"
    if not o.getState().contains(pyatspi.STATE_SHOWING):
        zeile += " [nicht sichtbar]"
    zeilen.append(zeile)
    if rolle(o) not in ("combo box",):
        for k in kinder(o):
            baum(k, tiefe + 1, zeilen)
    return zeilen


def ausloesen(o):
    """The object's first action (press, toggle, click), as a screen reader's activate."""
    a = o.queryAction()
    if not a.doAction(0):
        raise Fehler("Aktion nicht ausgeführt: %s \"%s\"" % (rolle(o), o.name))


def text(o):
    t = o.queryText()
    return t.getText(0, t.characterCount)


def taste(keysym):
    pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)
    time.sleep(0.03)


def tippen(s):
    for c in s:
        taste(ord(c))  # Latin-1 characters are their own keysyms


def fokus_setzen(o):
    o.queryComponent().grabFocus()
    warten(lambda: o.getState().contains(pyatspi.STATE_FOCUSED), "Fokus in \"%s\"" % o.name)


def neu_eintippen(o, s):
    """Enters the field, deletes its text with Backspace and types `s`."""
    fokus_setzen(o)
    taste(0xFF57)  # End
    for _ in range(len(text(o))):
        taste(0xFF08)  # BackSpace
    tippen(s)
    warten(lambda: text(o) == s, "Text \"%s\" in \"%s\"" % (s, o.name))


def anzeige_starten():
    """A virtual display of its own, on a number far from those other programs take first; it
    stays up between clients (a server that resets refuses the client that comes meanwhile)."""
    for _ in range(20):
        nummer = str(random.randint(200, 2000))
        lesen, schreiben = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", ":" + nummer, "-displayfd", str(schreiben), "-screen", "0", "1600x1200x24", "-noreset",
                                 "-nolisten", "tcp"], pass_fds=(schreiben,), stderr=subprocess.DEVNULL)
        os.close(schreiben)
        with os.fdopen(lesen) as f:
            bereit = f.readline().strip()
        # Ready when it answers a client.
        if bereit == nummer and subprocess.run(["xdotool", "getdisplaygeometry"], env=dict(os.environ, DISPLAY=":" + nummer),
                                               capture_output=True, timeout=FRIST).returncode == 0:
            return xvfb, ":" + nummer
        xvfb.terminate()
        xvfb.wait()
    raise Fehler("Xvfb startet nicht")


def aktivieren(pid, titel):
    """Gives the window the keyboard focus, as a window manager gives a new window."""
    fenster = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(pid), "--name", titel],
                             capture_output=True, text=True, timeout=FRIST).stdout.split()
    if not fenster:
        raise Fehler("kein Fenster \"%s\"" % titel)
    subprocess.run(["xdotool", "windowfocus", "--sync", fenster[0]], check=True, timeout=FRIST)


def anwendung(pid):
    def suche():
        d = pyatspi.Registry.getDesktop(0)
        for a in kinder(d):
            if a.get_process_id() == pid:
                return a
        return None
    return warten(suche, "Anwendung im Baum")


def speicher(pfad):
    with open(pfad, "rb") as f:
        return f.read()


def ablauf(bin_dir, baum_datei):
    tmp = tempfile.mkdtemp(prefix="gsmbv-bildschirmleser-")
    prozesse = []
    try:
        image = os.path.join(tmp, "speicher.bin")
        sim = subprocess.Popen([os.path.join(bin_dir, "gsmbv-sim"), "--save-image", image],
                               stdout=subprocess.PIPE, text=True)
        prozesse.append(sim)
        pty = sim.stdout.readline().strip()
        if not pty:
            raise Fehler("gsmbv-sim nennt kein Gerät")
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   XDG_DATA_HOME=os.path.join(tmp, "daten"), XDG_RUNTIME_DIR=tmp)
        konfig = subprocess.Popen([os.path.join(bin_dir, "gsmbv-konfig"), "--port", pty], env=env)
        prozesse.append(konfig)

        app = anwendung(konfig.pid)
        fenster = suchen(app, "frame", "GSM Boravilon Konfiguration")
        aktivieren(konfig.pid, "GSM Boravilon Konfiguration")
        vorher = speicher(image)

        ausloesen(suchen(fenster, "menu item", "Konfiguration lesen"))
        # While the device sends (3328 bytes at 9600 bit/s), the progress
        # window's bar is named by its caption and its value is read.
        balken = suchen(app, "progress bar", "lese Konfigurationsdaten ...")
        warten(lambda: 0 < balken.queryValue().currentValue < 3328, "Fortschritt während des Lesens")
        name = suchen(fenster, "text", "Anlagenbezeichnung")
        warten(lambda: text(name) == "Pumpwerk Nord", "gelesene Anlagenbezeichnung")

        if baum_datei:
            with open(baum_datei, "w", encoding="utf-8") as f:
                f.write("\n".join(baum(fenster)) + "\n")

        # A refused key: the reason is announced, the text stays.
        pyatspi.Registry.registerEventListener(angesagt, "object:state-changed:showing")
        fokus_setzen(name)
        tippen("[")
        warten(lambda: "Zeichen nicht zulässig" in ansagen, "Ansage \"Zeichen nicht zulässig\"")
        if text(name) != "Pumpwerk Nord":
            raise Fehler("abgewiesenes Zeichen im Feld: " + text(name))

        neu_eintippen(name, "Pumpwerk Sued")
        ausloesen(suchen(fenster, "page tab", "Meldelinien"))
        linie3 = suchen(fenster, "text", "Meldungstext Meldelinie 3")
        neu_eintippen(linie3, "Schwimmer hoch")
        ausloesen(suchen(fenster, "menu item", "Konfiguration schreiben"))

        def geschrieben():
            s = speicher(image)
            return s if s != vorher and s[SEITE * 3 + 128:SEITE * 3 + 128 + 15] == b"Schwimmer hoch\x03" else None
        nachher = warten(geschrieben, "geschriebene Meldelinie 3")
        erwartet = {
            (0, 128): b"Pumpwerk Sued\x03",
            (3, 128): b"Schwimmer hoch\x03",
        }
        for (seite, off), bytes_ in erwartet.items():
            ist = nachher[SEITE * seite + off:SEITE * seite + off + len(bytes_)]
            if ist != bytes_:
                raise Fehler("Seite %d ab %d: %r statt %r" % (seite, off, ist, bytes_))
        # Nothing else of the memory changed but the two texts (and what stands behind them).
        for i in range(len(vorher)):
            seite, off = divmod(i, SEITE)
            if seite in (0, 3) and off >= 128:
                continue
            if nachher[i] != vorher[i]:
                raise Fehler("Seite %d Zelle %d geändert: %02X statt %02X" % (seite, off, nachher[i], vorher[i]))
        return True
    finally:
        for p in reversed(prozesse):
            p.terminate()
            try:
                p.wait(10)
            except subprocess.TimeoutExpired:
                p.kill()


def innen(bin_dir, baum_datei):
    global pyatspi
    import gi
    gi.require_version("Atspi", "2.0")
    import pyatspi as modul
    pyatspi = modul
    try:
        ablauf(bin_dir, baum_datei)
    except Fehler as e:
        print("FEHLER:", e)
        return 1
    return 0


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    baum_datei = sys.argv[sys.argv.index("--baum") + 1] if "--baum" in sys.argv else None
    if "--innen" in sys.argv:
        return innen(sys.argv[1], baum_datei)
    # Outside: the display, then this script again in a D-Bus session of its own on it.
    xvfb, anzeige = anzeige_starten()
    try:
        env = dict(os.environ, DISPLAY=anzeige, XDG_RUNTIME_DIR=tempfile.mkdtemp(prefix="gsmbv-xdg-"))
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        env.pop("AT_SPI_BUS_ADDRESS", None)
        env.pop("QT_QPA_PLATFORM", None)
        r = subprocess.run(["dbus-run-session", "--", sys.executable, os.path.abspath(__file__)] + sys.argv[1:]
                           + ["--innen"], env=env, timeout=300, stderr=subprocess.PIPE, text=True)
        for zeile in r.stderr.splitlines():
            if "dbus-daemon" not in zeile and "SpiRegistry" not in zeile:
                print(zeile, file=sys.stderr)
    finally:
        xvfb.terminate()
        xvfb.wait(10)
    print("1 passed, 0 failed" if r.returncode == 0 else "0 passed, 1 failed")
    return 0 if r.returncode == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
