#pragma once

namespace platform {

// Points the toolkit's sans-serif faces at a font family that holds Traditional Chinese, so
// that every label of both programs renders. Leaves the faces alone when none is installed.
void useChineseCapableFonts();

}  // namespace platform
