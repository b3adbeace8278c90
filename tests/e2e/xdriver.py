"""Drives the real Snapfolio window from outside, as a user would.

Each session starts its own X server (Xvfb on a free display, no TCP), starts `snapfolio` on
the real X11 platform (QT_QPA_PLATFORM=xcb) in a prepared working directory, and clicks and
types into it with xdotool. The program runs with SNAPFOLIO_DUMP_GEOMETRY set and tells on
stderr where its controls are ("geometry: <window>/<control>=x,y,w,h"), so clicks land on the
control by its objectName, whatever the fonts make of the layout.

Everything has a bounded wait. The program and the X server are always ended. When a check
fails, a screenshot of the whole screen and the program's stderr are kept in the artifacts
directory (in the build tree).

Used by the end-to-end tests (tests/e2e/window_*_test.py) and scripts/make-screenshots.sh.
Python standard library only; the X tools are Debian's xvfb, xdotool, x11-utils, imagemagick.
"""

import configparser
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77  # CTest's SKIP_RETURN_CODE of these tests
MAIN_TITLE = "Snapfolio Ver1.03"
GEOMETRY_LINE = re.compile(r"^geometry: ([^/]+)/(.+)=(-?\d+),(-?\d+),(\d+),(\d+)$")
# Windows that must not appear while a scenario runs: an error of the run or of a chooser.
ERROR_TITLES = ("^ERROR", "^File Error")
# The photo dialog's title in each interface language.
PHOTO_DIALOG = {"ja": "フォトソース選択", "en": "Choose photos"}


class Failure(Exception):
    """A check of a scenario failed."""


def require_tools():
    """Exits with SKIP when a tool the sessions need is missing."""
    missing = [t for t in ("Xvfb", "xdotool", "import", "convert", "identify")
               if shutil.which(t) is None]
    if missing:
        print("skipped: missing " + ", ".join(missing) +
              " (sudo bash scripts/setup-debian.sh)", file=sys.stderr)
        sys.exit(SKIP)


def wait_for(what, predicate, timeout, interval=0.2):
    """Polls predicate until it returns something true; that value, or Failure after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def read_settings(path):
    """The settings file as {section: {key: value}}; keys keep their case."""
    parser = configparser.RawConfigParser(strict=False)
    parser.optionxform = str
    with open(path, encoding="utf-8") as f:
        parser.read_file(f)
    return {s: dict(parser[s]) for s in parser.sections()}


def write_settings(path, sections):
    """Writes {section: {key: value}} as an INI file in UTF-8."""
    with open(path, "w", encoding="utf-8") as f:
        for section, values in sections.items():
            f.write(f"[{section}]\n")
            for key, value in values.items():
                f.write(f"{key}={value}\n")
            f.write("\n")


def image_size(path):
    """(width, height) of an image file, by ImageMagick's identify."""
    out = subprocess.run(["identify", "-format", "%w %h", path + "[0]"], check=True,
                         capture_output=True, text=True, timeout=60).stdout
    w, h = out.split()
    return int(w), int(h)


def read_ppm(data):
    """(width, height, rgb bytes) of a binary PPM (P6, maxval 255)."""
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise Failure("unexpected PPM header %r" % fields)
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + width * height * 3]
    if len(pixels) != width * height * 3:
        raise Failure("short PPM data")
    return width, height, pixels


def area_is_uniform(screen, area):
    """Whether an area (x, y, w, h) of a screen (width, height, rgb) shows (next to) nothing:
    fewer than 20 colours on a coarse grid inside it, a few pixels off its border."""
    sw, _, spx = screen
    x0, y0, w, h = area
    values = set()
    for y in range(y0 + 4, y0 + h - 4, 7):
        for x in range(x0 + 4, x0 + w - 4, 7):
            i = (y * sw + x) * 3
            values.add(bytes(spx[i:i + 3]))
    return len(values) < 20


class XServer:
    """An Xvfb of its own on a free display (chosen by Xvfb itself), without TCP."""

    def __init__(self, log_path, size="1280x1024x24"):
        read_end, write_end = os.pipe()
        with open(log_path, "wb") as log:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", size, "-nolisten", "tcp",
                 "-noreset"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=log)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 30
        with os.fdopen(read_end, "rb", buffering=0) as pipe:
            while not number.endswith(b"\n"):
                remaining = deadline - time.monotonic()
                if remaining <= 0 or not select.select([pipe], [], [], remaining)[0]:
                    break
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip().isdigit():
            self.close()
            with open(log_path, encoding="utf-8", errors="replace") as log:
                raise Failure("Xvfb did not start: " + log.read()[-2000:])
        self.display = ":" + number.decode().strip()
        self.runtime_dir = tempfile.mkdtemp(prefix="snapfolio-e2e-runtime-")

    def env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.display
        env.pop("WAYLAND_DISPLAY", None)
        return env

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=10)
        if getattr(self, "runtime_dir", None):
            shutil.rmtree(self.runtime_dir, ignore_errors=True)


