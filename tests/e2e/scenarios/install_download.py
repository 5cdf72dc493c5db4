"""Run Setup with the built-in install script: the setup program comes from
the project's own loopback server (standing in for the provider's server as
the user's proxy), with progress, the stall time-out and the error text, and
what a hostile network sends instead of the setup program."""
import glob
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (BUILD, CLOSE_BUTTON, EXIT_PASSED, MAIN_TITLE, PREFIX, RUN_BUTTON,  # noqa: E402
                     RUN_SETUP, Bitmap, Scenario, box_text, main, serving, set_windows_version,
                     wine)

SETUP_PATH = "/TavrinCA/tavrinsecure/tavrinsecure.exe"
BAR = (33, 345, 521, 25)  # where the main window keeps its progress bar


def sample_setup(size):
    with open(os.path.join(BUILD, "sample", "tavrinsecure_sample.exe"), "rb") as f:
        content = f.read()
    return content + b"\0" * (size - len(content))


def temp_folder():
    return glob.glob(os.path.join(PREFIX, "drive_c", "users", "*", "Temp"))[0]


def staging_folder():
    """Where a run with administrator rights stages the setup: the Windows
    folder's own Temp, which the user cannot point elsewhere."""
    return os.path.join(PREFIX, "drive_c", "windows", "temp")


def download_folders():
    """The folders that runs made for their downloads."""
    return glob.glob(os.path.join(staging_folder(), "TSCheck-*"))


