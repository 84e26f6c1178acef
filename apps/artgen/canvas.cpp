#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace artgen {
namespace {

constexpr int kSamples = 8;  // per pixel side

int32_t Div255(int32_t value) { return (value + 127) / 255; }

// Signed distance from (x, y) to the rounded rectangle's edge, negative inside.
double RoundRectDistance(double left, double top, double right, double bottom, double radius, double x, double y) {
  const double cx = (left + right) / 2, cy = (top + bottom) / 2;
  const double hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
  const double dx = std::abs(x - cx) - hx, dy = std::abs(y - cy) - hy;
  const double outside = std::hypot(std::max(dx, 0.0), std::max(dy, 0.0));
  return outside + std::min(std::max(dx, dy), 0.0) - radius;
}

// Three passes of a box of radius r along one line of n values, step apart.
void BoxBlurLine(std::vector<int32_t>* values, size_t start, size_t step, int32_t n, int32_t r) {
  std::vector<int32_t> line(static_cast<size_t>(n)), out(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) line[size_t(i)] = (*values)[start + size_t(i) * step];
  for (int pass = 0; pass < 3; ++pass) {
    for (int32_t i = 0; i < n; ++i) {
      int32_t sum = 0;
      for (int32_t k = -r; k <= r; ++k) {
        const int32_t j = i + k;
        if (j >= 0 && j < n) sum += line[size_t(j)];
      }
      out[size_t(i)] = (sum + r) / (2 * r + 1);
    }
    line.swap(out);
  }
  for (int32_t i = 0; i < n; ++i) (*values)[start + size_t(i) * step] = line[size_t(i)];
}

}  // namespace

Colour Mix(Colour a, Colour b, int32_t t) {
  auto mix = [t](uint8_t x, uint8_t y) { return uint8_t(Div255(x * (255 - t) + y * t)); };
  return Colour{mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), mix(a.a, b.a)};
}

Shape RectShape(double left, double top, double right, double bottom) {
  return Shape{left, top, right, bottom,
               [=](double x, double y) { return x >= left && x < right && y >= top && y < bottom; }};
}

Shape RoundRectShape(double left, double top, double right, double bottom, double radius) {
  return Shape{left, top, right, bottom,
               [=](double x, double y) { return RoundRectDistance(left, top, right, bottom, radius, x, y) < 0; }};
}

Shape EllipseShape(double cx, double cy, double rx, double ry) {
  return Shape{cx - rx, cy - ry, cx + rx, cy + ry, [=](double x, double y) {
                 const double u = (x - cx) / rx, v = (y - cy) / ry;
                 return u * u + v * v < 1;
               }};
}

Shape PolygonShape(std::vector<Point> points) {
  Shape shape;
  shape.left = shape.top = 1e9;
  shape.right = shape.bottom = -1e9;
  for (const Point& p : points) {
    shape.left = std::min(shape.left, p.x);
    shape.right = std::max(shape.right, p.x);
    shape.top = std::min(shape.top, p.y);
    shape.bottom = std::max(shape.bottom, p.y);
  }
  shape.inside = [points = std::move(points)](double x, double y) {
    int winding = 0;
    for (size_t i = 0; i < points.size(); ++i) {
      const Point& a = points[i];
      const Point& b = points[(i + 1) % points.size()];
      const double side = (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y);
      if (a.y <= y && b.y > y && side > 0) ++winding;
      if (a.y > y && b.y <= y && side < 0) --winding;
    }
    return winding != 0;
  };
  return shape;
}

Shape LineShape(Point a, Point b, double width) {
  const double r = width / 2;
  return Shape{std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r, std::max(a.y, b.y) + r,
               [=](double x, double y) {
                 const double dx = b.x - a.x, dy = b.y - a.y;
                 const double length2 = dx * dx + dy * dy;
                 double t = length2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / length2 : 0;
                 t = std::clamp(t, 0.0, 1.0);
                 const double ex = a.x + t * dx - x, ey = a.y + t * dy - y;
                 return ex * ex + ey * ey < r * r;
               }};
}

Shape Minus(Shape a, Shape b) {
  Shape shape = a;
  shape.inside = [a, b](double x, double y) { return a.inside(x, y) && !b.inside(x, y); };
  return shape;
}

Paint Solid(Colour c) {
  return [c](double, double) { return c; };
}

Paint VerticalGradient(double y0, Colour top, double y1, Colour bottom) {
  return [=](double, double y) {
    const double t = std::clamp((y - y0) / (y1 - y0), 0.0, 1.0);
    return Mix(top, bottom, int32_t(std::lround(t * 255)));
  };
}

Canvas::Canvas(int32_t width, int32_t height, Colour fill)
    : width_(width), height_(height), pixels_(size_t(width) * size_t(height), fill) {}

