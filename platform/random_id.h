// Identifiers that no other station will ever make: random UUIDs from the kernel's generator.
#pragma once
#include <string>

namespace platform {

// A version-4 UUID in its 36-character lower-case form ("xxxxxxxx-xxxx-4xxx-yxxx-xxxxxxxxxxxx"),
// from 122 random bits of getrandom(); empty when the kernel gives no random bytes.
std::string randomUuid();

}  // namespace platform
