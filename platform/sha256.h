// SHA-256 checksums of the files the station keeps, through the system's crypto library.
#pragma once
#include <optional>
#include <string>

namespace platform {

// The lower-case hexadecimal SHA-256 (64 digits) of the bytes.
std::string sha256Hex(const std::string& bytes);

// The checksum and length of a file, read in pieces so a large file is never held whole;
// nothing when it cannot be opened or read.
struct FileChecksum {
  std::string sha256;
  long long bytes = 0;
};
std::optional<FileChecksum> sha256OfFile(const std::string& path);

}  // namespace platform