class Program:
    """`snapfolio` running on an XServer, its stderr collected and its geometry lines read."""

    def __init__(self, server, executable, cwd, log_path, language="ja", args=()):
        env = server.env()
        # The language as a user's locale chooses it: Japanese by SNAPFOLIO_LANG (whatever the
        # machine's locale), English by an English LANG.
        for name in ("SNAPFOLIO_LANG", "LC_ALL", "LC_MESSAGES"):
            env.pop(name, None)
        if language == "ja":
            env["SNAPFOLIO_LANG"] = "ja"
        else:
            env["LANG"] = "en_US.UTF-8"
        env["QT_QPA_PLATFORM"] = "xcb"
        env["SNAPFOLIO_DUMP_GEOMETRY"] = "1"
        env["XDG_RUNTIME_DIR"] = server.runtime_dir
        # Qt's own dialogs, as on a machine without a desktop session.
        env.pop("QT_QPA_PLATFORMTHEME", None)
        env.pop("XDG_CURRENT_DESKTOP", None)
        self.geometry = {}
        self.lock = threading.Lock()
        self.log = open(log_path, "w", encoding="utf-8")
        self.process = subprocess.Popen([executable, *args], cwd=cwd, env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for raw in self.process.stderr:
            line = raw.decode("utf-8", errors="replace").rstrip("\n")
            m = GEOMETRY_LINE.match(line)
            with self.lock:
                if m:
                    window, control = m.group(1), m.group(2)
                    self.geometry[(window, control)] = tuple(int(v) for v in m.group(3, 4, 5, 6))
                else:
                    self.log.write(line + "\n")
                    self.log.flush()

    def control(self, window, control, timeout=30):
        """(x, y, w, h) of a control relative to its window, once the program has told it."""
        def known():
            with self.lock:
                return self.geometry.get((window, control))
        return wait_for(f"the geometry of {window}/{control}", known, timeout)

    def forget(self, window):
        """Drops what is known of a window's controls (before it is shown anew)."""
        with self.lock:
            for key in [k for k in self.geometry if k[0] == window]:
                del self.geometry[key]

    def exited(self):
        return self.process.poll() is not None

    def wait_exit(self, timeout):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program did not end within {timeout} s") from None

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=10)
        self.reader.join(timeout=5)
        self.log.close()