class InstallDownload(Scenario):
    def setUp(self):
        super().setUp()
        set_windows_version("winxp")
        for folder in download_folders():
            shutil.rmtree(folder, ignore_errors=True)
        # A file at the old fixed path must neither be used nor touched.
        self.decoy = os.path.join(temp_folder(), "tavrinsecure.exe")
        with open(self.decoy, "wb") as f:
            f.write(b"planted")

    def tearDown(self):
        wine("taskkill", "/f", "/im", "tavrinsecure.exe")
        os.remove(self.decoy)
        super().tearDown()

    def downloaded(self):
        """The setup file and start marker of the one run, or Nones."""
        folders = download_folders()
        self.assertLessEqual(len(folders), 1)
        if not folders:
            return None, None
        return (os.path.join(folders[0], "tavrinsecure.exe"),
                os.path.join(folders[0], "tavrinsecure-started.txt"))

    def assert_started(self, run, content):
        """The served bytes were saved in the run's own folder and started."""
        self.assertEqual(run.exit_code, EXIT_PASSED)
        setup_file, marker = self.downloaded()
        self.assertIsNotNone(setup_file, "downloaded into a folder of the run's own")
        with open(setup_file, "rb") as f:
            self.assertEqual(f.read(), content, "exactly the served bytes")
        self.assertTrue(os.path.exists(marker), "the downloaded setup started from its folder")

    def assert_refused(self, shape, content, wait_ms="3000"):
        """The download fails: the error text on the open window, nothing
        started, nothing left behind; closing still ends with the verdict."""
        windows_shot, unix_shot = self.shot_path("refused")
        with serving({SETUP_PATH: content}, shape=shape):
            run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP, "sleep", wait_ms,
                             "shot", windows_shot, "dump", "click", *CLOSE_BUTTON,
                             "wait-exit", "30", "sleep", "1000")
        main_window = run.window()
        self.assertIsNotNone(main_window, "the window stays open")
        self.assertGreater(error_text_pixels(Bitmap(unix_shot), main_window), 20,
                           "the error text in its colour")
        self.assertEqual(run.exit_code, EXIT_PASSED)
        self.assertEqual(download_folders(), [], "no file and no folder left")
        with open(self.decoy, "rb") as f:
            self.assertEqual(f.read(), b"planted")

    def bar_pixels(self, bitmap, window):
        x0, y0 = window.x + BAR[0], window.y + BAR[1]
        return {bitmap.pixel(x0 + dx, y0 + BAR[3] // 2) for dx in range(4, BAR[2] - 4, 8)}

    def test_download_with_progress_starts_the_setup_and_ends_passed(self):
        content = sample_setup(12 * 1024 * 1024)
        windows_shot, unix_shot = self.shot_path("downloading")
        with serving({SETUP_PATH: content}, shape="rate=3000000"):
            run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP,
                             "sleep", "1800", "shot", windows_shot, "dump", "wait-exit", "60",
                             "sleep", "1500")
        self.keep_shot(unix_shot, "downloading")
        self.assert_started(run, content)
        with open(self.decoy, "rb") as f:
            self.assertEqual(f.read(), b"planted")
        main_window = run.window()
        bars = [c for c in main_window.children if c.cls == "TSCheckXPProgressBar"]
        self.assertTrue(bars and bars[0].visible, "the progress bar shows while downloading")
        run_button = [c for c in main_window.children
                      if c.cls == "TSCheckPicture" and (c.x, c.y) == RUN_BUTTON[:2]]
        self.assertFalse(run_button[0].visible, "Run Setup is hidden during the download")
        colours = self.bar_pixels(Bitmap(unix_shot), main_window)
        self.assertGreater(len(colours), 3, "a drawn bar, not an empty field")

    def test_body_that_comes_after_its_headers_in_small_pieces_is_started(self):
        # The headers, then a wait, then the body in small pieces: WinINet's
        # queries for data wait and complete later on its own threads.
        content = sample_setup(2 * 1024 * 1024)
        with serving({SETUP_PATH: content}, shape="stall=0&pause=1500&rate=500000"):
            run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP,
                             "wait-exit", "60", "sleep", "1500")
        self.assert_started(run, content)

    def test_stalled_server_times_out_after_about_19_seconds(self):
        with serving({SETUP_PATH: sample_setup(4 * 1024 * 1024)}, shape="stall=300000"):
            run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP, "clock",
                             "wait-other", "45", "clock", "dump", "press-ok", "sleep", "1500",
                             "use-main", "dump", "click", *CLOSE_BUTTON, "wait-exit", "30")
        waited = (run.clocks[1] - run.clocks[0]) / 1000
        self.assertGreater(waited, 17)
        self.assertLess(waited, 24)
        self.assertEqual(box_text(run.boxes(0)[0]),
                         "Download timed out. Please check your connection settings and try again.")
        after = run.window(1)
        self.assertIsNotNone(after, "the window stays open")
        bars = [c for c in after.children if c.cls == "TSCheckXPProgressBar"]
        self.assertFalse(bars[0].visible, "the bar is hidden after the time-out")
        self.assertEqual(len(run.boxes(1)), 0, "no second message")
        self.assertEqual(run.exit_code, EXIT_PASSED)
        self.assertEqual(download_folders(), [], "the cancelled download left nothing")

    def test_captive_portal_page_is_not_started(self):
        self.assert_refused("portal=1", sample_setup(1_000_000))

    def test_chunked_download_cut_in_half_is_not_started(self):
        # WinINet ends a cut chunked stream like a whole one; without a
        # length or a pinned digest the end cannot be trusted.
        self.assert_refused("chunked=1&cut=500000", sample_setup(1_000_000))

    def test_flowing_data_without_a_length_never_times_out_and_is_not_started(self):
        # About 22 seconds of data without a known total: flowing bytes are
        # progress, so no time-out; at the end nothing proves the file whole.
        self.assert_refused("length=0&rate=45000", sample_setup(1_000_000), wait_ms="26000")

    def assert_times_out(self, shape, content):
        """No file arrives: the status keeps its text, no error text shows,
        and the time-out message follows after about 19 seconds; nothing
        starts and nothing is left."""
        windows_shot, unix_shot = self.shot_path("waiting")
        with serving({SETUP_PATH: content}, shape=shape):
            run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP, "clock",
                             "sleep", "4000", "shot", windows_shot, "dump",
                             "wait-other", "45", "clock", "dump", "press-ok", "sleep", "1500",
                             "use-main", "click", *CLOSE_BUTTON, "wait-exit", "30", "sleep", "500")
        waited = (run.clocks[1] - run.clocks[0]) / 1000
        self.assertGreater(waited, 17)
        self.assertLess(waited, 24)
        self.assertLessEqual(error_text_pixels(Bitmap(unix_shot), run.window()), 20,
                             "no error text while waiting")
        self.assertEqual(box_text(run.boxes(1)[0]),
                         "Download timed out. Please check your connection settings and try again.")
        self.assertEqual(run.exit_code, EXIT_PASSED)
        self.assertEqual(download_folders(), [], "nothing started, nothing left")

    def test_an_unreachable_server_waits_for_the_time_out(self):
        self.assert_times_out("close=1", b"")

    def test_partial_content_is_not_the_file(self):
        # Only 200 OK is the file; a 206 answers a range nobody asked for.
        self.assert_times_out("status=206", sample_setup(1_000_000))

    def test_data_after_the_time_out_is_neither_saved_nor_started(self):
        # 1,000 bytes, a 20 second stall, then the rest while the box is up.
        with serving({SETUP_PATH: sample_setup(1_000_000)}, shape="stall=1000&pause=20000"):
            run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP,
                             "wait-other", "45", "sleep", "6000", "dump", "press-ok",
                             "sleep", "1500", "use-main", "dump", "click", *CLOSE_BUTTON,
                             "wait-exit", "30", "sleep", "500")
        self.assertEqual(box_text(run.boxes(0)[0]),
                         "Download timed out. Please check your connection settings and try again.")
        self.assertIsNotNone(run.window(1), "the window stays open after the box")
        self.assertEqual(run.exit_code, EXIT_PASSED)
        self.assertEqual(download_folders(), [], "nothing saved, nothing started")

    def test_closing_mid_download_leaves_no_partial_file(self):
        with serving({SETUP_PATH: sample_setup(4 * 1024 * 1024)}, shape="stall=2000000"):
            run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP, "sleep", "3000",
                             "click", *CLOSE_BUTTON, "wait-exit", "30", "sleep", "500")
        self.assertEqual(run.exit_code, EXIT_PASSED)
        self.assertEqual(download_folders(), [], "no partial file, no folder")
        self.assertEqual(glob.glob(os.path.join(temp_folder(), "**", "dl*.tmp"), recursive=True),
                         [])


def error_text_pixels(bitmap, window):
    return sum(1 for x in range(32, 400) for y in range(300, 316)
               if _near(bitmap.pixel(window.x + x, window.y + y), (245, 123, 32)))


def _near(colour, target, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, target))


if __name__ == "__main__":
    main()
