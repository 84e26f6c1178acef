#include "dialog_parts.h"

#include <algorithm>
#include <cmath>

#include "art.h"
#include "palette.h"

namespace artgen {
namespace {

constexpr double kPi = 3.14159265358979;

// A small repeatable disorder, -1..1, for the weave.
int32_t Grain(int32_t x, int32_t y) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return int32_t((h >> 16) % 3) - 1;
}

Colour Shade(Colour c, int32_t delta) {
  auto channel = [delta](uint8_t v) { return uint8_t(std::clamp(int32_t(v) + delta, 0, 255)); };
  return Colour{channel(c.r), channel(c.g), channel(c.b), c.a};
}

// A one-pixel dashed line of whole pixels, from a to b along a row or column.
void DashedLine(Canvas* canvas, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Colour c) {
  const int32_t length = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
  for (int32_t i = 0; i <= length; ++i) {
    if (i % 6 >= 4) continue;  // four on, two off
    const int32_t x = x0 + (x1 > x0 ? i : x1 < x0 ? -i : 0);
    const int32_t y = y0 + (y1 > y0 ? i : y1 < y0 ? -i : 0);
    canvas->Blend(x, y, c, 255);
  }
}

void StitchRect(Canvas* canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, Colour c) {
  DashedLine(canvas, left + 2, top, right - 2, top, c);
  DashedLine(canvas, left + 2, bottom, right - 2, bottom, c);
  DashedLine(canvas, left, top + 2, left, bottom - 2, c);
  DashedLine(canvas, right, top + 2, right, bottom - 2, c);
}

// A shape's soft shadow, offset by (dx, dy).
void DropShadow(Canvas* canvas, const Shape& shape, int32_t dx, int32_t dy, int32_t blur, uint8_t alpha) {
  Canvas mask(canvas->width(), canvas->height());
  mask.Fill(shape, Hex(0x000000));
  canvas->Draw(mask.Shadow(blur, WithAlpha(palette::kShadow, alpha)), dx, dy);
}

}  // namespace

Canvas Ground(int32_t x, int32_t y, int32_t w, int32_t h) {
  Canvas canvas(w, h);
  for (int32_t j = 0; j < h; ++j) {
    const int32_t row = y + j;
    const int32_t t = std::clamp(row * 255 / (quiltora::kMainClientHeight - 1), 0, 255);
    const Colour base = Mix(palette::kGroundTop, palette::kGroundBottom, t);
    for (int32_t i = 0; i < w; ++i) {
      const int32_t column = x + i;
      // Threads: every third row and column a shade darker, with some grain.
      const int32_t weave = (row % 3 == 0 ? -2 : 0) + (column % 3 == 0 ? -1 : 0) + Grain(column, row);
      canvas.Set(i, j, Shade(base, weave));
    }
  }
  return canvas;
}

void Well(Canvas* canvas, const quiltora::ControlPlace& control, int32_t margin) {
  const double left = control.left - margin, top = control.top - margin;
  const double right = control.left + control.width + margin, bottom = control.top + control.height + margin;
  const double radius = std::min(4, margin + 1);
  // Light below and right, dark above and left, a shaded floor between.
  canvas->Fill(RoundRectShape(left, top + 1, right + 1, bottom + 1, radius), WithAlpha(palette::kHighlight, 220));
  canvas->Fill(RoundRectShape(left, top, right, bottom, radius), Shade(palette::kWellEdge, 30));
  canvas->Fill(RoundRectShape(left + 1, top + 1, right, bottom, radius - 1),
               VerticalGradient(top, Shade(palette::kWell, -18), top + margin + 2, palette::kWell));
  // The dark line right around the control.
  const int32_t x0 = control.left - 1, y0 = control.top - 1;
  const int32_t x1 = control.left + control.width, y1 = control.top + control.height;
  canvas->HLine(x0, x1, y0, palette::kWellEdge);
  canvas->HLine(x0, x1, y1, palette::kWellEdge);
  canvas->VLine(x0, y0, y1, palette::kWellEdge);
  canvas->VLine(x1, y0, y1, palette::kWellEdge);
}

