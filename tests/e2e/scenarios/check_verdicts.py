"""The five checks on real Windows versions: the rows' texts, the verdict
icons, the overall result and the exit code."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (EXIT_FAILED, EXIT_PASSED, MAIN_TITLE, Scenario, box_text, main,  # noqa: E402
                     set_windows_version)

CLOSE_BUTTON = ("557", "28")
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


class CheckVerdicts(Scenario):
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
        run = self.check("winxp")
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
        run = self.check("win8")
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
        set_windows_version("winxp")
        self.write_settings(defaults_with(MinCPUSpeed="fast"))
        run = self.drive("wait-other", "60", "dump", "press-ok", "wait-exit", "60")
        self.assertEqual(box_text(run.boxes()[0]),
                         'Pelorin.ini may be corrupt: the setting MinCPUSpeed = "fast" is not a '
                         'valid number. Please reinstall the Pelorin.')
        self.assertEqual(run.exit_code, 0)
        self.assertTrue(os.path.exists(self.settings_path))

    def test_show_results_false_with_everything_passed(self):
        set_windows_version("winxp")
        self.write_settings(defaults_with(ShowResults="false", Run="", Msg="Done quietly."))
        run = self.drive("wait-other", "60", "dump", "press-ok", "wait-exit", "60")
        self.assertIsNone(run.window(), "the results window is never shown")
        self.assertEqual(box_text(run.boxes()[0]), "Done quietly.")
        self.assertEqual(run.exit_code, EXIT_PASSED)


if __name__ == "__main__":
    main()
