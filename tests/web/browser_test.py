"""The game in a real browser: the web folder served on 127.0.0.1 and played in headless
Chromium through Debian's chromium-driver. The canvas must show exactly the frames the
game draws on the headless host (outside the frame-rate text), and the page must show
them at a whole scale, centred on black:
- the title menu, the cursor moved by Down and Up, the first play frame (the ship at
  100,100), the ship moved about 2 pixels a frame by a held arrow, the menu again after
  the ship met the orb, and the end of the game after Exit, from which the page starts
  it again;
- full screen by Alt+Enter and by the page's button, and back;
- a page that lost the focus plays on; a hidden page gives up the display and shows no
  frames, and shown again it shows the right frame;
- a gamepad moves the ship and may be unplugged; the set-up failure's message box is a
  notice on the page.
  /usr/bin/python3 browser_test.py --site DIR --capture TOOL --compare TOOL --work DIR
Exits 77 when Chromium, its driver or selenium is missing."""

import argparse
import pathlib
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import web_page  # noqa: E402
from web_page import wait_until  # noqa: E402

HERE = pathlib.Path(__file__).resolve().parent
SETUP_LINES = ["DirectDrawCreateEx OK", "SetCooperativeLevel OK", "SetDisplayMode OK",
               "CreateSurface OK", "GetAttachedSurface OK", "DDLoadPalette OK", "SetPalette OK",
               "DDLoadBitmap BackImage OK", "DDLoadBitmap Strings OK", "DDLoadBitmap Menu OK",
               "DDLoadBitmap Character OK"]
# A gamepad of the standard mapping, in place before the page's scripts run; the test
# moves its stick and unplugs it through window.testPad.
FAKE_GAMEPAD = """
(function() {
  var pad = {id: 'Test pad', index: 0, connected: true, mapping: 'standard', timestamp: 0,
             axes: [0, 0, 0, 0], buttons: []};
  for (var i = 0; i < 17; ++i) pad.buttons.push({pressed: false, touched: false, value: 0});
  window.testPad = pad;
  navigator.getGamepads = function() { return pad.connected ? [pad] : [null]; };
})();
"""
NO_CANVAS = "HTMLCanvasElement.prototype.getContext = function() { return null; };"