Colour Canvas::At(int32_t x, int32_t y) const { return pixels_[size_t(y) * size_t(width_) + size_t(x)]; }

void Canvas::Set(int32_t x, int32_t y, Colour c) {
  if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[size_t(y) * size_t(width_) + size_t(x)] = c;
}

void Canvas::Blend(int32_t x, int32_t y, Colour c, int32_t coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  const int32_t sa = Div255(c.a * std::clamp(coverage, 0, 255));
  if (sa == 0) return;
  Colour& d = pixels_[size_t(y) * size_t(width_) + size_t(x)];
  const int32_t keep = Div255(d.a * (255 - sa));  // destination weight, of 255
  const int32_t outA = sa + keep;
  auto channel = [&](uint8_t s, uint8_t t) { return uint8_t((s * sa + t * keep + outA / 2) / outA); };
  d = Colour{channel(c.r, d.r), channel(c.g, d.g), channel(c.b, d.b), uint8_t(outA)};
}

void Canvas::FillRect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Colour c) {
  for (int32_t y = std::max(y0, 0); y < std::min(y1, height_); ++y)
    for (int32_t x = std::max(x0, 0); x < std::min(x1, width_); ++x) Blend(x, y, c, 255);
}

void Canvas::Fill(const Shape& shape, const Paint& paint) {
  const int32_t x0 = std::max(int32_t(std::floor(shape.left)), 0);
  const int32_t y0 = std::max(int32_t(std::floor(shape.top)), 0);
  const int32_t x1 = std::min(int32_t(std::ceil(shape.right)), width_);
  const int32_t y1 = std::min(int32_t(std::ceil(shape.bottom)), height_);
  for (int32_t y = y0; y < y1; ++y) {
    for (int32_t x = x0; x < x1; ++x) {
      int32_t hits = 0;
      for (int j = 0; j < kSamples; ++j)
        for (int i = 0; i < kSamples; ++i)
          if (shape.inside(x + (i + 0.5) / kSamples, y + (j + 0.5) / kSamples)) ++hits;
      if (hits != 0) Blend(x, y, paint(x + 0.5, y + 0.5), (hits * 255 + 32) / (kSamples * kSamples));
    }
  }
}

void Canvas::Draw(const Canvas& other, int32_t x, int32_t y) {
  for (int32_t j = 0; j < other.height(); ++j)
    for (int32_t i = 0; i < other.width(); ++i) Blend(x + i, y + j, other.At(i, j), 255);
}

Canvas Canvas::Crop(int32_t x, int32_t y, int32_t w, int32_t h) const {
  Canvas out(w, h);
  for (int32_t j = 0; j < h; ++j)
    for (int32_t i = 0; i < w; ++i)
      if (x + i >= 0 && y + j >= 0 && x + i < width_ && y + j < height_) out.Set(i, j, At(x + i, y + j));
  return out;
}

Canvas Canvas::Enlarged(int32_t factor) const {
  Canvas out(width_ * factor, height_ * factor);
  for (int32_t y = 0; y < out.height(); ++y)
    for (int32_t x = 0; x < out.width(); ++x) out.Set(x, y, At(x / factor, y / factor));
  return out;
}

Canvas Canvas::Reduced(int32_t factor) const {
  Canvas out(width_ / factor, height_ / factor);
  const int32_t n = factor * factor;
  for (int32_t y = 0; y < out.height(); ++y) {
    for (int32_t x = 0; x < out.width(); ++x) {
      int32_t r = 0, g = 0, b = 0, a = 0;
      for (int32_t j = 0; j < factor; ++j) {
        for (int32_t i = 0; i < factor; ++i) {
          const Colour c = At(x * factor + i, y * factor + j);
          r += c.r * c.a;
          g += c.g * c.a;
          b += c.b * c.a;
          a += c.a;
        }
      }
      if (a == 0) continue;
      out.Set(x, y,
              Colour{uint8_t((r + a / 2) / a), uint8_t((g + a / 2) / a), uint8_t((b + a / 2) / a),
                     uint8_t((a + n / 2) / n)});
    }
  }
  return out;
}

Canvas Canvas::Shadow(int32_t radius, Colour c) const {
  std::vector<int32_t> alpha(pixels_.size());
  for (size_t i = 0; i < pixels_.size(); ++i) alpha[i] = pixels_[i].a;
  for (int32_t y = 0; y < height_; ++y) BoxBlurLine(&alpha, size_t(y) * size_t(width_), 1, width_, radius);
  for (int32_t x = 0; x < width_; ++x) BoxBlurLine(&alpha, size_t(x), size_t(width_), height_, radius);
  Canvas out(width_, height_);
  for (size_t i = 0; i < alpha.size(); ++i) out.pixels_[i] = WithAlpha(c, uint8_t(Div255(alpha[i] * c.a)));
  return out;
}

}  // namespace artgen
