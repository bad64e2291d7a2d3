// A working directory of its own per test, and one examination as the station makes it: the
// export, a "Save" and two sway recordings, each written by the station's own writers first.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "pedalyx/report/examination_parts.h"
#include "pedalyx/report/examination_session.h"
#include "pedalyx/report/examination_store.h"
#include "pedalyx/report/report_export.h"
#include "pedalyx/report/report_layout.h"
#include "platform/files.h"

namespace report {

class StoreFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/examination-store-XXXXXX";
    folder = mkdtemp(pattern);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::unique_ptr<ExaminationStore> openStore() {
    std::string error;
    auto store = ExaminationStore::open(folder, error);
    EXPECT_TRUE(store) << error;
    return store;
  }

  // The export's files as the station writes them, named for the phone and minute.
  std::string writeReportFiles(const std::string& phone, const platform::LocalTime& time,
                               uint8_t fill) {
    const std::string name = reportName(phone, time);
    platform::makeDirectory(platform::joinPath(folder, "PDF_INSOLES"));
    platform::makeDirectory(platform::joinPath(folder, "FOOT_PRESSURE"));
    std::vector<uint8_t> picture(kPictureWidth * kPictureHeight * 3, fill);
    EXPECT_TRUE(writePressurePng(picture.data(), platform::joinPath(folder, pngPath(name))));
    EXPECT_TRUE(platform::writeFileAtomic(platform::joinPath(folder, pdfPath(name)),
                                          "%PDF-1.3 report of " + name + "\n%%EOF\n"));
    return name;
  }

  std::string folder;
};

// A recording of `frames` frames whose centre of pressure steps by `step` pixels.
inline SwayRecording swayRecordingOf(SwayCondition condition, double step, int frames) {
  SwayRecorder recorder;
  recorder.start(condition, 10);
  for (int n = 0; n < frames; ++n) {
    const int64_t y = static_cast<int64_t>(100 + step * (n % 2)) * 300000;
    recorder.addFrame(n, n / 30.0, {300000, 60 * 300000, y}, {300000, 250 * 300000, y}, nullptr);
  }
  recorder.stop(SwayStop::SteppedOff);
  return recorder.result(condition);
}

// Every field of the analysis window set, each to a value of its own derived from `k`.
inline MeasurementRecord measurementOf(const std::string& id, double k) {
  MeasurementRecord m;
  m.id = id;
  m.genderItem = 1;
  m.age = 30 + k, m.height = 160 + k, m.weight = 55.5 + k;
  for (int s = 0; s < 2; ++s) {
    m.navicularDrop[s] = 4 + s + k, m.footLength[s] = 240 + s + k, m.footWidth[s] = 90 + s + k;
    m.halluxAngle[s] = 10 + s + k;
    m.archLow[s] = 0.21 + s / 100.0, m.archEven[s] = 0.23 + s / 100.0;
    m.archHigh[s] = 0.25 + s / 100.0;
  }
  for (int z = 0; z < 12; ++z) m.zones[z] = z + 1 + k;
  for (int c = 0; c < 6; ++c) {
    m.caseTexts[c] = "case " + std::to_string(c) + " 左足";
    m.caseLeft[c] = c % 2 == 0, m.caseRight[c] = c % 3 == 0;
  }
  return m;
}

inline ExportFigures exportFiguresOf(const std::string& phone, const std::string& name, double k) {
  ExportFigures e;
  e.customer.phone = phone;
  e.customer.email = "a@b.c";
  e.customer.birthYear = "1990", e.customer.birthMonth = "7", e.customer.gender = "女";
  e.reportName = name;
  for (int s = 0; s < 2; ++s) {
    e.length[s] = 250 + s + k, e.width[s] = 95 + s + k,
    e.archIndex[s] = 0.22 + s / 100.0 + k / 1000;
    e.sizeOrigin[s] = s == 0 ? "measured" : "typed";
    e.archOrigin[s] = s == 0 ? "measured" : "typed";
    e.footType[s] = s == 0 ? "正常足" : "扁平足";
    e.referenceColumn[s] = 1.5f + 4 * s;
  }
  e.shoeType = "穩定型", e.shoeSize = "24.5";
  for (int i = 0; i < 6; ++i) e.shares[i] = 40 + i + k;
  for (int z = 0; z < 12; ++z) e.zones[z] = 2 * z + k;
  for (int f = 0; f < 3; ++f) {
    for (int c = 0; c < 5; ++c) e.levels[f][c] = 10 * f + c + k;
  }
  e.remarks = "備註\n第二行";
  e.pressure.source = PressureSource::Calibrated;
  e.pressure.bodyWeightKg = 70 + k, e.pressure.bodyWeightPercent = 98.5;
  for (int s = 0; s < 2; ++s) {
    FootPressureFigures& foot = e.pressure.feet[s];
    foot.foot = {1000, 114.5 + s, 210, 80.5, 380.25 + s, 95.5, 33.2};
    foot.percentOfBodyWeight = 49 + s;
    foot.zonesMeasured = s == 0;  // the right foot's axis is not placed: no zones of it
    for (int z = 0; z < 6; ++z) foot.zones[z] = {100, 10.5 + z, 200, 60, 40.5 + z, 90.0 - z, 40};
  }
  return e;
}

}  // namespace report
