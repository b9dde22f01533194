#pragma once
// Playing the selected source file, and the Stop command shared with the run.

namespace ui {
class Form1;
}

namespace preview {

void Play(ui::Form1& form);
void Stop(ui::Form1& form);
void Timer3Tick(ui::Form1& form);

}  // namespace preview
