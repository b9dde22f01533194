#pragma once
// The batch run over the main window's list: every row in turn, decoded and
// pulled through the encoder of the chosen format, its outcome written into
// the row's status.

namespace ui {
class Form1;
}

namespace convert {

inline constexpr char kProcessing[] = "Processing...";
inline constexpr char kConverted[] = "Converted.";
inline constexpr char kTerminated[] = "Terminated.";
inline constexpr char kFailed[] = "Failed.";

void RunConversion(ui::Form1& form);

}  // namespace convert
