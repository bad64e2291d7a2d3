// Every control whose label follows the language choice, once: the type and name of its
// handle, its Traditional text, its Simplified text. The handle (station/handles.h), the label
// table and the lookup that relabels the control (shell/label_tables.h, shell/labels_ui.cpp)
// are all made from this list, so a new labelled control is one line here plus its creation.
// Builders create these controls without a text: buildStation() applies the language.
// Controls point at these strings directly, so they are constants that live for the whole run.
#pragma once

// clang-format off
#define PEDALYX_LABELLED_CONTROLS(X) \
  /* The main window: its title, the tool bar and the result panels. */ \
  X(Fl_Double_Window, mainWindow, "足底壓力檢測儀", "足底压力检测仪") \
  X(Fl_Button, takePictureButton, "取圖", "取图") \
  X(Fl_Button, calibrateButton, "校正", "校正") \
  X(Fl_Button, archToolButton, "足弓指標", "足弓指标") \
  X(Fl_Button, lengthToolButton, "量長度", "量长度") \
  X(Fl_Button, widthToolButton, "量寬度", "量宽度") \
  X(Fl_Button, angleToolButton, "量角度", "量角度") \
  X(Fl_Button, clearButton, "清除量測", "清除量测") \
  X(Fl_Button, reportButton, "報表", "报表") \
  X(Fl_Text_Display, sizePanelTitle, "足型尺寸", "足型尺寸") \
  X(Fl_Value_Input, leftLengthInput, "左足長", "左足长") \
  X(Fl_Value_Input, leftWidthInput, "左足寬", "左足宽") \
  X(Fl_Value_Input, rightLengthInput, "右足長", "右足长") \
  X(Fl_Value_Input, rightWidthInput, "右足寬", "右足宽") \
  X(Fl_Text_Display, archPanelTitle, "足弓指標", "足弓指标") \
  X(Fl_Value_Input, leftArchInput, "左足", "左足") \
  X(Fl_Value_Input, rightArchInput, "右足", "右足") \
  X(Fl_Text_Display, sharePanelTitle, "壓力百分比", "压力百分比") \
  X(Fl_Value_Input, shareUpperLeftInput, "左上", "左上") \
  X(Fl_Value_Input, shareLowerLeftInput, "左下", "左下") \
  X(Fl_Value_Input, shareUpperRightInput, "右上", "右上") \
  X(Fl_Value_Input, shareLowerRightInput, "右下", "右下") \
  X(Fl_Value_Input, shareLeftInput, "左邊", "左边") \
  X(Fl_Value_Input, shareRightInput, "右邊", "右边") \
  X(Fl_Text_Display, ratioPanelTitle, "壓力比例分布", "压力比例分布") \
  X(Fl_Group, ratioLeftGroup, "左邊", "左边") \
  X(Fl_Group, ratioRightGroup, "右邊", "右边") \
  X(Fl_Group, ratioTotalGroup, "總和", "总和") \
  X(Fl_Text_Display, zonePanelTitle, "壓力六區分布", "压力六区分布") \
  X(Fl_Output, zoneLeftTag, "左邊", "左边") \
  X(Fl_Output, zoneRightTag, "右邊", "右边") \
  X(Fl_Output, shoeSizeOutput, "建議選鞋尺寸", "建议选鞋尺寸") \
  X(Fl_Output, shoeTypeOutput, "建議鞋型/鞋墊", "建议鞋型/鞋垫") \
  X(Fl_Button, referenceLineButton, "參考線", "参考线") \
  X(Fl_Button, remarksButton, "備註", "备注") \
  X(Fl_Round_Button, crosshairButton, "十字線", "十字线") \
  /* The line under the pressure view, shown while the arch-index tool is chosen. */ \
  X(Fl_Box, archToolHint, \
    "足弓指標：先點腳跟後緣中央，再點第二趾根部（前掌前緣，不含腳趾）", \
    "足弓指标：先点脚跟后缘中央，再点第二趾根部（前掌前缘，不含脚趾）") \
  /* The central database's line in the main window; the sender's state follows as it changes. */ \
  X(Fl_Box, centralStatusBox, "中央資料庫", "中央数据库") \
  /* The analysis window's buttons that follow the language; its other labels stay. */ \
  X(Fl_Button, historyButton, "歷史", "历史") \
  X(Fl_Button, swayButton, "重心搖擺", "重心摇摆") \
  X(Fl_Button, pressureButton, "足底壓力", "足底压力") \
  X(Fl_Button, walkButton, "步態分析", "步态分析") \
  /* The walking window: its title and controls; its other texts follow the choice as drawn. */ \
  X(Fl_Double_Window, walkWindow, "步態分析", "步态分析") \
  X(Fl_Value_Slider, walkSecondsSlider, "記錄時間(秒)", "记录时间(秒)") \
  X(Fl_Button, walkStartButton, "開始", "开始") \
  X(Fl_Button, walkStopButton, "停止", "停止") \
  X(Fl_Check_Button, walkDropCheck, "剔除這一步", "剔除这一步") \
  X(Fl_Check_Button, walkSwapCheck, "換到另一足", "换到另一足")
// clang-format on
