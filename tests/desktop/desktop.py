"""A desktop of its own for trying the real program as a user does. Everything is read as a user or a
screen reader sees it (X geometry and hints, AT-SPI texts, screen pixels, the XFixes pointer, the settings
file); input is XTest through xdotool. Every wait is for an event, polled with a deadline that only a hung
run reaches; what must not happen is checked once a round trip through openbox proves it had its chance."""

import contextlib
import json
import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77  # CTest's SKIP_RETURN_CODE for this test


class Unavailable(Exception):
    """No X server or compositor can start here."""


def wait_for(probe, what, timeout=60.0):
    deadline = time.monotonic() + timeout
    while not (value := probe()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.02)
    return value


def start_xvfb(processes):
    if not shutil.which("Xvfb"):
        raise Unavailable("Xvfb is not installed")
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24",
                               "-nolisten", "tcp", "-noreset"], pass_fds=(write,), stderr=subprocess.PIPE,
                              start_new_session=True)
    os.close(write)
    processes.append(server)
    with os.fdopen(read, "rb") as pipe:  # the number, then a newline, in two writes
        number = pipe.readline().decode().strip()
    if not number:
        raise Unavailable("Xvfb did not start: " + server.stderr.read().decode(errors="replace"))
    return ":" + number


class Session:
    """Xvfb, a session bus with the accessibility bus, and openbox, for the life of a `with` block."""

    def __init__(self):
        self.work = tempfile.mkdtemp(prefix="tallix-desktop.")
        self.processes = []
        self.env = dict(os.environ)
        for name in ("WAYLAND_DISPLAY", "QT_SCALE_FACTOR", "QT_QPA_PLATFORM", "SESSION_MANAGER"):
            self.env.pop(name, None)

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        self.env["DISPLAY"] = start_xvfb(self.processes)
        import pyatspi  # noqa: F401 (fails early and clearly when missing)

        self.connect()
        self.x.xfixes_query_version()  # before the first XFixes request
        bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"], output=True)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        os.environ.update({name: self.env[name] for name in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS")})
        self.spawn(["/usr/libexec/at-spi-bus-launcher"])
        self.spawn(["openbox", "--config-file", "/etc/xdg/openbox/rc.xml"])  # packaged, not the user's
        wait_for(lambda: self.property(self.root, "_NET_SUPPORTING_WM_CHECK"), "openbox")
        # The first key from XTest changes the keyboard the server reports, and openbox sets up its key
        # bindings again: a key that came meanwhile (Alt+F4, say) would pass them by.
        self.xdotool("key", "shift")
        self.settle()

    def connect(self):
        from Xlib import display

        self.x = display.Display(self.env["DISPLAY"])
        self.root = self.x.screen().root

    def spawn(self, command, output=False):
        # A process group of its own, so that what it starts (the accessibility registry) goes with it.
        log = open(os.path.join(self.work, os.path.basename(command[0]) + ".log"), "wb")
        process = subprocess.Popen(command, env=self.env, stdout=subprocess.PIPE if output else log,
                                   stderr=log, start_new_session=True)
        self.processes.append(process)
        return process

    def stop(self):
        for process in reversed(self.processes):
            with contextlib.suppress(ProcessLookupError):  # not yet waited for: its id is still its own
                os.killpg(process.pid, signal.SIGTERM)
        for process in reversed(self.processes):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        self.processes.clear()
        shutil.rmtree(self.work, ignore_errors=True)

    def property(self, window, name):
        from Xlib.error import BadWindow

        try:
            reply = window.get_full_property(self.x.intern_atom(name), 0)
        except BadWindow:  # gone meanwhile
            return None
        return list(reply.value) if reply else None

    def atoms(self, window, name):
        return [self.x.get_atom_name(a) for a in self.property(window, name) or []]

    def settle(self):
        """Returns once openbox has handled everything the X server had for it before this call (windows
        to map, activate or restore, the keyboard changed): it answers a request for the frame extents of
        a window it doesn't manage by setting them on it, in turn with the rest. The request goes again
        every half second: openbox has been seen to leave one unhandled until another event came."""
        from Xlib import X, protocol

        marker = self.root.create_window(0, 0, 1, 1, 0, 0, X.InputOnly, X.CopyFromParent,
                                         event_mask=X.PropertyChangeMask)
        request = protocol.event.ClientMessage(window=marker, client_type=self.x.intern_atom(
            "_NET_REQUEST_FRAME_EXTENTS"), data=(32, [0] * 5))
        asked = 0.0

        def answered():
            nonlocal asked
            if time.monotonic() > asked + 0.5:
                self.root.send_event(request, event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
                self.x.flush()
                asked = time.monotonic()
            events = [self.x.next_event() for _ in range(self.x.pending_events())]
            return any(event.type == X.PropertyNotify and event.window == marker for event in events)

        wait_for(answered, "openbox to answer")
        marker.destroy()

    def title(self, window):
        name = self.property(window, "_NET_WM_NAME")
        return bytes(name).decode() if name else None

    def clients(self):
        """The managed windows, bottom of the stack first."""
        self.x.sync()
        return [self.x.create_resource_object("window", w)
                for w in self.property(self.root, "_NET_CLIENT_LIST_STACKING") or []]

    def window(self, title, pid=None):
        for window in self.clients():
            owner = self.property(window, "_NET_WM_PID")
            if self.title(window) == title and (pid is None or owner == [pid]):
                return window
        return None

    def mapped(self, title, pid=None, timeout=60.0):
        """The window, once openbox has framed it and it is on the screen."""
        from Xlib import X

        def find():
            window = self.window(title, pid)
            return window if (window and self.property(window, "_NET_FRAME_EXTENTS")
                              and window.get_attributes().map_state == X.IsViewable) else None

        return wait_for(find, f"the window {title!r}", timeout)

    def active(self):
        active = self.property(self.root, "_NET_ACTIVE_WINDOW")
        return active[0] if active else None

    def origin(self, window):
        """Where the X server has the window's client area on the screen."""
        corner = window.translate_coords(self.root, 0, 0)
        return -corner.x, -corner.y

    def frame(self, window):
        """The outer edges of a window's frame: left, top, width, height."""
        x, y = self.origin(window)
        size = window.get_geometry()
        left, right, top, bottom = self.property(window, "_NET_FRAME_EXTENTS") or (0, 0, 0, 0)
        return (x - left, y - top, size.width + left + right, size.height + top + bottom)

    def pixels(self, x, y, width, height):
        """Rows of (r, g, b) from the screen."""
        data = self.root.get_image(x, y, width, height, 2, 0xFFFFFFFF).data  # ZPixmap, BGRX
        row = width * 4
        return [[(data[i + 2], data[i + 1], data[i]) for i in range(r * row, (r + 1) * row, 4)]
                for r in range(height)]

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True)

    def close(self, window):
        """Asks the window to close, as the close box of its frame does (WM_DELETE_WINDOW)."""
        from Xlib import X, protocol

        window.send_event(protocol.event.ClientMessage(
            window=window, client_type=self.x.intern_atom("WM_PROTOCOLS"),
            data=(32, [self.x.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
        self.x.flush()


class Compositor(Session):
    """A Wayland session instead: sway, headless, with its X server (XWayland) for X11 programs. sway
    refuses to run as root; there it runs as nobody, and lets root's programs use its X server."""

    def start(self):
        if not shutil.which("sway"):
            raise Unavailable("sway is not installed")
        runtime = os.path.join(self.work, "runtime")
        os.mkdir(runtime, 0o700)
        user = []
        if os.geteuid() == 0:
            nobody = pwd.getpwnam("nobody")
            os.chown(runtime, nobody.pw_uid, nobody.pw_gid)
            os.chmod(self.work, 0o711)
            user = ["setpriv", f"--reuid={nobody.pw_uid}", f"--regid={nobody.pw_gid}", "--clear-groups"]
        told = os.path.join(runtime, "env")  # sway's environment, once its servers listen
        config = os.path.join(self.work, "sway.config")
        with open(config, "w") as file:
            file.write(f"xwayland enable\nexec sh -c 'env >{told}.part && mv {told}.part {told}'\n")
        log = os.path.join(self.work, "sway.log")
        with open(log, "wb") as output:
            sway = subprocess.Popen(user + ["sway", "-c", config], stdout=output, stderr=output,
                                    start_new_session=True,
                                    env=dict(PATH=os.environ["PATH"], HOME=runtime, XDG_RUNTIME_DIR=runtime,
                                             WLR_BACKENDS="headless", WLR_RENDERER="pixman"))
        self.processes.append(sway)

        def started():
            if sway.poll() is not None:
                with open(log, errors="replace") as file:
                    raise Unavailable("sway did not start: " + file.read()[-500:])
            if os.path.exists(told):
                with open(told) as file:
                    return dict(line.rstrip("\n").split("=", 1) for line in file if "=" in line)
            return None

        try:
            env = wait_for(started, "sway")
        except AssertionError as timeout:
            raise Unavailable(str(timeout)) from None
        if user:  # XWayland admits its own user only
            grant = ("from Xlib import X, display; d = display.Display(); "
                     "d.change_hosts(X.HostInsert, X.FamilyServerInterpreted, b'localuser\\0root'); d.sync()")
            subprocess.run(user + [sys.executable, "-c", grant], env=env, check=True)
        self.env.update(WAYLAND_DISPLAY=os.path.join(runtime, env["WAYLAND_DISPLAY"]), DISPLAY=env["DISPLAY"],
                        SWAYSOCK=env["SWAYSOCK"], XDG_SESSION_TYPE="wayland")
        self.connect()

    def view(self, title, pid):
        def find():
            nodes = [json.loads(subprocess.run(["swaymsg", "-t", "get_tree"], env=self.env, check=True,
                                               capture_output=True).stdout)]
            while nodes:
                node = nodes.pop()
                if node.get("name") == title and node.get("pid") == pid:
                    return node
                nodes += node.get("nodes", []) + node.get("floating_nodes", [])
            return None

        return wait_for(find, f"sway to show {title!r}")

    def swaymsg(self, view, command):
        subprocess.run(["swaymsg", f"[con_id={view['id']}] {command}"], env=self.env, check=True,
                       capture_output=True)


class Tallix:
    """One run of the real program on the session, with its own settings folder."""

    SECTION = "[Default%20Settings]"

    def __init__(self, session, program, config):
        self.session, self.program, self.config = session, program, config
        self.path = os.path.join(config, "Tallix.exe.conf")  # the settings file
        self.log = os.path.join(config, "tallix.log")
        self.process = None

    def start(self, **changes):
        """Starts the program; `changes` to its environment (None: unset) replace the session's."""
        env = dict(self.session.env, QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=self.config,
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        env = {name: value for name, value in {**env, **changes}.items() if value is not None}
        with open(self.log, "ab") as log:
            self.process = subprocess.Popen([self.program], env=env, stdout=log, stderr=log)
        return self

    def main(self):
        return self.window("Tallix - By Dorvik5150")

    def window(self, title):
        return self.session.mapped(title, self.process.pid)

    def shown(self, title):
        return self.session.window(title, self.process.pid) is not None

    def wait_exit(self, timeout=60.0):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program still runs") from None

    def kill(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def lines(self):
        if not os.path.exists(self.path):
            return []
        with open(self.path, encoding="utf-8") as file:
            return file.read().splitlines()

    def settings(self):
        return dict(line.split("=", 1) for line in self.lines() if "=" in line)

    def settings_bytes(self):
        with open(self.path, "rb") as file:
            return file.read()

    def store(self, key, value):
        """An outside edit of one setting."""
        lines = [line for line in self.lines() if not line.startswith(key + "=")]
        if self.SECTION not in lines:
            lines.append(self.SECTION)
        lines.insert(lines.index(self.SECTION) + 1, f"{key}={value}")
        with open(self.path, "w", encoding="utf-8") as file:
            file.write("\n".join(lines) + "\n")

    # Through AT-SPI, as a screen reader

    def top(self, window):
        """The window with the given title, as the accessibility tree has it."""
        import pyatspi

        def find():
            app = next((app for app in pyatspi.Registry.getDesktop(0)
                        if app is not None and app.get_process_id() == self.process.pid), [])
            return next((top for top in app if top and top.name == window), None)

        return wait_for(find, f"{window!r} in the accessibility tree")

    def control(self, window, name):
        """A control of the window with the given title, by its accessible name."""
        import pyatspi

        def find():
            top = self.top(window)
            return pyatspi.findDescendant(top, lambda node: node and node.name == name)

        return wait_for(find, f"{name!r} in {window!r}")

    def text(self, window, name):
        return self.control(window, name).queryText().getText(0, -1)

    def sensitive(self, window, name):
        import pyatspi

        return self.control(window, name).getState().contains(pyatspi.STATE_SENSITIVE)

    def extents(self, window, name):
        """Left, top, width and height of a control on the screen: its place in the window, where the X
        server has the window (the program may not have heard yet where the window manager put it)."""
        import pyatspi

        def box(node):
            extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            return extents.x, extents.y, extents.width, extents.height

        top, control = self.top(window), self.control(window, name)
        while True:  # both read against the same place of the window
            before, inside = box(top), box(control)
            if box(top) == before:
                break
        x, y = self.session.origin(self.window(window))
        return x + inside[0] - before[0], y + inside[1] - before[1], inside[2], inside[3]

    def centre(self, window, name):
        x, y, width, height = self.extents(window, name)
        return x + width // 2, y + height // 2

    def click(self, window, name):
        self.session.xdotool("mousemove", *self.centre(window, name), "click", 1)
