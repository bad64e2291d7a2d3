// A customer's requests in the history window: "匯出" hands their data out as one folder in
// the working directory's CUSTOMER_EXPORT/ (the operator copies it from there), "刪除" lists
// what will be deleted and erases it once the operator has confirmed. Both work on the
// customer the window shows, exactly as looked for, and refuse while the old files are still
// being imported (their records are not all in the store yet). The export and the list read
// every file and row of the customer (a second or more in a busy shop), so they run on a
// thread of their own with a connection of their own; the erasure itself runs here, between
// the station's own writes, so that no row appended meanwhile is lost by its rewrite.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "pedalyx/report/customer_data_export.h"
#include "pedalyx/report/customer_erasure.h"
#include "pedalyx/report/examination_keeping.h"
#include "pedalyx/report/station_examinations.h"
#include "pedalyx/shell/history_window_ui.h"
#include "pedalyx/station/handles.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/message_box_ui.h"

namespace {

constexpr double kFollowSeconds = 0.05;

// The one request running off this thread: its job there, then `finish` here.
struct Background {
  std::thread thread;
  std::atomic<bool> done{false};
  std::function<void()> finish;
  ~Background() {
    if (thread.joinable()) thread.join();
  }
};

Background& background() {
  static Background b;
  return b;
}

void followBackground(void*) {
  Background& b = background();
  if (!b.done) {
    Fl::repeat_timeout(kFollowSeconds, followBackground);
    return;
  }
  b.thread.join();
  std::function<void()> finish;
  finish.swap(b.finish);
  historyExportButton->activate();
  historyEraseButton->activate();
  finish();
}

void runInBackground(std::function<void()> job, std::function<void()> finish) {
  Background& b = background();
  if (b.thread.joinable()) return;  // the buttons are inactive while one runs
  historyExportButton->deactivate();
  historyEraseButton->deactivate();
  b.done = false;
  b.finish = std::move(finish);
  b.thread = std::thread([job = std::move(job)] {
    job();
    background().done = true;
  });
  Fl::add_timeout(kFollowSeconds, followBackground);
}

Fl_Box* erasureWarning = nullptr;

report::ErasurePlan& plannedErasure() {
  static report::ErasurePlan plan;
  return plan;
}

// Whose erasure the plan is, as it was looked for.
ShownCustomer& plannedCustomer() {
  static ShownCustomer customer;
  return customer;
}

bool simplified() { return languageChoice != nullptr && languageChoice->value() == 1; }

const char* pick(const char* traditional, const char* simplifiedText) {
  return simplified() ? simplifiedText : traditional;
}

void tell(const std::string& text) { platform::postMessageBox(text, pick("客戶資料", "客户资料")); }

// The store on this thread, or null after telling the operator why there is none.
report::ExaminationStore* storeForRequests() {
  if (examinationImportRunning()) {
    tell(pick("舊資料還在匯入，請稍後再試", "旧资料还在导入，请稍后再试"));
    return nullptr;
  }
  report::ExaminationStore* store = report::stationExaminations().store();
  if (store == nullptr)
    tell(pick("無法開啟檢查記錄：", "无法打开检查记录：") +
         report::stationExaminations().storeError());
  return store;
}

void confirmErasure(Fl_Widget*, void*) {
  erasureWindow->hide();
  report::ExaminationStore* store = storeForRequests();
  if (store == nullptr) return;
  historyStatus->label(pick("刪除中…", "删除中…"));
  Fl::flush();
  // The centre's part is queued first, so that no crash between the two leaves the customer
  // at the centre once they are gone here; the sender does it as soon as it can.
  std::string centralText;
  if (centralDatabaseConfigured()) {
    const ShownCustomer& customer = plannedCustomer();
    std::string error;
    if (store->queueCentralErasure(
            {0, customer.phone, customer.id, report::readStationIdentity(historyFolder()).station},
            error)) {
      wakeCentralSender();
      centralText =
          pick("\n中央資料庫的記錄（各門市）將在連線時刪除，狀態列顯示「待刪除」直到完成。",
               "\n中央数据库的记录（各门市）将在连接时删除，状态栏显示“待删除”直到完成。");
    } else {
      tell(pick("無法排入中央資料庫的刪除，未刪除任何資料：",
                "无法排入中央数据库的删除，未删除任何资料：") +
           error);
      historyStatus->label("");
      return;
    }
  }
  const report::ErasureResult result = report::eraseCustomer(*store, plannedErasure());
  std::string text = pick("已刪除 ", "已删除 ") + std::to_string(result.records) +
                     pick(" 筆檢查記錄、", " 笔检查记录、") + std::to_string(result.rows) +
                     pick(" 列表格資料、", " 列表格数据、") + std::to_string(result.files) +
                     pick(" 個檔案。", " 个档案。");
  if (!result.done) text = pick("刪除未完成：", "删除未完成：") + result.error + "\n" + text;
  for (const std::string& file : result.filesNotDeleted)
    text += "\n" + std::string(pick("未能刪除 ", "未能删除 ")) + file;
  tell(text + centralText);
  plannedErasure() = report::ErasurePlan{};
  searchHistoryAgain();
}

void cancelErasure(Fl_Widget*, void*) {
  erasureWindow->hide();
  plannedErasure() = report::ErasurePlan{};
}

void buildErasureWindow() {
  erasureWindow = new Fl_Double_Window(760, 560);
  static Fl_Box* warning = new Fl_Box(10, 8, 740, 34);
  warning->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
  warning->labelsize(18);
  warning->labelcolor(FL_RED);
  erasureWarning = warning;
  erasureList = new Fl_Browser(10, 48, 740, 442);
  erasureList->textsize(16);
  erasureConfirmButton = new Fl_Button(430, 505, 180, 44);
  erasureConfirmButton->color(FL_RED);
  erasureConfirmButton->labelcolor(FL_WHITE);
  erasureConfirmButton->labelsize(18);
  erasureConfirmButton->callback(confirmErasure);
  erasureCancelButton = new Fl_Button(620, 505, 130, 44);
  erasureCancelButton->labelsize(18);
  erasureCancelButton->callback(cancelErasure);
  erasureWindow->end();
  // Above the history window without holding up the station's other windows.
  erasureWindow->set_non_modal();
}

}  // namespace

