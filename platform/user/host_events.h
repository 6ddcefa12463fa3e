// Turns the host's window events into Windows behaviour for the one window.
#pragma once

namespace orv::platform::user {

// Handles every event the host has pending; called whenever the queue is read. Answers
// how many there were.
int PumpHostEvents();

}  // namespace orv::platform::user
