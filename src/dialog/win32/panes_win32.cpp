// The main dialog's three panes on Windows: the source pane with the
// selection outline, the result pane with the pattern drag, and the tile
// preview. Each replaces a standard control's procedure, routes the mouse
// to MainDialogModel and draws the pictures the model keeps.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>

#include "composite/tile_image.h"
#include "controls/win32/controls_library.h"
#include "dialog/pane_layout.h"
#include "dialog/pane_pictures.h"
#include "dialog/win32/dialog_win32.h"
#include "image/image_buffer.h"
#include "image/win32/draw_image_buffer.h"
#include "symmetry/outline.h"

namespace quiltora {
namespace {

IntPoint PointOf(LPARAM lParam) { return IntPoint{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

ParameterBlock* Block() { return gDialog.model != nullptr ? gDialog.model->block() : nullptr; }

void Line(HDC dc, HPEN pen, std::initializer_list<POINT> points) {
  HGDIOBJ previous = SelectObject(dc, pen);
  const POINT* p = points.begin();
  MoveToEx(dc, p->x, p->y, nullptr);
  for (++p; p != points.end(); ++p) LineTo(dc, p->x, p->y);
  SelectObject(dc, previous);
}

// The face-coloured bands between the frame's inside and the picture. A
// rectangle without a pen stops a pixel short of its right and bottom: the
// +1 makes the bands meet the picture.
void FillBands(HDC dc, const RECT& inner, const IntRect& picture) {
  HGDIOBJ brush = SelectObject(dc, GetFaceBrush());
  HGDIOBJ pen = SelectObject(dc, GetStockObject(NULL_PEN));
  Rectangle(dc, inner.left, inner.top, inner.right + 1, picture.top + 1);
  Rectangle(dc, inner.left, picture.bottom, inner.right + 1, inner.bottom + 1);
  Rectangle(dc, inner.left, inner.top, picture.left + 1, inner.bottom + 1);
  Rectangle(dc, picture.right, inner.top, inner.right + 1, inner.bottom + 1);
  SelectObject(dc, pen);
  SelectObject(dc, brush);
}

// A one-pixel black line over (left, top) .. (right - 1, bottom - 1).
void BlackFrame(HDC dc, int left, int top, int right, int bottom) {
  HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  HGDIOBJ pen = SelectObject(dc, GetStockObject(BLACK_PEN));
  Rectangle(dc, left, top, right, bottom);
  SelectObject(dc, pen);
  SelectObject(dc, brush);
}

// Draws a whole buffer into (left, top) .. (left + width - 1, top + height - 1);
// the buffer's first row is the bottom one.
void DrawPicture(HDC dc, const ImageBuffer* picture, int left, int top, int width, int height) {
  const IntRect device{left, top, left + width - 1, top + height - 1};
  DrawImageBuffer(dc, picture, &device, nullptr);
}

LRESULT PassOn(WNDPROC previous, HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  return previous != nullptr ? CallWindowProcA(previous, pane, message, wParam, lParam)
                             : DefWindowProcA(pane, message, wParam, lParam);
}

void PaintSourcePane(HWND pane) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(pane, &paint);
  RECT inner{};
  DrawSunkenFrame(dc, pane, &inner);
  const ParameterBlock* block = Block();
  if (block != nullptr) {
    const IntRect& picture = block->sourcePaneImageRect;
    FillBands(dc, inner, picture);
    if (ImageBuffer* image = ImageFromRef(block->sourcePaneImage)) {
      // The pane's picture is kept top row first.
      ScopedRowFlip upright(image);
      DrawPicture(dc, image, picture.left, picture.top, image->width, image->height);
    }
    BlackFrame(dc, picture.left, picture.top, picture.right + 1, picture.bottom + 1);
  }
  EndPaint(pane, &paint);
  // The fresh picture holds no outline.
  if (block != nullptr && gDialog.model != nullptr)
    XorSelectionOutline(pane, nullptr, *block, gDialog.model->featherOutline());
}

void PaintResultPane(HWND pane) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(pane, &paint);
  RECT inner{};
  DrawSunkenFrame(dc, pane, &inner);
  const ParameterBlock* block = Block();
  if (block != nullptr) {
    const IntRect& picture = block->resultPaneImageRect;
    FillBands(dc, inner, picture);
    if (const ImageBuffer* work = ImageFromRef(block->resultPaneWork))
      DrawPicture(dc, work, picture.left, picture.top, work->width, work->height);
    BlackFrame(dc, picture.left, picture.top, picture.right, picture.bottom);
  }
  EndPaint(pane, &paint);
}

int32_t FormatOfPixelMode(int16_t mode) {
  switch (mode) {
    case 1: return kFormatGray8;
    case 3: return kFormatBGR24;
    case 4: return kFormatFour32;
    default: return 0;
  }
}

void PaintTilePreview(HWND pane) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(pane, &paint);
  RECT inner{};
  DrawSunkenFrame(dc, pane, &inner);
  HGDIOBJ brush = SelectObject(dc, GetFaceBrush());
  HGDIOBJ pen = SelectObject(dc, GetStockObject(NULL_PEN));
  Rectangle(dc, inner.left, inner.top, inner.right + 1, inner.bottom + 1);
  SelectObject(dc, pen);
  SelectObject(dc, brush);
  const ParameterBlock* block = Block();
  const int32_t format = gTile != nullptr ? FormatOfPixelMode(gTile->pixelMode) : 0;
  if (block != nullptr && block->showTilePreview && format != 0 && gTile->memory.kind != kMemoryNone) {
    ScopedPixelLock lock(gTile);
    ImageBufferPtr tile(lock ? ImageBufferWrap(format, gTile->width, gTile->height, lock.pixels()) : nullptr);
    if (tile != nullptr) {
      const PicturePlace place =
          FitTilePreview(IntRect{inner.left, inner.top, inner.right, inner.bottom}, tile->width, tile->height);
      if (place.width > 0 && place.height > 0) {
        ScopedRowFlip upright(tile.get());
        DrawPicture(dc, tile.get(), place.x, place.y, place.width, place.height);
      }
      BlackFrame(dc, place.x - 1, place.y - 1, place.x + place.width, place.y + place.height);
    }
  }
  EndPaint(pane, &paint);
}

// The saved cursor of the source pane's drag: the one its press replaced.
HCURSOR gSourceSavedCursor = nullptr;

}  // namespace

