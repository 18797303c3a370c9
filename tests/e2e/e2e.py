#!/usr/bin/env python3
"""End-to-end tests of the built editor on a real X display.

Each case starts its own virtual display (Xvfb), starts build/quorinimage on it, drives it
with real pointer and key events (xdotool), reads the screen (ImageMagick's import) and the
files it writes, and stops everything it started, whatever happens. It never sleeps for a set
time: it waits for a window, a pixel, a file or a caption, and after sending input for the
program to show that it has handled it (Display.handled).

    e2e.py --app build/quorinimage CASE      (CASE: one of the names in CASES, or "all")

Controls are found where the window's fixed layout puts them: the client area is the
bottom 487 x 460 pixels of the main window (the menu bar is above it), the drawing surface
lies at (65, 33) in it, the toolbar buttons at (x, 3) and the palette buttons at (x, 31 + y).
"""

import argparse
import contextlib
import ctypes
import os
import select
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time

CLIENT_W, CLIENT_H = 487, 460
SURFACE = (65, 33)
BUTTON = 23  # toolbar and palette buttons are square

TOOLBAR_X = {
    "SpeedButtonNewPict": 0,
    "SpeedButtonOpenLaser": 23,
    "SpeedButtonSave": 46,
    "SpeedButtonOpenImage": 79,
    "SpeedButtonSavePikture": 102,
    "SpeedButtonUndo": 135,
    "SpeedButtonPictureON": 245,
    "SpeedButtonSetkaON": 268,
    "SpeedButtonRefresh": 291,
    "SpeedButtonOptionForm": 347,
}
PALETTE = {
    "SpeedButtonKontur": (4, 81),
    "SpeedButtonMove": (6, 105),
    "SpeedButtonPen": (6, 151),
    "SpeedButtonEditPoint": (30, 151),
    "SpeedButtonHotPoint": (30, 174),
    "SpeedButtonKnife": (6, 199),
    "SpeedButtonEraser": (30, 199),
    "SpeedButtonRotate": (6, 318),
    "SpeedButtonMirrorVert": (6, 341),
    "SpeedButtonMirrorGor": (30, 341),
    "SpeedButtonLaser": (30, 222),
}

# Colours of the default settings, as the screen shows them.
LINE_GREEN = (0, 128, 0)
OLIVE = (128, 128, 0)
RED = (255, 0, 0)
WHITE = (255, 255, 255)

TITLE = "Vardeni : "
# Qt's file dialogs, titled by Qt in the program's language.
OPEN_DIALOG = "^Open$|^Открыть$"
SAVE_DIALOG = "^Save As$|^Сохранить как$"


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


def wait_for(predicate, what, timeout=15.0, step=0.1):
    """Polls until predicate() gives a true value, which it returns."""
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise Failure("timed out waiting for " + what)
        time.sleep(step)


