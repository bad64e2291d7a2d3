// The history window: a customer's examinations from the examination store, found by the ID
// or phone exactly as typed, newest first, with the rows the import could not read in red;
// below, two chosen visits side by side with their pressure pictures and every figure and
// file of both. The look-up runs on a thread of its own; the window shows "搜尋中" until the
// records arrive and marks the files once they were checked. With a central database, the
// visits of every shop are listed with their shop; when the centre cannot be asked, the status
// says that the visits of other shops are missing.
#include "pedalyx/shell/history_window_ui.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_PNG_Image.H>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/examination_keeping.h"
#include "pedalyx/report/history_lookup.h"
#include "pedalyx/report/history_text.h"
#include "pedalyx/shell/callbacks.h"
#include "pedalyx/station/handles.h"
#include "platform/files.h"

namespace {

constexpr double kFollowSeconds = 0.01;

struct Shown {
  report::HistoryAnswer answer;
  bool answered = false;
  std::vector<std::string> labels;  // one per record, all different
  // The choices' items, one per record and the end mark, given to the choices as they are:
  // adding them by text joins equal texts into one item and reads "/", "\\" and a leading "_"
  // as menu syntax, so a choice's position would no longer be its record.
  std::vector<Fl_Menu_Item> items;
  std::unique_ptr<Fl_PNG_Image> pictures[2];
  std::string title, status, headers[2];
  bool simplified = false;
};

Shown& shown() {
  static Shown s;
  return s;
}

report::HistoryLookup& lookup() {
  static report::HistoryLookup l;
  return l;
}

const char* pick(const char* traditional, const char* simplified) {
  return shown().simplified ? simplified : traditional;
}

std::string textOf(const Fl_Input* input) {
  return input != nullptr && input->value() != nullptr ? input->value() : "";
}

// A text as one browser column: no line break or tab may split it.
std::string column(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  }
  return "@." + text;
}

const report::ExaminationRecord* chosenRecord(const Fl_Choice* choice) {
  const auto& records = shown().answer.records;
  const int index = choice->value();
  return index >= 0 && index < static_cast<int>(records.size()) ? &records[index] : nullptr;
}

void showPicture(int slot, const report::ExaminationRecord* record) {
  Shown& s = shown();
  Fl_Box* box = historyPictureBoxes[slot];
  s.pictures[slot].reset();
  box->image(nullptr);
  s.headers[slot].clear();
  if (record != nullptr) {
    s.headers[slot] = s.labels[record - s.answer.records.data()];
    const report::ExaminationFile* file = report::fileWithRole(*record, "pressure_png");
    if (file == nullptr) {
      s.headers[slot] += pick("  無壓力圖", "  无压力图");
    } else if (file->state != report::FileState::kIntact) {
      s.headers[slot] +=
          pick("  壓力圖", "  压力图") + report::fileStateText(file->state, s.simplified);
    } else {
      auto picture =
          std::make_unique<Fl_PNG_Image>(platform::joinPath(historyFolder(), file->path).c_str());
      if (picture->fail() == 0) {
        box->image(picture.get());
        s.pictures[slot] = std::move(picture);
      }
    }
  }
  box->label(s.headers[slot].c_str());
  box->redraw();
}

void showComparison(Fl_Widget* = nullptr, void* = nullptr) {
  Shown& s = shown();
  const report::ExaminationRecord* earlier = chosenRecord(historyEarlierChoice);
  const report::ExaminationRecord* later = chosenRecord(historyLaterChoice);
  showPicture(0, earlier);
  showPicture(1, later);
  historyDifferenceList->clear();
  historyDifferenceList->add(pick("@b\t@b前次\t@b後次\t@b差異", "@b\t@b前次\t@b后次\t@b差异"));
  if (earlier == nullptr && later == nullptr) return;
  for (const report::ComparisonLine& line : report::compareRecords(earlier, later, s.simplified)) {
    const std::string text = line.heading ? "@b" + column(line.name)
                                          : column(line.name) + "\t" + column(line.earlier) + "\t" +
                                                column(line.later) + "\t" + column(line.change);
    historyDifferenceList->add(text.c_str());
  }
}

