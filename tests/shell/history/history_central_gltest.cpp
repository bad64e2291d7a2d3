// The history window of a shop in a chain: another shop's visit of the customer listed with its
// shop and shown with the pressure picture fetched from the centre, and, with the centre down,
// the station's own visit with a plain word that the other shops' visits are missing.
#include <gtest/gtest.h>

#include "tests/report/central/two_stations.h"
// The toolkit's X11 header defines macros that clash with the test framework and with the
// central database's header: include it after them.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <unistd.h>

#include <string>

#include "kept_screenshots.h"
#include "pedalyx/shell/callbacks.h"
#include "pedalyx/station/handles.h"

namespace report {
namespace {

using namespace std::string_literals;

bool pumpUntil(const std::function<bool()>& done, double seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done() && std::chrono::steady_clock::now() < end) Fl::wait(0.02);
  return done();
}

std::string listed() {
  std::string lines;
  for (int n = 1; n <= historyVisitList->size(); ++n) lines += historyVisitList->text(n) + "\n"s;
  return lines;
}

// The window's look-up of the phone typed in it, waited for until every file is checked.
void search(const char* phone) {
  historyIdInput->value("");
  historyPhoneInput->value(phone);
  historySearchButton->do_callback();
  ASSERT_TRUE(pumpUntil(
      [] {
        const std::string status = historyStatus->label() ? historyStatus->label() : "";
        return status.find("次檢查") != std::string::npos && status.find("…") == std::string::npos;
      },
      30))
      << historyStatus->label();
}

class HistoryOfTheChain : public TwoStations {
 protected:
  void SetUp() override {
    TwoStations::SetUp();
    ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
  }
  void TearDown() override {
    if (historyWindow != nullptr) historyWindow->hide();
    ASSERT_EQ(chdir(previous_), 0);
    TwoStations::TearDown();
  }
  char previous_[4096] = {};
};

TEST_F(HistoryOfTheChain, ListsTheOtherShopsVisitWithItsPictureAndSaysWhenTheCentreIsDown) {
  examine(folder, "台北一店", 1780000000, 30);
  examine(other, "台南店", 1780090000, 90);
  connect(folder, "window_taipei");
  connect(other, "window_tainan");
  send(folder);
  send(other);
  ASSERT_EQ(chdir(folder.c_str()), 0);  // the station's working directory

  historyButtonCallback(nullptr, nullptr);
  search("0912");
  const std::string both = listed();
  EXPECT_NE(both.find("台南店"), std::string::npos) << both;
  EXPECT_NE(both.find("台北一店"), std::string::npos) << both;
  // The latest visit, the other shop's, with its picture from the centre.
  EXPECT_NE(historyPictureBoxes[1]->image(), nullptr) << historyPictureBoxes[1]->label();
  EXPECT_NE(historyPictureBoxes[0]->image(), nullptr) << historyPictureBoxes[0]->label();
  Fl::flush();
  keepScreenshot("history-central");

  central_test::sharedTestPostgres().stop();
  search("0912");
  central_test::sharedTestPostgres().start();
  const std::string own = listed();
  EXPECT_EQ(own.find("台南店"), std::string::npos) << own;
  EXPECT_NE(own.find("無法連線中央資料庫：其他門市的檢查未列出"), std::string::npos) << own;
  EXPECT_NE(std::string(historyStatus->label()).find("中央資料庫無法連線"), std::string::npos);
  Fl::flush();
  keepScreenshot("history-central-offline");
}

}  // namespace
}  // namespace report
