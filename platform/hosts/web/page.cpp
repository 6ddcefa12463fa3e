#include "hosts/web/page.h"

#include <emscripten.h>

// The page's state lives in Module.orv: its elements, the drawing context, the image
// over the picture's memory, what wakes a waiting game, and the figures kept for
// measurements (Module.orv.stats). clang-format stays off for the JavaScript, whose
// operators it would split.

// clang-format off
EM_JS(int, orv_page_start, (), {
  var orv = {
    stage: document.getElementById('stage'),
    canvas: document.getElementById('screen'),
    notice: document.getElementById('notice'),
    fullScreenButton: document.getElementById('fullscreen'),
    context: null,
    image: null,
    wake: null,
    stats: {firstFrameMs: -1, frameTimes: [], presentMs: [], frames: 0}
  };
  Module.orv = orv;
  if (!orv.canvas || !orv.stage)
    return 0;
  orv.context = orv.canvas.getContext('2d', {alpha: false});
  if (!orv.context)
    return 0;
  /* The largest whole scale of the canvas that fits the stage, centred on whole pixels:
     in device pixels, so that each frame pixel covers the same number of screen pixels. */
  orv.fit = function() {
    var ratio = window.devicePixelRatio || 1;
    var width = Math.floor(orv.stage.clientWidth * ratio);
    var height = Math.floor(orv.stage.clientHeight * ratio);
    var scale = Math.max(1, Math.floor(Math.min(width / orv.canvas.width,
                                                height / orv.canvas.height)));
    var shown_width = orv.canvas.width * scale;
    var shown_height = orv.canvas.height * scale;
    var style = orv.canvas.style;
    style.width = (shown_width / ratio) + 'px';
    style.height = (shown_height / ratio) + 'px';
    style.left = (Math.max(0, Math.floor((width - shown_width) / 2)) / ratio) + 'px';
    style.top = (Math.max(0, Math.floor((height - shown_height) / 2)) / ratio) + 'px';
  };
  orv.toggleFullScreen = function() {
    if (document.fullscreenElement) {
      document.exitFullscreen();
    } else if (orv.stage.requestFullscreen) {
      orv.stage.requestFullscreen().catch(function() {});
    }
  };
  window.addEventListener('resize', orv.fit);
  document.addEventListener('fullscreenchange', orv.fit);
  if (orv.fullScreenButton) {
    orv.fullScreenButton.addEventListener('click', function(event) {
      orv.toggleFullScreen();
      event.currentTarget.blur();
    });
  }
  orv.fit();
  return 1;
});

EM_JS(int, orv_page_visible, (), { return document.visibilityState === 'visible' ? 1 : 0; });
EM_JS(int, orv_page_focused, (), { return document.hasFocus() ? 1 : 0; });

EM_JS(void, orv_page_set_title, (const char* title), { document.title = UTF8ToString(title); });

EM_JS(void, orv_page_set_pointer_visible, (int visible), {
  if (Module.orv.canvas)
    Module.orv.canvas.style.cursor = visible ? 'auto' : 'none';
});

EM_JS(void, orv_page_set_canvas_size, (int width, int height), {
  var orv = Module.orv;
  if (width > 0 && height > 0 && (orv.canvas.width !== width || orv.canvas.height !== height)) {
    orv.canvas.width = width;
    orv.canvas.height = height;
    orv.image = null;
    orv.fit();
  }
  orv.context.fillStyle = 'black';
  orv.context.fillRect(0, 0, orv.canvas.width, orv.canvas.height);
});

EM_JS(void, orv_page_draw, (const void* pixels, int width, int height, const int* areas,
                            int count), {
  var orv = Module.orv;
  if (orv.canvas.width !== width || orv.canvas.height !== height) {
    orv.canvas.width = width;
    orv.canvas.height = height;
    orv.image = null;
    orv.fit();
  }
  /* The image shares the picture's memory; it is made again when that memory moves. */
  if (!orv.image || orv.image.data.buffer !== HEAPU8.buffer || orv.imagePixels !== pixels) {
    orv.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4),
                              width, height);
    orv.imagePixels = pixels;
  }
  for (var i = 0; i < count; ++i) {
    var area = (areas >> 2) + i * 4;
    orv.context.putImageData(orv.image, 0, 0, HEAP32[area], HEAP32[area + 1], HEAP32[area + 2],
                             HEAP32[area + 3]);
  }
});

EM_JS(void, orv_page_note_frame, (double shown_ms, double cost_ms), {
  var stats = Module.orv.stats;
  if (stats.firstFrameMs < 0)
    stats.firstFrameMs = shown_ms;
  stats.frames += 1;
  stats.frameTimes.push(shown_ms);
  stats.presentMs.push(cost_ms);
  /* The last minute or so at 60 frames a second. */
  if (stats.frameTimes.length > 4096) {
    stats.frameTimes.splice(0, 1024);
    stats.presentMs.splice(0, 1024);
  }
});

EM_JS(void, orv_page_toggle_full_screen, (), { Module.orv.toggleFullScreen(); });

EM_JS(void, orv_page_console, (const char* line), { console.log(UTF8ToString(line)); });

