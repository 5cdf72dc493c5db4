"""Run Setup on the TSCheck.exe that pins the signer of the setup program
(build/signed, pinned to the sample publisher's certificate made for the
build tree): the publisher's signed setup starts; the same setup unsigned,
signed by somebody else, changed after signing, cut after its last section,
or fetched through a redirect to another host never starts anything. A setup
signed by a renewed certificate for the publisher's pinned key starts.

Wine accepts the self-signed sample certificate as a root, so this proves
the digest and pin logic, not Windows' chain policy."""
import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.dirname(__file__))
import install_download as downloads  # noqa: E402
from harness import (BUILD, CLOSE_BUTTON, EXIT_PASSED, MAIN_TITLE, RUN_SETUP, TIME_SCALE,  # noqa: E402
                     Bitmap, Scenario, main, serving, set_windows_version, wine)

SETUP_PATH = downloads.SETUP_PATH
ANOTHER_HOST = "http://mirror.example" + SETUP_PATH + "?moved=1"


def sample(variant):
    with open(os.path.join(BUILD, "sample", "tavrinsecure_" + variant + ".exe"), "rb") as f:
        return f.read()


class SignedSetup(Scenario):
    def setUp(self):
        super().setUp()
        shutil.copy(os.path.join(BUILD, "signed", "TSCheck.exe"), self.folder)
        set_windows_version("winxp")
        for folder in downloads.download_folders():
            shutil.rmtree(folder, ignore_errors=True)

    def tearDown(self):
        wine("taskkill", "/f", "/im", "tavrinsecure.exe")
        super().tearDown()

    def assert_starts(self, variant):
        """Run Setup on that sample: the served bytes start, and the run passes."""
        content = sample(variant)
        with serving({SETUP_PATH: content}):
            run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP,
                             "wait-exit", "60", "sleep", "1500")
        self.assertEqual(run.exit_code, EXIT_PASSED)
        folders = downloads.download_folders()
        self.assertEqual(len(folders), 1)
        with open(os.path.join(folders[0], "tavrinsecure.exe"), "rb") as f:
            self.assertEqual(f.read(), content)
        self.assertTrue(os.path.exists(os.path.join(folders[0], "tavrinsecure-started.txt")),
                        "the %s setup started" % variant)

    def test_signed_setup_from_the_publisher_starts_and_ends_passed(self):
        self.assert_starts("signed")

    def test_setup_signed_by_a_renewed_certificate_for_the_pinned_key_starts(self):
        self.assert_starts("renewed")

    def test_unsigned_other_changed_cut_or_redirected_setups_never_start(self):
        signed = sample("signed")
        cases = [
            ("unsigned", {SETUP_PATH: sample("unsigned")}, ""),
            ("signed by another certificate", {SETUP_PATH: sample("other")}, ""),
            ("one byte of a section changed", {SETUP_PATH: sample("changed")}, ""),
            ("cut after its last section", {SETUP_PATH: sample("cut")}, ""),
            ("the signed setup, through a redirect to another host", {SETUP_PATH: signed},
             "redirect=" + ANOTHER_HOST),
        ]
        # One server for all cases: each Wine start costs much where Wine
        # runs emulated, so the proxy is set once.
        with serving({}) as server:
            for what, files, shape in cases:
                with self.subTest(what):
                    server.files, server.shape = files, shape
                    windows_shot, unix_shot = self.shot_path("refused")
                    run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP,
                                     "sleep", str(4000 * TIME_SCALE), "shot", windows_shot,
                                     "dump", "click", *CLOSE_BUTTON, "wait-exit", "30",
                                     "sleep", "1000")
                    main_window = run.window()
                    self.assertIsNotNone(main_window, "the window stays open")
                    self.assertGreater(
                        downloads.error_text_pixels(Bitmap(unix_shot), main_window), 20,
                        "the error text in its colour")
                    self.assertEqual(run.exit_code, EXIT_PASSED)
                    self.assertEqual(downloads.download_folders(), [],
                                     "no file and no folder left")

if __name__ == "__main__":
    main()
