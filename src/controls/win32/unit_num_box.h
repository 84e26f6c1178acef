// The number box window class "KPV60_UnitNumBox": an edit field with a spin
// button on its right that hold a value between a minimum and a maximum,
// optionally shown in a unit. It notifies its parent with WM_COMMAND: the
// control id in the low word, its window as lParam, and in the high word
// 0x100 (field gained the focus), 0x200 (lost it) or 0x300 (value changed).
#pragma once

#include <windows.h>

#include <cstdint>

#include "controls/units.h"

namespace quiltora {

constexpr WORD kNumBoxFocusGained = 0x100;
constexpr WORD kNumBoxFocusLost = 0x200;
constexpr WORD kNumBoxChanged = 0x300;
constexpr int kNumBoxEditId = 1;
constexpr UINT_PTR kNumBoxChangeTimer = 2;

LRESULT CALLBACK UnitNumBoxWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Minimum, maximum and value are given in displayed units and stored times
// the scale; the step index starts at 0 and notifications start here.
void UnitNumBoxSetup(HWND dialog, int id, double minimum, double maximum, double value, int32_t unitKind,
                     int32_t unitFamily, int32_t displayUnit, double scale);
void UnitNumBoxSetStepMode(HWND dialog, int id, int32_t index);
void UnitNumBoxSetValue(HWND dialog, int id, double value);
void UnitNumBoxSetIntValue(HWND dialog, int id, int32_t value);
void UnitNumBoxSetPrecision(HWND dialog, int id, int32_t precision);
// The field's text read, limited to the range, divided by the scale.
double UnitNumBoxGetValue(HWND dialog, int id);
int32_t UnitNumBoxGetIntValue(HWND dialog, int id);
// Bit 0 set: every spin step notifies at once.
void UnitNumBoxSetNotifyEveryStep(HWND dialog, int id, int32_t flags);

// The locale's number conventions, read once.
const NumberLocale& UserNumberLocale();

// Unit pickers: fill a combo box (kUnitPickerCombo) or list box
// (kUnitPickerList) with the names of units (a list ended by -1), or set a
// window's text to the first unit's name (kUnitPickerText).
constexpr int kUnitPickerCombo = 8;
constexpr int kUnitPickerList = 16;
constexpr int kUnitPickerText = 32;
void FillUnitPicker(HWND picker, const int32_t* units, int mode);
int32_t PickedUnit(HWND picker, int mode);
void PickUnit(HWND picker, int mode, int32_t unit);

}  // namespace quiltora
