#pragma once
// Playing the selected source file, and the Stop command shared with the run.

namespace gui {
class Form1;
}

namespace gui {

void Play(gui::Form1& form);
void Stop(gui::Form1& form);
void Timer3Tick(gui::Form1& form);

}  // namespace gui
