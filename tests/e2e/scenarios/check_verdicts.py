"""The five checks on real Windows versions: the rows' texts, the verdict
icons, the overall result and the exit code."""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (CLOSE_BUTTON, EXIT_FAILED, EXIT_PASSED, MAIN_TITLE, RUN_BUTTON,  # noqa: E402
                     SOURCE, Bitmap, Scenario, box_text, main, set_windows_version)

DEFAULTS = os.path.join(os.path.dirname(__file__), "..", "default_pelorin.ini")


def defaults_with(**changes):
    """The default settings with some values replaced."""
    with open(DEFAULTS, "rb") as f:
        lines = f.read().decode().split("\r\n")[:-1]
    out = []
    for line in lines:
        key = line.split(" = ")[0].split(" =")[0]
        out.append(f"{key} = {changes.pop(key)}" if key in changes else line)
    assert not changes, changes
    return out


def art(name):
    """A skin image as a Bitmap, converted by ImageMagick."""
    bmp = os.path.join(tempfile.mkdtemp(), name + ".bmp")
    subprocess.run(["convert", os.path.join(SOURCE, "skin", "art", name + ".bmp"),
                    "-type", "TrueColor", "BMP3:" + bmp], check=True)
    return Bitmap(bmp)


def greenish(c):
    return c[1] > c[0] + 40 and c[1] > c[2] + 20


def reddish(c):
    return c[0] > c[1] + 60 and c[0] > c[2] + 60


