// A look at an image file's header before any image library parses it: the tool accepts only
// uncompressed BMP of 8, 24 or 32 bits per pixel and PNG, with sane sizes.
#pragma once
#include <string>

namespace cobblet {

enum class ImageKind { kRefused, kBmp, kPng };

// The kind of the file content, or kRefused with the reason in reason.
ImageKind checkImageHeader(const std::string& bytes, std::string& reason);

}  // namespace cobblet
