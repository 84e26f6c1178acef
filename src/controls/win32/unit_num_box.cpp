#include "controls/win32/unit_num_box.h"

#include <cmath>
#include <new>
#include <string>

#include "controls/win32/control_timers.h"
#include "controls/win32/controls_library.h"
#include "controls/win32/spin_button.h"
#include "controls/win32/uiutil.h"
#include "image/ripmem.h"
#include "platform/platform.h"
#include "resources/resource_ids.h"

namespace quiltora {
namespace {

constexpr int kSpinId = 2;

struct NumBoxData {
  NumberBoxValues values;
  HWND edit = nullptr;
  HWND spin = nullptr;
  bool textChanged = false;
  int32_t notifyEveryStep = 0;
  bool reportEditChanges = true;  // off while the box writes its own text
  bool notificationsEnabled = false;
};

WNDPROC gEditPrevious = nullptr;

NumBoxData* DataOf(HWND box) { return reinterpret_cast<NumBoxData*>(GetWindowLongPtrA(box, 0)); }

HWND FindBox(HWND dialog, int id) { return FindLibraryControl(dialog, id, kUnitNumBoxClassName); }

void Notify(HWND box, const NumBoxData& data, WORD code) {
  if (!data.notificationsEnabled) return;
  SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), code), reinterpret_cast<LPARAM>(box));
}

std::string FieldText(const NumBoxData& data) {
  int length = GetWindowTextLengthA(data.edit);
  std::string text(size_t(length) + 1, '\0');
  GetWindowTextA(data.edit, text.data(), length + 1);
  text.resize(size_t(length));
  return text;
}

void StoreValue(NumBoxData* data, double value) {
  data->values.value = ClampNumber(value, data->values);
  data->reportEditChanges = false;
  SetWindowTextA(data->edit, NumberBoxText(data->values, UserNumberLocale()).c_str());
  data->reportEditChanges = true;
}

void OnSpinStep(HWND box, NumBoxData* data, bool up, int steps) {
  double from = data->values.value;
  if (data->textChanged) {
    double typed = 0;
    if (NumberBoxParse(FieldText(*data), data->values, UserNumberLocale(), &typed)) from = typed;
    data->textChanged = false;
  }
  StoreValue(data, NumberBoxStepped(data->values, from, up, steps));
  if (data->notifyEveryStep & 1) Notify(box, *data, kNumBoxChanged);
  StartControlTimer(box, kNumBoxChangeTimer, 500);
}

void OnEditNotification(HWND box, NumBoxData* data, WORD code) {
  switch (code) {
    case EN_SETFOCUS: Notify(box, *data, kNumBoxFocusGained); break;
    case EN_KILLFOCUS: {
      double typed = 0;
      if (NumberBoxParse(FieldText(*data), data->values, UserNumberLocale(), &typed)) StoreValue(data, typed);
      data->textChanged = false;
      Notify(box, *data, kNumBoxFocusLost);
      break;
    }
    case EN_CHANGE:
      if (!data->reportEditChanges) break;
      data->textChanged = true;
      Notify(box, *data, kNumBoxChanged);
      break;
    default: break;
  }
}

// Drops every character the box cannot hold, with the default beep.
LRESULT CALLBACK FilteredEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR && wParam != VK_BACK && GetKeyState(VK_CONTROL) >= 0) {
    NumBoxData* data = DataOf(GetParent(edit));
    if (data != nullptr && !NumberBoxAcceptsCharacter(static_cast<char>(wParam), data->values)) {
      MessageBeep(0);
      return 0;
    }
  }
  return CallWindowProcA(gEditPrevious, edit, message, wParam, lParam);
}