class Session:
    """One X server and the program on it; a context manager that always cleans up.

    artifacts: a directory for the program's stderr log and, on failure, screenshots.
    """

    def __init__(self, executable, workdir, artifacts, language="ja"):
        self.executable = os.path.abspath(executable)
        self.language = language
        self.workdir = workdir
        self.artifacts = artifacts
        os.makedirs(artifacts, exist_ok=True)
        self.server = XServer(os.path.join(artifacts, "xvfb.log"))
        self.program = None
        self.starts = 0

    def __enter__(self):
        return self

    def __exit__(self, kind, value, tb):
        if kind is not None:
            self.keep_failure_screenshot()
        if self.program:
            self.program.close()
        self.server.close()
        return False

    # -- the X tools --

    def x(self, *args, timeout=20, check=True):
        """Runs an X tool on this session's display; its stdout."""
        result = subprocess.run(list(args), env=self.server.env(), capture_output=True,
                                text=True, timeout=timeout)
        if check and result.returncode != 0:
            raise Failure(f"{' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout

    def windows(self, title_regex):
        """Ids of the visible windows whose title matches."""
        out = self.x("xdotool", "search", "--onlyvisible", "--name", title_regex, check=False)
        return [w for w in out.split() if w.isdigit()]

    def find_window(self, title_regex, timeout=30):
        """The id of the visible window whose title matches, waiting for it to appear."""
        found = wait_for(f"a window titled /{title_regex}/",
                         lambda: self.windows(title_regex), timeout)
        return found[-1]

    def wait_gone(self, title_regex, timeout=30):
        wait_for(f"the window /{title_regex}/ to close",
                 lambda: not self.windows(title_regex), timeout)

    def check_no_error_window(self):
        for title in ERROR_TITLES:
            if self.windows(title):
                raise Failure(f"a window titled /{title}/ appeared")

    def focus(self, window):
        self.x("xdotool", "windowfocus", "--sync", window, check=False)

    def click(self, window, window_name, control, button=1, at_left=False):
        """Clicks the middle of a control (found by objectName) of a window; at_left: near its
        left edge, where a check box has its box (a click beside its text does nothing)."""
        x, y, w, h = self.program.control(window_name, control)
        at_x = x + min(8, w // 2) if at_left else x + w // 2
        self.x("xdotool", "mousemove", "--sync", "--window", window, str(at_x), str(y + h // 2))
        self.x("xdotool", "click", str(button))

    def type(self, window, text):
        """Types text into the focused control of a window, as from the keyboard."""
        self.focus(window)
        self.x("xdotool", "type", "--delay", "15", text, timeout=120)

    def key(self, window, *keys):
        self.focus(window)
        self.x("xdotool", "key", "--delay", "50", *keys)

    def screenshot(self, window, path):
        """Saves a screenshot of one window (or "root") to path; ImageMagick's import."""
        self.x("import", "-window", window, path, timeout=60)
        return path

    def window_pixels(self, window):
        """(width, height, rgb bytes) of a window as it is on the screen now."""
        data = subprocess.run(["import", "-window", window, "-depth", "8", "ppm:-"], env=self.server.env(),
                              capture_output=True, timeout=60, check=True).stdout
        return read_ppm(data)

    def keep_failure_screenshot(self):
        path = os.path.join(self.artifacts, "failure-screen.png")
        try:
            self.screenshot("root", path)
            print(f"screenshot of the failure: {path}", file=sys.stderr)
        except Exception as e:  # the screenshot is a help, never the failure itself
            print(f"no failure screenshot: {e}", file=sys.stderr)
        log = os.path.join(self.artifacts, "program-stderr.log")
        print(f"program stderr: {log}", file=sys.stderr)

    # -- the program --

    def start(self, args=()):
        """Starts the program (again), with `args` after its name, and returns its main
        window's id."""
        if self.program:
            self.program.close()
        self.starts += 1
        log = os.path.join(self.artifacts, "program-stderr.log" if self.starts == 1
                           else f"program-stderr-{self.starts}.log")
        self.program = Program(self.server, self.executable, self.workdir, log, self.language,
                               args)
        window = self.find_window("^" + re.escape(MAIN_TITLE) + "$", timeout=60)
        self.program.control("TSnapfolio", "Cancel", timeout=30)
        return window

    def quit(self, window):
        """Presses "終了" and waits for the program to end; its exit status."""
        self.click(window, "TSnapfolio", "Cancel")
        return self.program.wait_exit(timeout=30)

    def answer_question(self, accept, timeout=60):
        """Answers the question box now opening (caption "Snapfolio": the photos given to the
        window, or the album page offered to the browser) with OK or Cancel."""
        box = self.find_window("^Snapfolio$", timeout=timeout)
        time.sleep(0.3)
        self.key(box, "Return" if accept else "Escape")
        # This box: the next question may open at once.
        wait_for("the question to close", lambda: box not in self.windows("^Snapfolio$"), timeout)

    def choose_files(self, folder, names, timeout=30, before_accept=None):
        """In the photo dialog now opening ("フォトソース選択"): types the folder (unless None:
        the dialog's own), then the quoted file names, as a user does in the file-name field,
        and accepts; before_accept(dialog id) is called just before. xdotool types ASCII
        reliably: keep folder and names ASCII."""
        title = PHOTO_DIALOG[self.language]
        dialog = self.find_window(title, timeout=timeout)
        self.focus(dialog)
        time.sleep(0.3)  # the dialog fills its file list
        if folder is not None:
            self.key(dialog, "ctrl+a")
            self.type(dialog, folder.rstrip("/") + "/")
            self.key(dialog, "Return")
            time.sleep(0.5)
        self.key(dialog, "ctrl+a")
        self.type(dialog, " ".join(f'"{n}"' for n in names))
        if before_accept:
            before_accept(dialog)
        self.key(dialog, "Return")
        self.wait_gone(title, timeout=timeout)


def artifacts_dir(name):
    """The directory for one scenario's files, emptied: SNAPFOLIO_E2E_ARTIFACTS/<name>."""
    root = os.environ.get("SNAPFOLIO_E2E_ARTIFACTS") or os.path.join(os.getcwd(), "e2e-artifacts")
    path = os.path.join(root, name)
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


def window_workspace(name):
    """The artifacts folder of test `name` with an empty working folder `work` (where the window's
    settings file goes) and output folder `out`: (artifacts, work, out, settings path)."""
    artifacts = artifacts_dir(name)
    work = os.path.join(artifacts, "work")
    out = os.path.join(artifacts, "out")
    os.makedirs(work)
    os.makedirs(out)
    return artifacts, work, out, os.path.join(work, "Snapfolio.ini")


def environment():
    """(snapfolio, snapfolio-cli, photo directory) from the test environment, or SKIP."""
    app = os.environ.get("SNAPFOLIO_APP", "")
    cli = os.environ.get("SNAPFOLIO_CLI", "")
    photos = os.environ.get("SNAPFOLIO_PHOTOS", "")
    if not (os.access(app, os.X_OK) and os.access(cli, os.X_OK)):
        raise Failure("SNAPFOLIO_APP and SNAPFOLIO_CLI must name the built programs")
    if not os.path.isdir(photos):
        print(f"skipped: no sample photos in '{photos}' (tests/fixtures/fetch-photos.sh)",
              file=sys.stderr)
        sys.exit(SKIP)
    return app, cli, photos


def main(scenario):
    """Runs scenario() and turns its outcome into an exit status with a closing line."""
    require_tools()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))  # CTest's timeout: clean up
    try:
        scenario()
    except Failure as e:
        print(f"FAILED: {e}", file=sys.stderr)
        return 1
    print("passed")
    return 0
