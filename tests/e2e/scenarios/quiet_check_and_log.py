"""What deployment scripts and support staff use: the quiet check (/check),
which answers through the exit code alone, the run log (/log), and the
keyboard on the main window and the message box."""
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (BUILD, EXIT_FAILED, EXIT_PASSED, MAIN_TITLE, RUN_BUTTON,  # noqa: E402
                     RUN_SETUP, CLOSE_BUTTON, Scenario, box_text, main, serving,
                     set_windows_version)

SETUP_PATH = "/TavrinCA/tavrinsecure/tavrinsecure.exe"
DEFAULTS = os.path.join(os.path.dirname(__file__), "..", "default_pelorin.ini")
VK_RETURN, VK_ESCAPE = "13", "27"
# F8, full stop, slash, W, I, L, O: the credits.
CREDITS_KEYS = ["119", "190", "191", "87", "73", "76", "79"]


class QuietCheckAndLog(Scenario):
    def windows_path(self, name):
        return "C:\\e2e\\" + self.name + "\\" + name

    def read_log(self, name):
        with open(os.path.join(self.folder, name), "rb") as f:
            return f.read().decode("cp1252")

    def test_quiet_check_answers_through_the_exit_code_alone(self):
        # Passing without a settings file: none is written. Failing with one:
        # it is neither changed nor deleted. No window ever shows.
        for version, settings, expected in (("winxp", False, EXIT_PASSED),
                                            ("win2k", True, EXIT_FAILED)):
            with self.subTest(version=version):
                self._prepare_folder()
                set_windows_version(version)
                if settings:
                    shutil.copy(DEFAULTS, self.settings_path)
                run = self.drive("watch-exit", "120",
                                 arguments="/CHECK /log=" + self.windows_path("check.log"))
                self.assertEqual(run.exit_code, expected)
                self.assertEqual(run.appeared, [], "no window of the program")
                if settings:
                    with open(DEFAULTS, "rb") as f:
                        self.assertEqual(self.settings_bytes(), f.read())
                else:
                    self.assertFalse(os.path.exists(self.settings_path), "no pelorin.ini written")
                log = self.read_log("check.log")
                self.assertIn("Verdict: " + ("passed" if expected == EXIT_PASSED else "failed"),
                              log)
                self.assertIn(f"Exit code {expected}\r\n", log)

    def test_log_of_a_refused_download_names_the_reason_and_the_exit_code(self):
        set_windows_version("winxp")
        name = "support log.txt"  # a blank in the path, quoted on the command line
        with open(os.path.join(self.folder, name), "wb") as f:
            f.write(b"an earlier run\r\n")
        with serving({SETUP_PATH: b""}, shape="portal=1"):
            run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP, "sleep", "3000",
                             "click", *CLOSE_BUTTON, "wait-exit", "30",
                             arguments='"/log=' + self.windows_path(name) + '"')
        self.assertEqual(run.exit_code, EXIT_PASSED)
        log = self.read_log(name)
        sys.stdout.write(log)
        lines = log.split("\r\n")
        self.assertEqual(lines[0], "an earlier run", "appended, never truncated")
        events = [line.split("] ", 1)[1] for line in lines[1:] if line]
        self.assertTrue(events[0].startswith("TSCheck ") and events[0].endswith(
            'arguments: "/log=' + self.windows_path(name) + '"'))
        self.assertTrue(any(e.startswith("System: code 6, ") for e in events))
        self.assertIn("Settings: " + self.windows_path("pelorin.ini") +
                      " written with the defaults", events)
        self.assertEqual(len([e for e in events if e.startswith("Row ")]), 5)
        self.assertTrue(any(e.startswith("Download: http://") and SETUP_PATH + " into " in e
                            for e in events), "the download's URL")
        self.assertIn("HTTP status 200", events)
        self.assertIn("Download refused: the file is not a whole Windows program", events)
        self.assertEqual(events[-1], f"Exit code {EXIT_PASSED}")

    def test_keyboard_runs_setup_and_closes(self):
        set_windows_version("winxp")
        with open(DEFAULTS, "rb") as f:
            lines = f.read().decode().split("\r\n")[:-1]
        shutil.copy(os.path.join(BUILD, "e2e", "logrun.exe"), self.folder)
        lines = [line for line in lines if not line.startswith(("Run =", "Msg ="))]
        lines += ["Run = " + self.windows_path("logrun.exe") + " " +
                  self.windows_path("log.txt") + " A 0", "Msg = All done."]
        self.write_settings(lines)
        run = self.drive("wait-window", MAIN_TITLE, "60", "dump", "key", VK_RETURN,
                         "wait-other", "60", "dump", "key", VK_RETURN, "wait-exit", "60")
        self.assert_button_texts(run.window(0), ["Close", "Run Setup"])
        self.assertEqual(box_text(run.boxes(1)[0]), "All done.")
        self.assertEqual([c.text for c in run.boxes(1)[0].children
                          if c.cls == "TSCheckPicture" and c.visible], ["OK"])
        with open(os.path.join(self.folder, "log.txt"), "rb") as f:
            self.assertEqual(f.read(), b"A start\r\nA end\r\n", "Enter ran the command")
        self.assertEqual(run.exit_code, EXIT_PASSED)

        # A failed check: the credits' keys still open their box, Esc closes
        # it, and Esc on the window ends with the verdict.
        self._prepare_folder()
        set_windows_version("win2k")
        run = self.drive("wait-window", MAIN_TITLE, "60", "sleep", "300", "dump",
                         *[step for key in CREDITS_KEYS for step in ("key", key)],
                         "wait-other", "30", "dump", "key", VK_ESCAPE, "wait-gone", "30",
                         "use-main", "key", VK_ESCAPE, "wait-exit", "60")
        self.assert_button_texts(run.window(0), ["Close", "Close"])
        self.assertEqual(box_text(run.boxes(1)[0]), "Coded by Wilo Dastorn!")
        self.assertEqual(run.exit_code, EXIT_FAILED)

    def assert_button_texts(self, window, texts):
        """The main window's picture buttons carry their captions: the small
        close button, then the big button."""
        buttons = sorted((c for c in window.children if c.cls == "TSCheckPicture" and c.visible
                          and c.width in (32, RUN_BUTTON[2])), key=lambda c: c.width)
        self.assertEqual([c.text for c in buttons], texts)


if __name__ == "__main__":
    main()
