#pragma once
// Which commands of the main window are usable when. The state is nothing
// but the controls' enabled flags; these sequences are the only writers, and
// they run in a fixed order so focus moves the same way every time.

#include <QRect>

namespace gui {

class Form1;

// Where the add-files hint goes, in twips: sized from the "Files to convert:"
// caption and set just below the list's column headers.
QRect hintGeometryTwips(const QRect& label1Twips, const QRect& listTwips);

// Timer1: hint shown only over an empty list, and placed on every tick.
void UpdateAddFilesHint(Form1& form);
// Timer2: the eight commands that need at least one row.
void UpdateListCommands(Form1& form);

void EnterBusyForPreview(Form1& form);
void EnterBusyForConversion(Form1& form);
void LeaveBusy(Form1& form);
void EndConversionBusy(Form1& form);

}  // namespace gui