class BrowserTest:
    def __init__(self, args):
        self.args = args
        self.work = pathlib.Path(args.work)
        self.shots = 0
        self.started = time.monotonic()

    def step(self, text):
        print(f"[{time.monotonic() - self.started:5.1f}s] {text}", flush=True)

    def fail(self, text):
        raise AssertionError(text)

    # --- reference frames and comparisons ---------------------------------------------

    def make_references(self):
        ref = self.work / "reference"
        ref.mkdir(parents=True, exist_ok=True)
        subprocess.run([self.args.capture, "--script", str(HERE / "web.capture"), "--out", str(ref)],
                       check=True, capture_output=True, timeout=60)
        self.references = {}
        for name in ("title", "option", "exit", "play", "menu-again"):
            rgb = ref / f"{name}.rgb"
            subprocess.run(["convert", str(ref / f"{name}.png"), "-depth", "8", f"rgb:{rgb}"],
                           check=True, timeout=30)
            self.references[name] = rgb

    def save_canvas(self, name):
        rgb, width, height = web_page.canvas_rgb(self.driver)
        if (width, height) != (640, 480):
            self.fail(f"the canvas is {width}x{height}, not 640x480")
        path = self.work / f"canvas-{name}.rgb"
        path.write_bytes(rgb)
        return path

    def compare(self, screen, width, height, frame, scale, x, y):
        result = subprocess.run([self.args.compare, "same", str(screen), str(width), str(height),
                                 str(self.references[frame]), str(scale), str(x), str(y)],
                                capture_output=True, text=True, timeout=30)
        return result.returncode == 0, result.stderr.strip()

    def canvas_shows(self, frame):
        return self.compare(self.save_canvas(frame), 640, 480, frame, 1, 0, 0)

    def await_canvas(self, frame, seconds=5):
        last = [""]

        def shown():
            same, detail = self.canvas_shows(frame)
            last[0] = detail
            return same
        try:
            wait_until(f"the canvas showing {frame}", shown, seconds, interval=0.1)
        except AssertionError:
            self.fail(f"the canvas does not show {frame}.png: {last[0]}")

    def ship_position(self):
        screen = self.save_canvas("ship")
        result = subprocess.run([self.args.compare, "ship", str(screen), "640", "480",
                                 str(self.references["play"]), str(self.references["title"]),
                                 "1", "0", "0"], capture_output=True, text=True, timeout=30)
        if result.returncode != 0:
            self.fail(f"the ship is not on the canvas: {result.stderr.strip()}")
        x, y = result.stdout.split()
        return int(x), int(y)

    def page_shows(self, frame, name):
        """The page's screenshot: the frame at the largest whole scale, centred on black."""
        png = self.work / f"{name}.png"
        self.driver.save_screenshot(str(png))
        width, height, button = self.driver.execute_script(
            "var r = document.getElementById('fullscreen').getBoundingClientRect();"
            "return [innerWidth, innerHeight, [r.left, r.top, r.right, r.bottom]];")
        scale = max(1, min(width // 640, height // 480))
        x, y = (width - 640 * scale) // 2, (height - 480 * scale) // 2
        # The full-screen button sits on the black, outside the frame: it is left out.
        left, top, right, bottom = (int(value) for value in button)
        if not (left >= x + 640 * scale or top >= y + 480 * scale):
            self.fail(f"the full-screen button {button} covers the frame")
        rgb = self.work / f"{name}.rgb"
        subprocess.run(["convert", str(png), "-alpha", "off", "-crop", f"{width}x{height}+0+0",
                        "-fill", "black", "-draw", f"rectangle {left},{top} {right},{bottom}",
                        "-depth", "8", f"rgb:{rgb}"], check=True, timeout=30)
        same, detail = self.compare(rgb, width, height, frame, scale, x, y)
        return same, detail, scale, png

    # --- input ---------------------------------------------------------------------------

    def hold(self, key, seconds):
        from selenium.webdriver.common.action_chains import ActionChains
        ActionChains(self.driver).key_down(key).pause(seconds).key_up(key).perform()

    def tap(self, key):
        # Held for a few frames: the game reads the keyboard's state once a frame.
        self.hold(key, 0.1)

    # --- the run -------------------------------------------------------------------------

    def load(self, url, before_scripts=None):
        if before_scripts:
            self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                        {"source": before_scripts})
        self.driver.get(url)
        first = wait_until("the first frame", lambda: (web_page.stats(self.driver) or {}).get(
            "frames", 0) > 0 and web_page.stats(self.driver), 20)
        return first

    def run(self):
        from selenium.webdriver.common.by import By
        from selenium.webdriver.common.keys import Keys

        self.step("reference frames from the capture tool")
        self.make_references()

        with web_page.serve(self.args.site) as url, web_page.chromium(1400, 1200) as driver:
            self.driver = driver
            self.step(f"loading {url}")
            first = self.load(url, FAKE_GAMEPAD)
            self.step(f"first frame {first['firstFrameMs']:.0f} ms after the page's start")
            self.await_canvas("title", 10)

            console = [entry["message"] for entry in driver.get_log("browser")]
            lines = [line.rsplit('"', 2)[-2] for line in console if line.endswith('"')]
            if lines[:len(SETUP_LINES)] != SETUP_LINES:
                self.fail(f"the console's debug lines are {lines}, not the display set-up's")

            same, detail, scale, _ = self.page_shows("title", "page-title")
            if not same or scale != 2:
                self.fail(f"the page does not show the title at scale 2, centred: {detail}")

            self.step("Alt+Enter and the page's button: full screen and back")
            from selenium.webdriver.common.action_chains import ActionChains
            fitted = """
                var stage = document.getElementById('stage');
                var scale = Math.max(1, Math.min(Math.floor(stage.clientWidth / 640),
                                                 Math.floor(stage.clientHeight / 480)));
                return [document.fullscreenElement ? document.fullscreenElement.id : null,
                        Module.orv.canvas.style.width === 640 * scale + 'px'];"""
            # In full screen the button is hidden: Alt+Enter (or Esc) leaves.
            for toggle in ("alt+enter", "alt+enter", "button", "alt+enter"):
                was = driver.execute_script(fitted)[0]
                if toggle == "button":
                    driver.find_element(By.ID, "fullscreen").click()
                else:
                    ActionChains(driver).key_down(Keys.ALT).key_down(Keys.ENTER).key_up(
                        Keys.ENTER).key_up(Keys.ALT).perform()
                wanted = None if was else "stage"
                wait_until(f"{toggle}: full screen {wanted is not None}, the canvas fitted",
                           lambda: driver.execute_script(fitted) == [wanted, True], 5)
            self.await_canvas("title", 3)

            self.step("a page that lost the focus plays on, its display kept")
            driver.execute_script("window.dispatchEvent(new FocusEvent('blur'));")
            before = web_page.stats(driver)["frames"]
            time.sleep(0.5)
            during = web_page.stats(driver)["frames"] - before
            if during < 20:
                self.fail(f"only {during} frames in 0.5 s without the focus")
            self.await_canvas("title", 2)
            driver.execute_script("window.dispatchEvent(new FocusEvent('focus'));")

            self.step("the cursor: Down, Down, Up, Up")
            for key, frame in ((Keys.ARROW_DOWN, "option"), (Keys.ARROW_DOWN, "exit"),
                               (Keys.ARROW_UP, "option"), (Keys.ARROW_UP, "title")):
                self.tap(key)
                self.await_canvas(frame, 3)
                time.sleep(0.25)
            scrolled = driver.execute_script("return [scrollX, scrollY];")
            if scrolled != [0, 0]:
                self.fail(f"the arrow keys scrolled the page to {scrolled}")

            self.step("Start: the first play frame")
            self.tap("a")
            self.await_canvas("play", 3)
            if self.ship_position() != (100, 100):
                self.fail(f"the ship starts at {self.ship_position()}")
            # A smaller window: the frame at scale 1, centred (the README's picture, taken
            # once a second of frames has passed without the test reading the canvas).
            time.sleep(1.1)
            driver.set_window_size(800, 700)
            wait_until("the canvas fitted at scale 1", lambda: driver.execute_script(
                "return Module.orv.canvas.style.width === '640px';"), 5)
            same, detail, scale, _ = self.page_shows("play", "page-play")
            if not same or scale != 1:
                self.fail(f"the smaller page does not show the play frame at scale 1: {detail}")
            driver.set_window_size(1400, 1200)
            wait_until("the canvas fitted at scale 2", lambda: driver.execute_script(
                "return Module.orv.canvas.style.width === '1280px';"), 5)

            self.step("a held arrow moves the ship about 2 pixels a frame")
            driver.execute_script("""
                window.keyFrames = {};
                ['keydown', 'keyup'].forEach(function(type) {
                  window.addEventListener(type, function(event) {
                    if (!event.repeat) keyFrames[type + ' ' + event.code] = Module.orv.stats.frames;
                  });
                });""")
            self.hold(Keys.ARROW_RIGHT, 0.5)
            key_frames = driver.execute_script("return keyFrames;")
            held_frames = key_frames["keyup ArrowRight"] - key_frames["keydown ArrowRight"]
            x, y = self.ship_position()
            moved = x - 100
            print(f"  Right for {held_frames} frames moved the ship {moved} px", flush=True)
            if y != 100 or abs(moved - 2 * held_frames) > 4 or moved < 30:
                self.fail(f"Right for {held_frames} frames moved the ship to {x},{y}")

            self.step("a gamepad's stick moves the ship too, and it may be unplugged")
            driver.execute_script("testPad.axes[1] = 1; testPad.timestamp += 1;")
            wait_until("the ship moving down by the stick", lambda: self.ship_position()[1] > 130, 3)
            driver.execute_script("testPad.axes[1] = 0; testPad.timestamp += 1;")
            positions = [self.ship_position()]

            def resting():
                time.sleep(0.1)
                positions.append(self.ship_position())
                return positions[-1] == positions[-2]
            wait_until("the ship at rest with the stick", resting, 3, interval=0)
            driver.execute_script("testPad.connected = false;")
            time.sleep(0.2)
            if self.ship_position() != positions[-1]:
                self.fail("the ship moved after the gamepad was unplugged")

            self.step("contact with the orb brings the menu back")
            # Down to the orb's height (it spans y 300..357; the ship is 46 high), then right.
            from selenium.webdriver.common.action_chains import ActionChains
            ActionChains(driver).key_down(Keys.ARROW_DOWN).perform()
            try:
                wait_until("the ship at the orb's height", lambda: self.ship_position()[1] >= 270, 5,
                           interval=0)
            finally:
                ActionChains(driver).key_up(Keys.ARROW_DOWN).perform()
            ActionChains(driver).key_down(Keys.ARROW_RIGHT).perform()
            try:
                self.await_canvas("menu-again", 8)
            finally:
                ActionChains(driver).key_up(Keys.ARROW_RIGHT).perform()

            self.step("a hidden page gives up the display and shows it again")
            # Noted before the page's own handler runs (which lets the game go on at once).
            driver.execute_script("""
                window.visibilityLog = [];
                window.addEventListener('visibilitychange', function() {
                  var c = Module.orv.canvas;
                  var rgba = Module.orv.context.getImageData(0, 0, c.width, c.height).data;
                  var lit = 0;
                  for (var i = 0; i < rgba.length; i += 4)
                    if (rgba[i] | rgba[i + 1] | rgba[i + 2]) ++lit;
                  visibilityLog.push({state: document.visibilityState, frames: Module.orv.stats.frames,
                                      lit: lit});
                }, true);""")
            game_tab = driver.current_window_handle
            driver.switch_to.new_window("tab")
            time.sleep(1.0)
            driver.close()
            driver.switch_to.window(game_tab)
            log = wait_until("the page shown again", lambda: driver.execute_script(
                "return visibilityLog.length >= 2 ? visibilityLog : null;"), 5)
            hidden, shown = log[0], log[1]
            if (hidden["state"], shown["state"]) != ("hidden", "visible"):
                self.fail(f"visibility changes: {log}")
            if shown["frames"] != hidden["frames"]:
                self.fail(f"{shown['frames'] - hidden['frames']} frames shown while hidden: {log}")
            if shown["lit"] != 0:
                self.fail(f"the display was not given up while hidden ({shown['lit']} pixels lit)")
            self.await_canvas("menu-again", 5)

            self.step("Exit ends the game; the page offers to play again")
            time.sleep(0.25)
            self.tap(Keys.ARROW_DOWN)
            time.sleep(0.25)
            self.tap(Keys.ARROW_DOWN)
            self.await_canvas("exit", 3)
            self.tap("a")
            ended = wait_until("the end of the game", lambda: driver.execute_script(
                "return Module.orv.ended || null;"), 5)
            if ended["exitCode"] != 0:
                self.fail(f"the game ended with exit code {ended['exitCode']}")
            notice = driver.find_element(By.ID, "notice")
            if not notice.is_displayed() or "The game has ended" not in notice.text:
                self.fail(f"the page does not say the game has ended: {notice.text!r}")
            driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": NO_CANVAS})
            driver.find_element(By.ID, "play-again").click()

            self.step("started again without a canvas: the set-up failure's message box")
            box = wait_until("the message box", lambda: driver.execute_script(
                "var n = document.getElementById('notice');"
                "return n && !n.hidden && document.getElementById('notice-ok') ? n.innerText : null;"),
                20)
            if "FullScreen Orvendal" not in box or "DirectDrawCreateEx FAILED" not in box:
                self.fail(f"the message box says {box!r}")
            driver.save_screenshot(str(self.work / "page-message-box.png"))
            driver.find_element(By.ID, "notice-ok").click()
            ended = wait_until("the end after the message box", lambda: driver.execute_script(
                "return Module.orv.ended || null;"), 5)
            print(f"  after the message box the game ended with exit code {ended['exitCode']}")
        self.step("passed")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--site", required=True)
    parser.add_argument("--capture", required=True)
    parser.add_argument("--compare", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    missing = web_page.missing_tools()
    if missing:
        print(f"SKIP: {', '.join(missing)} not installed")
        return 77
    if not (pathlib.Path(args.site) / "orvendal.wasm").exists():
        print(f"FAIL: no web folder at {args.site}")
        return 1
    test = BrowserTest(args)
    try:
        test.run()
    except AssertionError as error:
        print(f"FAIL: {error}\n--- canvas dumps and screenshots: {args.work}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
