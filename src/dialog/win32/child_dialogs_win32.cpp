// The two small dialogs over the main dialog: the Symmetry picker (1001) and
// Select an Area (1002) with its pane. The choices and the area's movement
// are SymmetryPickerModel's and AreaPaneModel's; this file only routes and draws.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>

#include "controls/win32/controls_library.h"
#include "dialog/area_pane.h"
#include "dialog/symmetry_picker.h"
#include "dialog/win32/dialog_win32.h"
#include "host/parameters.h"
#include "image/image_buffer.h"
#include "resources/resource_ids.h"

namespace quiltora {
namespace {

// ---- The Symmetry picker ----

struct PickerWindows {
  SymmetryPickerModel* model = nullptr;
  WNDPROC pictureProc = nullptr;  // the seventeen statics share one class and so one procedure
};
PickerWindows gPicker;

void RepaintPicture(HWND dialog, int32_t id) {
  if (id == 0) return;
  HWND picture = GetDlgItem(dialog, id);
  InvalidateRect(picture, nullptr, FALSE);
  UpdateWindow(picture);
}

void RepaintPictures(HWND dialog, const Repaint& repaint) {
  RepaintPicture(dialog, repaint.first);
  RepaintPicture(dialog, repaint.second);
}

void PaintPicture(HWND picture) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(picture, &paint);
  RECT client{};
  GetClientRect(picture, &client);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(LTGRAY_BRUSH));
  // The null pen leaves the right and bottom edge out: one more each way fills it all.
  Rectangle(dc, client.left, client.top, client.right + 1, client.bottom + 1);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);

  const int id = GetDlgCtrlID(picture);
  HBITMAP icon = SymmetryIcon(SymmetryOfPicture(id));
  BITMAP size{};
  if (icon != nullptr && GetObjectA(icon, sizeof size, &size) != 0) {
    const PictureDrawing drawing = LayOutPicture(client.right, client.bottom, size.bmWidth, size.bmHeight);
    HDC memory = CreateCompatibleDC(dc);
    if (memory != nullptr) {
      HGDIOBJ previous = SelectObject(memory, icon);
      BitBlt(dc, drawing.iconAt.x, drawing.iconAt.y, std::min<int>(client.right, size.bmWidth),
             std::min<int>(client.bottom, size.bmHeight), memory, 0, 0, SRCCOPY);
      SelectObject(memory, previous);
      DeleteDC(memory);
    }
    if (gPicker.model != nullptr && gPicker.model->chosen() == id) {
      HPEN blue = CreatePen(PS_SOLID, 2, RGB(0, 0, 255));
      if (blue != nullptr) {
        HGDIOBJ pen = SelectObject(dc, blue);
        HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, drawing.frame.left, drawing.frame.top, drawing.frame.right, drawing.frame.bottom);
        SelectObject(dc, pen);
        SelectObject(dc, brush);
        DeleteObject(blue);
      }
    }
  }
  EndPaint(picture, &paint);
}

bool InClient(HWND window, LPARAM lParam) {
  RECT client{};
  GetClientRect(window, &client);
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  return PtInRect(&client, point) != FALSE;
}

LRESULT CALLBACK PickerPictureProc(HWND picture, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND dialog = GetParent(picture);
  const int id = GetDlgCtrlID(picture);
  switch (message) {
    case WM_PAINT: PaintPicture(picture); return 1;
    case WM_LBUTTONDOWN:
      if (gPicker.model != nullptr) RepaintPictures(dialog, gPicker.model->Press(id, InClient(picture, lParam)));
      break;
    case WM_MOUSEMOVE:
      if (gPicker.model != nullptr)
        RepaintPictures(dialog, gPicker.model->Move(id, InClient(picture, lParam), (wParam & MK_LBUTTON) != 0));
      break;
    case WM_LBUTTONUP:
      if (gPicker.model != nullptr) gPicker.model->Release();
      break;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    // A static lets the mouse through to its parent unless told otherwise.
    case WM_NCHITTEST: return DefWindowProcA(picture, message, wParam, lParam);
    default: break;
  }
  return CallWindowProcA(gPicker.pictureProc, picture, message, wParam, lParam);
}

ParameterBlock* BlockOfOwner(HWND dialog) {
  HWND owner = GetWindow(dialog, GW_OWNER);
  auto* record = reinterpret_cast<plugin::FilterRecord*>(GetWindowLongPtrA(owner, DWLP_USER));
  return record != nullptr ? LockParameters(record) : nullptr;
}

