"""Run Setup with configured commands: order and waiting, the stop rule, URL
commands, the closing message, the Internet shortcut and the errors."""
import glob
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (BUILD, EXIT_FAILED, EXIT_PASSED, MAIN_TITLE, PREFIX, RUN_SETUP,  # noqa: E402
                     Scenario, box_text, main, set_windows_version)


# Requirements this machine meets whatever it measures.
EASY = ["MinOS = 0", "ExceptionOS =", "XPSP = 0", "MinCPUSpeed = -1", "WarnCPUSpeed = -1",
        "MinMemoryxp2k = 1", "WarnMemoryxp2k = 1", "MinDiskSpace = 1", "WarnDiskSpace = 1",
        "forecolor = 0,150,255", "backcolor = 205,205,205", "bgimage = 2"]


def favorites_folder():
    return glob.glob(os.path.join(PREFIX, "drive_c", "users", "*", "Favorites"))[0]


class SetupCommands(Scenario):
    def setUp(self):
        super().setUp()
        set_windows_version("winxp")
        shutil.copy(os.path.join(BUILD, "e2e", "logrun.exe"), self.folder)
        self.log = os.path.join(self.folder, "log.txt")
        for name in ("Support.url", "tavrin.url"):
            path = os.path.join(favorites_folder(), name)
            if os.path.exists(path):
                os.remove(path)

    def command(self, name, milliseconds, extra=""):
        folder = "C:\\e2e\\" + self.name + "\\"
        return f"{folder}logrun.exe {folder}log.txt {name} {milliseconds}{extra}"

    def log_lines(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, "rb") as f:
            return f.read().decode().split("\r\n")[:-1]

    def test_commands_run_in_order_each_after_the_previous(self):
        self.write_settings(["[Requirements]", *EASY, "Run = " + self.command("A", 700),
                             "Run0 =", "Run1 = " + self.command("B", 100), "Run2 =", "Run3 =",
                             "Run4 = " + self.command("C", 0), "Msg = All done.",
                             "Favorite = http://support.tavrin.example/help",
                             "FavoriteName = Support"])
        run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP,
                         "wait-other", "60", "dump", "press-ok", "wait-exit", "60")
        self.assertEqual(self.log_lines(), ["A start", "A end", "B start", "B end"])
        self.assertEqual(box_text(run.boxes()[0]), "All done.")
        with open(os.path.join(favorites_folder(), "Support.url"), "rb") as f:
            self.assertEqual(f.read(),
                             b"[InternetShortcut]\r\nURL=http://support.tavrin.example/help\r\n")
        self.assertEqual(run.exit_code, EXIT_PASSED)
        self.assertFalse(os.path.exists(self.settings_path))

    def test_empty_run_runs_nothing_but_still_shows_msg_and_writes_the_shortcut(self):
        self.write_settings(["[Requirements]", *EASY, "Run =", "Run0 = " + self.command("A", 0),
                             "Msg = Nothing to run.", "Favorite = http://tavrin.example/"])
        run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP,
                         "wait-other", "60", "dump", "press-ok", "wait-exit", "60")
        self.assertEqual(self.log_lines(), [])
        self.assertEqual(box_text(run.boxes()[0]), "Nothing to run.")
        with open(os.path.join(favorites_folder(), "tavrin.url"), "rb") as f:
            self.assertEqual(f.read(), b"[InternetShortcut]\r\nURL=http://tavrin.example/\r\n")
        self.assertEqual(run.exit_code, EXIT_PASSED)

    def test_a_command_that_cannot_start_ends_the_run(self):
        # The install word outside Run is an ordinary command line, and no
        # such program exists.
        self.write_settings(["[Requirements]", *EASY, "Run = " + self.command("A", 0),
                             "Run0 = installtavrinsecure", "Run1 = " + self.command("B", 0),
                             "Msg = All done."])
        run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP,
                         "wait-other", "60", "dump", "press-ok", "wait-exit", "60")
        text = box_text(run.boxes(0)[0])
        self.assertTrue(text.startswith("Cannot Run Command: installtavrinsecure\r\n"), text)
        self.assertGreater(len(text.split("\r\n", 1)[1].strip()), 0,
                           "the system's description of the error")
        self.assertEqual(self.log_lines(), ["A start", "A end"], "B never runs")
        self.assertTrue(os.path.exists(self.settings_path), "no unload: pelorin.ini stays")
        self.assertEqual(run.exit_code, 0)

    def test_a_second_click_does_not_run_the_list_again(self):
        self.write_settings(["[Requirements]", *EASY, "Run = " + self.command("A", 2500),
                             "Run0 = " + self.command("B", 0)])
        run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP, "sleep", "600",
                         "click", *RUN_SETUP, "sleep", "300", "click", *RUN_SETUP,
                         "wait-exit", "60")
        self.assertEqual(self.log_lines(), ["A start", "A end", "B start", "B end"])
        self.assertEqual(run.exit_code, EXIT_PASSED)

    def test_a_quoted_path_with_blanks_runs_that_one_file(self):
        # Unquoted, "C:\e2e\<test>\my setup\logrun.exe" would start my.exe
        # first: a program planted at the blank-cut prefix.
        folder = os.path.join(self.folder, "my setup")
        os.makedirs(folder)
        shutil.copy(os.path.join(BUILD, "e2e", "logrun.exe"), folder)
        shutil.copy(os.path.join(BUILD, "e2e", "logrun.exe"), os.path.join(self.folder, "my.exe"))
        path = "C:\\e2e\\" + self.name + "\\my setup\\logrun.exe"
        self.write_settings(["[Requirements]", *EASY, f'Run = "{path}"'])
        run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP, "wait-exit", "60")
        with open(os.path.join(folder, "log.txt"), "rb") as f:
            self.assertEqual(f.read(), b"logrun start\r\nlogrun end\r\n")
        self.assertEqual(self.log_lines(), [], "the planted my.exe never ran")
        self.assertEqual(run.exit_code, EXIT_PASSED)

    def test_a_value_in_quotes_with_quoted_arguments_runs_the_program_written(self):
        # The read drops the quotes around the whole value; a.exe planted at
        # the blank-cut prefix "C:\e2e\<test>\a" must not start instead.
        folder = os.path.join(self.folder, "a b")
        os.makedirs(folder)
        shutil.copy(os.path.join(BUILD, "e2e", "logrun.exe"), folder)
        shutil.copy(os.path.join(BUILD, "e2e", "logrun.exe"), os.path.join(self.folder, "a.exe"))
        meant = "C:\\e2e\\" + self.name + "\\a b\\"
        self.write_settings(["[Requirements]", *EASY,
                             f'Run = "{meant}logrun.exe" "{meant}log.txt" Q "0"'])
        run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP, "wait-exit", "60")
        with open(os.path.join(folder, "log.txt"), "rb") as f:
            self.assertEqual(f.read(), b"Q start\r\nQ end\r\n")
        self.assertEqual(self.log_lines(), [], "the planted a.exe never ran")
        self.assertEqual(run.exit_code, EXIT_PASSED)

    def test_a_shortcut_name_leaving_favorites_is_refused(self):
        users = os.path.dirname(favorites_folder())
        escaped = os.path.join(users, "escaped.url")
        if os.path.exists(escaped):
            os.remove(escaped)
        self.write_settings(["[Requirements]", *EASY, "Run =", "Favorite = http://tavrin.example/",
                             "FavoriteName = ..\\escaped"])
        run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP,
                         "wait-other", "60", "dump", "press-ok", "wait-exit", "60")
        self.assertEqual(box_text(run.boxes()[0]),
                         'The shortcut name "..\\escaped" is not a plain file name, so no '
                         'shortcut was written.')
        self.assertFalse(os.path.exists(escaped))
        self.assertEqual(run.exit_code, EXIT_PASSED)

    def test_url_command_in_capitals_is_not_waited_for(self):
        self.write_settings(["[Requirements]", *EASY,
                             "Run = " + self.command("U", 3000, " HTTP://tavrin.example/"),
                             "Run0 = " + self.command("B", 0)])
        run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP,
                         "wait-exit", "60", "sleep", "3500")
        lines = self.log_lines()
        # B ran to its end while U was still running: U was not waited for.
        self.assertEqual(sorted(lines), ["B end", "B start", "U end", "U start"])
        self.assertLess(lines.index("B end"), lines.index("U end"))
        self.assertEqual(run.exit_code, EXIT_PASSED)

    def test_close_after_a_failed_check_runs_nothing(self):
        self.write_settings(["[Requirements]", *[s for s in EASY if not s.startswith("MinOS")],
                             "MinOS = 99", "Run = " + self.command("A", 0)])
        run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP, "wait-exit", "60")
        self.assertEqual(run.exit_code, EXIT_FAILED)
        self.assertEqual(self.log_lines(), [])

    def test_show_results_false_runs_the_commands_during_start_up(self):
        self.write_settings(["[Requirements]", *EASY, "ShowResults = false",
                             "Run = " + self.command("A", 0)])
        run = self.drive("wait-exit", "60")
        self.assertEqual(self.log_lines(), ["A start", "A end"])
        self.assertEqual(run.exit_code, EXIT_PASSED)


if __name__ == "__main__":
    main()