void showStatus() {
  Shown& s = shown();
  const report::HistoryAnswer& a = s.answer;
  if (!s.answered) {
    s.status = pick("搜尋中…", "搜索中…");
  } else if (!a.read) {
    s.status = pick("無法讀取檢查記錄：", "无法读取检查记录：") + a.error;
  } else {
    s.status = std::to_string(a.records.size()) + pick(" 次檢查", " 次检查");
    if (a.centralConfigured && !a.centralAsked)
      s.status += pick("，詢問中央資料庫…", "，询问中央数据库…");
    else if (!a.filesChecked)
      s.status += pick("，檢查檔案中…", "，检查档案中…");
    if (a.centralMissing) s.status += pick("，中央資料庫無法連線", "，中央数据库无法连接");
  }
  if (examinationImportRunning())
    s.status += pick("（舊資料匯入中，尚未列出）", "（旧资料导入中，尚未列出）");
  historyStatus->label(s.status.c_str());
  historyStatus->redraw();
  const bool some = s.answered && a.read && !a.records.empty();
  for (Fl_Button* button : {historyExportButton, historyEraseButton}) {
    if (some && !examinationImportRunning())
      button->activate();
    else
      button->deactivate();
  }
}

void showAnswer(const report::HistoryAnswer& answer) {
  Shown& s = shown();
  // The second answer of a look-up holds the same records with their files checked: the
  // operator's choices stay.
  const bool sameRecords = s.answered && answer.filesChecked && answer.id == s.answer.id &&
                           answer.phone == s.answer.phone &&
                           answer.records.size() == s.answer.records.size();
  const int earlierChoice = historyEarlierChoice->value();
  const int laterChoice = historyLaterChoice->value();
  s.answer = answer;
  s.answered = true;
  // How long the look-up took, without the customer's data.
  if (answer.filesChecked)
    std::printf("history: %zu records, files checked in %.0f ms\n", answer.records.size(),
                answer.checkMilliseconds);
  else
    std::printf("history: %zu records looked up in %.0f ms\n", answer.records.size(),
                answer.lookupMilliseconds);
  std::fflush(stdout);

  historyVisitList->clear();
  historyEarlierChoice->menu(nullptr);
  historyLaterChoice->menu(nullptr);
  s.labels = report::recordLabels(answer.records);
  s.items.assign(s.labels.size() + 1, Fl_Menu_Item{});
  for (size_t i = 0; i < answer.records.size(); ++i) {
    historyVisitList->add(
        column(report::recordLine(s.labels[i], answer.records[i], s.simplified)).c_str());
    s.items[i].text = s.labels[i].c_str();
  }
  historyEarlierChoice->menu(s.items.data());
  historyLaterChoice->menu(s.items.data());
  if (answer.read && answer.records.empty())
    historyVisitList->add(pick("找不到這位客戶的檢測記錄", "找不到这位客户的检测记录"));
  if (answer.centralMissing)
    historyVisitList->add(("@C1" + column(pick("無法連線中央資料庫：其他門市的檢查未列出",
                                               "无法连接中央数据库：其他门市的检查未列出")))
                              .c_str());
  for (const report::ImportProblem& problem : answer.problems) {
    historyVisitList->add(
        ("@C1" + column(report::importProblemLine(problem, s.simplified))).c_str());
  }
  // The latest visit against the one before it, unless the operator chose others.
  const int count = static_cast<int>(answer.records.size());
  historyLaterChoice->value(sameRecords ? laterChoice : (count > 0 ? 0 : -1));
  historyEarlierChoice->value(sameRecords ? earlierChoice : (count > 1 ? 1 : (count > 0 ? 0 : -1)));
  // A new menu with the same item chosen is no change to the choice, which would go on showing
  // the text it had.
  historyEarlierChoice->redraw();
  historyLaterChoice->redraw();
  showComparison();
  showStatus();
}

void followLookup(void*) {
  // Asked before taking: the last answer may come in between, and must then be taken next time.
  const bool busy = lookup().busy();
  if (auto answer = lookup().take()) showAnswer(*answer);
  if (busy)
    Fl::repeat_timeout(kFollowSeconds, followLookup);
  else
    showStatus();
}

void startLookup(const std::string& id, const std::string& phone) {
  Shown& s = shown();
  s.answered = false;
  s.answer = report::HistoryAnswer{};
  s.answer.id = id;
  s.answer.phone = phone;
  s.title = pick("歷史  ID ", "历史  ID ") + id + pick("  電話 ", "  电话 ") + phone;
  historyWindow->label(s.title.c_str());
  historyVisitList->clear();
  historyVisitList->add(pick("搜尋中…", "搜索中…"));
  historyEarlierChoice->menu(nullptr);
  historyLaterChoice->menu(nullptr);
  historyEarlierChoice->value(-1);
  historyLaterChoice->value(-1);
  showComparison();
  showStatus();
  lookup().request(historyFolder(), id, phone);
  Fl::remove_timeout(followLookup);
  Fl::add_timeout(kFollowSeconds, followLookup);
}