INT_PTR CALLBACK SymmetryPickerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      HWND owner = GetWindow(dialog, GW_OWNER);
      auto* record = reinterpret_cast<plugin::FilterRecord*>(GetWindowLongPtrA(owner, DWLP_USER));
      HWND host = nullptr;
      if (record != nullptr && record->platformData != nullptr)
        host = reinterpret_cast<HWND>(static_cast<plugin::PlatformData*>(record->platformData)->hwnd);
      // The anchor is the host's window, not the owner: the picker is centred over the main dialog.
      PlaceDialog(dialog, host);
      SetLibraryFont(dialog);
      for (int id = kFirstPictureId; id <= kLastPictureId; ++id)
        gPicker.pictureProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(GetDlgItem(dialog, id), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PickerPictureProc)));
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: {
          ParameterBlock* block = BlockOfOwner(dialog);
          if (block != nullptr && gPicker.model != nullptr) block->symmetry = gPicker.model->Accept();
          EndDialog(dialog, 1);
          return TRUE;
        }
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        default: return FALSE;
      }
    case UM_GET_CHOICE:
      if (lParam != 0 && gPicker.model != nullptr) *reinterpret_cast<int*>(lParam) = gPicker.model->chosen();
      return TRUE;
    case UM_SET_CHOICE:
      if (gPicker.model != nullptr) RepaintPictures(dialog, gPicker.model->Set(int32_t(lParam)));
      return TRUE;
    default: return FALSE;
  }
}

// ---- Select an Area ----

struct AreaWindows {
  AreaPaneModel pane;
  IntRect working{};  // the area as the pane last reported it
  WNDPROC paneProc = nullptr;
  HBITMAP picture = nullptr;  // the loaded picture at its size in the pane
  HCURSOR savedCursor = nullptr;
};
AreaWindows* gArea = nullptr;

// The loaded picture scaled once into a bitmap of the size it is shown at.
HBITMAP ScaledPicture(HWND pane, const ImageBuffer& picture, int width, int height) {
  if (picture.format != kFormatBGR24 || width <= 0 || height <= 0) return nullptr;
  HDC screen = GetDC(pane);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HDC memory = bitmap != nullptr ? CreateCompatibleDC(screen) : nullptr;
  if (memory != nullptr) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;  // top row first, as the buffer holds it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(memory, HALFTONE);
    SetBrushOrgEx(memory, 0, 0, nullptr);
    StretchDIBits(memory, 0, 0, width, height, 0, 0, picture.width, picture.height, picture.pixels, &info,
                  DIB_RGB_COLORS, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
  }
  ReleaseDC(pane, screen);
  return bitmap;
}

// The whole pane, drawn off screen and copied at once, so the moving frame
// leaves no trace: the face colour, the picture, its black frame and the
// area's frame inverted over the picture.
void DrawAreaPane(HWND pane, HDC dc) {
  RECT client{};
  GetClientRect(pane, &client);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP canvas = memory != nullptr ? CreateCompatibleBitmap(dc, client.right, client.bottom) : nullptr;
  if (canvas == nullptr) {
    if (memory != nullptr) DeleteDC(memory);
    return;
  }
  HGDIOBJ previousCanvas = SelectObject(memory, canvas);
  FillRect(memory, &client, GetSysColorBrush(COLOR_BTNFACE));
  if (gArea != nullptr && gArea->pane.open()) {
    const IntRect& place = gArea->pane.place();
    if (gArea->picture != nullptr) {
      HDC source = CreateCompatibleDC(dc);
      HGDIOBJ previous = SelectObject(source, gArea->picture);
      BitBlt(memory, place.left, place.top, place.right - place.left, place.bottom - place.top, source, 0, 0, SRCCOPY);
      SelectObject(source, previous);
      DeleteDC(source);
    }
    HGDIOBJ pen = SelectObject(memory, GetStockObject(BLACK_PEN));
    HGDIOBJ brush = SelectObject(memory, GetStockObject(NULL_BRUSH));
    Rectangle(memory, place.left - 1, place.top - 1, place.right + 1, place.bottom + 1);
    const IntRect& frame = gArea->pane.frame();
    const int oldMode = SetROP2(memory, R2_NOT);
    Rectangle(memory, frame.left, frame.top, frame.right, frame.bottom);
    SetROP2(memory, oldMode);
    SelectObject(memory, pen);
    SelectObject(memory, brush);
  }
  BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, previousCanvas);
  DeleteObject(canvas);
  DeleteDC(memory);
}

