// Modal message boxes without an owner window.
#pragma once
#include <string>

namespace platform {

// Shows a modal message with an OK button, the caption as window title; returns when closed.
// Never call it from inside a view's draw(): use postMessageBox there.
void showMessageBox(const std::string& textUtf8, const std::string& captionUtf8);

// Queues the message box for the event loop (a zero timeout), so it is shown after the
// current draw or callback has returned.
void postMessageBox(const std::string& textUtf8, const std::string& captionUtf8);

// Tests and unattended runs set PEDALYX_MESSAGE_LOG=path: each message is then appended there
// as "caption|text\n" as well as shown. PEDALYX_MESSAGES_LOGGED_ONLY=1 shows none (tests that
// drive the windows from inside their own process).
}  // namespace platform
