#include "platform/files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "scratch_folder.h"

namespace {

TEST(AtomicWrite, ReplacesTargetWholeAndLeavesNoTemporaryFile) {
  ScratchFolder scratch("station-files");
  std::string folder = scratch.path();
  std::string target = platform::joinPath(folder, "noise.txt");
  ASSERT_TRUE(platform::writeFileAtomic(target, "old content that is longer"));
  ASSERT_TRUE(platform::writeFileAtomic(target, "5 6.0"));
  EXPECT_EQ(platform::readWholeFile(target).value_or("missing"), "5 6.0");
  EXPECT_EQ(std::system(("test $(ls -A " + folder + " | wc -l) -eq 1").c_str()), 0);
}

TEST(AtomicWrite, FailsWithoutTouchingAnythingInMissingFolder) {
  EXPECT_FALSE(platform::writeFileAtomic("/nonexistent-folder-xyz/file.txt", "x"));
  EXPECT_FALSE(platform::readWholeFile("/nonexistent-folder-xyz/file.txt").has_value());
}

// A killed writer leaves "<name>.partial-<pid>-XXXXXX"; the next start removes it, but never
// the temporary file of a program that is still writing.
TEST(AtomicWrite, StaleTemporaryFilesOfEndedProcessesAreSweptOthersStay) {
  ScratchFolder scratch("station-files");
  const std::string folder = scratch.path();
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  ASSERT_GT(ended, 0);
  waitpid(ended, nullptr, 0);
  const std::string stale = "report.pdf.partial-" + std::to_string(ended) + "-Ab12Cd";
  const std::string running = "report.pdf.partial-" + std::to_string(getppid()) + "-Xy34Zw";
  for (const std::string& name :
       {stale, running, std::string("report.pdf"), std::string("notes.partial-12-short")}) {
    ASSERT_TRUE(platform::writeFileAtomic(platform::joinPath(folder, name), "x"));
  }
  EXPECT_TRUE(platform::isTemporaryFileName(stale));
  EXPECT_FALSE(platform::isTemporaryFileName("notes.partial-12-short"));
  EXPECT_EQ(platform::removeStaleTemporaryFiles(folder), 1);
  EXPECT_FALSE(platform::fileExists(platform::joinPath(folder, stale)));
  EXPECT_TRUE(platform::fileExists(platform::joinPath(folder, running)));
  EXPECT_TRUE(platform::fileExists(platform::joinPath(folder, "notes.partial-12-short")));
}

TEST(AtomicWrite, AFullDiskChangesNothingAndLeavesNoTemporaryFile) {
  ScratchFolder scratch("station-files");
  const std::string folder = scratch.path();
  const std::string target = platform::joinPath(folder, "Database_2080.csv");
  ASSERT_TRUE(platform::writeFileAtomic(target, "header\n"));
  platform::failWritesForTesting(ENOSPC);
  EXPECT_FALSE(platform::writeFileAtomic(target, "replaced"));
  EXPECT_EQ(errno, ENOSPC);
  EXPECT_FALSE(platform::appendWhole(target, "row"));
  platform::failWritesForTesting(0);
  EXPECT_EQ(platform::readWholeFile(target), "header\n");
  EXPECT_EQ(std::system(("test $(ls -A " + folder + " | wc -l) -eq 1").c_str()), 0);
}

// A real short write, as a nearly full disk gives: the file-size limit makes the write itself
// fail where the test hook above fails before any write. The target keeps its old content.
TEST(AtomicWrite, AWriteThatFailsHalfwayReplacesNothing) {
  ScratchFolder scratch("station-files");
  const std::string folder = scratch.path();
  const std::string target = platform::joinPath(folder, "report.pdf");
  const std::string table = platform::joinPath(folder, "Database_2080.csv");
  ASSERT_TRUE(platform::writeFileAtomic(target, "old"));
  ASSERT_TRUE(platform::appendWhole(table, "header\n"));
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 1000;
  const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool replaced = platform::writeFileAtomic(target, std::string(5000, 'n'));
  const bool appended = platform::appendWhole(table, std::string(5000, 'r'));
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previousHandler);
  EXPECT_FALSE(replaced);
  EXPECT_FALSE(appended);
  EXPECT_EQ(platform::readWholeFile(target), "old");
  EXPECT_EQ(platform::readWholeFile(table), "header\n") << "no half row";
  EXPECT_EQ(std::system(("test $(ls -A " + folder + " | wc -l) -eq 2").c_str()), 0);
}

TEST(AppendWhole, AppendsPiecesInOrderAndCreatesFile) {
  ScratchFolder scratch("station-files");
  std::string target = scratch / "db.csv";
  ASSERT_TRUE(platform::appendWhole(target, "header\n"));
  ASSERT_TRUE(platform::appendWhole(target, "row1"));
  EXPECT_EQ(platform::readWholeFile(target).value_or(""), "header\nrow1");
}

TEST(Folders, MakeDirectoryIsIdempotentAndRefusesAFile) {
  ScratchFolder scratch("station-files");
  std::string folder = scratch / "PDF_INSOLES";
  EXPECT_TRUE(platform::makeDirectory(folder));
  EXPECT_TRUE(platform::makeDirectory(folder));
  EXPECT_TRUE(platform::isDirectory(folder));
  std::string file = platform::joinPath(folder, "plain");
  ASSERT_TRUE(platform::writeFileAtomic(file, ""));
  EXPECT_FALSE(platform::makeDirectory(file));
  EXPECT_EQ(platform::joinPath("a/", "b"), "a/b");
  EXPECT_EQ(platform::joinPath("a", "b"), "a/b");
  // A new folder is synced in its parent, however its name is written.
  EXPECT_EQ(platform::folderOf("./PDF_INSOLES/"), ".");
  EXPECT_EQ(platform::folderOf("/tmp/x/SWAY"), "/tmp/x");
}

TEST(CurrentDirectory, ReadsPathsFarLongerThanAHundredUnits) {
  ScratchFolder scratch("station-files");
  std::string deep = scratch.path();
  for (int i = 0; i < 30; ++i) {
    deep = platform::joinPath(deep, "folder_with_a_long_name");
    ASSERT_TRUE(platform::makeDirectory(deep));
  }
  char saved[4096];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(chdir(deep.c_str()), 0);
  std::string read = platform::currentDirectory();
  ASSERT_EQ(chdir(saved), 0);
  EXPECT_GT(read.size(), 700u);
  EXPECT_EQ(read, deep);
}

}  // namespace