void RedrawAreaPane(HWND pane) {
  HDC dc = GetDC(pane);
  if (dc == nullptr) return;
  DrawAreaPane(pane, dc);
  ReleaseDC(pane, dc);
}

LRESULT CALLBACK AreaPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  if (gArea == nullptr) return DefWindowProcA(pane, message, wParam, lParam);
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_INITDIALOG: {
      // The pane sets itself up from the block, with the preview and the loaded picture there.
      const auto* block = reinterpret_cast<const ParameterBlock*>(lParam);
      const ImageBuffer* picture = block != nullptr ? ImageFromRef(block->loadedSource) : nullptr;
      if (block == nullptr || picture == nullptr || ImageFromRef(block->previewImage) == nullptr) return 0;
      RECT client{};
      GetClientRect(pane, &client);
      if (gArea->pane.Open(client.right, client.bottom, picture->width, picture->height, block->sourceArea)) {
        const IntRect& place = gArea->pane.place();
        gArea->picture = ScaledPicture(pane, *picture, place.right - place.left, place.bottom - place.top);
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
      if (gArea->pane.Press(IntPoint{point.x, point.y})) {
        SetCapture(pane);
        gArea->savedCursor =
            SetCursor(gDialog.hoverCursor != nullptr ? gDialog.hoverCursor : LoadCursor(nullptr, IDC_SIZEALL));
      }
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == pane && gArea->pane.Move(IntPoint{point.x, point.y})) RedrawAreaPane(pane);
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: {
      IntRect area{};
      if (!gArea->pane.Release(&area)) return 0;
      if (message == WM_LBUTTONUP) ReleaseCapture();
      SetCursor(gArea->savedCursor);
      SendMessageA(GetParent(pane), UM_AREA_CHANGED, 0, reinterpret_cast<LPARAM>(&area));
      return 0;
    }
    case WM_SETCURSOR:
      if (gArea->pane.dragging()) return TRUE;  // the move cursor stays while the area moves
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(pane, &paint);
      DrawAreaPane(pane, dc);
      EndPaint(pane, &paint);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCHITTEST: return DefWindowProcA(pane, message, wParam, lParam);
    case WM_DESTROY:
      if (gArea->picture != nullptr) DeleteObject(gArea->picture);
      gArea->picture = nullptr;
      break;
    default: break;
  }
  return CallWindowProcA(gArea->paneProc, pane, message, wParam, lParam);
}

INT_PTR CALLBACK AreaDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* block = reinterpret_cast<ParameterBlock*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      SetLibraryFont(dialog);
      HWND pane = GetDlgItem(dialog, IDC_AREA_PANE);
      gArea->paneProc =
          reinterpret_cast<WNDPROC>(SetWindowLongPtrA(pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AreaPaneProc)));
      AreaPaneProc(pane, WM_INITDIALOG, wParam, lParam);
      PlaceDialog(dialog, GetWindow(dialog, GW_OWNER));
      gArea->working = reinterpret_cast<ParameterBlock*>(lParam)->sourceArea;
      return FALSE;
    }
    case UM_AREA_CHANGED:
      if (lParam != 0) gArea->working = *reinterpret_cast<const IntRect*>(lParam);
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          if (block != nullptr) block->sourceArea = gArea->working;
          EndDialog(dialog, 1);
          return FALSE;
        case IDCANCEL: EndDialog(dialog, 0); return FALSE;
        default: return FALSE;
      }
    default: return FALSE;
  }
}

}  // namespace

int16_t RunSymmetryPicker(HWND mainDialog) {
  ParameterBlock* block = LockParameters(gDialog.record);
  SymmetryPickerModel model(block != nullptr ? block->symmetry : 0);
  gPicker = PickerWindows{&model, nullptr};
  const INT_PTR ended =
      DialogBoxParamA(DialogInstance(), MAKEINTRESOURCEA(IDD_SYMMETRY), mainDialog, SymmetryPickerProc, 0);
  gPicker = PickerWindows{};
  if (ended == 1) {
    RedrawWindow(mainDialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return 1;
  }
  return int16_t(ended);
}

bool RunAreaDialog(HWND mainDialog, ParameterBlock* block) {
  AreaWindows windows;
  gArea = &windows;
  const INT_PTR ended = DialogBoxParamA(DialogInstance(), MAKEINTRESOURCEA(IDD_SELECT_AREA), mainDialog, AreaDialogProc,
                                        reinterpret_cast<LPARAM>(block));
  gArea = nullptr;
  return ended == 1;
}

}  // namespace quiltora
