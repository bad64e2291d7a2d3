// Sends a working directory's examinations to its central database as the station does (the
// store as outbox, the sender on its own thread), so a test can kill it with SIGKILL at any
// moment of the sending. Says "ready" once the sender runs and "sent" once nothing waits, and
// then ends.
//
//   central_send_loop <working directory>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "pedalyx/report/central_sender.h"
#include "pedalyx/report/store_outbox.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: central_send_loop <working directory>\n");
    return 2;
  }
  const CentralConfig config = readCentralConfig(argv[1]);
  if (config.status != CentralConfig::Status::Ready) {
    std::fprintf(stderr, "no usable %s: %s\n", kCentralDatabaseFileName, config.problem.c_str());
    return 1;
  }
  report::StoreOutbox outbox(argv[1]);
  CentralSenderOptions options;
  options.timeouts = {2000, 5000};
  options.firstPauseMs = 20;
  options.longestPauseMs = 200;
  options.idleCheckMs = 20;
  options.recordGapMs = 0;  // as fast as it can, so that the kills fall into sendings
  CentralSender sender(config, outbox, options);
  std::printf("ready\n");
  std::fflush(stdout);
  while (sender.state().pending != 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::printf("sent %d\n", sender.state().sent);
  return 0;
}