EM_ASYNC_JS(void, orv_page_message_box, (const char* text, const char* caption), {
  var orv = Module.orv;
  var notice = orv.notice;
  var message = UTF8ToString(text);
  var title = UTF8ToString(caption);
  if (!notice) {
    console.log(title + ': ' + message);
    return;
  }
  await new Promise(function(resolve) {
    notice.replaceChildren();
    var box = document.createElement('div');
    box.className = 'box';
    box.setAttribute('role', 'alertdialog');
    var heading = document.createElement('h2');
    heading.textContent = title;
    var paragraph = document.createElement('p');
    paragraph.textContent = message;
    var button = document.createElement('button');
    button.id = 'notice-ok';
    button.textContent = 'OK';
    box.append(heading, paragraph, button);
    notice.append(box);
    notice.hidden = false;
    var done = function(event) {
      if (event.type === 'keydown' && event.code !== 'Enter' && event.code !== 'NumpadEnter' &&
          event.code !== 'Space' && event.code !== 'Escape') {
        return;
      }
      event.preventDefault();
      window.removeEventListener('keydown', done, true);
      notice.hidden = true;
      notice.replaceChildren();
      resolve();
    };
    button.addEventListener('click', done);
    window.addEventListener('keydown', done, true);
    button.focus();
  });
});

EM_ASYNC_JS(double, orv_page_next_animation_frame, (double timeout_ms), {
  return await new Promise(function(resolve) {
    var timer = 0;
    var frame = requestAnimationFrame(function(time) {
      clearTimeout(timer);
      resolve(time);
    });
    timer = setTimeout(function() {
      cancelAnimationFrame(frame);
      resolve(-1);
    }, timeout_ms);
  });
});

EM_ASYNC_JS(void, orv_page_wait_for_wake, (double timeout_ms), {
  var orv = Module.orv;
  await new Promise(function(resolve) {
    var timer = setTimeout(function() {
      orv.wake = null;
      resolve();
    }, timeout_ms);
    orv.wake = function() {
      clearTimeout(timer);
      orv.wake = null;
      resolve();
    };
  });
});

EM_JS(void, orv_page_wake, (), {
  if (Module.orv && Module.orv.wake)
    Module.orv.wake();
});

EM_ASYNC_JS(void, orv_page_sleep, (double ms), {
  await new Promise(function(resolve) { setTimeout(resolve, ms); });
});

EM_JS(void, orv_page_show_ended, (int exit_code), {
  var orv = Module.orv;
  orv.ended = {exitCode: exit_code};
  if (orv.canvas)
    orv.canvas.style.cursor = 'auto';
  if (document.fullscreenElement)
    document.exitFullscreen();
  var notice = orv.notice;
  if (!notice)
    return;
  notice.replaceChildren();
  var box = document.createElement('div');
  box.className = 'box';
  box.id = 'ended';
  var heading = document.createElement('h2');
  heading.textContent = 'The game has ended';
  var paragraph = document.createElement('p');
  paragraph.textContent =
      exit_code === 0 ? 'Thank you for playing.' : 'It ended with exit code ' + exit_code + '.';
  var button = document.createElement('button');
  button.id = 'play-again';
  button.textContent = 'Play again';
  button.addEventListener('click', function() { location.reload(); });
  box.append(heading, paragraph, button);
  notice.append(box);
  notice.hidden = false;
  button.focus();
});
// clang-format on

namespace orv::platform::web::page {

bool Start() {
  return orv_page_start() != 0;
}

double NowMs() {
  return emscripten_get_now();
}

bool Visible() {
  return orv_page_visible() != 0;
}

bool Focused() {
  return orv_page_focused() != 0;
}

void SetTitle(const std::string& title) {
  orv_page_set_title(title.c_str());
}

void SetPointerVisible(bool visible) {
  orv_page_set_pointer_visible(visible ? 1 : 0);
}

void SetCanvasSize(int width, int height) {
  orv_page_set_canvas_size(width, height);
}

void Draw(const FramePicture& picture, std::span<const Area> areas) {
  static_assert(sizeof(Area) == 4 * sizeof(int));
  orv_page_draw(picture.pixels(), picture.width(), picture.height(),
                reinterpret_cast<const int*>(areas.data()), static_cast<int>(areas.size()));
}

void NoteFrame(double shown_ms, double cost_ms) {
  orv_page_note_frame(shown_ms, cost_ms);
}

void ToggleFullScreen() {
  orv_page_toggle_full_screen();
}

void Console(const std::string& line) {
  orv_page_console(line.c_str());
}

void ShowMessageBox(const std::string& text, const std::string& caption) {
  orv_page_message_box(text.c_str(), caption.c_str());
}

double NextAnimationFrame(double timeout_ms) {
  return orv_page_next_animation_frame(timeout_ms);
}

void WaitForWake(double timeout_ms) {
  orv_page_wait_for_wake(timeout_ms);
}

void Wake() {
  orv_page_wake();
}

void Sleep(double ms) {
  orv_page_sleep(ms);
}

void ShowEnded(int exit_code) {
  orv_page_show_ended(exit_code);
}

}  // namespace orv::platform::web::page