void DrawSunkenFrame(HDC dc, HWND window, RECT* inner) {
  RECT r{};
  GetClientRect(window, &r);
  HPEN face = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
  HPEN highlight = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HPEN text = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
  HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  HGDIOBJ pen = SelectObject(dc, face);
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, pen);
  SelectObject(dc, brush);
  InflateRect(&r, -1, -1);
  Line(dc, highlight, {{r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left - 1, r.bottom - 1}});
  Line(dc, shadow, {{r.right - 1, r.top}, {r.left, r.top}, {r.left, r.bottom}});
  InflateRect(&r, -1, -1);
  Line(dc, face, {{r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left - 1, r.bottom - 1}});
  Line(dc, text, {{r.right - 1, r.top}, {r.left, r.top}, {r.left, r.bottom}});
  InflateRect(&r, -1, -1);
  for (HPEN made : {face, highlight, shadow, text}) DeleteObject(made);
  *inner = r;
}

bool XorSelectionOutline(HWND pane, HDC dc, const ParameterBlock& block, const FeatherOutline& feather) {
  HDC own = dc != nullptr ? dc : GetDC(pane);
  if (own == nullptr) return false;
  const int previousMode = SetROP2(own, R2_XORPEN);
  HGDIOBJ previousPen = SelectObject(own, GetStockObject(WHITE_PEN));
  HGDIOBJ previousBrush = SelectObject(own, GetStockObject(NULL_BRUSH));
  const int32_t count = std::clamp(block.selectionVertexCount, 0, kOutlineMaxVertices);
  POINT points[kOutlineMaxVertices];
  for (int32_t i = 0; i < count; ++i) points[i] = POINT{block.selectionVertices[i].x, block.selectionVertices[i].y};
  if (count > 0) Polygon(own, points, count);
  SelectObject(own, GetStockObject(WHITE_BRUSH));
  for (int32_t i = 0; i < kOutlineMaxVertices && block.selectionHandles[i] != -1; ++i) {
    const int32_t index = block.selectionHandles[i];
    if (index < 0 || index >= count) continue;
    const IntPoint v = block.selectionVertices[index];
    Rectangle(own, v.x - 4, v.y - 4, v.x + 4, v.y + 4);
  }
  if (block.showFeatherOutline && block.featherPixels != 0 && feather.count > 0) {
    POINT grown[kOutlineMaxVertices];
    for (int32_t i = 0; i < feather.count; ++i) grown[i] = POINT{feather.points[i].x, feather.points[i].y};
    HRGN region = CreatePolygonRgn(grown, feather.count, ALTERNATE);
    HRGN clip = CreateRectRgn(feather.clip.left, feather.clip.top, feather.clip.right, feather.clip.bottom);
    if (region != nullptr && clip != nullptr && CombineRgn(region, region, clip, RGN_AND) != ERROR)
      FrameRgn(own, region, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), 1, 1);
    if (region != nullptr) DeleteObject(region);
    if (clip != nullptr) DeleteObject(clip);
  }
  SelectObject(own, previousBrush);
  SelectObject(own, previousPen);
  SetROP2(own, previousMode);
  if (dc == nullptr) ReleaseDC(pane, own);
  return true;
}

