#include "platform/message_box_ui.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {

struct PendingMessage {
  std::string text;
  std::string caption;
};

// The log is how tests read the messages, so it is written even while every product write is
// made to fail as on a full disk: straight to the file, one line in one call.
void logMessage(const std::string& text, const std::string& caption) {
  const char* log = std::getenv("PEDALYX_MESSAGE_LOG");
  if (log == nullptr || *log == '\0') return;
  const int fd = ::open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const std::string line = caption + "|" + text + "\n";
  if (::write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
    std::fprintf(stderr, "message log %s: a line was not written\n", log);
  ::close(fd);
}

void showPending(void* data) {
  auto* message = static_cast<PendingMessage*>(data);
  showMessageBox(message->text, message->caption);
  delete message;
}

}  // namespace

void showMessageBox(const std::string& textUtf8, const std::string& captionUtf8) {
  logMessage(textUtf8, captionUtf8);
  // Tests that run a program's windows inside their own process have nobody to press OK.
  const char* unshown = std::getenv("PEDALYX_MESSAGES_LOGGED_ONLY");
  if (unshown != nullptr && unshown[0] == '1') return;
  fl_message_title(captionUtf8.c_str());
  fl_message_hotspot(0);
  // An information box is acknowledged with "OK", as operators know it, not "Close".
  const char* previousButton = fl_close;
  fl_close = "OK";
  fl_message("%s", textUtf8.c_str());
  fl_close = previousButton;
}

void postMessageBox(const std::string& textUtf8, const std::string& captionUtf8) {
  Fl::add_timeout(0.0, showPending, new PendingMessage{textUtf8, captionUtf8});
}

}  // namespace platform
