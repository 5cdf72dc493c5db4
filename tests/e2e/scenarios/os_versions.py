"""Each Windows version that Wine can report gets its code and name: the
operating-system row shows what the settings need and what this computer has."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import CLOSE_BUTTON, MAIN_TITLE, Scenario, main, set_windows_version  # noqa: E402



class OsVersions(Scenario):
    def rows_on(self, version):
        set_windows_version(version)
        run = self.drive("wait-window", MAIN_TITLE, "60", "dump",
                         "click", *CLOSE_BUTTON, "wait-exit", "30")
        self.assertIsNotNone(run.exit_code)
        return run.rows()

    def test_windows_98(self):
        rows = self.rows_on("win98")
        # Wine reports the second edition, build 2222.
        self.assertEqual(rows[0], ("Windows XP+", "Windows 98 OSR2"))
        self.assertEqual(rows[1], ("Yes", "Yes"))

    def test_windows_xp(self):
        self.assertEqual(self.rows_on("winxp")[0], ("Windows XP SP3+", "Windows XP SP3"))

    def test_windows_2003_is_refused_as_a_server(self):
        need, have = self.rows_on("win2003")[0]
        self.assertEqual(need, "Windows XP+")
        # Wine reports Server 2003 with the server product type: code 13.
        self.assertEqual(have, "Server OS(Server)")

    def test_windows_vista(self):
        self.assertEqual(self.rows_on("vista")[0], ("Windows Vista SP1+", "Windows Vista SP2"))

    def test_windows_7(self):
        self.assertEqual(self.rows_on("win7")[0], ("Windows 7+", "Windows 7 SP1"))

    def test_windows_8_is_unknown(self):
        self.assertEqual(self.rows_on("win8")[0], ("Windows XP+", "Unknown OS."))


if __name__ == "__main__":
    main()
