"""Runs TSCheck.exe for real under Wine through the Windows-side driver.

A scenario gets a fresh program folder inside the Wine prefix, an optional
pelorin.ini, a Windows version for TSCheck.exe, and runs the driver with a
list of steps; the driver's lines come back parsed."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.environ.get("TSCHECK_SOURCE") or os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD = os.environ.get("TSCHECK_BUILD") or os.path.join(SOURCE, "build")
PREFIX = os.environ.get("TSCHECK_WINEPREFIX") or os.path.join(BUILD, "wineprefix")
WINE_RUN = os.path.join(SOURCE, "tools", "wine-run")
SHOTS = os.path.join(BUILD, "e2e", "shots")
MAIN_TITLE = "Tavrin Secure Requirements Check"
EXIT_PASSED = 830808
EXIT_FAILED = 770601
# Waits are stretched by this factor where Wine runs in the emulated machine.
TIME_SCALE = int(os.environ.get("TSCHECK_TEST_TIME_SCALE") or 1)

# The main window's buttons (x, y, width, height in client coordinates), the
# one table every scenario takes them from, and the points that click them.
RUN_BUTTON = (222, 347, 145, 38)
CLOSE_BUTTON_BOX = (541, 12, 32, 32)


def _centre(box):
    return (str(box[0] + box[2] // 2), str(box[1] + box[3] // 2))


RUN_SETUP = _centre(RUN_BUTTON)
CLOSE_BUTTON = _centre(CLOSE_BUTTON_BOX)


PREFIX64 = os.path.join(BUILD, "wineprefix64")
# Off, a crashed program ends at once with its exception code, instead of
# staying on screen, every thread stopped, behind Wine's crash dialog.
CRASH_DIALOG_KEY = r"HKCU\Software\Wine\WineDbg"
_active_prefix = PREFIX


def _wine_env(prefix):
    env = dict(os.environ, TSCHECK_WINEPREFIX=prefix)
    # WinINet would take these over the prefix's own Internet settings.
    for name in ("http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy",
                 "ALL_PROXY"):
        env.pop(name, None)
    if prefix == PREFIX64:
        env["WINEARCH"] = "win64"
    return env


def wine(*args, timeout=120):
    """Runs a Windows program; its output comes back as text. The output goes
    through a file, not a pipe: programs it starts inherit the descriptors,
    and one that stays running would hold a pipe open."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        try:
            result = subprocess.run([WINE_RUN, *args], env=_wine_env(_active_prefix), stdout=out,
                                    stderr=err, timeout=timeout * TIME_SCALE,
                                    stdin=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            # What it printed before it stuck is the best clue there is.
            out.seek(0)
            sys.stdout.write(out.read().decode(errors="replace").replace("\r\n", "\n"))
            _show_wine_errors(_read(err))
            raise
        result.stdout = _read(out)
        result.stderr = _read(err)
    return result


def _read(file):
    file.seek(0)
    return file.read().decode(errors="replace").replace("\r\n", "\n")


def _show_wine_errors(text):
    if text.strip():
        sys.stdout.write("--- what Wine wrote to standard error ---\n" + text +
                         "--- end of Wine's standard error ---\n")


def use_64_bit_windows():
    """Runs the following steps in a 64-bit prefix (made on first use), where
    the 32-bit program runs under WOW64 emulation."""
    global _active_prefix
    env = _wine_env(PREFIX64)
    subprocess.run([WINE_RUN, "wineboot", "-i"], env=env, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300 * TIME_SCALE)
    subprocess.run([WINE_RUN, "reg", "add", CRASH_DIALOG_KEY, "/v", "ShowCrashDialog", "/t",
                    "REG_DWORD", "/d", "0", "/f"], env=env, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120 * TIME_SCALE)
    # A persistent server whose services do not hold our output pipes.
    subprocess.run(["wineserver", "-p"], env=dict(env, WINEPREFIX=PREFIX64),
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    _active_prefix = PREFIX64


def use_32_bit_windows():
    global _active_prefix
    if _active_prefix == PREFIX64:
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=PREFIX64),
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
    _active_prefix = PREFIX


def set_windows_version(version, exe="TSCheck.exe"):
    """Makes Wine report `version` (win95 ... win8) to that program."""
    key = r"HKCU\Software\Wine\AppDefaults" + "\\" + exe
    if version is None:
        wine("reg", "delete", key, "/v", "Version", "/f")
    else:
        wine("reg", "add", key, "/v", "Version", "/d", version, "/f")


INTERNET_SETTINGS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"


class serving:
    """The loopback test server as the user's proxy: every HTTP request the
    program makes, whatever its host, is answered by the server on 127.0.0.1.
    `files` maps URL paths to bytes; `shape` is the server's default query."""

    def __init__(self, files, shape=""):
        sys.path.insert(0, os.path.join(SOURCE, "tools"))
        from loopback_http_server import LoopbackServer
        # The lifetime only ends a server a broken test forgot; a scenario
        # that serves many runs in the emulated machine needs long.
        self.server = LoopbackServer(lifetime=3600, files=files, shape=shape)

    def __enter__(self):
        self.server.start()
        port = self.server.server_address[1]
        wine("reg", "add", INTERNET_SETTINGS, "/v", "ProxyEnable", "/t", "REG_DWORD", "/d", "1", "/f")
        wine("reg", "add", INTERNET_SETTINGS, "/v", "ProxyServer", "/d", f"127.0.0.1:{port}", "/f")
        return self.server

    def __exit__(self, *exc):
        wine("reg", "delete", INTERNET_SETTINGS, "/v", "ProxyEnable", "/f")
        wine("reg", "delete", INTERNET_SETTINGS, "/v", "ProxyServer", "/f")
        self.server.stop()


class Window:
    def __init__(self, line):
        parts = line.split(" ", 6)
        self.cls = parts[1]
        self.x, self.y, self.width, self.height = map(int, parts[2:6])
        rest = parts[6]
        self.title = _unquote(rest[:rest.rindex(" topmost=")])
        self.topmost = rest.endswith("topmost=1")
        self.children = []


class Child:
    def __init__(self, line):
        parts = line.split(" ", 7)
        self.cls = parts[1]
        self.x, self.y, self.width, self.height = map(int, parts[2:6])
        self.visible = parts[6] == "1"
        self.text = _unquote(parts[7])


def _unquote(text):
    text = text[1:-1]
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            n = text[i + 1]
            out.append({"r": "\r", "n": "\n"}.get(n, n))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


class Run:
    """The parsed output of one driver run."""

    def __init__(self, output):
        self.lines = output.splitlines()
        self.dumps = []       # one list of windows per "dump" step
        self.clocks = []      # the driver's "clock" readings in milliseconds
        self.exit_code = None
        self.appeared = []    # "<class> <title>" of windows seen by watch-exit
        self.crash = None     # the exception code of a program that crashed
        self.answering = None  # at a timed-out wait: did its windows still answer
        for line in self.lines:
            if line == "dump":
                self.dumps.append([])
            elif line.startswith("top ") and self.dumps:
                self.dumps[-1].append(Window(line))
            elif line.startswith("child ") and self.dumps and self.dumps[-1]:
                self.dumps[-1][-1].children.append(Child(line))
            elif line.startswith("appeared "):
                self.appeared.append(line[len("appeared "):])
            elif line.startswith("clock "):
                self.clocks.append(int(line.split()[1]))
            elif line.startswith("crash "):
                self.crash = line.split()[1]
            elif line.startswith("exit-code "):
                value = line.split()[1]
                self.exit_code = None if value == "timeout" else int(value)
                if value == "timeout":
                    self.answering = line.split("answering=")[-1]

    def window(self, dump=0, title=MAIN_TITLE):
        for w in self.dumps[dump]:
            if w.title == title:
                return w
        return None

    def boxes(self, dump=0):
        """Windows other than the main window: message boxes."""
        return [w for w in self.dumps[dump] if w.title != MAIN_TITLE]

    def rows(self, dump=0):
        """The result rows as (need, have), top to bottom: the labels that
        share a top, the need column left of the have column."""
        main = self.window(dump)
        labels = sorted((c for c in main.children if c.cls == "TSCheckLabel"),
                        key=lambda c: (c.y, c.x))
        tops = sorted({c.y for c in labels})
        return [tuple(c.text for c in labels if c.y == top) for top in tops]


def box_text(window):
    """The prompt of a message box: its text box, or the system box's static."""
    for cls in ("Edit", "Static"):
        for c in window.children:
            if c.cls == cls and c.text:
                return c.text
    return None


class Scenario(unittest.TestCase):
    """Base class: a fresh program folder per test, the version reset after."""

    def setUp(self):
        self.name = self.id().split(".")[-1]
        self._wine_errors = []
        self._prepare_folder()

    def _prepare_folder(self):
        self.folder = os.path.join(_active_prefix, "drive_c", "e2e", self.name)
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        shutil.copy(os.path.join(BUILD, "TSCheck.exe"), self.folder)
        self.exe = "C:\\e2e\\" + self.name + "\\TSCheck.exe"
        os.makedirs(SHOTS, exist_ok=True)

    def switch_to_64_bit_windows(self):
        """The rest of the test runs in the 64-bit prefix."""
        use_64_bit_windows()
        self._prepare_folder()

    def tearDown(self):
        # A failed scenario shows what Wine said while it ran: a crash's
        # backtrace, a missing DLL.
        if not self._outcome.success:
            _show_wine_errors("".join(self._wine_errors))
        set_windows_version(None)
        use_32_bit_windows()

    @property
    def settings_path(self):
        return os.path.join(self.folder, "pelorin.ini")

    def write_settings(self, lines):
        with open(self.settings_path, "wb") as f:
            f.write("".join(line + "\r\n" for line in lines).encode("cp1252"))

    def settings_bytes(self):
        with open(self.settings_path, "rb") as f:
            return f.read()

    def shot_path(self, label):
        """A Windows path for the driver and the Unix path of the BMP."""
        unix = os.path.join(self.folder, label + ".bmp")
        return "C:\\e2e\\" + self.name + "\\" + label + ".bmp", unix

    def drive(self, *steps, timeout=240, arguments=None):
        """Launches the program (with `arguments` after its path, when
        given) and runs the steps; returns the parsed run."""
        driver = os.path.join(BUILD, "e2e", "ts_driver.exe")
        launch = ["launch", self.exe] if arguments is None else ["launch-with", self.exe, arguments]
        result = wine(driver, *launch, *_stretch_waits(steps), timeout=timeout)
        sys.stdout.write(result.stdout)
        self._wine_errors.append(result.stderr)
        run = Run(result.stdout)
        if run.answering:
            print(f"The program did not end in time; its windows answered: {run.answering}")
        if run.crash:
            self.fail(f"TSCheck.exe crashed with exception code {run.crash}")
        return run

    def keep_shot(self, bmp_path, label):
        """Keeps a screenshot as PNG under build/e2e/shots; returns its path."""
        png = os.path.join(SHOTS, self.name + "-" + label + ".png")
        subprocess.run(["convert", bmp_path, png], check=False)
        return png


def _stretch_waits(steps):
    """The driver's steps with the limits of its waits times TIME_SCALE, and
    its short pauses too: those let the screen settle before a look at it.
    Pauses of a second or more time the scenario's events and stay."""
    steps = list(steps)
    for i, step in enumerate(steps):
        value = (i + 2 if step == "wait-window" else
                 i + 1 if step in ("wait-other", "wait-gone", "wait-exit", "watch-exit",
                                   "measure-exit", "sleep")
                 else None)
        if value is None or value >= len(steps):
            continue
        if step != "sleep" or int(steps[value]) < 1000:
            steps[value] = str(int(steps[value]) * TIME_SCALE)
    return steps


class Bitmap:
    """A 24-bit bottom-up BMP as written by the driver."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        offset = struct.unpack_from("<I", data, 10)[0]
        self.width, self.height = struct.unpack_from("<ii", data, 18)
        self.stride = (self.width * 3 + 3) // 4 * 4
        self.data = data
        self.offset = offset

    def pixel(self, x, y):
        """(r, g, b) at screen position x, y."""
        row = self.height - 1 - y
        i = self.offset + row * self.stride + x * 3
        b, g, r = self.data[i:i + 3]
        return (r, g, b)


def main():
    unittest.main(verbosity=2)