void exportCustomerCallback(Fl_Widget*, void*) {
  const ShownCustomer customer = shownHistoryCustomer();
  if (customer.records <= 0 || storeForRequests() == nullptr) return;
  const std::string folder = historyFolder();
  const std::string destination = platform::joinPath(folder, report::kCustomerExportFolder);
  auto exported = std::make_shared<report::CustomerDataExport>();
  const int64_t now = platform::epochSeconds();
  runInBackground(
      [=] {
        std::string error;
        auto store = report::ExaminationStore::open(folder, error);
        if (!store || !platform::makeDirectory(destination)) {
          exported->error = store ? "cannot make " + destination : error;
          return;
        }
        *exported =
            report::exportCustomerData(*store, customer.id, customer.phone, destination, now);
      },
      [exported] {
        if (!exported->written) {
          tell(pick("未能匯出：", "未能导出：") + exported->error);
          return;
        }
        std::string text = pick("已匯出 ", "已导出 ") + std::to_string(exported->records) +
                           pick(" 筆檢查記錄與 ", " 笔检查记录与 ") +
                           std::to_string(exported->files) + pick(" 個檔案至\n", " 个档案至\n") +
                           exported->folder;
        if (!exported->missingFiles.empty())
          text += "\n" + std::to_string(exported->missingFiles.size()) +
                  pick(" 個檔案遺失或已變更，未複製", " 个档案遗失或已变更，未复制");
        tell(text);
      });
}

namespace {

// The list of what will be deleted, for the operator to confirm.
void showErasurePlan(const ShownCustomer& customer, const report::ErasurePlan& plan) {
  if (erasureWindow == nullptr) buildErasureWindow();
  static std::string title;
  title = pick("刪除客戶資料  ID ", "删除客户资料  ID ") + customer.id +
          pick("  電話 ", "  电话 ") + customer.phone;
  erasureWindow->label(title.c_str());
  erasureWarning->label(pick("下列資料將永久刪除，無法復原。請與顧客確認後按「確定刪除」。",
                             "下列资料将永久删除，无法复原。请与顾客确认后按“确定删除”。"));
  erasureConfirmButton->label(pick("確定刪除", "确定删除"));
  erasureCancelButton->label(pick("取消", "取消"));
  erasureList->clear();
  const std::string description = report::describeErasurePlan(plan, simplified());
  size_t start = 0;
  while (start < description.size()) {
    const size_t end = std::min(description.find('\n', start), description.size());
    erasureList->add(("@." + description.substr(start, end - start)).c_str());
    start = end + 1;
  }
  plannedErasure() = plan;
  plannedCustomer() = customer;
  // Over the middle of the history window it belongs to.
  erasureWindow->position(historyWindow->x() + (historyWindow->w() - erasureWindow->w()) / 2,
                          historyWindow->y() + 120);
  erasureWindow->show();
}

}  // namespace

void eraseCustomerCallback(Fl_Widget*, void*) {
  const ShownCustomer customer = shownHistoryCustomer();
  if (customer.records <= 0 || storeForRequests() == nullptr) return;
  const std::string folder = historyFolder();
  struct Planned {
    bool ok = false;
    std::string error;
    report::ErasurePlan plan;
  };
  auto planned = std::make_shared<Planned>();
  runInBackground(
      [=] {
        auto store = report::ExaminationStore::open(folder, planned->error);
        planned->ok = store && report::planErasure(*store, customer.id, customer.phone,
                                                   planned->plan, planned->error);
      },
      [=] {
        if (!planned->ok) {
          tell(pick("無法列出要刪除的資料：", "无法列出要删除的资料：") + planned->error);
          return;
        }
        showErasurePlan(customer, planned->plan);
      });
}