class Screen:
    """A screenshot: pixels of the whole root window."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def count(self, colour, x0, y0, x1, y1):
        """How many pixels of the rectangle [x0, x1) x [y0, y1) have the colour."""
        n = 0
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                if self.pixel(x, y) == colour:
                    n += 1
        return n


def parse_ppm(raw):
    # P6 <w> <h> <max>\n<rgb bytes>
    fields = []
    pos = 0
    while len(fields) < 4:
        while raw[pos:pos + 1].isspace():
            pos += 1
        if raw[pos:pos + 1] == b"#":
            pos = raw.index(b"\n", pos) + 1
            continue
        end = pos
        while not raw[end:end + 1].isspace():
            end += 1
        fields.append(raw[pos:end])
        pos = end
    check(fields[0] == b"P6" and fields[3] == b"255", "an 8-bit PPM screenshot")
    w, h = int(fields[1]), int(fields[2])
    return Screen(w, h, raw[pos + 1:pos + 1 + 3 * w * h])


def xlib():
    """libX11 through ctypes, with the argument types of the calls made here."""
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDisplayKeycodes.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                   ctypes.POINTER(ctypes.c_int)]
    x.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
    x.XGetKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int,
                                      ctypes.POINTER(ctypes.c_int)]
    x.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                         ctypes.POINTER(ctypes.c_ulong), ctypes.c_int]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XFlush.argtypes = [ctypes.c_void_p]
    x.XFree.argtypes = [ctypes.c_void_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                             ctypes.c_void_p]
    x.XPending.argtypes = [ctypes.c_void_p]
    x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
    x.XConnectionNumber.argtypes = [ctypes.c_void_p]
    return x


def add_keysyms(display, letters):
    """Binds each letter (and its capital) to a spare keycode of the display's keyboard.

    xdotool types a character missing from the keyboard map by binding it to a keycode for a
    moment and unbinding it right after the key event, and the program may look the key up
    after that and see another letter. Letters bound for good are typed like any other key.
    Returns the letters that found no spare keycode."""
    x = xlib()
    dpy = x.XOpenDisplay(display.encode())
    check(dpy, "a connection to " + display)
    try:
        lo, hi, per = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
        x.XDisplayKeycodes(dpy, ctypes.byref(lo), ctypes.byref(hi))
        n = hi.value - lo.value + 1
        syms = x.XGetKeyboardMapping(dpy, lo.value, n, ctypes.byref(per))
        free = [lo.value + i for i in range(n)
                if not any(syms[i * per.value + j] for j in range(per.value))]
        x.XFree(syms)
        for keycode, c in zip(free, letters):
            # Unicode keysyms: 0x01000000 plus the code point.
            pair = (ctypes.c_ulong * 2)(0x1000000 + ord(c.lower()), 0x1000000 + ord(c.upper()))
            x.XChangeKeyboardMapping(dpy, keycode, 2, pair, 1)
        x.XSync(dpy, 0)
    finally:
        x.XCloseDisplay(dpy)
    return letters[len(free):]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("client", ClientMessage), ("pad", ctypes.c_long * 24)]


CLIENT_MESSAGE = 33
STRUCTURE_NOTIFY_MASK = 1 << 17
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


class Pinger:
    """The window manager's ping (_NET_WM_PING), which tells when the program has read its
    input.

    Qt answers a ping to one of its windows while it reads the X events, in the order the
    server sent them, and hands each input event read before it to its widget in the same
    pass of the event loop; a second ping, sent once the first is answered, is read in a later
    pass. So when the second answer arrives, every key and button sent before the first ping
    has been handled, and whatever that handling asked of the server (a window shown, a
    window closed) has been done. No window manager runs on the display, so the answers go to
    the root window, where this connection listens for them."""

    def __init__(self, display):
        self.x = xlib()
        # A ping to a window that has just closed is an error the server reports; Xlib's
        # default handler would end this script over it.
        self.ignore = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(
            lambda dpy, error: 0)
        self.x.XSetErrorHandler(self.ignore)
        self.dpy = self.x.XOpenDisplay(display.encode())
        check(self.dpy, "a connection to " + display)
        self.root = self.x.XDefaultRootWindow(self.dpy)
        self.x.XSelectInput(self.dpy, self.root,
                            STRUCTURE_NOTIFY_MASK | SUBSTRUCTURE_NOTIFY_MASK)
        self.protocols = self.x.XInternAtom(self.dpy, b"WM_PROTOCOLS", 0)
        self.ping = self.x.XInternAtom(self.dpy, b"_NET_WM_PING", 0)
        self.token = 0

    def close(self):
        self.x.XCloseDisplay(self.dpy)

    def round_trip(self, wid, gone, timeout):
        """Pings the window and waits for its answer, or for gone() to be true."""
        self.token += 1
        event = XEvent()
        m = event.client
        m.type, m.window, m.message_type, m.format = CLIENT_MESSAGE, wid, self.protocols, 32
        m.data[0], m.data[1], m.data[2] = self.ping, self.token, wid
        self.x.XSendEvent(self.dpy, wid, 0, 0, ctypes.byref(event))
        self.x.XFlush(self.dpy)
        end = time.monotonic() + timeout
        while True:
            while self.x.XPending(self.dpy):
                self.x.XNextEvent(self.dpy, ctypes.byref(event))
                if (event.type == CLIENT_MESSAGE and m.message_type == self.protocols
                        and m.data[0] == self.ping and m.data[1] == self.token):
                    return
            if gone():
                return
            left = end - time.monotonic()
            if left <= 0:
                raise Failure("the program answers no ping: it is not reading its input")
            select.select([self.x.XConnectionNumber(self.dpy)], [], [], min(left, 0.1))


def die_with_parent():
    # Whatever ends this script, its display and program end with it.
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


class Display:
    """A virtual X display with the editor on it; stops both on exit."""

    def __init__(self, app, workdir, log):
        self.app = app
        self.workdir = workdir
        self.log = log
        # The program's language: the system's C locale gives Russian; a case may ask for a
        # user's English (LANG=en_US.UTF-8) before it starts the program.
        self.english = False
        self.xvfb = None
        self.proc = None
        self.env = None
        self.bound = set()
        self.pointer = None
        self.pinger = None
        self.main = None  # the program's main window, which the pings go to

    def __enter__(self):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=self.log, stderr=self.log,
            preexec_fn=die_with_parent)
        os.close(write_fd)
        with os.fdopen(read_fd) as r:
            number = r.readline().strip()
        check(number, "Xvfb reports its display")
        self.env = dict(os.environ)
        self.env.update({
            "DISPLAY": ":" + number,
            "QT_QPA_PLATFORM": "xcb",
            "XDG_RUNTIME_DIR": self.workdir,
            "HOME": self.workdir,
            # A fixed look: no desktop theme, no scaling.
            "QT_QPA_PLATFORMTHEME": "",
            "QT_AUTO_SCREEN_SCALE_FACTOR": "0",
            "QT_SCALE_FACTOR": "1",
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
            # No settings file of the user's chooses the language.
            "XDG_CONFIG_HOME": os.path.join(self.workdir, ".config"),
        })
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env.pop("LANGUAGE", None)
        self.pinger = Pinger(self.env["DISPLAY"])
        return self

    def __exit__(self, *exc):
        self.stop_app()
        if self.pinger:
            self.pinger.close()
        if self.xvfb:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait()
        return False

    # ---- The program ----

    def start_app(self, *args):
        env = dict(self.env)
        if self.english:
            # As a user's English system sets it; the locale itself need not be installed.
            env["LANG"] = "en_US.UTF-8"
            env.pop("LC_ALL")
        self.proc = subprocess.Popen([self.app, *args], cwd=self.workdir, env=env,
                                     stdout=self.log, stderr=self.log,
                                     preexec_fn=die_with_parent)
        self.main = self.window(TITLE)
        self.handled()
        return self.main

    def stop_app(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc = None

    @contextlib.contextmanager
    def stopped(self):
        """The program stopped (SIGSTOP) for the block, as a busy program that reads no input:
        whatever the block sends waits in its queue until it goes on."""
        stat = "/proc/%d/stat" % self.proc.pid
        self.proc.send_signal(signal.SIGSTOP)
        try:
            # The state is the field after the program's name in parentheses.
            wait_for(lambda: open(stat).read().rpartition(")")[2].split()[0] == "T",
                     "the program stopped", step=0.01)
            yield
        finally:
            self.proc.send_signal(signal.SIGCONT)

    def app_exited(self, timeout=10.0):
        try:
            self.proc.wait(timeout=timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    # ---- X ----

    def xdotool(self, *args, check_rc=True):
        r = subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True,
                           text=True, timeout=30)
        if check_rc and r.returncode != 0:
            raise Failure("xdotool %s: %s" % (" ".join(map(str, args)), r.stderr.strip()))
        return r.stdout

    def windows(self, name):
        out = self.xdotool("search", "--onlyvisible", "--name", name, check_rc=False)
        return [int(w) for w in out.split()]

    def window(self, name, timeout=20.0):
        """The first visible window whose title matches name (a regular expression)."""
        return wait_for(lambda: (self.windows(name) or [None])[0], "a window named " + name,
                        timeout)

    def name_of(self, wid):
        return self.xdotool("getwindowname", wid).strip()

    def geometry(self, wid):
        out = self.xdotool("getwindowgeometry", "--shell", wid)
        g = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])

    def handled(self, wid=None, timeout=20.0):
        """Waits until the program that owns the window (the main window unless told) has
        handled every key and button sent so far, or has ended."""
        proc = self.proc
        gone = lambda: proc is not None and proc.poll() is not None
        for _ in range(2):
            self.pinger.round_trip(wid or self.main, gone, timeout)

    def activate(self, wid):
        self.xdotool("windowactivate", "--sync", wid, check_rc=False)
        self.xdotool("windowfocus", "--sync", wid, check_rc=False)

    def move(self, x, y):
        # "--sync" waits for the pointer to move, so a move to where it already is would
        # wait for its time-out.
        if self.pointer != (x, y):
            self.xdotool("mousemove", "--sync", x, y)
            self.pointer = (x, y)

    def click(self, x, y, button=1):
        self.move(x, y)
        self.xdotool("click", button)
        self.handled()

    def drag(self, points):
        self.move(*points[0])
        self.xdotool("mousedown", 1)
        for p in points[1:]:
            # Small steps, as a hand moves the mouse.
            self.move(*p)
        self.xdotool("mouseup", 1)
        self.handled()

    def key(self, *keys):
        self.xdotool("key", "--clearmodifiers", *keys)
        self.handled()

    def alt(self, letter):
        """Alt and a button's underlined letter; a Cyrillic one is bound to a key first."""
        if ord(letter) > 127 and letter.lower() not in self.bound:
            check(not add_keysyms(self.env["DISPLAY"], [letter.lower()]),
                  "a spare keycode for " + letter)
            self.bound.add(letter.lower())
            self.handled()  # the program has read the new keyboard map
        self.key("alt+" + (letter if ord(letter) < 128 else "U%04X" % ord(letter.lower())))

    def type(self, text):
        letters = sorted({c.lower() for c in text if ord(c) > 127} - self.bound)
        if letters:
            check(not add_keysyms(self.env["DISPLAY"], letters), "spare keycodes for " + text)
            self.bound.update(letters)
            self.handled()  # the program has read the new keyboard map
        self.xdotool("type", "--delay", 30, "--", text)

    def eventually(self, predicate, what, timeout=10.0):
        """Reads the screen until predicate(screen) holds, for the repaints to arrive."""
        return wait_for(lambda: predicate(self.screen()), what, timeout, step=0.2)

    def screen(self):
        for attempt in range(5):
            r = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                               env=self.env, capture_output=True, timeout=30)
            if r.returncode == 0 and r.stdout.startswith(b"P6"):
                return parse_ppm(r.stdout)
            time.sleep(0.1)
        raise Failure("cannot read the screen: " + r.stderr.decode(errors="replace"))


