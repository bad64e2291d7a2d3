#include "platform/host_name.h"

#include <unistd.h>

#include <climits>

namespace platform {

std::string hostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return std::string();
  return name;
}

}  // namespace platform
