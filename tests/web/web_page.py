"""The web folder served on 127.0.0.1 and opened in headless Chromium through Debian's
chromium-driver, for the browser test and the browser benchmark. Needs Debian's
python3-selenium: run with /usr/bin/python3."""

import base64
import contextlib
import functools
import http.server
import shutil
import threading
import time

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"


class Skip(Exception):
    """Something the test needs is not installed."""


def missing_tools():
    missing = [tool for tool in (CHROMIUM, CHROMEDRIVER) if not shutil.which(tool)]
    try:
        import selenium  # noqa: F401
    except ImportError:
        missing.append("python3-selenium")
    return missing


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript"}

    def log_message(self, *args):
        pass


@contextlib.contextmanager
def serve(folder):
    """Serves `folder` on a free port of 127.0.0.1; yields the page's URL."""
    handler = functools.partial(_QuietHandler, directory=str(folder))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield f"http://127.0.0.1:{server.server_address[1]}/"
    finally:
        server.shutdown()
        server.server_close()


@contextlib.contextmanager
def chromium(width=1400, height=1200, extra_arguments=()):
    """Headless Chromium at a window size, its console kept for reading."""
    from selenium import webdriver
    from selenium.webdriver.chrome.options import Options
    from selenium.webdriver.chrome.service import Service

    options = Options()
    options.binary_location = CHROMIUM
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu",
                     f"--window-size={width},{height}", "--force-device-scale-factor=1",
                     "--force-color-profile=srgb", "--autoplay-policy=no-user-gesture-required",
                     *extra_arguments):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    driver.set_page_load_timeout(20)
    driver.set_script_timeout(20)
    try:
        yield driver
    finally:
        driver.quit()


def wait_until(what, condition, seconds, interval=0.05):
    """Polls `condition` until it returns a true value, for at most `seconds`."""
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"{what}: not within {seconds} s")
        time.sleep(interval)


def stats(driver):
    """What the page notes of its frames (Module.orv.stats), or None before the game runs."""
    return driver.execute_script(
        "return window.Module && Module.orv ? {frames: Module.orv.stats.frames,"
        " firstFrameMs: Module.orv.stats.firstFrameMs} : null;")


def canvas_rgb(driver):
    """The canvas's pixels as raw 8-bit RGB, with its width and height."""
    data = driver.execute_script("""
        var canvas = Module.orv.canvas;
        var rgba = Module.orv.context.getImageData(0, 0, canvas.width, canvas.height).data;
        var rgb = new Uint8Array(canvas.width * canvas.height * 3);
        for (var i = 0, j = 0; i < rgba.length; i += 4, j += 3) {
          rgb[j] = rgba[i]; rgb[j + 1] = rgba[i + 1]; rgb[j + 2] = rgba[i + 2];
        }
        var text = '';
        for (var k = 0; k < rgb.length; k += 32768)
          text += String.fromCharCode.apply(null, rgb.subarray(k, k + 32768));
        return [btoa(text), canvas.width, canvas.height];""")
    return base64.b64decode(data[0]), data[1], data[2]
