#!/usr/bin/python3
"""The game in headless Chromium, measured: the download (raw and gzip-compressed, as a
web server would send it), the time from the page's start to its first frame, and over
some seconds of the title menu and of play with the ship moving: frames a second, the
median and p99 interval between frames, the animation frames' rate, and what each
frame's presentation costs in the page (the changed areas found and converted in
WebAssembly, then put on the canvas). Headless Chromium draws at 60 Hz; how the pacing
keeps 60 frames a second on 120 and 144 Hz displays is tested on simulated displays
(tests/platform/web_host).
  bench/web/run_browser_timing.py [--site build/web] [--seconds 5] [--loads 5]
Needs the web folder (cmake --preset web && cmake --build --preset web)."""

import argparse
import gzip
import pathlib
import statistics
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "web"))
import web_page  # noqa: E402


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(len(ordered) * fraction))]


def download(site):
    print("download")
    raw_total = compressed_total = 0
    for path in sorted(site.iterdir()):
        data = path.read_bytes()
        compressed = len(gzip.compress(data, compresslevel=6))
        raw_total += len(data)
        compressed_total += compressed
        print(f"  {path.name:16} {len(data):9,} bytes  gzip {compressed:9,} bytes")
    print(f"  {'all':16} {raw_total:9,} bytes  gzip {compressed_total:9,} bytes"
          f" ({compressed_total / 1048576:.2f} MiB)")


def first_frames(driver, url, loads):
    driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
    times = []
    for _ in range(loads):
        driver.get("about:blank")
        driver.get(url)
        stats = web_page.wait_until("the first frame", lambda: (web_page.stats(driver) or {}).get(
            "frames", 0) > 0 and web_page.stats(driver), 20)
        times.append(stats["firstFrameMs"])
    print(f"first frame after the page's start, {loads} loads without cache: median"
          f" {statistics.median(times):.0f} ms, range {min(times):.0f}..{max(times):.0f} ms")


def measure(driver, label, seconds):
    """Frames over the next `seconds`, with the animation frames counted alongside."""
    driver.execute_script("""
        window.animationFrames = [];
        window.counting = (window.counting || 0) + 1;
        (function count(generation, time) {
          if (generation !== window.counting) return;
          animationFrames.push(time);
          requestAnimationFrame(function(next) { count(generation, next); });
        })(window.counting, 0);
        window.measureFrom = Module.orv.stats.frameTimes.length;
        window.measureFromFrames = Module.orv.stats.frames;""")
    time.sleep(seconds)
    result = driver.execute_script("""
        var s = Module.orv.stats;
        var skip = Math.max(0, s.frameTimes.length - (s.frames - measureFromFrames));
        return {times: s.frameTimes.slice(skip), costs: s.presentMs.slice(skip),
                animation: animationFrames.slice(1)};""")
    times, costs, animation = result["times"], result["costs"], result["animation"]
    intervals = [b - a for a, b in zip(times, times[1:])]
    fps = (len(times) - 1) / ((times[-1] - times[0]) / 1000)
    refresh = (len(animation) - 1) / ((animation[-1] - animation[0]) / 1000)
    print(f"{label}: {fps:.2f} frames/s over {len(times)} frames (animation frames"
          f" {refresh:.1f}/s); interval median {statistics.median(intervals):.2f} ms, p99"
          f" {percentile(intervals, 0.99):.2f} ms, max {max(intervals):.2f} ms; presentation"
          f" mean {statistics.mean(costs):.3f} ms, p99 {percentile(costs, 0.99):.3f} ms"
          " (the page's clock counts in 0.1 ms)")


def play(driver, seconds):
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.keys import Keys
    ActionChains(driver).key_down("a").pause(0.1).key_up("a").perform()
    time.sleep(0.3)
    ActionChains(driver).key_down(Keys.ARROW_RIGHT).perform()
    try:
        measure(driver, "play, the ship moving right", seconds)
    finally:
        ActionChains(driver).key_up(Keys.ARROW_RIGHT).perform()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--site", default=str(ROOT / "build" / "web"))
    parser.add_argument("--seconds", type=float, default=5)
    parser.add_argument("--loads", type=int, default=5)
    args = parser.parse_args()
    missing = web_page.missing_tools()
    if missing:
        sys.exit(f"not installed: {', '.join(missing)}")
    site = pathlib.Path(args.site)
    if not (site / "orvendal.wasm").exists():
        sys.exit(f"no web folder at {site}: cmake --preset web && cmake --build --preset web")
    download(site)
    with web_page.serve(site) as url:
        with web_page.chromium(1400, 1200) as driver:
            first_frames(driver, url, args.loads)
            time.sleep(1.5)
            measure(driver, "title menu", args.seconds)
            play(driver, args.seconds)


if __name__ == "__main__":
    main()
