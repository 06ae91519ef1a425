#!/usr/bin/python3 -W ignore::DeprecationWarning
"""The installed Tallix.exe under Wine with Qt's own Windows platform, on a desktop of its own (desktop.py's
Session), used as a user does: first start with the welcome window, the keys while it is open, a held key,
the special pointer, and the position saved at the close.

    wine_desktop.py TALLIX.EXE [SHOTS-FOLDER]

WINEPREFIX names the prefix that Tallix is installed in. With SHOTS-FOLDER, the screen is saved there
as welcome.png, main.png, pressed.png and pointer.png (the pointer drawn in, as XFixes gives it).
"""

import os
import struct
import subprocess
import sys
import zlib

sys.dont_write_bytecode = True
here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "desktop"))
from desktop import Session, wait_for  # noqa: E402

MAIN = "Tallix - By Dorvik5150"
WELCOME = "Welcome"
# Keys in client twips: Picture1's corner (-120, -40) plus the key's place. The welcome window covers
# 7 but not 0.
KEY_SEVEN = (90, 1180, 495, 495)
KEY_ZERO = (95, 2970, 495, 495)
POINTER_FILE = os.path.join(here, "..", "..", "resources", "images", "pointer.cur")


def pointer_mask():
    """The pixels of the program's pointer that are drawn (not transparent): its first image's AND mask
    with 0, or its XOR mask with 1 (inverted), as (x, y) from the top left."""
    with open(POINTER_FILE, "rb") as file:
        data = file.read()
    width, height = data[6] or 256, data[7] or 256
    offset = struct.unpack_from("<I", data, 18)[0]
    header = struct.unpack_from("<I", data, offset)[0]
    stride = (width + 31) // 32 * 4
    xor = offset + header + 2 * 4  # after the two palette entries
    and_ = xor + stride * height

    def bit(base, x, y):
        row = base + (height - 1 - y) * stride  # rows bottom up
        return data[row + x // 8] >> (7 - x % 8) & 1

    return {(x, y) for y in range(height) for x in range(width)
            if not bit(and_, x, y) or bit(xor, x, y)}


def write_png(path, rows):
    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 2, 0, 0, 0)
    with open(path, "wb") as file:
        file.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw))
                   + chunk(b"IEND", b""))


class Run:
    def __init__(self, session, program, shots):
        self.s, self.program, self.shots = session, program, shots
        self.env = dict(session.env, WINEDEBUG="-all")
        self.env.pop("WINEPATH", None)  # only the installed folder's DLLs

    def __enter__(self):
        self.log = open(os.path.join(self.s.work, "tallix.log"), "wb")
        self.process = subprocess.Popen(["wine", self.program], env=self.env, stdout=self.log, stderr=self.log)
        return self

    def __exit__(self, *exc):
        if self.process.poll() is None:
            self.process.kill()
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        self.process.wait()

    def key(self, window, twips):
        """A key's left, top, width and height on the screen."""
        corner = window.translate_coords(self.s.root, 0, 0)
        left, top, width, height = (round(t / 15) for t in twips)
        return left - corner.x, top - corner.y, width, height

    def drawn(self, area):
        """Whether the screen shows more than one colour there: a window not yet drawn is all black."""
        return len({colour for row in self.s.pixels(*area) for colour in row}) > 1

    def shot(self, name, area, pointer=False):
        """Saves the screen's area, with the pointer drawn in when asked."""
        if not self.shots:
            return
        x, y, width, height = area
        rows = self.s.pixels(x, y, width, height)
        image = self.s.x.xfixes_get_cursor_image(self.s.root)
        for i, argb in enumerate(image.cursor_image if pointer else []):
            cx = image.x - image.xhot + i % image.width - x
            cy = image.y - image.yhot + i // image.width - y
            if argb >> 24 and 0 <= cx < width and 0 <= cy < height:  # the file's pointer: opaque or clear
                rows[cy][cx] = ((argb >> 16) & 255, (argb >> 8) & 255, argb & 255)
        write_png(os.path.join(self.shots, name), rows)

    def check(self):
        s = self.s
        main = s.framed(MAIN, timeout=30)
        welcome = s.framed(WELCOME, timeout=30)
        # The welcome window opens in front of the main window, whose keys are greyed until it closes.
        # (Wine draws the welcome window's frame itself: a tool window gets none from the window manager.)
        wait_for(lambda: s.clients()[-1].id == welcome.id, "the welcome window in front")
        x, y, width, height = s.frame(main)
        wx, wy, ww, wh = s.frame(welcome)
        everything = (min(x, wx), min(y, wy), max(x + width, wx + ww) - min(x, wx),
                      max(y + height, wy + wh) - min(y, wy))
        zero = self.key(main, KEY_ZERO)
        wait_for(lambda: self.drawn(zero) and self.drawn(s.frame(welcome)), "both windows drawn")
        greyed = s.pixels(*zero)
        self.shot("welcome.png", everything)
        s.close(welcome)
        wait_for(lambda: s.window(WELCOME) is None, "the welcome window closed")
        wait_for(lambda: s.pixels(*zero) != greyed, "the keys no longer greyed")
        self.shot("main.png", s.frame(main))

        # A held key turns dark red until released.
        kx, ky, kw, kh = self.key(main, KEY_SEVEN)
        edge = kx + 4, ky + kh // 2, 1, 1  # inside the key, clear of its caption
        face = s.pixels(*edge)[0][0]
        s.xdotool("mousemove", kx + kw // 2, ky + kh // 2, "mousedown", 1)
        wait_for(lambda: s.pixels(*edge)[0][0] == (128, 0, 0), "the held key in dark red")
        self.shot("pressed.png", s.frame(main), pointer=True)
        s.xdotool("mouseup", 1)
        wait_for(lambda: s.pixels(*edge)[0][0] == face, "the key in button face again")

        # The special pointer over the main window: the program's cursor file, 32 by 32 with its hot spot
        # at the tip, drawn wherever the file draws (Wine's conversion draws three pixels more); Wine's
        # default pointer is X's 24 by 24 arrow.
        s.xdotool("mousemove", x + width // 2, y + height - 20)
        wanted = pointer_mask()

        def special():
            image = s.x.xfixes_get_cursor_image(s.root)
            drawn = {(i % image.width, i // image.width) for i, argb in enumerate(image.cursor_image) if argb >> 24}
            return (image.width, image.height, image.xhot, image.yhot) == (32, 32, 0, 0) and wanted <= drawn

        wait_for(special, "the special pointer")
        self.shot("pointer.png", s.frame(main), pointer=True)

        # Closing the main window ends the run and saves its position in the registry.
        s.close(main)
        self.process.wait(30)
        saved = subprocess.run(["wine", "reg", "query", r"HKCU\Software\Tallix.exe\Default Settings"],
                               env=self.env, capture_output=True, text=True).stdout
        for name in ("Left", "Top"):
            assert f"{name}    REG_SZ    1000" in saved, saved


def main():
    program, shots = sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else ""
    if shots:
        os.makedirs(shots, exist_ok=True)
    with Session() as session, Run(session, program, shots) as run:
        run.check()
    print("welcome window in front with the keys greyed, a held key dark red, the special pointer,"
          " the position kept" + (f"; screenshots in {shots}" if shots else ""))


if __name__ == "__main__":
    main()
