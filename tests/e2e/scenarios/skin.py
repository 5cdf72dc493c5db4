"""The skinned interface on the real screen: the main window cut to the
outline of its skin, hover faces, the skinned message box on top, the
rectangular window of old systems, and the credits key combination."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from harness import (CLOSE_BUTTON, CLOSE_BUTTON_BOX, MAIN_TITLE, RUN_BUTTON,  # noqa: E402
                     RUN_SETUP, Bitmap, Scenario, box_text, main, set_windows_version)

BACKGROUND = ("300", "80")
MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
# Face colours of the skin's buttons (tools/make_skin_art.py).
MAIN_FACE, MAIN_HOVER_FACE = (34, 104, 184), (84, 150, 222)
MSG_EDGE, MSG_HOVER_EDGE = (160, 164, 170), (245, 123, 32)
EASY = ["MinOS = 0", "ExceptionOS =", "XPSP = 0", "MinCPUSpeed = -1", "WarnCPUSpeed = -1",
        "MinMemoryxp2k = 1", "WarnMemoryxp2k = 1", "MinDiskSpace = 1", "WarnDiskSpace = 1",
        "forecolor = 0,150,255", "backcolor = 205,205,205", "bgimage = 2"]
LONG_PROMPT = ("Tavrin Secure has been set up on this computer. Restart the computer before you "
               "use it, so that every part of the protection is active.")


def near(colour, expected, tolerance=10):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


class Skin(Scenario):
    def shots(self, *labels):
        return {label: self.shot_path(label) for label in labels}

    def hits(self, run):
        return [line.split(" ", 2)[1] for line in run.lines if line.startswith("hit ")]

    def test_shaped_window_with_hover_faces(self):
        set_windows_version("winxp")
        shots = self.shots("window", "ok-hover", "ok-back", "close-hover", "close-back")
        run = self.drive(
            "wait-window", MAIN_TITLE, "60", "move", *BACKGROUND, "sleep", "300",
            "shot", shots["window"][0], "dump",
            "hit", "0", "0", "hit", "1", "200", "hit", "300", "200",
            "move", *RUN_SETUP, "sleep", "300", "shot", shots["ok-hover"][0],
            "move", *BACKGROUND, "sleep", "300", "shot", shots["ok-back"][0],
            "move", *CLOSE_BUTTON, "sleep", "300", "shot", shots["close-hover"][0],
            "move", *BACKGROUND, "sleep", "300", "shot", shots["close-back"][0],
            "click", *CLOSE_BUTTON, "wait-exit", "30")
        self.assertIsNotNone(run.exit_code)
        window = run.window()
        self.assertEqual((window.width, window.height), (588, 410))
        for label, (_, bmp) in shots.items():
            self.keep_shot(bmp, label)

        def pixel(label, x, y):
            return Bitmap(shots[label][1]).pixel(window.x + x, window.y + y)

        # The desktop shows through the magenta corners, and clicks go there.
        desktop = Bitmap(shots["window"][1]).pixel(window.x - 20, window.y - 20)
        for x, y in ((0, 0), (587, 0), (0, 409), (587, 409), (1, 200)):
            self.assertEqual(pixel("window", x, y), desktop, (x, y))
        self.assertNotEqual(pixel("window", 300, 200), MAGENTA)
        self.assertEqual(self.hits(run), ["#32769", "#32769", "TSCheckMain"])

        # A face pixel of each button, away from its caption.
        ok = (RUN_BUTTON[0] + 8, RUN_BUTTON[1] + 19)
        close = (CLOSE_BUTTON_BOX[0] + 5, CLOSE_BUTTON_BOX[1] + 16)
        self.assertTrue(near(pixel("window", *ok), MAIN_FACE))
        self.assertTrue(near(pixel("ok-hover", *ok), MAIN_HOVER_FACE))
        self.assertTrue(near(pixel("ok-back", *ok), MAIN_FACE))
        self.assertTrue(near(pixel("close-hover", *close), MAIN_HOVER_FACE))
        self.assertTrue(near(pixel("close-back", *close), MAIN_FACE))
        self.assertTrue(near(pixel("close-back", *ok), MAIN_FACE))

    def test_windows_98_keeps_the_rectangle_with_white_margins(self):
        set_windows_version("win98")
        shot = self.shot_path("window")
        run = self.drive("wait-window", MAIN_TITLE, "60", "sleep", "300", "shot", shot[0], "dump",
                         "hit", "0", "0", "click", *CLOSE_BUTTON, "wait-exit", "30")
        self.keep_shot(shot[1], "window")
        window = run.window()
        image = Bitmap(shot[1])
        for x, y in ((0, 0), (587, 0), (0, 409), (587, 409), (1, 200)):
            self.assertEqual(image.pixel(window.x + x, window.y + y), WHITE, (x, y))
        self.assertEqual(self.hits(run), ["TSCheckMain"])

    def test_backgrounds_without_magenta_leave_the_window_whole(self):
        set_windows_version("winxp")
        with open(os.path.join(os.path.dirname(__file__), "..", "default_pelorin.ini"), "rb") as f:
            defaults = f.read().decode("cp1252").split("\r\n")[:-1]
        # Which values name which background is the start-up policy's unit
        # test; here the two looks that keep the window whole.
        for value in ("0", "panel"):
            self.write_settings([line if not line.startswith("bgimage") else "bgimage = " + value
                                 for line in defaults])
            run = self.drive("wait-window", MAIN_TITLE, "60", "hit", "0", "0", "dump",
                             "click", *CLOSE_BUTTON, "wait-exit", "30")
            self.assertEqual(self.hits(run), ["TSCheckMain"], value)
            self.assertIsNotNone(run.exit_code)
            # The drawn default panel has no logo of its own: the logo strip shows.
            strips = [c for c in run.window().children
                      if c.cls == "TSCheckPicture" and (c.width, c.height) == (131, 18)]
            self.assertEqual(len(strips), 1, value)
            self.assertEqual(strips[0].visible, value != "0", value)

    def test_message_box_on_top_with_a_wrapped_prompt_hover_faces_and_drag(self):
        set_windows_version("winxp")
        self.write_settings(["[Requirements]", *EASY, "Run = cmd /c exit", "Msg = " + LONG_PROMPT])
        shots = self.shots("box", "box-hover", "box-back")
        run = self.drive("wait-window", MAIN_TITLE, "60", "click", *RUN_SETUP,
                         "wait-other", "60", "sleep", "300", "shot", shots["box"][0], "dump",
                         "move", "48", "172", "sleep", "300", "shot", shots["box-hover"][0],
                         "move", "200", "20", "sleep", "300", "shot", shots["box-back"][0],
                         "drag", "200", "20", "100", "80", "dump",
                         "press-ok", "wait-exit", "60")
        for label, (_, bmp) in shots.items():
            self.keep_shot(bmp, label)
        boxes = run.boxes()
        self.assertEqual(len(boxes), 1)
        box = boxes[0]
        self.assertEqual(box.cls, "TSCheckMsgBox")
        self.assertTrue(box.topmost)
        self.assertEqual((box.width, box.height), (375, 194))
        self.assertEqual(box_text(box), LONG_PROMPT)
        slots = [c for c in box.children if c.cls == "TSCheckPicture" and c.visible]
        self.assertEqual([(c.x, c.y, c.width, c.height) for c in slots], [(8, 160, 81, 25)])

        image = Bitmap(shots["box"][1])

        def dark_pixels(top, bottom):
            return sum(1 for y in range(top, bottom) for x in range(24, 345)
                       if sum(image.pixel(box.x + x, box.y + y)) < 450)
        # The prompt wraps: its second and third lines carry text.
        self.assertGreater(dark_pixels(56, 69), 30)
        self.assertGreater(dark_pixels(69, 82), 30)
        self.assertGreater(dark_pixels(82, 95), 30)
        # The box's white body is drawn over the main window, which lies under it.
        main_window = run.window()
        self.assertTrue(main_window.x < box.x + 187 < main_window.x + 588)
        self.assertEqual(image.pixel(box.x + 187, box.y + 150), WHITE)

        # Dragged by its background, the box follows the pointer.
        moved = run.boxes(1)[0]
        self.assertEqual((moved.x - box.x, moved.y - box.y), (-100, 60))

        def edge(label):
            return Bitmap(shots[label][1]).pixel(box.x + 8, box.y + 160 + 12)
        self.assertTrue(near(edge("box"), MSG_EDGE), edge("box"))
        self.assertTrue(near(edge("box-hover"), MSG_HOVER_EDGE), edge("box-hover"))
        self.assertTrue(near(edge("box-back"), MSG_EDGE), edge("box-back"))

    def test_credits_key_combination(self):
        set_windows_version("winxp")
        keys = [step for code in (119, 190, 191, 87, 73, 76, 79) for step in ("key", str(code))]
        run = self.drive("wait-window", MAIN_TITLE, "60", "click", *BACKGROUND, *keys,
                         "wait-other", "30", "dump", "press-ok", "wait-gone", "30",
                         "sleep", "200", "dump", "click", *CLOSE_BUTTON, "wait-exit", "30")
        self.assertEqual([box_text(b) for b in run.boxes(0)], ["Coded by Wilo Dastorn!"])
        self.assertEqual(run.boxes(1), [])
        self.assertIsNotNone(run.window(1))
        self.assertIsNotNone(run.exit_code)


if __name__ == "__main__":
    main()
