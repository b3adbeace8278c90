"""A headless Chromium driven over its DevTools pipe, with nothing but the standard library.

Chromium started with --remote-debugging-pipe reads protocol commands from its file
descriptor 3 and writes responses and events to its file descriptor 4, each message one JSON
text ended by a NUL byte. `Browser` starts such a Chromium in a fresh profile, opens one page
target, sends commands to it with bounded waits and kills the whole process group on close.
"""

import ctypes
import fcntl
import json
import os
import queue
import shutil
import signal
import subprocess
import tempfile
import threading
import time

# Everything that would make the browser reach out to the network or a service on its own.
QUIET_FLAGS = [
    "--headless",
    "--no-sandbox",
    "--disable-gpu",
    "--disable-quic",
    "--no-first-run",
    "--no-default-browser-check",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--disable-extensions",
    "--disable-breakpad",
    "--mute-audio",
    "--hide-scrollbars",
]


_PR_SET_PDEATHSIG = 1


class DevToolsError(RuntimeError):
    """A command failed, timed out, or the browser went away."""


def find_chromium():
    """The Chromium executable: $CHROMIUM when set, else `chromium` on the PATH; None when absent."""
    named = os.environ.get("CHROMIUM")
    if named:
        return named if os.access(named, os.X_OK) else None
    for name in ("chromium", "chromium-browser"):
        path = shutil.which(name)
        if path:
            return path
    return None


def _high_fd(fd):
    """A duplicate of fd numbered 10 or above (so that placing it at 3 or 4 clobbers nothing)."""
    dup = fcntl.fcntl(fd, fcntl.F_DUPFD, 10)
    os.close(fd)
    return dup


class Browser:
    """One headless Chromium with one page target attached in flat session mode."""

    def __init__(self, executable, command_timeout=30.0, log_path=None):
        self.command_timeout = command_timeout
        self.profile = tempfile.mkdtemp(prefix="snapfolio-chromium-")
        self._next_id = 0
        self._messages = queue.Queue()
        self._pending_events = []
        self.session = None

        to_browser_r, to_browser_w = (_high_fd(fd) for fd in os.pipe())
        from_browser_r, from_browser_w = (_high_fd(fd) for fd in os.pipe())

        prctl = ctypes.CDLL(None, use_errno=True).prctl  # looked up before the fork

        def place_pipes():  # in the child, before exec: the browser's fds 3 and 4
            os.dup2(to_browser_r, 3)
            os.dup2(from_browser_w, 4)
            prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)  # dies with us, even if we are killed

        self._log = open(log_path or os.devnull, "wb")
        args = [executable, *QUIET_FLAGS, f"--user-data-dir={self.profile}",
                "--remote-debugging-pipe", "about:blank"]
        try:
            self.process = subprocess.Popen(
                args, stdin=subprocess.DEVNULL, stdout=self._log, stderr=self._log,
                pass_fds=(3, 4), preexec_fn=place_pipes, start_new_session=True)
        finally:
            os.close(to_browser_r)
            os.close(from_browser_w)
        self._out = os.fdopen(to_browser_w, "wb", buffering=0)
        self._in = from_browser_r
        self._reader = threading.Thread(target=self._read_loop, daemon=True)
        self._reader.start()

    # -- plumbing ---------------------------------------------------------------------------

    def _read_loop(self):
        buffer = b""
        while True:
            try:
                chunk = os.read(self._in, 1 << 16)
            except OSError:
                chunk = b""
            if not chunk:
                self._messages.put(None)  # the browser closed its end
                return
            buffer += chunk
            while b"\0" in buffer:
                text, buffer = buffer.split(b"\0", 1)
                self._messages.put(json.loads(text))

    def _receive(self, deadline):
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            raise DevToolsError("timed out waiting for the browser")
        try:
            message = self._messages.get(timeout=remaining)
        except queue.Empty:
            raise DevToolsError("timed out waiting for the browser") from None
        if message is None:
            raise DevToolsError(f"the browser went away (exit status {self.process.poll()})")
        return message

    def send(self, method, params=None, session=True, timeout=None):
        """Sends one command (to the page session unless session=False) and returns its result."""
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params or {}}
        if session and self.session:
            message["sessionId"] = self.session
        try:
            self._out.write(json.dumps(message).encode() + b"\0")
        except OSError as e:
            raise DevToolsError(f"{method}: cannot write to the browser: {e}") from None
        deadline = time.monotonic() + (timeout or self.command_timeout)
        while True:
            reply = self._receive(deadline)
            if reply.get("id") == self._next_id:
                if "error" in reply:
                    raise DevToolsError(f"{method}: {reply['error']}")
                return reply.get("result", {})
            if "method" in reply:
                self._pending_events.append(reply)

    def wait_event(self, method, timeout=None):
        """The next event named method (events that arrived earlier count too)."""
        for i, event in enumerate(self._pending_events):
            if event["method"] == method:
                return self._pending_events.pop(i).get("params", {})
        deadline = time.monotonic() + (timeout or self.command_timeout)
        while True:
            message = self._receive(deadline)
            if message.get("method") == method:
                return message.get("params", {})
            if "method" in message:
                self._pending_events.append(message)

    def clear_events(self):
        self._pending_events.clear()

    def events(self, method):
        """The parameters of the events named method received so far (kept, in order)."""
        self.send("Runtime.evaluate", {"expression": "0"})  # takes in what has arrived
        return [e.get("params", {}) for e in self._pending_events if e["method"] == method]

    # -- page -------------------------------------------------------------------------------

    def open_page(self):
        """Creates a page target, attaches to it and enables its page events."""
        target = self.send("Target.createTarget", {"url": "about:blank"}, session=False)
        attached = self.send("Target.attachToTarget",
                             {"targetId": target["targetId"], "flatten": True}, session=False)
        self.session = attached["sessionId"]
        self.send("Page.enable")
        self.send("Runtime.enable")

    def navigate(self, url, timeout=None):
        """Loads url and waits for its load event; raises when the navigation itself fails."""
        self.clear_events()
        result = self.send("Page.navigate", {"url": url})
        if result.get("errorText"):
            raise DevToolsError(f"cannot open {url}: {result['errorText']}")
        self.wait_event("Page.loadEventFired", timeout)

    def evaluate(self, expression, timeout=None):
        """The value of a JavaScript expression (promises awaited), returned by value."""
        result = self.send("Runtime.evaluate",
                           {"expression": expression, "returnByValue": True,
                            "awaitPromise": True}, timeout=timeout)
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            text = details.get("exception", {}).get("description") or details.get("text")
            raise DevToolsError(f"script failed: {text}")
        return result["result"].get("value")

    # -- end --------------------------------------------------------------------------------

    def close(self):
        """Asks the browser to quit, then kills its process group; removes the profile."""
        if self.process.poll() is None:
            try:
                self.send("Browser.close", session=False, timeout=5)
            except DevToolsError:
                pass
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                pass
        # The browser's helpers (zygote, renderers, crash handler) share its process group.
        deadline = time.monotonic() + 10
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait(timeout=10)
            while time.monotonic() < deadline:
                os.killpg(self.process.pid, 0)
                time.sleep(0.05)
        except (ProcessLookupError, subprocess.TimeoutExpired):
            pass
        for closer in (self._out.close, lambda: os.close(self._in), self._log.close):
            try:
                closer()
            except OSError:
                pass
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