void Groove(Canvas* canvas, const quiltora::ControlPlace& control) { Well(canvas, control, 2); }

void Panel(Canvas* canvas, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  const Shape body = RoundRectShape(left, top, right, bottom, 6);
  DropShadow(canvas, body, 0, 1, 2, 90);
  canvas->Fill(body, palette::kPanelEdge);
  canvas->Fill(RoundRectShape(left + 1, top + 1, right - 1, bottom - 1, 5),
               VerticalGradient(top, Shade(palette::kPanel, 6), bottom, Shade(palette::kPanel, -10)));
  canvas->Fill(RectShape(left + 5, top + 1, right - 5, top + 2), WithAlpha(palette::kHighlight, 200));
  StitchRect(canvas, left + 4, top + 4, right - 5, bottom - 5, palette::kStitch);
}

void EngravedText(Canvas* canvas, const Font& font, double x, double baseline, const std::string& text, double size,
                  Colour ink) {
  font.Draw(canvas, x, baseline + 1, text, size, WithAlpha(palette::kHighlight, 210));
  font.Draw(canvas, x, baseline, text, size, ink);
}

void QuiltStar(Canvas* canvas, double cx, double cy, double radius) {
  std::vector<Point> star;
  for (int i = 0; i < 16; ++i) {
    const double angle = i * kPi / 8 - kPi / 2;
    const double r = i % 2 == 0 ? radius : radius * 0.45;
    star.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle)});
  }
  canvas->Fill(PolygonShape(star), WithAlpha(palette::kHighlight, 200));  // a light rim below
  for (Point& p : star) p.y -= 1;
  canvas->Fill(PolygonShape(star), palette::kMustard);
  canvas->Fill(EllipseShape(cx, cy - 1, radius * 0.3, radius * 0.3), palette::kBrick);
}

void Pennant(Canvas* canvas, const ArtFonts& fonts, const quiltora::ControlPlace& pocket, const std::string& label,
             Colour colour) {
  const double cx = pocket.left + pocket.width / 2.0;
  const double half = 30, top = pocket.top - 22;
  const double bottom = pocket.top + pocket.height + 12, notch = 8;
  const Shape body = PolygonShape(
      {{cx - half, top + 1}, {cx + half, top + 1}, {cx + half, bottom}, {cx, bottom - notch}, {cx - half, bottom}});
  DropShadow(canvas, body, 2, 2, 2, 110);
  canvas->Fill(body, VerticalGradient(top, Shade(colour, 28), bottom, Shade(colour, -12)));
  // Stitches down both sides and across the top.
  const Colour thread = WithAlpha(Shade(colour, 80), 200);
  DashedLine(canvas, int32_t(cx - half + 3), int32_t(top + 5), int32_t(cx - half + 3), int32_t(bottom - 4), thread);
  DashedLine(canvas, int32_t(cx + half - 4), int32_t(top + 5), int32_t(cx + half - 4), int32_t(bottom - 4), thread);
  // The rod it hangs from.
  const Colour wood = Hex(0x6F5439);
  canvas->Fill(RoundRectShape(cx - half - 5, top - 2, cx + half + 5, top + 3, 2.5),
               VerticalGradient(top - 2, Shade(wood, 40), top + 3, wood));
  canvas->Fill(EllipseShape(cx - half - 5, top + 0.5, 3, 3), Shade(wood, 10));
  canvas->Fill(EllipseShape(cx + half + 5, top + 0.5, 3, 3), Shade(wood, 10));
  fonts.sansBold.DrawCentred(canvas, cx, top + 16, label, 11, palette::kCream);
  // The pocket under the drop list's arrow.
  const double pl = pocket.left - 1, pt = pocket.top - 1;
  const double pr = pocket.left + pocket.width + 1, pb = pocket.top + pocket.height + 1;
  canvas->Fill(RoundRectShape(pl, pt + 1, pr, pb + 1, 3), WithAlpha(Shade(colour, 60), 200));
  canvas->Fill(RoundRectShape(pl, pt, pr, pb, 3), Shade(colour, -45));
  const double my = (pt + pb) / 2;
  canvas->Fill(PolygonShape({{cx - 4.5, my - 2}, {cx + 4.5, my - 2}, {cx, my + 3}}), palette::kCream);
}

