// The model settings file and the binary STL of an insole mesh.
#include <cmath>
#include <cstring>
#include <sstream>

#include "cobblet/insole_mesh.h"
#include "platform/files.h"

namespace cobblet {
namespace {

// Reads one setting's value: finite and within [low, high], else the default stays.
void applyValue(const std::string& name, const std::string& token, double low, double high,
                double& value, std::string& log) {
  char* end = nullptr;
  const double read = std::strtod(token.c_str(), &end);
  if (token.empty() || *end != '\0' || !std::isfinite(read) || read < low || read > high) {
    std::ostringstream line;
    line << kModelSettingPath << ": " << name << " \"" << token << "\" is not a number from " << low
         << " to " << high << "; " << value << " is used\n";
    log += line.str();
    return;
  }
  value = read;
}

void appendLittleEndian(std::string& bytes, uint32_t word, int size) {
  for (int k = 0; k < size; ++k) bytes.push_back(static_cast<char>((word >> (8 * k)) & 0xff));
}

void appendFloat(std::string& bytes, float value) {
  uint32_t word = 0;
  std::memcpy(&word, &value, sizeof word);
  appendLittleEndian(bytes, word, 4);
}

}  // namespace

ModelSettings parseModelSettings(const std::string& text, std::string& log) {
  ModelSettings settings;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string name, value;
    if (!(words >> name) || name[0] == '#') continue;
    words >> value;
    if (name == "height_per_level_mm") {
      applyValue(name, value, kMinLevelHeightMm, kMaxLevelHeightMm, settings.millimetresPerLevel,
                 log);
    } else if (name == "base_thickness_mm") {
      applyValue(name, value, kMinBaseMm, kMaxBaseMm, settings.baseThicknessMm, log);
    } else {
      log += std::string(kModelSettingPath) + ": unknown setting " + name + " is skipped\n";
    }
  }
  return settings;
}

ModelSettings loadModelSettings(const std::string& folder, std::string& log) {
  const std::optional<std::string> text =
      platform::readWholeFile(platform::joinPath(folder, kModelSettingPath));
  return text ? parseModelSettings(*text, log) : ModelSettings{};
}

std::string binaryStl(const InsoleMesh& mesh, const std::string& header) {
  std::string bytes = header.substr(0, 80);
  bytes.resize(80, ' ');
  bytes.reserve(84 + mesh.triangles.size() * 50);
  appendLittleEndian(bytes, static_cast<uint32_t>(mesh.triangles.size()), 4);
  for (const MeshTriangle& t : mesh.triangles) {
    const MeshPoint &p = mesh.points[t.a], &q = mesh.points[t.b], &s = mesh.points[t.c];
    const double ux = q.x - p.x, uy = q.y - p.y, uz = q.z - p.z;
    const double vx = s.x - p.x, vy = s.y - p.y, vz = s.z - p.z;
    double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length > 0) nx /= length, ny /= length, nz /= length;
    for (double n : {nx, ny, nz}) appendFloat(bytes, static_cast<float>(n));
    for (const MeshPoint* corner : {&p, &q, &s}) {
      appendFloat(bytes, corner->x);
      appendFloat(bytes, corner->y);
      appendFloat(bytes, corner->z);
    }
    appendLittleEndian(bytes, 0, 2);
  }
  return bytes;
}

bool writeInsoleStl(const HeightPlane& plane, const ModelSettings& settings,
                    const std::string& path, std::string& reason) {
  const InsoleMesh mesh = buildInsoleMesh(plane, settings);
  if (mesh.triangles.empty()) {
    reason = "the insole has no pixel above 0";
    return false;
  }
  if (!platform::writeFileAtomic(path, binaryStl(mesh, "insole, millimetres"))) {
    reason = "the file could not be written";
    return false;
  }
  return true;
}

}  // namespace cobblet