class CheckVerdicts(Scenario):
    def assert_display(self, run, shot, passed_rows, button, message_colour):
        """Icons at x 525, y 111 + 34 i; the button face; the overall message."""
        bitmap = Bitmap(self.shot_path(shot)[1])
        self.keep_shot(self.shot_path(shot)[1], shot)
        main_window = run.window()
        ox, oy = main_window.x, main_window.y
        for row in range(5):
            icon = [bitmap.pixel(ox + 525 + x, oy + 111 + 34 * row + y)
                    for x in range(20) for y in range(20)]
            if row in passed_rows:
                self.assertTrue(any(greenish(c) for c in icon), f"pass icon in row {row}")
                self.assertFalse(any(reddish(c) for c in icon), f"row {row}")
            else:
                self.assertTrue(any(reddish(c) for c in icon), f"fail icon in row {row}")
        face = art("btn_" + button)
        left, top, width, height = RUN_BUTTON
        differing = sum(1 for x in range(width) for y in range(height)
                        if bitmap.pixel(ox + left + x, oy + top + y) != face.pixel(x, y))
        self.assertLess(differing, width * height // 50, f"picOK shows the {button} face")
        near = sum(1 for x in range(20, 560) for y in range(300, 318)
                   if all(abs(a - b) <= 30 for a, b in
                          zip(bitmap.pixel(ox + x, oy + y), message_colour)))
        self.assertGreater(near, 30, "the overall message in its colour")

    def check(self, version, settings=None, shot=None):
        set_windows_version(version)
        if settings:
            self.write_settings(settings)
        steps = ["wait-window", MAIN_TITLE, "60", "sleep", "300", "dump"]
        if shot:
            steps += ["shot", self.shot_path(shot)[0]]
        steps += ["click", *CLOSE_BUTTON, "wait-exit", "60"]
        return self.drive(*steps)

    def test_windows_xp_passes_with_the_defaults(self):
        run = self.check("winxp", shot="xp-passed")
        self.assert_display(run, "xp-passed", range(5), "run", (105, 105, 107))
        rows = run.rows()
        self.assertEqual(rows[0], ("Windows XP SP3+", "Windows XP SP3"))
        self.assertEqual(rows[1], ("Yes", "Yes"))
        self.assertEqual(rows[2][0], "970 MHz")
        self.assertTrue(rows[2][1].endswith("GHz") or rows[2][1].endswith("MHz"))
        self.assertEqual(rows[3][0], "480 MB")
        self.assertEqual(rows[4][0], "500 MB")
        self.assertEqual(run.exit_code, EXIT_PASSED)

    def test_windows_2000_is_older_than_the_minimum(self):
        run = self.check("win2k")
        self.assertEqual(run.rows()[0], ("Windows XP+", "Windows 2000 SP4"))
        self.assertEqual(run.exit_code, EXIT_FAILED)

    def test_windows_2003_server_fails(self):
        run = self.check("win2003")
        self.assertEqual(run.rows()[0], ("Windows XP+", "Server OS(Server)"))
        self.assertEqual(run.rows()[3][0], "4.88 GB", "servers need 5000 MB without a key")
        self.assertEqual(run.exit_code, EXIT_FAILED)

    def test_vista_and_7_pass_with_their_own_keys(self):
        for version, os_row in (("vista", ("Windows Vista SP1+", "Windows Vista SP2")),
                                ("win7", ("Windows 7+", "Windows 7 SP1"))):
            with self.subTest(version=version):
                self._prepare_folder()
                run = self.check(version)
                rows = run.rows()
                self.assertEqual(rows[0], os_row)
                self.assertEqual(rows[2][0], "1.60 GHz")
                self.assertEqual(rows[3][0], "960 MB")
                self.assertEqual(rows[4][0], "800 MB")
                self.assertEqual(run.exit_code, EXIT_PASSED)

    def test_windows_8_is_unknown_and_fails(self):
        run = self.check("win8", shot="win8-failed")
        # The operating system fails; memory needs 5000 MB on an unknown system.
        have = run.rows()[3][1].split()
        memory_mb = float(have[0]) * (1024 if have[1] == "GB" else 1)
        passed = [1, 2, 4] + ([3] if memory_mb >= 5000 else [])
        self.assert_display(run, "win8-failed", passed, "bigclose", (245, 123, 32))
        self.assertEqual(run.rows()[0], ("Windows XP+", "Unknown OS."))
        self.assertEqual(run.rows()[3][0], "4.88 GB")
        self.assertEqual(run.exit_code, EXIT_FAILED)

    def test_xp_x64_is_refused_by_the_exception_list(self):
        self.switch_to_64_bit_windows()
        run = self.check("winxp64")
        self.assertEqual(run.rows()[0], ("Windows XP+", "Windows XP x64"))
        self.assertEqual(run.exit_code, EXIT_FAILED)

    def test_memory_minimum_above_this_machine(self):
        run = self.check("winxp", defaults_with(MinMemoryxp2k="99999999", WarnMemoryxp2k="99999999"))
        self.assertEqual(run.rows()[3][0], "97656.25 GB")
        self.assertEqual(run.exit_code, EXIT_FAILED)

    def test_disk_minimum_above_the_free_space(self):
        run = self.check("winxp", defaults_with(MinDiskSpace="999999999", WarnDiskSpace="999999999"))
        self.assertEqual(run.rows()[4][0], "976562.50 GB")
        self.assertEqual(run.exit_code, EXIT_FAILED)

    def test_a_value_that_is_not_a_number_stops_without_a_verdict(self):
        # A huge minimum once passed: it overflowed to a negative clock.
        set_windows_version("winxp")
        for value in ("fast", "100000000000000000000"):
            with self.subTest(value=value):
                self.write_settings(defaults_with(MinCPUSpeed=value))
                run = self.drive("wait-other", "60", "dump", "press-ok", "wait-exit", "60")
                self.assertEqual(box_text(run.boxes()[0]),
                                 f'Pelorin.ini may be corrupt: the setting MinCPUSpeed = "{value}" '
                                 'is not a valid number. Please reinstall the Pelorin.')
                self.assertIsNone(run.window(), "no results window")
                self.assertEqual(run.exit_code, 0)
                self.assertTrue(os.path.exists(self.settings_path))


if __name__ == "__main__":
    main()