LRESULT OnCreate(HWND box) {
  auto* data = new (std::nothrow) NumBoxData;
  if (data == nullptr) return -1;
  SetWindowLongPtrA(box, 0, reinterpret_cast<LONG_PTR>(data));
  RECT client{};
  GetClientRect(box, &client);
  BaseUnits units{};
  GetLibraryBaseUnits(&units);
  int spinWidth = 2 * units.x;
  HINSTANCE instance = ControlsInstance();
  data->edit = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0,
                               client.right - spinWidth, client.bottom, box,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kNumBoxEditId)), instance, nullptr);
  data->spin =
      CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, client.right - spinWidth, 0, spinWidth, client.bottom,
                      box, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSpinId)), instance, nullptr);
  if (data->edit == nullptr || data->spin == nullptr || !MakeSpinButton(data->spin, true, false)) {
    SetWindowLongPtrA(box, 0, 0);
    delete data;
    return -1;
  }
  WNDPROC previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(data->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FilteredEditProc)));
  if (gEditPrevious == nullptr) gEditPrevious = previous;
  if (LRESULT font = SendMessageA(GetParent(box), WM_GETFONT, 0, 0)) SendMessageA(data->edit, WM_SETFONT, font, FALSE);
  if (!IsWindowEnabled(box)) {  // created disabled: no WM_ENABLE will come
    EnableWindow(data->edit, FALSE);
    EnableWindow(data->spin, FALSE);
  }
  StoreValue(data, data->values.value);
  return 0;
}

std::string UnitName(int32_t unit) {
  if (unit > 0) return "";
  char name[64] = {};
  platform::LoadModuleString(IDS_UNIT_NAME_FIRST + 3 * unit, name, sizeof name);
  return name;
}

}  // namespace

LRESULT CALLBACK UnitNumBoxWindowProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) return OnCreate(box);
  NumBoxData* data = DataOf(box);
  if (data == nullptr) return DefWindowProcA(box, message, wParam, lParam);
  switch (message) {
    case WM_DESTROY:
      StopControlTimer(box, kNumBoxChangeTimer);
      SetWindowLongPtrA(box, 0, 0);
      delete data;
      return 0;
    case WM_SETFOCUS: SetFocus(data->edit); return 0;
    case WM_SETFONT: SendMessageA(data->edit, WM_SETFONT, wParam, lParam); return 0;
    case WM_ENABLE:
      EnableWindow(data->edit, static_cast<BOOL>(wParam));
      EnableWindow(data->spin, static_cast<BOOL>(wParam));
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kNumBoxEditId) OnEditNotification(box, data, HIWORD(wParam));
      return 0;
    case WM_VSCROLL:
      if (LOWORD(wParam) == SB_LINEUP || LOWORD(wParam) == SB_LINEDOWN) {
        OnSpinStep(box, data, LOWORD(wParam) == SB_LINEUP, HIWORD(wParam) + 1);
      } else if (LOWORD(wParam) == SB_ENDSCROLL) {
        StopControlTimer(box, kNumBoxChangeTimer);
        Notify(box, *data, kNumBoxChanged);
      }
      return 0;
    case WM_TIMER:
      if (wParam != kNumBoxChangeTimer) break;
      StopControlTimer(box, kNumBoxChangeTimer);
      Notify(box, *data, kNumBoxChanged);
      return 0;
    default: break;
  }
  return DefWindowProcA(box, message, wParam, lParam);
}

void UnitNumBoxSetup(HWND dialog, int id, double minimum, double maximum, double value, int32_t unitKind,
                     int32_t unitFamily, int32_t displayUnit, double scale) {
  HWND box = FindBox(dialog, id);
  if (box == nullptr) return;
  if (maximum < minimum) {
    ReportAssertion("unitnmbx", __LINE__);
    return;
  }
  NumBoxData* data = DataOf(box);
  NumberBoxValues& v = data->values;
  v.scale = scale;
  v.minimum = minimum * scale;
  v.maximum = maximum * scale;
  v.unitKind = unitKind;
  v.unitFamily = unitFamily;
  v.displayUnit = displayUnit;
  v.stepIndex = 0;
  data->notificationsEnabled = true;
  StoreValue(data, value * scale);
}

void UnitNumBoxSetStepMode(HWND dialog, int id, int32_t index) {
  if (HWND box = FindBox(dialog, id)) {
    NumBoxData* data = DataOf(box);
    data->values.stepIndex = NumberBoxStepIndex(data->values, index);
  }
}

