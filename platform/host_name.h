// The computer's own name, as the station names itself when no name was set.
#pragma once
#include <string>

namespace platform {

// The host name of the computer; empty when it cannot be read.
std::string hostName();

}  // namespace platform
