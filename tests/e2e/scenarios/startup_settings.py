"""Start-up and the settings file: the default file, its deletion at unload,
and the Windows 95 refusal."""
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (BUILD, CLOSE_BUTTON, EXIT_FAILED, EXIT_PASSED, MAIN_TITLE,  # noqa: E402
                     Scenario, box_text, main, set_windows_version)

with open(os.path.join(os.path.dirname(__file__), "..", "default_pelorin.ini"), "rb") as f:
    DEFAULT_SETTINGS = f.read()


class StartupSettings(Scenario):
    def test_a_crash_is_reported_as_a_crash_with_its_code(self):
        # Not the program's behaviour but the test bed's: a crashed program
        # ends at once and the scenario says so, instead of seeing a hang.
        shutil.copy(os.path.join(BUILD, "e2e", "crash.exe"), os.path.join(self.folder, "TSCheck.exe"))
        with self.assertRaisesRegex(AssertionError, "crashed with exception code 0xC0000005"):
            self.drive("wait-exit", "60")

    def test_default_file_written_byte_for_byte_and_deleted_at_unload(self):
        set_windows_version("winxp")
        copy = "C:\\e2e\\" + self.name + "\\written.ini"
        run = self.drive("wait-window", MAIN_TITLE, "60",
                         "copy", self.exe.replace("TSCheck.exe", "pelorin.ini"), copy,
                         "dump", "click", *CLOSE_BUTTON, "wait-exit", "30")
        self.assertIn(run.exit_code, (EXIT_PASSED, EXIT_FAILED))
        with open(os.path.join(self.folder, "written.ini"), "rb") as f:
            self.assertEqual(f.read(), DEFAULT_SETTINGS)
        self.assertFalse(os.path.exists(self.settings_path))

    def test_present_file_is_used_then_deleted(self):
        set_windows_version("winxp")
        self.write_settings(["[Requirements]", "MinOS = 99", "ExceptionOS =", "XPSP = 2",
                             "Err = Custom failure.", "MinMemoryxp2k = 1", "WarnMemoryxp2k = 2",
                             "forecolor = 1,2,3", "backcolor = 4,5,6", "MinCPUSpeed = 1",
                             "WarnCPUSpeed = 2", "MinDiskSpace = 1", "WarnDiskSpace = 2"])
        run = self.drive("wait-window", MAIN_TITLE, "60", "dump",
                         "click", *CLOSE_BUTTON, "wait-exit", "30")
        need, have = run.rows()[0]
        self.assertEqual(need, "Unknown OS. SP2+")
        self.assertTrue(have.startswith("Windows XP"), have)
        self.assertEqual(run.exit_code, EXIT_FAILED)
        self.assertFalse(os.path.exists(self.settings_path))

    def test_windows_95_refusal_with_empty_title_writes_no_file(self):
        set_windows_version("win95")
        run = self.drive("wait-other", "60", "dump", "press-ok", "wait-exit", "30")
        boxes = run.boxes()
        self.assertEqual(len(boxes), 1)
        self.assertEqual(box_text(boxes[0]),
                         "Sorry, Windows 95 does not meet the minimum system requirements to run .")
        self.assertIsNone(run.window(), "the main window is never shown")
        self.assertEqual(run.exit_code, 0)
        self.assertFalse(os.path.exists(self.settings_path))

    def test_an_unreadable_settings_file_stops_without_a_verdict(self):
        set_windows_version("winxp")
        os.makedirs(self.settings_path)  # a folder where the file should be
        run = self.drive("wait-other", "60", "dump", "press-ok", "wait-exit", "30")
        self.assertEqual(box_text(run.boxes()[0]), "String file missing from program directory")
        self.assertIsNone(run.window(), "no results without the provider's requirements")
        self.assertEqual(run.exit_code, 0)

    def test_a_folder_that_cannot_hold_the_default_file_runs_on_the_built_in_defaults(self):
        # On NT 4.0 a folder of the file's name counts as no file, and the
        # default file cannot be written over it, as on a CD.
        set_windows_version("nt40")
        os.makedirs(self.settings_path)
        run = self.drive("wait-other", "60", "dump", "press-ok", "wait-window", MAIN_TITLE, "60",
                         "dump", "click", *CLOSE_BUTTON, "wait-exit", "30")
        self.assertEqual(box_text(run.boxes(0)[0]), "String file missing from program directory")
        need, have = run.rows(1)[0]
        self.assertEqual(need, "Windows XP+", "the built-in MinOS")
        self.assertEqual(run.exit_code, EXIT_FAILED, "NT 4.0 fails, with a verdict")
        self.assertTrue(os.path.isdir(self.settings_path))


if __name__ == "__main__":
    main()
