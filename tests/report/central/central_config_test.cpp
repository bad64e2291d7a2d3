// "central_database.txt": one checked line, and never a password kept or said.
#include <gtest/gtest.h>

#include <filesystem>

#include "pedalyx/report/central_database.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace {

TEST(CentralConfig, OneCheckedLineWithoutPassword) {
  const fs::path folder = fs::absolute("central_config");
  fs::remove_all(folder);
  fs::create_directories(folder);
  EXPECT_EQ(readCentralConfig(folder.string()).status, CentralConfig::Status::NotConfigured);

  const std::string file = (folder / kCentralDatabaseFileName).string();
  ASSERT_TRUE(platform::writeFileAtomic(file, "host=db.example dbname=pedalyx user=shop_1\r\n"));
  CentralConfig config = readCentralConfig(folder.string());
  EXPECT_EQ(config.status, CentralConfig::Status::Ready) << config.problem;
  for (const char* part : {"host=db.example", "dbname=pedalyx", "user=shop_1"})
    EXPECT_NE(config.describe().find(part), std::string::npos) << config.describe();

  bool removed = false;
  for (const std::string text : {"host=db user=shop_1 password=s3cret sslmode=require",
                                 "postgresql://shop_1:s3cret@db/pedalyx?sslmode=require"}) {
    config = parseCentralConnectionString(text, &removed);
    EXPECT_EQ(config.status, CentralConfig::Status::Ready) << text;
    EXPECT_TRUE(removed) << text;
    EXPECT_EQ(config.describe().find("s3cret"), std::string::npos) << config.describe();
    EXPECT_NE(config.describe().find("sslmode=require"), std::string::npos);
  }
  // A malformed string's message from libpq would quote the password's piece.
  config = parseCentralConnectionString("host=db password=s3cret extra", &removed);
  EXPECT_EQ(config.status, CentralConfig::Status::Invalid);
  EXPECT_EQ(config.problem.find("s3cret"), std::string::npos) << config.problem;

  for (const std::string& text :
       {std::string("host=db\nuser=x"), std::string("host=db\tuser=x"), std::string(2000, 'a'),
        std::string("  \n"), std::string("host=db user")})
    EXPECT_EQ(parseCentralConnectionString(text, nullptr).status, CentralConfig::Status::Invalid)
        << text.substr(0, 40);
  fs::remove_all(folder);
}

}  // namespace
