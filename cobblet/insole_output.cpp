#include "cobblet/insole_output.h"

#include <cstdio>

#include "cobblet/handoff_reader.h"
#include "cobblet/insole_mesh.h"
#include "platform/files.h"
#include "platform/text_encoding.h"

namespace cobblet {

std::string automaticInsolePath(const std::string& recordName, int side) {
  return std::string(kInsoleFolder) + "/" + fileNameSafe(recordName) +
         (side == 0 ? "_iLeft.bmp" : "_iRight.bmp");
}

std::string withBmpEnding(const std::string& path) {
  const std::string ending = ".bmp";
  if (path.size() >= ending.size() && path.compare(path.size() - 4, 4, ending) == 0) return path;
  return path + ending;
}

bool saveInsole(InsoleBitmap& bitmap, const HeightPlane& insole, const std::string& pathUtf8,
                std::string* failedPath) {
  const std::string path = withBmpEnding(platform::utf8ToSystemCodePage(pathUtf8));
  bitmap.paint(insole);
  std::string reason;
  if (!bitmap.save(path, reason)) {
    std::fprintf(stderr, "ERROR: the insole could not be saved as %s: %s\n", path.c_str(),
                 reason.c_str());
    if (failedPath != nullptr) *failedPath = path;
    return false;
  }
  std::printf("Saved %s\n", path.c_str());
  const std::string model = modelPathBeside(path);
  if (saveInsoleModel(insole, model)) return true;
  if (failedPath != nullptr) *failedPath = model;
  return false;
}

std::string modelPathBeside(const std::string& bmpPath) {
  return bmpPath.substr(0, bmpPath.size() - 4) + ".stl";
}

bool saveInsoleModel(const HeightPlane& insole, const std::string& path) {
  if (measureBox(insole).empty()) {
    std::printf("No insole model: the insole is empty\n");
    return true;  // nothing to model, and no failure either
  }
  std::string log, reason;
  const ModelSettings settings = loadModelSettings(".", log);
  std::fputs(log.c_str(), stderr);
  if (!writeInsoleStl(insole, settings, path, reason)) {
    std::fprintf(stderr, "ERROR: the insole model could not be saved as %s: %s\n", path.c_str(),
                 reason.c_str());
    return false;
  }
  std::printf("Saved %s\n", path.c_str());
  return true;
}

bool saveInsoleForSide(InsoleBitmap& bitmap, const HeightPlane& insole,
                       const std::string& recordName, int side, std::string* failedPath) {
  if (!platform::makeDirectory(kInsoleFolder)) {
    std::fprintf(stderr, "ERROR: the folder %s could not be created\n", kInsoleFolder);
  }
  return saveInsole(bitmap, insole, automaticInsolePath(recordName, side), failedPath);
}

}  // namespace cobblet
