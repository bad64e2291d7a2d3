#include "platform/station_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "scratch_folder.h"

namespace {

using platform::joinPath;

std::string contentOf(const std::string& path) {
  return platform::readWholeFile(path).value_or("<missing>");
}

// An installed data folder as the package lays it out: <prefix>/share/pedalyx, in the test's
// temporary folder.
struct Installed {
  ScratchFolder root{"station-folder"};
  std::string prefix = root / "prefix";
  std::string data = joinPath(prefix, "share/pedalyx");
  int folders = 0;
  Installed() {
    platform::makeDirectory(prefix);
    platform::makeDirectory(joinPath(prefix, "bin"));
    platform::makeDirectory(joinPath(prefix, "share"));
    platform::makeDirectory(data);
  }
  void put(const std::string& name, const std::string& bytes) const {
    ASSERT_TRUE(platform::writeFileAtomic(joinPath(data, name), bytes));
  }
  // A new empty folder beside the installation.
  std::string emptyFolder() {
    const std::string folder = root / ("folder" + std::to_string(++folders));
    platform::makeDirectory(folder);
    return folder;
  }
};

TEST(StationFolder, ChosenFromPedalyxHomeThenDataHomeThenHome) {
  using platform::chooseStationFolder;
  EXPECT_EQ(chooseStationFolder({"/shop/station", "/data", "/home/op"}), "/shop/station");
  EXPECT_EQ(chooseStationFolder({"", "/data", "/home/op"}), "/data/pedalyx");
  // A relative data home is not a valid base directory.
  EXPECT_EQ(chooseStationFolder({"", "data", "/home/op"}), "/home/op/.local/share/pedalyx");
  EXPECT_EQ(chooseStationFolder({"", "", "/home/op"}), "/home/op/.local/share/pedalyx");
  EXPECT_EQ(chooseStationFolder({"", "", ""}), "");
}

TEST(StationFolder, InstalledDataIsFoundBesideTheProgramFolderOnly) {
  Installed installed;
  EXPECT_EQ(platform::installedDataFolder(joinPath(installed.prefix, "bin")),
            joinPath(installed.prefix, "bin/../share/pedalyx"));
  // A program run from the build tree has no share/pedalyx beside it.
  EXPECT_EQ(platform::installedDataFolder(joinPath(installed.emptyFolder(), "station")), "");
  EXPECT_EQ(platform::installedDataFolder(""), "");
}

TEST(StationFolder, FirstStartCreatesTheFolderAndCopiesEveryDataFile) {
  Installed installed;
  installed.put("lut_ancestor.txt", "0 0 0\n");
  installed.put("255mm narrow 20220606 backmove 5mm.bmp", std::string("BM\0\x01", 4));
  platform::makeDirectory(joinPath(installed.data, "not-a-data-file"));
  const std::string station = joinPath(installed.emptyFolder(), "home/.local/share/pedalyx");

  platform::StationFolderUpdate first = platform::updateStationFolder(installed.data, station);
  ASSERT_TRUE(first.ok) << first.error;
  EXPECT_EQ(first.copied.size(), 2u);
  EXPECT_EQ(contentOf(joinPath(station, "lut_ancestor.txt")), "0 0 0\n");
  EXPECT_EQ(contentOf(joinPath(station, "255mm narrow 20220606 backmove 5mm.bmp")),
            std::string("BM\0\x01", 4));
  EXPECT_FALSE(platform::fileExists(joinPath(station, "not-a-data-file")));
  // Customers' personal data: the folders made on the way are the operator's alone.
  struct stat made;
  ASSERT_EQ(stat(station.c_str(), &made), 0);
  EXPECT_EQ(made.st_mode & 0777, 0700u);
  ASSERT_EQ(stat(joinPath(station, "../..").c_str(), &made), 0);
  EXPECT_EQ(made.st_mode & 0777, 0700u);

  platform::StationFolderUpdate again = platform::updateStationFolder(installed.data, station);
  ASSERT_TRUE(again.ok);
  EXPECT_TRUE(again.copied.empty() && again.updated.empty() && again.kept.empty());
}

TEST(StationFolder, UpdateReplacesUntouchedCopiesAndNeverTheOperatorsChanges) {
  Installed installed;
  installed.put("colorShader.frag", "shader 1");
  installed.put("noise.txt", "5 6.0");
  installed.put("reference.png", "picture 1");
  installed.put("drop.png", "pad 1");
  const std::string station = joinPath(installed.emptyFolder(), "pedalyx");
  ASSERT_TRUE(platform::updateStationFolder(installed.data, station).ok);

  // The operator tunes the filter, deletes the pad shape; a newer package changes all four.
  ASSERT_TRUE(platform::writeFileAtomic(joinPath(station, "noise.txt"), "9 3.5"));
  platform::removeFile(joinPath(station, "drop.png"));
  installed.put("colorShader.frag", "shader 2");
  installed.put("noise.txt", "5 7.0");
  installed.put("reference.png", "picture 2");
  installed.put("drop.png", "pad 2");

  platform::StationFolderUpdate update = platform::updateStationFolder(installed.data, station);
  ASSERT_TRUE(update.ok) << update.error;
  EXPECT_EQ(contentOf(joinPath(station, "colorShader.frag")), "shader 2");
  EXPECT_EQ(contentOf(joinPath(station, "reference.png")), "picture 2");
  EXPECT_EQ(contentOf(joinPath(station, "drop.png")), "pad 2");
  EXPECT_EQ(contentOf(joinPath(station, "noise.txt")), "9 3.5");
  EXPECT_EQ(update.kept, std::vector<std::string>{"noise.txt"});
  EXPECT_EQ(update.copied, std::vector<std::string>{"drop.png"});

  // Still the operator's after the next update too, though the manifest moved on.
  installed.put("noise.txt", "5 8.0");
  ASSERT_TRUE(platform::updateStationFolder(installed.data, station).ok);
  EXPECT_EQ(contentOf(joinPath(station, "noise.txt")), "9 3.5");
}

TEST(StationFolder, FilesThereBeforeThePackageAreKept) {
  Installed installed;
  installed.put("tx_case_1.txt", "default case");
  const std::string station = installed.emptyFolder();
  // A shop that copied its old working folder over, manifest and all lost.
  ASSERT_TRUE(platform::writeFileAtomic(joinPath(station, "tx_case_1.txt"), "shop's own"));
  platform::StationFolderUpdate update = platform::updateStationFolder(installed.data, station);
  ASSERT_TRUE(update.ok);
  EXPECT_EQ(contentOf(joinPath(station, "tx_case_1.txt")), "shop's own");
}

TEST(StationFolder, FolderThatCannotBeMadeIsReportedWithItsPath) {
  Installed installed;
  installed.put("lut_ancestor.txt", "0 0 0\n");
  const std::string blocker = joinPath(installed.emptyFolder(), "file");
  ASSERT_TRUE(platform::writeFileAtomic(blocker, "x"));
  platform::StationFolderUpdate update =
      platform::updateStationFolder(installed.data, joinPath(blocker, "pedalyx"));
  EXPECT_FALSE(update.ok);
  EXPECT_NE(update.error.find(blocker), std::string::npos) << update.error;

  update =
      platform::updateStationFolder(joinPath(installed.prefix, "missing"), installed.emptyFolder());
  EXPECT_FALSE(update.ok);
}

}  // namespace