void searchCallback(Fl_Widget*, void*) {
  startLookup(textOf(historyIdInput), textOf(historyPhoneInput));
}

Fl_Input* makeSearchInput(int x, int w, const char* label) {
  auto* input = new Fl_Input(x, 10, w, 30, label);
  input->labelsize(16);
  input->textsize(16);
  input->when(FL_WHEN_ENTER_KEY_ALWAYS);
  input->callback(searchCallback);
  return input;
}

Fl_Button* makeButton(int x, int w, Fl_Callback* callback) {
  auto* button = new Fl_Button(x, 8, w, 34);
  button->labelsize(16);
  button->callback(callback);
  return button;
}

void buildHistoryWindow() {
  historyWindow = new Fl_Double_Window(1200, 830);
  historyIdInput = makeSearchInput(40, 220, "ID");
  historyPhoneInput = makeSearchInput(320, 200, "電話");
  historySearchButton = makeButton(530, 90, searchCallback);
  historyStatus = new Fl_Box(630, 10, 350, 30);
  historyStatus->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_CLIP);
  historyStatus->labelsize(16);
  historyExportButton = makeButton(990, 95, exportCustomerCallback);
  historyEraseButton = makeButton(1095, 95, eraseCustomerCallback);
  historyVisitList = new Fl_Hold_Browser(10, 50, 1180, 230);
  historyVisitList->textsize(16);
  historyEarlierChoice = new Fl_Choice(70, 290, 250, 30);
  historyLaterChoice = new Fl_Choice(400, 290, 250, 30);
  for (Fl_Choice* choice : {historyEarlierChoice, historyLaterChoice}) {
    choice->labelsize(18);
    choice->textsize(16);
    choice->callback(showComparison);
  }
  for (int slot = 0; slot < 2; ++slot) {
    historyPictureBoxes[slot] = new Fl_Box(FL_FLAT_BOX, 10 + 330 * slot, 340, 320, 365, "");
    historyPictureBoxes[slot]->align(FL_ALIGN_INSIDE | FL_ALIGN_TOP | FL_ALIGN_IMAGE_OVER_TEXT);
    historyPictureBoxes[slot]->labelsize(16);
  }
  historyDifferenceList = new Fl_Browser(670, 290, 520, 530);
  historyDifferenceList->textsize(16);
  static const int kColumns[] = {220, 105, 105, 80, 0};
  historyDifferenceList->column_widths(kColumns);
  historyWindow->end();
}

void labelHistoryWindow() {
  historyIdInput->label("ID");
  historyPhoneInput->label(pick("電話", "电话"));
  historySearchButton->label(pick("搜尋", "搜索"));
  historyExportButton->label(pick("匯出", "导出"));
  historyEraseButton->label(pick("刪除", "删除"));
  historyEarlierChoice->label("前次");
  historyLaterChoice->label(pick("後次", "后次"));
}

}  // namespace

std::string historyFolder() {
  return pressureView != nullptr && !pressureView->startDirectory.empty()
             ? pressureView->startDirectory
             : ".";
}

ShownCustomer shownHistoryCustomer() {
  const Shown& s = shown();
  ShownCustomer customer;
  customer.id = s.answer.id;
  customer.phone = s.answer.phone;
  // Only the station's own records: the export and the erasure here reach no other.
  if (s.answered && s.answer.read) {
    customer.records = 0;
    for (size_t i = 0; i < s.answer.records.size(); ++i)
      customer.records += i >= s.answer.fromCentre.size() || !s.answer.fromCentre[i];
  }
  return customer;
}

void searchHistoryAgain() { startLookup(shown().answer.id, shown().answer.phone); }

void openHistoryWindow() {
  if (historyWindow == nullptr) buildHistoryWindow();
  shown().simplified = languageChoice != nullptr && languageChoice->value() == 1;
  labelHistoryWindow();
  // The customer in the analysis and data-entry windows; the operator may look up another.
  const std::string id = textOf(idInput), phone = textOf(phoneInput);
  historyIdInput->value(id.c_str());
  historyPhoneInput->value(phone.c_str());
  startLookup(id, phone);
  historyWindow->show();
}

void historyButtonCallback(Fl_Widget*, void*) { openHistoryWindow(); }
