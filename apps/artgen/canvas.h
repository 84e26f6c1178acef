// A picture with straight alpha and the anti-aliased drawing the art is made
// of. Shapes are inside tests sampled on a fixed grid per pixel, so the
// result depends on nothing but the arithmetic here.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace artgen {

struct Colour {
  uint8_t r = 0, g = 0, b = 0, a = 255;
};

// 0xRRGGBB, opaque.
constexpr Colour Hex(uint32_t rgb) { return Colour{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255}; }
constexpr Colour WithAlpha(Colour c, uint8_t a) { return Colour{c.r, c.g, c.b, a}; }
// t = 0 gives a, 255 gives b (alpha too).
Colour Mix(Colour a, Colour b, int32_t t);

struct Point {
  double x = 0, y = 0;
};

// A region by its bounding box and an inside test; points are in pixel
// coordinates, pixel (x, y) covering [x, x + 1) x [y, y + 1).
struct Shape {
  double left = 0, top = 0, right = 0, bottom = 0;
  std::function<bool(double x, double y)> inside;
};

Shape RectShape(double left, double top, double right, double bottom);
Shape RoundRectShape(double left, double top, double right, double bottom, double radius);
Shape EllipseShape(double cx, double cy, double rx, double ry);
// Polygon by the non-zero winding rule.
Shape PolygonShape(std::vector<Point> points);
// A straight stroke with round ends.
Shape LineShape(Point a, Point b, double width);
// Points inside a and not inside b.
Shape Minus(Shape a, Shape b);

// The colour a fill lays at a point.
using Paint = std::function<Colour(double x, double y)>;
Paint Solid(Colour c);
// From top (at y0) to bottom (at y1), clamped beyond.
Paint VerticalGradient(double y0, Colour top, double y1, Colour bottom);

class Canvas {
 public:
  Canvas() = default;
  Canvas(int32_t width, int32_t height, Colour fill = Colour{0, 0, 0, 0});

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  Colour At(int32_t x, int32_t y) const;
  void Set(int32_t x, int32_t y, Colour c);

  // Lays c over pixel (x, y) with coverage 0..255 on top of c's own alpha;
  // pixels outside are ignored.
  void Blend(int32_t x, int32_t y, Colour c, int32_t coverage);
  // Whole pixels [x0, x1) x [y0, y1).
  void FillRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Colour c);
  // The shape at 8 x 8 samples per pixel, coloured by paint.
  void Fill(const Shape& shape, const Paint& paint);
  void Fill(const Shape& shape, Colour c) { Fill(shape, Solid(c)); }
  // A one-pixel line of whole pixels, end included.
  void HLine(int32_t x0, int32_t x1, int32_t y, Colour c) { FillRect(x0, y, x1 + 1, y + 1, c); }
  void VLine(int32_t x, int32_t y0, int32_t y1, Colour c) { FillRect(x, y0, x + 1, y1 + 1, c); }
  // Lays other over this picture with its top-left at (x, y).
  void Draw(const Canvas& other, int32_t x, int32_t y);
  // The part [x, x + w) x [y, y + h) as a picture of its own.
  Canvas Crop(int32_t x, int32_t y, int32_t w, int32_t h) const;
  // Each pixel a factor x factor block.
  Canvas Enlarged(int32_t factor) const;
  // The mean of each factor x factor block, rounded.
  Canvas Reduced(int32_t factor) const;
  // The alpha of every pixel spread by three box passes of that radius, as a
  // shadow of colour c.
  Canvas Shadow(int32_t radius, Colour c) const;

  const std::vector<Colour>& pixels() const { return pixels_; }

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<Colour> pixels_;
};

}  // namespace artgen