LRESULT CALLBACK SourcePaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  MainDialogModel* model = gDialog.model;
  switch (message) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCHITTEST: return DefWindowProcA(pane, message, wParam, lParam);
    default: break;
  }
  if (model != nullptr) {
    switch (message) {
      case WM_INITDIALOG: {
        RECT client{};
        GetClientRect(pane, &client);
        gSourceSavedCursor = nullptr;
        if (!model->OpenSourcePane(client.right, client.bottom)) gDialog.failed = true;
        break;
      }
      case UM_SOURCE_CHANGED: model->SourceChanged(); break;
      case UM_SYMMETRY_CHANGED: model->RebuildSelection(); break;
      case UM_TOGGLE_OUTLINE:
        if (const ParameterBlock* block = Block()) XorSelectionOutline(pane, nullptr, *block, model->featherOutline());
        break;
      case WM_LBUTTONDOWN: {
        HCURSOR cursor = nullptr;
        switch (model->SourcePress(PointOf(lParam))) {
          case PaneCursor::kMove: cursor = gDialog.hoverCursor; break;
          case PaneCursor::kSizeHorizontal: cursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32644)); break;  // IDC_SIZEWE
          case PaneCursor::kSizeDiagonal: cursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32642)); break;    // IDC_SIZENWSE
          case PaneCursor::kUnchanged: break;
        }
        if (cursor != nullptr) gSourceSavedCursor = SetCursor(cursor);
        SetCapture(pane);
        break;
      }
      case WM_MOUSEMOVE:
        if (GetCapture() == pane) model->SourceMove(PointOf(lParam), GetAsyncKeyState(VK_CONTROL) < 0);
        break;
      case WM_LBUTTONUP:
        if (GetCapture() == pane) {
          ReleaseCapture();
          if (gSourceSavedCursor != nullptr) SetCursor(gSourceSavedCursor);
          model->SourceRelease();
        }
        break;
      case WM_PAINT: PaintSourcePane(pane); break;
      default: break;
    }
  }
  return PassOn(gDialog.sourcePaneProc, pane, message, wParam, lParam);
}

LRESULT CALLBACK ResultPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  MainDialogModel* model = gDialog.model;
  switch (message) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCHITTEST: return DefWindowProcA(pane, message, wParam, lParam);
    default: break;
  }
  if (model == nullptr) return PassOn(gDialog.resultPaneProc, pane, message, wParam, lParam);
  switch (message) {
    case WM_INITDIALOG: {
      RECT client{};
      GetClientRect(pane, &client);
      if (!model->OpenResultPane(client.right, client.bottom)) gDialog.failed = true;
      InvalidateRect(pane, nullptr, FALSE);
      UpdateWindow(pane);
      return 0;
    }
    case UM_PANE_REFRESH:
      InvalidateRect(pane, nullptr, FALSE);
      UpdateWindow(pane);
      return 0;
    case WM_PAINT: PaintResultPane(pane); break;
    case WM_SETCURSOR:
      // Over the picture the hover cursor shows without a flicker back to the arrow.
      if (!model->patternDragging() && gDialog.hoverCursor != nullptr) {
        POINT at{};
        GetCursorPos(&at);
        ScreenToClient(pane, &at);
        if (model->OverResultPicture(IntPoint{at.x, at.y})) {
          SetCursor(gDialog.hoverCursor);
          return TRUE;
        }
      }
      break;
    case WM_LBUTTONDOWN:
      if (model->PatternPress(PointOf(lParam))) {
        SetCursor(gDialog.dragCursor);
        SetCapture(pane);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (model->patternDragging()) {
        model->PatternMove(PointOf(lParam));
      } else if (model->OverResultPicture(PointOf(lParam)) && GetCursor() != gDialog.hoverCursor) {
        SetCursor(gDialog.hoverCursor);
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == pane) ReleaseCapture();
      SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));  // IDC_ARROW
      model->PatternRelease();
      return 0;
    case WM_DESTROY:
      if (GetCapture() == pane) ReleaseCapture();
      break;
    default: break;
  }
  return PassOn(gDialog.resultPaneProc, pane, message, wParam, lParam);
}

LRESULT CALLBACK TilePreviewProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCHITTEST: return DefWindowProcA(pane, message, wParam, lParam);
    case UM_PANE_REFRESH: InvalidateRect(pane, nullptr, FALSE); break;
    case WM_PAINT: PaintTilePreview(pane); break;
    default: break;
  }
  return PassOn(gDialog.tilePreviewProc, pane, message, wParam, lParam);
}

}  // namespace quiltora
