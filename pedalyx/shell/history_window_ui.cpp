// The history window: every earlier examination of the customer in the analysis window (by ID
// or phone), newest first, with rows the database could not read listed in red; below, two
// chosen visits side by side with their pressure pictures and what changed between them.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_PNG_Image.H>

#include <memory>
#include <string>
#include <vector>

#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/history_text.h"
#include "pedalyx/shell/callbacks.h"
#include "pedalyx/station/handles.h"

namespace {

struct Shown {
  report::CustomerHistory history;
  std::vector<report::VisitFigures> figures;  // one per visit
  std::vector<std::string> labels;            // one per visit, all different
  // The choices' items, one per visit and the end mark, given to the choices as they are:
  // adding them by text joins equal texts into one item and reads "/", "\\" and a leading "_"
  // as menu syntax, so a choice's position would no longer be its visit.
  std::vector<Fl_Menu_Item> items;
  std::unique_ptr<Fl_PNG_Image> pictures[2];
  std::string title, headers[2];
  bool simplified = false;
};

Shown& shown() {
  static Shown s;
  return s;
}

std::string textOf(const Fl_Input* input) {
  return input != nullptr && input->value() != nullptr ? input->value() : "";
}

void showPicture(int slot, const report::Visit* visit) {
  Shown& s = shown();
  Fl_Box* box = historyPictureBoxes[slot];
  s.pictures[slot].reset();
  box->image(nullptr);
  if (visit != nullptr && visit->files && !visit->files->picture.empty()) {
    auto picture = std::make_unique<Fl_PNG_Image>(visit->files->picture.c_str());
    if (picture->fail() == 0) {
      box->image(picture.get());
      s.pictures[slot] = std::move(picture);
    }
  }
  const char* none = s.simplified ? "无压力图" : "無壓力圖";
  s.headers[slot] = visit == nullptr ? "" : s.labels[visit - s.history.visits.data()];
  box->label(s.pictures[slot] ? s.headers[slot].c_str() : none);
  box->redraw();
}

const report::Visit* chosenVisit(const Fl_Choice* choice) {
  const auto& visits = shown().history.visits;
  const int index = choice->value();
  return index >= 0 && index < static_cast<int>(visits.size()) ? &visits[index] : nullptr;
}

void showComparison(Fl_Widget* = nullptr, void* = nullptr) {
  Shown& s = shown();
  const report::Visit* earlier = chosenVisit(historyEarlierChoice);
  const report::Visit* later = chosenVisit(historyLaterChoice);
  showPicture(0, earlier);
  showPicture(1, later);
  historyDifferenceList->clear();
  historyDifferenceList->add(s.simplified ? "@b\t@b前次\t@b后次\t@b差异"
                                          : "@b\t@b前次\t@b後次\t@b差異");
  if (earlier == nullptr || later == nullptr) return;
  const auto& figures = s.figures;
  const auto& visits = s.history.visits;
  for (const report::FigureChange& c :
       report::compareVisits(figures[earlier - visits.data()], figures[later - visits.data()])) {
    const std::string line = "@." + report::figureName(c.figure, s.simplified) + "\t@." +
                             report::figureValue(c.figure, c.earlier) + "\t@." +
                             report::figureValue(c.figure, c.later) + "\t@." +
                             report::figureValue(c.figure, c.change, true);
    historyDifferenceList->add(line.c_str());
  }
}

void buildHistoryWindow() {
  historyWindow = new Fl_Double_Window(1200, 790);
  historyVisitList = new Fl_Hold_Browser(10, 10, 1180, 230);
  historyVisitList->textsize(16);
  historyEarlierChoice = new Fl_Choice(70, 250, 250, 30);
  historyLaterChoice = new Fl_Choice(400, 250, 250, 30);
  for (Fl_Choice* choice : {historyEarlierChoice, historyLaterChoice}) {
    choice->labelsize(18);
    choice->textsize(16);
    choice->callback(showComparison);
  }
  for (int slot = 0; slot < 2; ++slot) {
    historyPictureBoxes[slot] = new Fl_Box(FL_FLAT_BOX, 10 + 330 * slot, 300, 320, 365, "");
    historyPictureBoxes[slot]->align(FL_ALIGN_INSIDE | FL_ALIGN_TOP | FL_ALIGN_IMAGE_OVER_TEXT);
    historyPictureBoxes[slot]->labelsize(16);
  }
  historyDifferenceList = new Fl_Browser(670, 250, 520, 530);
  historyDifferenceList->textsize(16);
  static const int kColumns[] = {170, 110, 110, 110, 0};
  historyDifferenceList->column_widths(kColumns);
  historyWindow->end();
}

}  // namespace

void openHistoryWindow() {
  if (historyWindow == nullptr) buildHistoryWindow();
  Shown& s = shown();
  s.simplified = languageChoice != nullptr && languageChoice->value() == 1;
  const std::string id = textOf(idInput), phone = textOf(phoneInput);
  const std::string folder = pressureView != nullptr && !pressureView->startDirectory.empty()
                                 ? pressureView->startDirectory
                                 : ".";
  s.history = report::findCustomerHistory(folder, id, phone);
  s.figures.clear();
  for (const report::Visit& visit : s.history.visits) {
    s.figures.push_back(report::figuresOfVisit(
        visit, pressureView != nullptr ? pressureView->colourTable : nullptr));
  }
  s.title = (s.simplified ? "历史  ID " : "歷史  ID ") + id +
            (s.simplified ? "  电话 " : "  電話 ") + phone;
  historyWindow->label(s.title.c_str());
  historyEarlierChoice->label(s.simplified ? "前次" : "前次");
  historyLaterChoice->label(s.simplified ? "后次" : "後次");

  historyVisitList->clear();
  historyEarlierChoice->menu(nullptr);
  historyLaterChoice->menu(nullptr);
  s.labels = report::visitLabels(s.history.visits);
  s.items.assign(s.labels.size() + 1, Fl_Menu_Item{});
  for (size_t i = 0; i < s.history.visits.size(); ++i) {
    historyVisitList->add(
        ("@." + report::visitLine(s.labels[i], s.history.visits[i], s.figures[i], s.simplified))
            .c_str());
    s.items[i].text = s.labels[i].c_str();
  }
  historyEarlierChoice->menu(s.items.data());
  historyLaterChoice->menu(s.items.data());
  for (const report::DatabaseRow& row : s.history.unreadable) {
    historyVisitList->add(("@C1@." + report::unreadableLine(row, s.simplified)).c_str());
  }
  if (s.history.visits.empty()) {
    historyVisitList->add(s.simplified ? "找不到这位客户的检测记录" : "找不到這位客戶的檢測記錄");
  }
  // The latest visit against the one before it.
  const int count = static_cast<int>(s.history.visits.size());
  historyLaterChoice->value(count > 0 ? 0 : -1);
  historyEarlierChoice->value(count > 1 ? 1 : (count > 0 ? 0 : -1));
  showComparison();
  historyWindow->show();
}

void historyButtonCallback(Fl_Widget*, void*) { openHistoryWindow(); }
