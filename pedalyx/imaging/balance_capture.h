// When the pressure view copies its colour picture into one of the three balance pictures.
// The operator chooses the low left share with the ratio slider (default 20 %); the high share
// is its complement and the even stance is 50 %. A foot's picture is only taken while its heel
// row carries more than half and its forefoot row more than a quarter of that foot's load, so
// the customer is really standing on it.
#pragma once

enum class BalanceSlot { kNone, kLow, kEven, kHigh };

// What the capture rule looks at, as the main window shows it.
struct BalanceReading {
  bool autoCapture = false;  // "自動截圖"
  double leftShare = 50;     // left share of the load, percent
  double slider = 20;        // ratio slider (low left share), percent
  double zones[12] = {};     // the twelve six-zone fields (rounded as shown)
};

// The picture this frame fills, or kNone. The share is truncated to whole percent; the low
// target is tested first, so with the slider at 50 an even stance fills the low picture.
BalanceSlot balanceCaptureSlot(const BalanceReading& reading);
