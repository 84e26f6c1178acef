// Painting of the slider: groove, thumb with its point, hatch while dragged
// or disabled, tick marks. Written for a horizontal slider; a vertical one is
// the same drawing with the two axes exchanged.
#include "controls/win32/controls_library.h"
#include "controls/win32/slider_internal.h"

namespace quiltora {
namespace {

// Pens shared by all sliders, alive only while some slider paints.
struct SharedPens {
  int users = 0;
  HPEN face = nullptr, highlight = nullptr, shadow = nullptr, text = nullptr;
};
SharedPens gPens;

void TakePens() {
  if (gPens.users++ > 0) return;
  gPens.face = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
  gPens.highlight = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  gPens.shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  gPens.text = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
}

void GivePensBack() {
  if (--gPens.users > 0) return;
  for (HPEN pen : {gPens.face, gPens.highlight, gPens.shadow, gPens.text})
    if (pen != nullptr) DeleteObject(pen);
  gPens = SharedPens{};
}

// Along and across the track: x and y for a horizontal slider, y and x for a vertical one.
struct Axes {
  HDC dc;
  bool vertical;

  POINT At(int along, int across) const { return vertical ? POINT{across, along} : POINT{along, across}; }
  IntRect Of(const IntRect& r) const { return vertical ? IntRect{r.top, r.left, r.bottom, r.right} : r; }
  RECT Device(int left, int top, int right, int bottom) const {
    return vertical ? RECT{top, left, bottom, right} : RECT{left, top, right, bottom};
  }
  void Pen(HPEN pen) const { SelectObject(dc, pen); }
  void MoveTo(int along, int across) const {
    POINT p = At(along, across);
    MoveToEx(dc, p.x, p.y, nullptr);
  }
  void LineTo(int along, int across) const {
    POINT p = At(along, across);
    ::LineTo(dc, p.x, p.y);
  }
};

void PaintGroove(const Axes& a, const IntRect& g) {
  a.Pen(gPens.shadow);
  a.MoveTo(g.left, g.top + 2);
  a.LineTo(g.left, g.top);
  a.LineTo(g.right, g.top);
  a.Pen(static_cast<HPEN>(GetStockObject(BLACK_PEN)));
  a.MoveTo(g.left + 1, g.top + 1);
  a.LineTo(g.right, g.top + 1);
  a.Pen(gPens.face);
  a.MoveTo(g.left + 1, g.top + 2);
  a.LineTo(g.right - 1, g.top + 2);
  a.Pen(gPens.highlight);
  a.MoveTo(g.left, g.top + 3);
  a.LineTo(g.right, g.top + 3);
  a.LineTo(g.right, g.top - 1);
}

// Single highlight pixels on every second row, the rows alternating between columns.
void HatchThumb(const Axes& a, const IntRect& t) {
  COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  for (int x = t.left + 2; x < t.right - 1; ++x) {
    int start = (x - (t.left + 2)) % 2 == 0 ? t.top + 3 : t.top + 2;
    for (int y = start; y < t.bottom - 1; y += 2) {
      POINT p = a.At(x, y);
      SetPixel(a.dc, p.x, p.y, highlight);
    }
  }
}

void PaintThumb(const Axes& a, const IntRect& t, int hl, bool hatched) {
  RECT inside = a.Device(t.left + 1, t.top + 1, t.right - 1, t.bottom);
  FillRect(a.dc, &inside, GetFaceBrush());
  if (hatched) HatchThumb(a, t);
  a.Pen(gPens.highlight);
  a.MoveTo(t.left + hl, t.bottom);
  a.LineTo(t.left, t.bottom - hl);
  a.LineTo(t.left, t.top);
  a.LineTo(t.right, t.top);
  a.Pen(static_cast<HPEN>(GetStockObject(BLACK_PEN)));
  a.LineTo(t.right, t.bottom - hl);
  a.LineTo(t.left + hl - 1, t.bottom + 1);
  a.Pen(gPens.shadow);
  a.MoveTo(t.left + hl, t.bottom - 1);
  a.LineTo(t.right - 1, t.bottom - hl);
  a.LineTo(t.right - 1, t.top);
}

void PaintTicks(const Axes& a, const IntRect& g, int row, int count) {
  a.Pen(gPens.text);
  for (const TickMark& mark : SliderTickMarks(g.left, g.right, count)) {
    a.MoveTo(mark.position, row);
    a.LineTo(mark.position, row + mark.length);
  }
}

}  // namespace

void PaintSlider(HWND slider, HDC dc, const RECT& paintArea, const SliderData& data) {
  uint32_t style = SliderStyleOf(slider);
  bool vertical = SliderIsVertical(style);
  Axes a{dc, vertical};
  IntRect g = a.Of(data.geometry.channel);
  IntRect t = a.Of(SliderThumbRect(data.geometry, vertical, data.values, data.values.value));
  IntRect area = a.Of(IntRect{paintArea.left, paintArea.top, paintArea.right, paintArea.bottom});

  TakePens();
  int saved = SaveDC(dc);
  SelectObject(dc, GetFaceBrush());
  PaintGroove(a, g);
  PaintThumb(a, t, data.geometry.halfLength, data.tracking || !IsWindowEnabled(slider));
  int tickRow = t.bottom + 2;
  if (!(style & kSliderNoTicks) && area.bottom >= tickRow)
    PaintTicks(a, g, tickRow, SliderTickCount(style, data.values));
  RestoreDC(dc, saved);
  GivePensBack();
}

}  // namespace quiltora