Point ButtonBody(Canvas* canvas, bool pressed) {
  const double left = 3, top = 3, right = canvas->width() - 3, bottom = canvas->height() - 3;
  const Shape body = RoundRectShape(left, top, right, bottom, 7);
  if (!pressed) DropShadow(canvas, body, 0, 1, 2, 120);
  canvas->Fill(body, pressed ? Hex(0x857B69) : Hex(0xA39885));
  const Shape face = RoundRectShape(left + 1, top + 1, right - 1, bottom - 1, 6);
  if (pressed) {
    canvas->Fill(face, VerticalGradient(top, Hex(0xD3CABA), bottom, Hex(0xE4DDD0)));
    // Shade falls in from the top edge.
    canvas->Fill(Minus(face, RoundRectShape(left + 1, top + 4, right - 1, bottom - 1, 6)),
                 WithAlpha(palette::kShadow, 40));
    canvas->Fill(Minus(face, RoundRectShape(left + 1, top + 2, right - 1, bottom - 1, 6)),
                 WithAlpha(palette::kShadow, 50));
    return Point{1, 1};
  }
  canvas->Fill(face, VerticalGradient(top, Hex(0xFDFBF6), bottom, Hex(0xE2DACB)));
  canvas->Fill(Minus(face, RoundRectShape(left + 1, top + 2, right - 1, bottom - 1, 6)),
               WithAlpha(palette::kHighlight, 255));
  return Point{0, 0};
}

void CrossStitchBadge(Canvas* canvas, bool pressed) {
  const double shift = pressed ? 1 : 0;
  const double cx = canvas->width() / 2.0 + shift, cy = canvas->height() / 2.0 - 0.5 + shift;
  const double r = 23;
  const Shape patch = EllipseShape(cx, cy, r, r);
  if (!pressed) DropShadow(canvas, patch, 0, 1, 2, 120);
  canvas->Fill(patch, pressed ? Hex(0x857B69) : Hex(0xA39885));
  canvas->Fill(EllipseShape(cx, cy, r - 1, r - 1),
               pressed ? VerticalGradient(cy - r, Hex(0xD9D0C0), cy + r, Hex(0xE9E3D8))
                       : VerticalGradient(cy - r, Hex(0xFDFBF6), cy + r, Hex(0xE2DACB)));
  // A ring of running stitches.
  for (int i = 0; i < 24; ++i) {
    const double a0 = i * 2 * kPi / 24, a1 = a0 + 2 * kPi / 24 * 0.55;
    const double rr = r - 5;
    canvas->Fill(LineShape({cx + rr * std::cos(a0), cy + rr * std::sin(a0)},
                           {cx + rr * std::cos(a1), cy + rr * std::sin(a1)}, 1.3),
                 palette::kStitch);
  }
  // The cross-stitch: two thick threads, each with a lighter twist along it.
  const double arm = 9.5;
  const Colour red = palette::kBrick;
  for (const double sign : {1.0, -1.0}) {
    const Point a{cx - arm, cy - sign * arm}, b{cx + arm, cy + sign * arm};
    canvas->Fill(LineShape(a, b, 6), red);
    canvas->Fill(LineShape({a.x + 1.5, a.y - sign * 0.2}, {b.x - 2.5, b.y - sign * 1.2}, 1.4),
                 WithAlpha(Shade(red, 70), 170));
  }
  if (pressed) canvas->Fill(EllipseShape(cx, cy, r - 1, r - 1), WithAlpha(palette::kShadow, 25));
}

}  // namespace artgen
