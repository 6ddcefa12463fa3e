// The page the game runs in, as the web host uses it: its canvas, notices and browser
// interfaces, in JavaScript (page.cpp). The page (web/index.html) holds the elements:
// #stage (the black area the canvas is centred in, and what goes full screen), #screen
// (the canvas), #notice (message box and end of the game), #fullscreen (a button).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "hosts/web/frame_picture.h"

namespace orv::platform::web::page {

// Finds the elements and starts fitting the canvas to the page; false when the page
// has no canvas to draw on.
bool Start();

double NowMs();
bool Visible();
bool Focused();

void SetTitle(const std::string& title);
void SetPointerVisible(bool visible);
// The canvas at the display mode's size, black; (0, 0) leaves it black at its size.
void SetCanvasSize(int width, int height);
void Draw(const FramePicture& picture, std::span<const Area> areas);
// Notes a frame shown at `shown_ms` whose presentation took `cost_ms`, for measurements.
void NoteFrame(double shown_ms, double cost_ms);

void ToggleFullScreen();
void Console(const std::string& line);

// Yields to the browser. These return when the browser has run its events.
void ShowMessageBox(const std::string& text, const std::string& caption);
// The time of the next animation frame, or a negative value when none came within
// `timeout_ms` (a hidden page has none).
double NextAnimationFrame(double timeout_ms);
// Until Wake is called (from an event handler) or `timeout_ms` passed.
void WaitForWake(double timeout_ms);
void Wake();
// Until a timer after `ms`.
void Sleep(double ms);

// The end of the game: the page says so and offers to start again.
void ShowEnded(int exit_code);

}  // namespace orv::platform::web::page