class MainWindow:
    """The editor's main window and where its controls are on the screen."""

    def __init__(self, d, wid):
        self.d, self.wid = d, wid
        x, y, w, h = d.geometry(wid)
        check(w == CLIENT_W and h > CLIENT_H, "a main window 487 wide, got %dx%d" % (w, h))
        # The client area is the bottom of the window, below the menu bar.
        self.client = (x, y + h - CLIENT_H)
        self.surface = (self.client[0] + SURFACE[0], self.client[1] + SURFACE[1])

    def title(self):
        return self.d.name_of(self.wid)

    def at_surface(self, px, py):
        return self.surface[0] + px, self.surface[1] + py

    def click_toolbar(self, name):
        self.d.click(self.client[0] + TOOLBAR_X[name] + BUTTON // 2, self.client[1] + 3 + 11)

    def click_palette(self, name):
        x, y = PALETTE[name]
        self.d.click(self.client[0] + x + 11, self.client[1] + 31 + y + 11)

    def stroke(self, pixels):
        """A pen stroke through surface pixels, in small steps."""
        points = []
        for (x0, y0), (x1, y1) in zip(pixels, pixels[1:]):
            steps = max(abs(x1 - x0), abs(y1 - y0)) // 4 + 1
            for i in range(steps):
                points.append(self.at_surface(x0 + (x1 - x0) * i // steps,
                                              y0 + (y1 - y0) * i // steps))
        points.append(self.at_surface(*pixels[-1]))
        self.d.drag(points)

    def count(self, colour, x0, y0, x1, y1, screen=None):
        """Pixels of a colour in a rectangle of surface pixels."""
        s = screen or self.d.screen()
        sx, sy = self.surface
        return s.count(colour, sx + x0, sy + y0, sx + x1, sy + y1)


class EtherDreamStub(threading.Thread):
    """An Ether Dream on 127.0.0.1 as far as the editor's sender needs one: every command
    answered with ACK and the status, the buffer played at the point rate by the clock, and the
    commands kept in the order they came."""

    def __init__(self):
        super().__init__(daemon=True)
        self.server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.server.bind(("127.0.0.1", 0))
        self.server.listen(1)
        self.port = self.server.getsockname()[1]
        self.commands = []

    def run(self):
        conn, _ = self.server.accept()
        playback, rate, points, started = 0, 0, 0, 0.0

        def answer(command):
            held = points
            if playback == 2:
                held = max(0, points - int((time.monotonic() - started) * rate))
            status = struct.pack("<BBBBHHHHII", 0, 0, playback, 0, 0, 0, 0, held, rate, 0)
            conn.sendall(b"a" + command + status)

        answer(b"?")
        data = b""
        while True:
            chunk = conn.recv(65536)
            if not chunk:
                return
            data += chunk
            while data:
                c = data[:1]
                size = {b"b": 7, b"q": 5}.get(c, 1)
                if c == b"d":
                    if len(data) < 3:
                        break
                    size = 3 + 18 * struct.unpack("<H", data[1:3])[0]
                if len(data) < size:
                    break
                if c == b"p":
                    playback, points = 1, 0
                elif c == b"b":
                    playback, rate, started = 2, struct.unpack("<I", data[3:7])[0], time.monotonic()
                elif c == b"d":
                    points += (size - 3) // 18
                elif c == b"s":
                    playback = 0
                self.commands.append(c.decode("latin-1"))
                data = data[size:]
                answer(c)


def start_output(d):
    """The Лазер window from the palette, an address typed and Enter: the DAC plays."""
    dac = EtherDreamStub()
    dac.start()
    w = MainWindow(d, d.start_app())
    w.click_palette("SpeedButtonLaser")
    laser = d.window("^Лазер$")
    d.activate(laser)
    # The device list has the focus first, then the search button, then the address.
    d.key("Tab", "Tab")
    d.type("etherdream:127.0.0.1:%d" % dac.port)
    d.key("Return")
    wait_for(lambda: "b" in dac.commands, "the DAC to be told to begin")
    return w, laser, dac


def a_stroke_and_new(d, w):
    """A pen stroke, then New: the question whether to save it."""
    w.click_palette("SpeedButtonPen")
    w.stroke([(100, 100), (250, 250)])
    d.activate(w.wid)
    d.key("ctrl+n")


# The beam is stopped whatever is open over the main window: (what opens it, the title of
# what opens, how the stop is given: F12 there, or a click on the Лазер window's Стоп).
STOP_ROWS = {
    "laser.stop.f12_main_window": (None, None, "f12"),
    "laser.stop.f12_file_dialog": (lambda d, w: d.key("ctrl+o"), OPEN_DIALOG, "f12"),
    "laser.stop.f12_message_box": (a_stroke_and_new, "^quorinimage$", "f12"),
    "laser.stop.f12_text_dialog": (lambda d, w: d.key("ctrl+shift+t"), "^Текст$", "f12"),
    "laser.stop.f12_trace_dialog": (lambda d, w: d.key("ctrl+t"), "^Трассировка", "f12"),
    "laser.stop.button_under_file_dialog": (lambda d, w: d.key("ctrl+o"), OPEN_DIALOG, "button"),
}


def run_stop_row(d, tmp, name):
    opens, title, how = STOP_ROWS[name]
    w, laser, dac = start_output(d)
    d.activate(w.wid)
    target = w.wid
    if opens:
        opens(d, w)
        target = d.window(title)
        d.activate(target)
    check("s" not in dac.commands, "no stop before it is asked for")
    if how == "f12":
        d.key("F12")
    else:
        # The large button at the Лазер window's foot, under the layout's margin.
        x, y, width, height = d.geometry(laser)
        d.click(x + width // 2, y + height - 30)
    wait_for(lambda: dac.commands and dac.commands[-1] == "s", "the stop command")
    if opens:
        check(d.windows(title), "what was open stays open")


def contour_file_count(path):
    with open(path, "rb") as f:
        data = f.read()
    check(len(data) == 8192, "a contour file of 8192 bytes, got %d" % len(data))
    # The count word: offset binary, low byte first.
    return (data[8180] | (data[8181] << 8)) - 32768


def save_as(d, w, path):
    """Ctrl+F, the path typed into Qt's own file dialog, Enter."""
    w.d.activate(w.wid)
    d.key("ctrl+f")
    dialog = d.window("Save As|Сохранить|Записать")
    d.activate(dialog)
    d.key("ctrl+a")
    d.type(path)
    d.key("Return")
    wait_for(lambda: not d.windows(SAVE_DIALOG), "the save dialog to close")


def open_file(d, w, path):
    d.activate(w.wid)
    d.key("ctrl+o")
    dialog = d.window("^Open$|Открыть")
    d.activate(dialog)
    d.key("ctrl+a")
    d.type(path)
    d.key("Return")
    wait_for(lambda: not d.windows(OPEN_DIALOG), "the open dialog to close")
    d.handled()


# ---- Cases ----

def case_startup(d, tmp):
    w = MainWindow(d, d.start_app())
    check(w.title() == "Vardeni : [no name]", "the start caption, got %r" % w.title())

    def empty_surface(s):
        # The background everywhere but the centre marker, a white circle (and the frame's
        # corner mark at the top left); the panel's frame just outside the surface.
        background = s.pixel(w.surface[0] + 20, w.surface[1] + 20)
        return (w.count(background, 0, 20, 384, 170, s) == 384 * 150
                and w.count(WHITE, 180, 180, 205, 205, s) > 10
                and w.count(LINE_GREEN, 0, 0, 384, 384, s) == 0
                and s.pixel(w.surface[0] - 1, w.surface[1] - 1) != background)

    d.eventually(empty_surface, "an empty surface with the centre marker at (65, 33)")


def case_pen_stroke(d, tmp):
    w = MainWindow(d, d.start_app())
    w.click_palette("SpeedButtonPen")
    w.stroke([(60, 60), (300, 60), (300, 200)])
    d.eventually(lambda s: w.count(LINE_GREEN, 60, 55, 300, 66, s) > 150
                 and w.count(LINE_GREEN, 295, 60, 306, 200, s) > 80
                 and w.count(LINE_GREEN, 0, 250, 384, 384, s) == 0,
                 "the stroke's two legs on screen, nothing elsewhere")


def case_save_and_reopen(d, tmp):
    w = MainWindow(d, d.start_app())
    w.click_palette("SpeedButtonPen")
    w.stroke([(40, 300), (200, 300), (200, 120)])
    before = d.eventually(lambda s: w.count(LINE_GREEN, 0, 0, 384, 384, s) > 200
                          and w.count(LINE_GREEN, 0, 0, 384, 384, s), "the stroke on screen")
    folder = os.path.join(tmp, "Мои контуры")
    os.makedirs(folder)
    path = os.path.join(folder, "Звезда номер 1.ilz")
    save_as(d, w, path)
    wait_for(lambda: os.path.exists(path), "the saved file")
    count = wait_for(lambda: contour_file_count(path), "a count in the saved file")
    check(count > 5, "several points saved, got %d" % count)
    wait_for(lambda: path in w.title(), "the file's name in the caption")
    # Saved: closing asks nothing and ends the program.
    d.activate(w.wid)
    d.key("ctrl+q")
    check(d.app_exited(), "the program ends after a save without a question")

    w = MainWindow(d, d.start_app())
    d.eventually(lambda s: w.count(LINE_GREEN, 0, 0, 384, 384, s) == 0,
                 "a fresh start shows no contour")
    open_file(d, w, path)
    wait_for(lambda: path in w.title(), "the opened file's name in the caption")
    # Opened points lie up to one pixel nearer the centre, so the line is nearly the same.
    d.eventually(lambda s: abs(w.count(LINE_GREEN, 0, 0, 384, 384, s) - before) < before // 10
                 and w.count(LINE_GREEN, 40, 290, 200, 310, s) > 120,
                 "the same stroke where it was drawn")


def case_command_line_file(d, tmp):
    # The file named on the command line opens as Open opens it: caption and contour.
    source = os.path.join(tmp, "пять точек.ilz")
    write_contour(source, FIVE)
    w = MainWindow(d, d.start_app(source))
    wait_for(lambda: source in w.title(), "the file's name in the caption")
    d.eventually(lambda s: w.count(LINE_GREEN, 0, 0, 384, 384, s) > 100,
                 "the file's contour on screen")


def case_transform(d, tmp):
    w = MainWindow(d, d.start_app())
    w.click_palette("SpeedButtonPen")
    # A stroke in the left half only.
    w.stroke([(40, 100), (140, 100), (140, 250)])
    d.eventually(lambda s: w.count(LINE_GREEN, 0, 0, 192, 384, s) > 150
                 and w.count(LINE_GREEN, 192, 0, 384, 384, s) == 0, "a stroke on the left")
    w.click_palette("SpeedButtonMirrorGor")
    # Left-right: pixel x goes to 384 - x.
    d.eventually(lambda s: w.count(LINE_GREEN, 0, 0, 192, 384, s) == 0
                 and w.count(LINE_GREEN, 244, 95, 344, 106, s) > 60
                 and w.count(LINE_GREEN, 239, 100, 250, 250, s) > 100,
                 "the stroke mirrored to the right half")


def case_settings_colour(d, tmp):
    w = MainWindow(d, d.start_app())
    w.click_palette("SpeedButtonPen")
    # Low on the surface, where the settings window does not cover it.
    w.stroke([(60, 300), (320, 300)])
    d.eventually(lambda s: w.count(LINE_GREEN, 60, 295, 320, 306, s) > 200, "a green stroke")
    w.click_toolbar("SpeedButtonOptionForm")
    options = d.window("^OptionForm$")
    ox, oy, _, _ = d.geometry(options)
    # The line colour list: the first in the colour group, at (8, 21) of the group at (8, 8).
    d.click(ox + 16 + 18, oy + 29 + 11)
    d.key("Escape")  # closes the opened list; the focus stays on the box
    d.key("Down")  # the next colour, Olive
    d.eventually(lambda s: w.count(OLIVE, 60, 295, 320, 306, s) > 200
                 and w.count(LINE_GREEN, 0, 0, 384, 384, s) == 0,
                 "the stroke redrawn in olive, no green left")


def write_bmp(path, width, height, colour_of):
    """A 24-bit Windows bitmap; colour_of(x, y) gives (r, g, b), y counted from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):  # bottom row first
        row = bytearray()
        for x in range(width):
            r, g, b = colour_of(x, y)
            row += bytes((b, g, r))
        rows.append(bytes(row) + bytes(stride - len(row)))
    pixels = b"".join(rows)
    header = (b"BM" + (54 + len(pixels)).to_bytes(4, "little") + bytes(4)
              + (54).to_bytes(4, "little"))
    info = ((40).to_bytes(4, "little") + width.to_bytes(4, "little")
            + height.to_bytes(4, "little") + (1).to_bytes(2, "little")
            + (24).to_bytes(2, "little") + bytes(4) + len(pixels).to_bytes(4, "little")
            + (2835).to_bytes(4, "little") * 2 + bytes(8))
    with open(path, "wb") as f:
        f.write(header + info + pixels)


RED, BLUE, GREEN = (255, 0, 0), (0, 0, 255), (0, 255, 0)


def open_underlay(d, w, path):
    """The toolbar's underlay button, the path typed into Qt's own file dialog, Enter."""
    w.click_toolbar("SpeedButtonOpenImage")
    dialog = d.window("^Open$|Открыть")
    d.activate(dialog)
    d.key("ctrl+a")
    d.type(path)
    d.key("Return")
    wait_for(lambda: not d.windows(OPEN_DIALOG), "the open dialog to close")


def case_underlay(d, tmp):
    w = MainWindow(d, d.start_app())
    # 40 x 40: red above, blue below, and a green bottom row, whose colour (that of the
    # bottom-left pixel) is the transparent one.
    path = os.path.join(tmp, "Подложка для обводки.bmp")
    write_bmp(path, 40, 40, lambda x, y: GREEN if y == 39 else (RED if y < 20 else BLUE))
    open_underlay(d, w, path)
    # Enlarged to 386 x 386 at (4, 0) of the 394 x 386 surface: red in the upper half, blue
    # in the lower, and the green row left out.
    d.eventually(lambda s: w.count(RED, 10, 10, 380, 180, s) > 370 * 150
                 and w.count(BLUE, 10, 210, 380, 370, s) > 370 * 140
                 and w.count(GREEN, 0, 0, 394, 386, s) == 0,
                 "the picture under the surface, fitted")
    # Drawing goes over it.
    w.click_palette("SpeedButtonPen")
    w.stroke([(60, 100), (320, 100)])
    d.eventually(lambda s: w.count(LINE_GREEN, 60, 95, 320, 106, s) > 200, "a stroke over it")
    # The toggle hides it again.
    w.click_toolbar("SpeedButtonPictureON")
    d.eventually(lambda s: w.count(RED, 0, 0, 394, 386, s) == 0
                 and w.count(LINE_GREEN, 60, 95, 320, 106, s) > 200, "the underlay hidden")


def case_closing_question(d, tmp):
    w = MainWindow(d, d.start_app())
    w.click_palette("SpeedButtonPen")
    w.stroke([(100, 100), (250, 250)])
    d.eventually(lambda s: w.count(LINE_GREEN, 100, 100, 250, 250, s) > 100, "a stroke")
    d.activate(w.wid)
    d.key("ctrl+q")
    # The question box carries the program's name as its title.
    box = d.window("^quorinimage$")
    # Escape is Cancel: the window stays, the stroke too.
    d.activate(box)
    d.key("Escape")
    wait_for(lambda: not d.windows("^quorinimage$"), "the question to close")
    d.handled()  # answered by a program that still runs its event loop, unless it ended
    check(d.proc.poll() is None, "the program goes on after Cancel")
    d.eventually(lambda s: w.count(LINE_GREEN, 100, 100, 250, 250, s) > 100, "the stroke kept")
    # Again, answered No: the program ends without writing anything.
    d.activate(w.wid)
    d.key("ctrl+q")
    box = d.window("^quorinimage$")
    d.activate(box)
    d.alt("н")  # Нет
    check(d.app_exited(), "the program ends after No")
    check(not [f for f in os.listdir(tmp) if f.endswith(".ilz")], "no file written")


def read_words(d, x, y, width, height):
    """The words on a rectangle of the screen, as tesseract reads them (in lower case): the
    rectangle enlarged four times, for the window's 11-pixel font, and made black and white,
    so that a button's shaded face reads as plain as the rest."""
    shot = os.path.join(d.workdir, "words.png")
    subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y),
                    "+repage", shot], env=d.env, check=True, capture_output=True, timeout=30)
    subprocess.run(["convert", shot, "-colorspace", "Gray", "-resize", "400%", "-threshold",
                    "60%", shot], check=True, capture_output=True, timeout=30)
    r = subprocess.run(["tesseract", shot, "-", "--psm", "11"], capture_output=True,
                       text=True, timeout=60)
    check(r.returncode == 0, "tesseract reads the screen: " + r.stderr.strip())
    return "".join(c if c.isalnum() else " " for c in r.stdout.lower()).split()


def reads(d, rect, words, what):
    """Waits until every one of the words is read on the rectangle (x, y, width, height)."""
    seen = []

    def found():
        seen[:] = read_words(d, *rect)
        return all(w in seen for w in words)

    try:
        wait_for(found, what, timeout=10, step=0.5)
    except Failure:
        raise Failure("%s: %s not all in %s" % (what, words, seen))


def case_english(d, tmp):
    # A user's English system: the menus, the program's messages and Qt's buttons in English.
    check(shutil.which("tesseract"), "tesseract (scripts/install-deps.sh installs it)")
    d.english = True
    # A picture named at the start that cannot be read: the program's message about it.
    broken = os.path.join(tmp, "broken.png")
    with open(broken, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + bytes(40))
    w = MainWindow(d, d.start_app(broken))
    box = d.window("^quorinimage$")
    reads(d, d.geometry(box), ["png", "picture", "cannot", "damaged", "ok"],
          "the message about the picture in English")
    d.activate(box)
    d.key("Return")
    wait_for(lambda: not d.windows("^quorinimage$"), "the message to close")
    d.handled()
    check(w.title() == "Vardeni : [no name]", "the start caption, got %r" % w.title())
    x, y, width, height = d.geometry(w.wid)
    bar = (x, y, width, height - CLIENT_H)
    reads(d, bar, ["file", "edit", "frame", "help"], "the menu bar in English")
    # The File menu opens under its title, at the bar's left.
    d.click(x + 12, y + (height - CLIENT_H) // 2)
    reads(d, (x, w.client[1], 330, 360), ["open", "contour", "exit"], "the File menu in English")
    d.key("Escape")
    # Closing with a change: the question's buttons are Qt's, in English, and Alt+N is No.
    w.click_palette("SpeedButtonPen")
    w.stroke([(100, 100), (250, 250)])
    d.activate(w.wid)
    d.key("ctrl+q")
    box = d.window("^quorinimage$")
    reads(d, d.geometry(box), ["no", "ok", "cancel"], "the question's buttons in English")
    d.activate(box)
    d.alt("n")
    check(d.app_exited(), "the program ends after No")


# ---- Real mouse input on the surface ----
#
# Each row starts the editor, opens a contour of five points (or starts empty), picks a tool
# and plays real pointer events through the X server, then saves and compares the file's
# points with the ones worked out by hand from the tools' rules (spacing 15, hot-point
# brightness 10, both at their start values).

A, B, C, D, E = (60, 60), (150, 60), (240, 60), (240, 200), (60, 200)
FIVE = [A, B, C, D, E]
EMPTY_PLACE = (320, 320)  # far from every point, and from the unused slots at (192, 192)


def coordinate_word(pixel):
    # Contour units are (p - 192) x 5,000,000; the file keeps them divided by 65,536
    # (truncated toward zero) plus 32,768.
    v = (pixel - 192) * 5_000_000
    q = abs(v) // 65_536
    return (q if v >= 0 else -q) + 32_768


def write_contour(path, pixels):
    words = [32_768] * 4096
    for i, (x, y) in enumerate(pixels):
        words[2 * i], words[2 * i + 1] = coordinate_word(x), coordinate_word(y)
    words[4090] = len(pixels) + 32_768
    with open(path, "wb") as f:
        f.write(b"".join(w.to_bytes(2, "little") for w in words))


def contour_words(path):
    with open(path, "rb") as f:
        data = f.read()
    check(len(data) == 8192, "a contour file of 8192 bytes, got %d" % len(data))
    word = lambda k: data[2 * k] | (data[2 * k + 1] << 8)
    return [(word(2 * i), word(2 * i + 1)) for i in range(word(4090) - 32_768)]


def line(x0, x1, y, step=4):
    """Pointer positions from (x0, y) to (x1, y), step pixels apart, as a hand moves."""
    sign = 1 if x1 >= x0 else -1
    return [(x, y) for x in range(x0, x1 + sign, sign * step)]


def column(x, y0, y1, step=4):
    return [(p[1], p[0]) for p in line(y0, y1, x, step)]


def popup_shown(d):
    # The popup menu's window has no WM_NAME (so "search --name" misses it); its
    # _NET_WM_NAME is the program's name. No message box is open in these rows.
    out = d.xdotool("search", "--onlyvisible", "--class", "quorinimage", check_rc=False)
    return any(d.name_of(int(wid)) == "quorinimage" for wid in out.split())


def play(d, w, step):
    """One step of a row: real pointer and key events."""
    kind, *args = step
    at = lambda p: w.at_surface(*p)
    if kind == "right":  # a right click; the popup menu opens after it, Escape closes it
        d.click(*at(args[0]), button=3)
        wait_for(lambda: popup_shown(d), "the popup menu", timeout=5)
        d.key("Escape")
        wait_for(lambda: not popup_shown(d), "the popup menu to close")
    elif kind == "right_popup":  # a right click that leaves the popup menu open
        d.click(*at(args[0]), button=3)
        wait_for(lambda: popup_shown(d), "the popup menu", timeout=5)
    elif kind == "left":
        d.click(*at(args[0]))
    elif kind == "double":
        d.move(*at(args[0]))
        d.xdotool("click", "--repeat", 2, "--delay", 80, 1)
        d.handled()
    elif kind == "drag":  # the left button held along the positions
        d.drag([at(p) for p in args[0]])
    elif kind == "busy_drag":  # the same while the program is busy: it reads none of it
        d.move(*at(args[0][0]))
        d.xdotool("mousedown", 1)
        with d.stopped():
            for p in args[0][1:]:
                d.move(*at(p))
            d.xdotool("mouseup", 1)
        d.handled()
    elif kind == "hover":  # no button held
        for p in args[0]:
            d.move(*at(p))
        d.handled()
    elif kind == "down":
        d.move(*at(args[0]))
        d.xdotool("mousedown", args[1])
    elif kind == "up":
        d.move(*at(args[0]))
        d.xdotool("mouseup", args[1])
        d.handled()
    elif kind == "click_during_drag":  # another button clicked while the left one is held
        d.xdotool("click", args[0])
        d.handled()
        check(not popup_shown(d), "no popup menu while the left button is still held")
    elif kind == "popup_item":  # the n-th enabled item of the open popup menu, by the keys
        for _ in range(args[0]):
            d.key("Down")
        d.key("Return")
        wait_for(lambda: not popup_shown(d), "the popup menu to close")
    elif kind == "shortcut":  # keys straight after the popup closed open their dialog
        d.key(args[0])
        dialog = d.window(args[1], timeout=5)
        d.activate(dialog)
        d.key("Escape")
        wait_for(lambda: not d.windows(args[1]), "the dialog to close")
    elif kind == "screen":  # a condition on the surface, given surface pixel counts
        d.eventually(lambda s: args[0](w, s), args[1])
    else:
        raise Failure("unknown step " + kind)


def frame_stays(w, s):
    # The move tool's frame (dotted red) drawn from (100, 250) to (200, 330) is still there,
    # and not shifted by the pointer's later hover.
    return (w.count(RED, 105, 249, 195, 252, s) > 30
            and w.count(RED, 105, 255, 195, 265, s) == 0)


MOVE_SETUP = [("hover", line(90, 100, 250)),  # the frame tool sees the pointer first
              ("drag", [(x, 250 + (x - 100) * 4 // 5) for x in range(100, 201, 4)]),
              ("palette", "SpeedButtonMove")]

# name: (open the five points first?, tool, steps, expected points in surface pixels)
INPUT_ROWS = {
    # A right click reaches the tool with its press and its release before the popup opens.
    "right_click.pen": (True, "SpeedButtonPen",
                        [("right", (300, 300)), ("left", (305, 305))],
                        # the right release moved the pen to (300, 300): the press is near
                        FIVE + [(305, 305)]),
    "right_click.eraser": (True, "SpeedButtonEraser",
                           [("right", B), ("left", EMPTY_PLACE)], [A, C, D, E]),
    "right_click.knife": (True, "SpeedButtonKnife",
                          [("right", C), ("left", EMPTY_PLACE)], [C, D, E, A, B]),
    "right_click.hot_point": (True, "SpeedButtonHotPoint",
                              [("right", B), ("left", EMPTY_PLACE)], [A] + [B] * 11 + [C, D, E]),
    "right_click.edit_point": (True, "SpeedButtonEditPoint",
                               [("right", EMPTY_PLACE), ("drag", column(150, 60, 120))],
                               [A, (150, 120), C, D, E]),
    "right_click.frame": (True, "SpeedButtonKontur",
                          [("hover", line(300, 310, 300)), ("right", (310, 300)),
                           ("shortcut", "ctrl+f", SAVE_DIALOG), ("left", EMPTY_PLACE)],
                          FIVE),
    "right_click.move": (True, "SpeedButtonKontur",
                         MOVE_SETUP + [("right", (150, 290)), ("hover", line(150, 180, 300)),
                                       ("screen", frame_stays, "the frame left where it was"),
                                       ("left", (320, 100))], FIVE),
    # Choosing "Откат" in the popup undoes the press, and a shortcut works right after.
    "popup.undo": (True, "SpeedButtonHotPoint", [("right_popup", B), ("popup_item", 1), ("shortcut", "ctrl+o", "^Open$|Открыть")],
                   FIVE),
    # A click while the popup is open only closes it, as elsewhere on this desktop: the tool
    # sees neither its press nor its release, so the next press is near the right release.
    "popup.press": (True, "SpeedButtonPen",
                    [("right_popup", (300, 300)), ("left", (100, 350)), ("left", (305, 305))],
                    FIVE + [(305, 305)]),
    # Released outside the window: the release comes back clamped, and ends the stroke.
    "input.release_outside": (False, "SpeedButtonPen",
                              [("drag", line(300, 600, 100)), ("hover", column(100, 100, 300))],
                              [(x, 100) for x in range(300, 381, 16)]),
    # Leaving the window mid-stroke: moves keep arriving, clamped to the top row.
    "input.leave_and_return": (False, "SpeedButtonPen",
                               [("drag", column(100, 100, -148) + column(100, -148, 100))],
                               [(100, y) for y in (100, 84, 68, 52, 36, 20, 4)]
                               + [(100, y) for y in (20, 36, 52, 68, 84, 100)]),
    # A right click during a stroke: its release ends the stroke, no popup takes the left
    # button's release, and moves after it add nothing.
    "input.second_button": (False, "SpeedButtonPen",
                            [("down", (100, 300), 1), ("hover", line(100, 140, 300)),
                             ("click_during_drag", 3), ("hover", line(140, 200, 300)),
                             ("up", (200, 300), 1), ("hover", column(200, 300, 360))],
                            [(100, 300), (116, 300), (132, 300)]),
    # A fast stroke drawn while the program is busy: every move that waited in its queue
    # reaches the pen, which takes one each 16 pixels as at rest.
    "input.busy_stroke": (False, "SpeedButtonPen", [("busy_drag", line(60, 320, 100))],
                          [(x, 100) for x in range(60, 321, 16)]),
    # A double click is two presses: the second one near the first repeats the point.
    "input.double_click": (False, "SpeedButtonPen", [("double", (200, 250))],
                           [(200, 250), (200, 250)]),
}


def run_input_row(d, tmp, name):
    load, tool, steps, expected = INPUT_ROWS[name]
    w = MainWindow(d, d.start_app())
    if load:
        source = os.path.join(tmp, "пять точек.ilz")
        write_contour(source, FIVE)
        open_file(d, w, source)
        wait_for(lambda: source in w.title(), "the opened file's name in the caption")
    w.click_palette(tool)
    for step in steps:
        if step[0] == "palette":
            w.click_palette(step[1])
        else:
            play(d, w, step)
    path = os.path.join(tmp, "result.ilz")
    save_as(d, w, path)
    wait_for(lambda: path in w.title(), "the saved file's name in the caption")
    got = contour_words(path)
    want = [(coordinate_word(x), coordinate_word(y)) for x, y in expected]
    check(got == want, "saved points %s, expected %s" % (got, want))


# ---- Recovery after a kill ----

def recovery_copies(tmp):
    folder = os.path.join(tmp, ".local", "share", "quorinimage", "recovery")
    if not os.path.isdir(folder):
        return []
    return sorted(f for f in os.listdir(folder) if f.endswith(".qrc"))


def mirrored_left_right(path):
    """The file's bytes after a left-right mirror, worked out from the words: x := -x for
    the points and the three slots after them, and -((w - 32768) * 65536) is word 65536 - w."""
    with open(path, "rb") as f:
        data = bytearray(f.read())
    count = (data[8180] | (data[8181] << 8)) - 32768
    for i in range(count + 3):
        w = data[4 * i] | (data[4 * i + 1] << 8)
        w = (65536 - w) & 0xFFFF if w != 32768 else w
        data[4 * i:4 * i + 2] = w.to_bytes(2, "little")
    return bytes(data)


def killed_with_a_change(d, tmp):
    """Opens a file, mirrors it, waits for the copy and kills the editor. Returns the file
    and the bytes the change should give."""
    source = os.path.join(tmp, "пять точек.ilz")
    write_contour(source, FIVE)
    with open(source, "rb") as f:
        original = f.read()
    w = MainWindow(d, d.start_app())
    open_file(d, w, source)
    wait_for(lambda: source in w.title(), "the opened file's name in the caption")
    check(not recovery_copies(tmp), "no copy while the contour equals its file")
    changed = time.monotonic()  # before the click: the time measured is never too short
    w.click_palette("SpeedButtonMirrorGor")
    wait_for(lambda: recovery_copies(tmp), "a recovery copy", timeout=10, step=0.05)
    elapsed = time.monotonic() - changed
    print("recovery copy on disk %.2f s after the change" % elapsed)
    check(elapsed < 2.5, "the copy on disk within 2.5 s of the change, not %.2f s" % elapsed)
    d.proc.kill()  # SIGKILL: no closing, no clean-up
    d.proc.wait()
    return source, original, mirrored_left_right(source)


def case_recovery_restore(d, tmp):
    source, original, expected = killed_with_a_change(d, tmp)
    w = MainWindow(d, d.start_app())
    box = d.window("^quorinimage$")
    d.activate(box)
    d.key("Return")  # Yes is the default
    wait_for(lambda: source in w.title(), "the restored contour under its file's name")
    with open(source, "rb") as f:
        check(f.read() == original, "the file itself untouched until Save")
    # Save writes the restored contour to its own file: the dialog proposes it, the
    # overwrite question is answered Yes.
    d.activate(w.wid)
    d.key("ctrl+s")
    dialog = d.window("Save As|Сохранить|Записать")
    d.activate(dialog)
    d.key("Return")
    question = d.window("^quorinimage$")
    d.activate(question)
    d.key("Return")
    wait_for(lambda: open(source, "rb").read() == expected, "the changed contour in the file")
    wait_for(lambda: not recovery_copies(tmp), "the copy removed once the work is saved")


def case_recovery_decline(d, tmp):
    source, original, _ = killed_with_a_change(d, tmp)
    w = MainWindow(d, d.start_app())
    box = d.window("^quorinimage$")
    d.activate(box)
    d.alt("н")  # Нет
    wait_for(lambda: not d.windows("^quorinimage$"), "the question to close")
    check(w.title() == "Vardeni : [no name]", "nothing restored, got %r" % w.title())
    wait_for(lambda: not recovery_copies(tmp), "the orphan deleted")
    folder = os.path.join(tmp, ".local", "share", "quorinimage", "recovery")
    left = os.listdir(folder)
    check(len(left) == 1 and left[0].endswith(".qrc.lock"),
          "only the running editor's lock left, got %s" % left)
    with open(source, "rb") as f:
        check(f.read() == original, "the file untouched")


def case_recovery_two_editors(d, tmp):
    first = MainWindow(d, d.start_app())
    first.click_palette("SpeedButtonPen")
    first.stroke([(60, 300), (200, 300)])
    wait_for(lambda: len(recovery_copies(tmp)) == 1, "the first editor's copy")
    second = subprocess.Popen([d.app], cwd=tmp, env=d.env, stdout=d.log, stderr=d.log,
                              preexec_fn=die_with_parent)
    try:
        ids = wait_for(lambda: [wid for wid in d.windows("^Vardeni : ") if wid != first.wid],
                       "a second editor")
        # The question would be up before the second editor reads its first input.
        d.handled(ids[0])
        check(not d.windows("^quorinimage$"), "the running editor's copy is not offered")
        other = MainWindow(d, ids[0])
        d.main = other.wid  # the input goes to the second editor from here on
        d.activate(other.wid)
        other.click_palette("SpeedButtonPen")
        other.stroke([(60, 100), (200, 100)])
        wait_for(lambda: len(recovery_copies(tmp)) == 2, "a copy for each editor")
    finally:
        second.kill()
        second.wait()


TRACE_PREVIEW = (230, 0, 170)  # the tracing preview's own colour


def case_trace_underlay(d, tmp):
    """A picture loaded as the underlay, Ctrl+T, Enter, saved: the contour lies on its outline."""
    w = MainWindow(d, d.start_app())
    # 400 x 400: a black disc of radius 120 about (200, 200) on white, which is the colour
    # of the bottom-left pixel and so keyed out.
    inside = lambda x, y: (x + 0.5 - 200) ** 2 + (y + 0.5 - 200) ** 2 < 120 ** 2
    path = os.path.join(tmp, "disc.bmp")
    write_bmp(path, 400, 400, lambda x, y: (0, 0, 0) if inside(x, y) else WHITE)
    open_underlay(d, w, path)
    d.handled()

    d.activate(w.wid)
    d.key("ctrl+t")
    trace = d.window("Трассировка подложки")
    # The preview lies over the disc's edge, which is drawn 386 x 386 at (4, 0).
    d.eventually(lambda s: w.count(TRACE_PREVIEW, 70, 60, 330, 330, s) > 300
                 and w.count(TRACE_PREVIEW, 150, 150, 240, 240, s) == 0,
                 "the traced outline previewed over the surface")
    shots = os.environ.get("QUORINIMAGE_E2E_SHOTS")
    if shots:
        subprocess.run(["import", "-window", "root", os.path.join(shots, "trace.png")],
                       env=d.env, capture_output=True, timeout=30)
    d.activate(trace)
    d.key("Return")
    wait_for(lambda: not d.windows("Трассировка подложки"), "the dialog to close")

    saved = os.path.join(tmp, "traced.ilz")
    save_as(d, w, saved)
    wait_for(lambda: os.path.exists(saved), "the contour saved")
    points = contour_words(saved)
    # The disc's edge on the surface: centre 4 + 200 * 0.965 - 0.5, radius 120 * 0.965.
    cx, cy, r = 4 + 193 - 0.5, 193 - 0.5, 120 * 0.965
    pixel = lambda word: (word - 32_768) * 65_536 / 5_000_000 + 192
    far = [(pixel(x), pixel(y)) for x, y in points
           if abs(((pixel(x) - cx) ** 2 + (pixel(y) - cy) ** 2) ** 0.5 - r) > 1.0]
    check(40 <= len(points) <= 60, "about 2 pi r / 15 points, got %d" % len(points))
    check(not far, "every point within a pixel of the edge; off: %r" % far[:5])


def case_beam_colour(d, tmp):
    """The beam colour button's chooser, a colour typed into its HTML field, and the pen's
    next stroke in that colour."""
    w = MainWindow(d, d.start_app())
    w.click_palette("SpeedButtonPen")
    # The narrow swatch in the toolbar's last pixels, (472, 3), 14 by 23.
    swatch = (w.client[0] + 472 + 7, w.client[1] + 3 + 11)
    d.click(*swatch)
    dialog = d.window("^Цвет луча$")
    d.activate(dialog)
    d.key("alt+h")  # the chooser's HTML field
    d.key("ctrl+a")
    d.type("#ff0000")
    d.key("Return")
    wait_for(lambda: not d.windows("^Цвет луча$"), "the colour dialog to close")
    d.eventually(lambda s: s.pixel(*swatch) == RED, "the swatch in red")
    w.stroke([(60, 300), (320, 300)])
    d.eventually(lambda s: w.count(RED, 60, 295, 320, 306, s) > 200
                 and w.count(LINE_GREEN, 0, 0, 384, 384, s) == 0, "a red stroke, nothing green")


def ilda_frames(path):
    """The frames of an ILDA file, each a list of (x, y, blanked), read by the book: 32-byte
    headers, records of 8 (format 0), 6 (1), 10 (4) or 8 (5) bytes, big-endian words."""
    with open(path, "rb") as f:
        data = f.read()
    sizes = {0: 8, 1: 6, 2: 3, 4: 10, 5: 8}
    frames, at = [], 0
    while at + 32 <= len(data):
        check(data[at:at + 4] == b"ILDA", "an ILDA header at %d" % at)
        fmt, count = data[at + 7], int.from_bytes(data[at + 24:at + 26], "big")
        at += 32
        if count == 0:
            break
        size = sizes[fmt]
        if fmt != 2:
            # The status byte follows the coordinates (two words, three for 3D formats).
            status = 6 if fmt in (0, 4) else 4
            frames.append([(int.from_bytes(data[i:i + 2], "big", signed=True),
                            int.from_bytes(data[i + 2:i + 4], "big", signed=True),
                            bool(data[i + status] & 0x40))
                           for i in range(at, at + count * size, size)])
        at += count * size
    return frames


def case_show_from_keys(d, tmp):
    """A stroke, Ctrl+Shift+D (a copy after it), Ctrl+Shift+N (an empty frame after that), a
    second stroke, Save As an ILDA file: three frames, the first two alike."""
    w = MainWindow(d, d.start_app())
    w.click_palette("SpeedButtonPen")
    w.stroke([(60, 100), (300, 100)])
    d.eventually(lambda s: w.count(LINE_GREEN, 60, 95, 300, 106, s) > 200, "the first stroke")
    d.activate(w.wid)
    d.key("ctrl+shift+d")
    d.key("ctrl+shift+n")
    # The new frame is empty: the surface shows no full-strength line (the onion skin is off).
    d.eventually(lambda s: w.count(LINE_GREEN, 0, 0, 384, 384, s) == 0, "an empty frame")
    w.stroke([(100, 300), (100, 60)])
    d.eventually(lambda s: w.count(LINE_GREEN, 95, 60, 106, 300, s) > 200, "the second stroke")
    path = os.path.join(tmp, "показ.ild")
    save_as(d, w, path)
    frames = wait_for(lambda: os.path.exists(path) and ilda_frames(path), "the saved show")
    check(len(frames) == 3, "three frames, got %d" % len(frames))
    check(frames[0] == frames[1], "the copy holds the first frame's points")
    across = [y for x, y, blanked in frames[0] if not blanked]
    down = [x for x, y, blanked in frames[2] if not blanked]
    check(len(across) > 5 and max(across) - min(across) < 400,
          "the first frame is the stroke across, at one height")
    check(len(down) > 5 and max(down) - min(down) < 400,
          "the third frame is the stroke down, at one x")


CASES = {
    "startup": case_startup,
    "show.from_keys": case_show_from_keys,
    "pen_stroke": case_pen_stroke,
    "save_and_reopen": case_save_and_reopen,
    "command_line_file": case_command_line_file,
    "transform": case_transform,
    "settings_colour": case_settings_colour,
    "beam_colour": case_beam_colour,
    "closing_question": case_closing_question,
    "english": case_english,
    "underlay": case_underlay,
    "trace.underlay": case_trace_underlay,
    "recovery.restore": case_recovery_restore,
    "recovery.decline": case_recovery_decline,
    "recovery.two_editors": case_recovery_two_editors,
}
CASES.update({name: (lambda n: lambda d, tmp: run_stop_row(d, tmp, n))(name)
              for name in STOP_ROWS})
CASES.update({name: (lambda n: lambda d, tmp: run_input_row(d, tmp, n))(name)
              for name in INPUT_ROWS})


def run(app, name):
    tmp = tempfile.mkdtemp(prefix="quorinimage-e2e-")
    log_path = os.path.join(tmp, "display.log")
    ok = False
    try:
        with open(log_path, "w") as log, Display(app, tmp, log) as d:
            try:
                CASES[name](d, tmp)
                ok = True
            except Failure as e:
                print("FAILED %s: %s" % (name, e))
                shot = os.path.join(tempfile.gettempdir(), "quorinimage-e2e-%s.png" % name)
                subprocess.run(["import", "-window", "root", shot], env=d.env,
                               capture_output=True, timeout=30)
                print("screen kept in " + shot)
    finally:
        if not ok and os.path.exists(log_path):
            with open(log_path, errors="replace") as f:
                tail = f.read()[-3000:]
            if tail.strip():
                print("--- display and program output ---\n" + tail)
        shutil.rmtree(tmp, ignore_errors=True)
    print("%s %s" % ("ok" if ok else "FAILED", name))
    return ok


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--app")
    parser.add_argument("--list", action="store_true", help="print the cases' names")
    parser.add_argument("case", nargs="?", choices=sorted(CASES) + ["all"])
    args = parser.parse_args()
    if args.list:
        print(";".join(sorted(CASES)))
        return 0
    if not args.app or not args.case:
        parser.error("--app and a case are needed")
    missing = [t for t in ("Xvfb", "xdotool", "import") if not shutil.which(t)]
    if missing:
        print("missing tools (scripts/install-deps.sh installs them): " + ", ".join(missing))
        return 1
    names = sorted(CASES) if args.case == "all" else [args.case]
    results = [run(os.path.abspath(args.app), n) for n in names]
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
