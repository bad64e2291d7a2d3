// The `pedalyx` command of an installed station: prepares the operator's station folder from
// the installed data and starts the station there, so every file it reads and writes keeps
// its name relative to the working directory.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/chinese_fonts_ui.h"
#include "platform/files.h"
#include "platform/message_box_ui.h"
#include "platform/process.h"
#include "platform/station_folder.h"

namespace {

int refuse(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  platform::useChineseCapableFonts();
  platform::showMessageBox(text, "Pedalyx");
  return 1;
}

}  // namespace

int main(int, char** argv) {
  const std::string programFolder = platform::executableFolder();
  const std::string dataFolder = platform::installedDataFolder(programFolder);
  if (dataFolder.empty())
    return refuse("找不到安裝的資料夾 (installed data missing): " + programFolder +
                  "/../share/pedalyx");
  const std::string stationFolder =
      platform::chooseStationFolder(platform::stationEnvironmentOfProcess());
  if (stationFolder.empty())
    return refuse("找不到工作資料夾 (no station folder): set PEDALYX_HOME or HOME");

  // A station running on the folder reads the files the update would replace. The hold ends
  // with the exec below; the station takes it again at its start.
  if (platform::isDirectory(stationFolder) &&
      platform::holdStationFolder(stationFolder) == platform::FolderHold::kInUse)
    return refuse(platform::stationFolderInUseText(stationFolder));
  platform::StationFolderUpdate update = platform::updateStationFolder(dataFolder, stationFolder);
  if (!update.ok) return refuse("無法準備工作資料夾 (station folder): " + update.error);
  std::printf("station folder %s\n", stationFolder.c_str());
  for (const std::string& name : update.kept)
    std::printf("kept the changed %s; the installed one is %s/%s\n", name.c_str(),
                dataFolder.c_str(), name.c_str());
  std::fflush(stdout);

  if (::chdir(stationFolder.c_str()) != 0)
    return refuse("無法進入工作資料夾 (station folder): " + stationFolder);
  const std::string station = programFolder + "/Pedalyx";
  ::execv(station.c_str(), argv);
  return refuse("無法啟動 (cannot start) " + station);
}
