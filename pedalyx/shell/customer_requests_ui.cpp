// A customer's requests in the history window: "匯出" hands their data out as one folder in
// the working directory's CUSTOMER_EXPORT/ (the operator copies it from there), "刪除" lists
// what will be deleted and erases it once the operator has confirmed. Both work on the
// customer the window shows, exactly as looked for, and refuse while the old files are still
// being imported (their records are not all in the store yet).
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>

#include <string>

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

report::ErasurePlan& plannedErasure() {
  static report::ErasurePlan plan;
  return plan;
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
  const report::ErasureResult result = report::eraseCustomer(*store, plannedErasure());
  // The central database's erasure belongs here: the store keeps the UUIDs of the erased
  // records (ExaminationStore::pendingErasures) until the centre has erased them as well.
  std::string text = pick("已刪除 ", "已删除 ") + std::to_string(result.records) +
                     pick(" 筆檢查記錄、", " 笔检查记录、") + std::to_string(result.rows) +
                     pick(" 列表格資料、", " 列表格数据、") + std::to_string(result.files) +
                     pick(" 個檔案。", " 个档案。");
  if (!result.done) text = pick("刪除未完成：", "删除未完成：") + result.error + "\n" + text;
  for (const std::string& file : result.filesNotDeleted)
    text += "\n" + std::string(pick("未能刪除 ", "未能删除 ")) + file;
  tell(text);
  plannedErasure() = report::ErasurePlan{};
  searchHistoryAgain();
}

void cancelErasure(Fl_Widget*, void*) {
  erasureWindow->hide();
  plannedErasure() = report::ErasurePlan{};
}

void buildErasureWindow() {
  erasureWindow = new Fl_Double_Window(760, 520);
  erasureList = new Fl_Browser(10, 10, 740, 440);
  erasureList->textsize(16);
  erasureConfirmButton = new Fl_Button(430, 465, 180, 44);
  erasureConfirmButton->color(FL_RED);
  erasureConfirmButton->labelcolor(FL_WHITE);
  erasureConfirmButton->labelsize(18);
  erasureConfirmButton->callback(confirmErasure);
  erasureCancelButton = new Fl_Button(620, 465, 130, 44);
  erasureCancelButton->labelsize(18);
  erasureCancelButton->callback(cancelErasure);
  erasureWindow->end();
  // Above the history window without holding up the station's other windows.
  erasureWindow->set_non_modal();
}

}  // namespace

void exportCustomerCallback(Fl_Widget*, void*) {
  const ShownCustomer customer = shownHistoryCustomer();
  report::ExaminationStore* store = customer.records > 0 ? storeForRequests() : nullptr;
  if (store == nullptr) return;
  const std::string destination =
      platform::joinPath(historyFolder(), report::kCustomerExportFolder);
  platform::makeDirectory(destination);
  const report::CustomerDataExport exported = report::exportCustomerData(
      *store, customer.id, customer.phone, destination, platform::epochSeconds());
  if (!exported.written) {
    tell(pick("未能匯出：", "未能导出：") + exported.error);
    return;
  }
  std::string text = pick("已匯出 ", "已导出 ") + std::to_string(exported.records) +
                     pick(" 筆檢查記錄與 ", " 笔检查记录与 ") + std::to_string(exported.files) +
                     pick(" 個檔案至\n", " 个档案至\n") + exported.folder;
  if (!exported.missingFiles.empty())
    text += "\n" + std::to_string(exported.missingFiles.size()) +
            pick(" 個檔案遺失或已變更，未複製", " 个档案遗失或已变更，未复制");
  tell(text);
}

void eraseCustomerCallback(Fl_Widget*, void*) {
  const ShownCustomer customer = shownHistoryCustomer();
  report::ExaminationStore* store = customer.records > 0 ? storeForRequests() : nullptr;
  if (store == nullptr) return;
  report::ErasurePlan plan;
  std::string error;
  if (!report::planErasure(*store, customer.id, customer.phone, plan, error)) {
    tell(pick("無法列出要刪除的資料：", "无法列出要删除的资料：") + error);
    return;
  }
  if (erasureWindow == nullptr) buildErasureWindow();
  static std::string title;
  title = pick("刪除客戶資料  ID ", "删除客户资料  ID ") + customer.id +
          pick("  電話 ", "  电话 ") + customer.phone;
  erasureWindow->label(title.c_str());
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
  erasureWindow->show();
}
