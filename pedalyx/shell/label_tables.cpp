#include "pedalyx/shell/label_tables.h"

// The foot-size heading is built with its unit, "足型尺寸(mm)", but both forms drop it.
const LabelRow kLabelRows[kLabelRowCount] = {
    {LabelTarget::MainWindowTitle, "足底压力检测仪", "足底壓力檢測儀"},
    {LabelTarget::TakePictureButton, "取图", "取圖"},
    {LabelTarget::CalibrateButton, "校正", "校正"},
    {LabelTarget::ArchToolButton, "足弓指标", "足弓指標"},
    {LabelTarget::LengthToolButton, "量长度", "量長度"},
    {LabelTarget::WidthToolButton, "量宽度", "量寬度"},
    {LabelTarget::AngleToolButton, "量角度", "量角度"},
    {LabelTarget::ClearButton, "清除量测", "清除量測"},
    {LabelTarget::ReportButton, "报表", "報表"},
    {LabelTarget::SizePanelTitle, "足型尺寸", "足型尺寸"},
    {LabelTarget::LeftLengthInput, "左足长", "左足長"},
    {LabelTarget::LeftWidthInput, "左足宽", "左足寬"},
    {LabelTarget::RightLengthInput, "右足长", "右足長"},
    {LabelTarget::RightWidthInput, "右足宽", "右足寬"},
    {LabelTarget::ArchPanelTitle, "足弓指标", "足弓指標"},
    {LabelTarget::LeftArchInput, "左足", "左足"},
    {LabelTarget::RightArchInput, "右足", "右足"},
    {LabelTarget::SharePanelTitle, "压力百分比", "壓力百分比"},
    {LabelTarget::ShareUpperLeftInput, "左上", "左上"},
    {LabelTarget::ShareLowerLeftInput, "左下", "左下"},
    {LabelTarget::ShareUpperRightInput, "右上", "右上"},
    {LabelTarget::ShareLowerRightInput, "右下", "右下"},
    {LabelTarget::ShareLeftInput, "左边", "左邊"},
    {LabelTarget::ShareRightInput, "右边", "右邊"},
    {LabelTarget::RatioPanelTitle, "压力比例分布", "壓力比例分布"},
    {LabelTarget::RatioLeftGroup, "左边", "左邊"},
    {LabelTarget::RatioRightGroup, "右边", "右邊"},
    {LabelTarget::RatioTotalGroup, "总和", "總和"},
    {LabelTarget::ZonePanelTitle, "压力六区分布", "壓力六區分布"},
    {LabelTarget::ZoneLeftTag, "左边", "左邊"},
    {LabelTarget::ZoneRightTag, "右边", "右邊"},
    {LabelTarget::ShoeSizeOutput, "建议选鞋尺寸", "建議選鞋尺寸"},
    {LabelTarget::ShoeTypeOutput, "建议鞋型/鞋垫", "建議鞋型/鞋墊"},
    {LabelTarget::ReferenceLineButton, "参考线", "參考線"},
    {LabelTarget::RemarksButton, "备注", "備註"},
    {LabelTarget::CrosshairButton, "十字线", "十字線"},
    {LabelTarget::ArchToolHint, "足弓指标：先点脚跟后缘中央，再点第二趾根部（前掌前缘，不含脚趾）",
     "足弓指標：先點腳跟後緣中央，再點第二趾根部（前掌前緣，不含腳趾）"},
    {LabelTarget::HistoryButton, "历史", "歷史"},
    {LabelTarget::SwayButton, "重心摇摆", "重心搖擺"},
};

const char* labelText(const LabelRow& row, Language language) {
  return language == Language::Simplified ? row.simplified : row.traditional;
}
