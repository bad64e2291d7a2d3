// Fixed image sizes of the imaging chain.
#pragma once

// The analysed pressure canvas: origin bottom-left, rows read back bottom row first.
constexpr int kCanvasWidth = 320;
constexpr int kCanvasHeight = 335;
constexpr int kCanvasPixels = kCanvasWidth * kCanvasHeight;

// The feet share the canvas at its centre column: a column left of it is the left foot's, the
// centre column and every column right of it are the right foot's. Clicks, zones and load
// sums all split the canvas by this one rule.
constexpr int kCanvasHalfWidth = kCanvasWidth / 2;
constexpr bool isLeftFootColumn(int canvasX) { return canvasX < kCanvasHalfWidth; }

// The plate camera's frame: B G R bytes, top row first.
constexpr int kCameraWidth = 640;
constexpr int kCameraHeight = 480;
constexpr int kCameraFrameBytes = kCameraWidth * kCameraHeight * 3;

// Each foot strip of the canvas is this wide; the left strip starts at x 0, the right at 192.
constexpr int kFootStripWidth = 128;
constexpr int kLeftStripX = 0;
constexpr int kRightStripX = 192;