void UnitNumBoxSetValue(HWND dialog, int id, double value) {
  if (HWND box = FindBox(dialog, id)) StoreValue(DataOf(box), value);
}

void UnitNumBoxSetIntValue(HWND dialog, int id, int32_t value) { UnitNumBoxSetValue(dialog, id, value); }

void UnitNumBoxSetPrecision(HWND dialog, int id, int32_t precision) {
  if (HWND box = FindBox(dialog, id)) {
    NumBoxData* data = DataOf(box);
    data->values.precision = precision;
    StoreValue(data, data->values.value);
  }
}

double UnitNumBoxGetValue(HWND dialog, int id) {
  HWND box = FindBox(dialog, id);
  if (box == nullptr) return 0.0;
  const NumBoxData* data = DataOf(box);
  double value = data->values.value;
  NumberBoxParse(FieldText(*data), data->values, UserNumberLocale(), &value);
  return ClampNumber(value, data->values) / data->values.scale;
}

int32_t UnitNumBoxGetIntValue(HWND dialog, int id) {
  return static_cast<int32_t>(std::lround(UnitNumBoxGetValue(dialog, id)));
}

void UnitNumBoxSetNotifyEveryStep(HWND dialog, int id, int32_t flags) {
  if (HWND box = FindBox(dialog, id)) DataOf(box)->notifyEveryStep = flags;
}

const NumberLocale& UserNumberLocale() {
  static const NumberLocale locale = [] {
    NumberLocale read;
    char list[8] = {}, decimal[8] = {}, leading[4] = {}, negative[8] = {};
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SLIST, list, sizeof list) ||
        !GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, sizeof decimal) ||
        !GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ILZERO, leading, sizeof leading) ||
        !GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SNEGATIVESIGN, negative, sizeof negative)) {
      platform::DebugOutput("UNIT initialization failed!");
      ReportAssertion("units", __LINE__);
      return read;
    }
    read.listSeparator = list;
    read.decimalSeparator = decimal;
    read.leadingZero = leading[0] == '1';
    read.negativeSign = negative;
    return read;
  }();
  return locale;
}

void FillUnitPicker(HWND picker, const int32_t* units, int mode) {
  if (picker == nullptr || units == nullptr) return;
  if (mode == kUnitPickerText) {
    SetWindowTextA(picker, units[0] != -1 ? UnitName(units[0]).c_str() : "");
    return;
  }
  UINT add = mode == kUnitPickerCombo ? CB_ADDSTRING : LB_ADDSTRING;
  UINT setData = mode == kUnitPickerCombo ? CB_SETITEMDATA : LB_SETITEMDATA;
  for (const int32_t* unit = units; *unit != -1; ++unit) {
    LRESULT index = SendMessageA(picker, add, 0, reinterpret_cast<LPARAM>(UnitName(*unit).c_str()));
    if (index >= 0) SendMessageA(picker, setData, static_cast<WPARAM>(index), *unit);
  }
}

int32_t PickedUnit(HWND picker, int mode) {
  if (mode != kUnitPickerCombo && mode != kUnitPickerList) return -1;
  bool combo = mode == kUnitPickerCombo;
  LRESULT index = SendMessageA(picker, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
  if (index < 0) return -1;
  return static_cast<int32_t>(SendMessageA(picker, combo ? CB_GETITEMDATA : LB_GETITEMDATA, index, 0));
}

void PickUnit(HWND picker, int mode, int32_t unit) {
  if (mode != kUnitPickerCombo && mode != kUnitPickerList) return;
  bool combo = mode == kUnitPickerCombo;
  LRESULT count = SendMessageA(picker, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (SendMessageA(picker, combo ? CB_GETITEMDATA : LB_GETITEMDATA, i, 0) == unit) {
      SendMessageA(picker, combo ? CB_SETCURSEL : LB_SETCURSEL, i, 0);
      return;
    }
  }
}

}  // namespace quiltora
