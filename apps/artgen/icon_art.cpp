// The seventeen symmetry icons: each shows what its symmetry does to one
// small asymmetric motif, rendered by the filter module itself, over the
// quilt-block name.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "abi/parameter_block.h"
#include "art.h"
#include "dialog/main_layout.h"
#include "filterhost.h"
#include "options.h"
#include "palette.h"
#include "settings.h"
#include "symmetry/catalogue.h"

namespace artgen {
namespace {

using quiltora::kIconHeight;
using quiltora::kIconShownHeight;
using quiltora::kIconShownWidth;
using quiltora::kIconWidth;

// The swatch shows the pattern at a third of the size the module drew it,
// which smooths the hexagonal resampling and the motif's edges alike.
constexpr int32_t kSwatchLeft = 3, kSwatchTop = 3;
constexpr int32_t kSwatchWidth = 68, kSwatchHeight = 50;
constexpr int32_t kRenderScale = 3;
constexpr int32_t kSourceSide = 48;  // of the selection, at the render scale

// Runs the module once over the picture with the symmetry and the selection
// box, as a host repeats the filter; the filtered picture back.
bool RunFilter(filterhost::Module* module, int32_t symmetry, const quiltora_cli::Box& box, const Canvas& picture,
               Canvas* result, std::string* error) {
  const int32_t width = picture.width(), height = picture.height();
  filterhost::Image image(width, height, 3);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const Colour c = picture.At(x, y);
      uint8_t* pixel = image.At(x, y);
      pixel[0] = c.r;
      pixel[1] = c.g;
      pixel[2] = c.b;
    }
  }
  filterhost::Host host(*module);
  host.SetImage(std::move(image));
  const std::string what = "symmetry " + std::to_string(symmetry) + ": ";
  std::vector<uint8_t> bytes;
  quiltora::ParameterBlock block{};
  if (host.Parameters() != 0 || (bytes = host.ParameterBytes()).size() < sizeof block) {
    *error = what + "the module made no settings for the motif picture";
    return false;
  }
  std::memcpy(&block, bytes.data(), sizeof block);
  quiltora_cli::Options options;
  options.symmetry = symmetry;
  options.select = box;
  quiltora_cli::RunGeometry geometry;
  geometry.areaWidth = width;
  geometry.areaHeight = height;
  if (!quiltora_cli::ApplyOptions(options, geometry, &block, error)) return false;
  std::memcpy(bytes.data(), &block, sizeof block);
  host.RestoreParameterBytes(bytes);
  const filterhost::RunReport report = host.Render();
  if (report.result != 0 || !report.violations.empty()) {
    *error = what + "the module's run failed with result " + std::to_string(report.result);
    return false;
  }
  *result = Canvas(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t* pixel = host.image().At(x, y);
      result->Set(x, y, Colour{pixel[0], pixel[1], pixel[2], 255});
    }
  }
  return true;
}

// The part of the picture the symmetry builds its tile from: a probe whose
// pixels hold their own coordinates goes through the filter, and every
// coordinate that comes out was read (the hexagonal samplers blend
// neighbours, which stay inside the part).
bool SourceRegion(filterhost::Module* module, int32_t symmetry, const quiltora_cli::Box& box, int32_t width,
                  int32_t height, std::vector<Point>* region, std::string* error) {
  Canvas probe(width, height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) probe.Set(x, y, Colour{uint8_t(x), uint8_t(y), 0, 255});
  Canvas result;
  if (!RunFilter(module, symmetry, box, probe, &result, error)) return false;
  std::vector<bool> seen(size_t(width) * size_t(height));
  for (const Colour& c : result.pixels())
    if (c.r < width && c.g < height) seen[size_t(c.g) * size_t(width) + c.r] = true;
  region->clear();
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      if (seen[size_t(y) * size_t(width) + size_t(x)]) region->push_back(Point{x + 0.5, y + 0.5});
  if (region->empty()) *error = "symmetry " + std::to_string(symmetry) + " read no source pixels";
  return !region->empty();
}

double Distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

// The point of the region farthest from p.
Point Farthest(const std::vector<Point>& region, Point p) {
  Point best = p;
  for (const Point& q : region)
    if (Distance(q, p) > Distance(best, p)) best = q;
  return best;
}

// The motif, laid into the region the tile is built from so that each icon
// shows all of it: on a cream ground an indigo leaf across the middle, a
// mustard wedge in the farthest corner and a red dot towards the corner
// farthest from that. Nothing in it is symmetric, so every mirror, turn and
// glide of the tile shows.
Canvas Motif(const std::vector<Point>& region, int32_t width, int32_t height) {
  Point centre;
  for (const Point& p : region)
    centre = Point{centre.x + p.x / double(region.size()), centre.y + p.y / double(region.size())};
  const Point far = Farthest(region, centre);
  const Point other = Farthest(region, far);
  const double reach = Distance(far, centre);
  auto toward = [&](Point p, double t) {
    return Point{centre.x + t * (p.x - centre.x), centre.y + t * (p.y - centre.y)};
  };

  Canvas motif(width, height, palette::kCream);
  const double spread = 0.42;  // radians either side of the wedge's axis
  const double axis = std::atan2(centre.y - far.y, centre.x - far.x);
  // A paler half beyond a line through the middle.
  const double split = axis + 1.1;
  motif.Fill(Shape{0, 0, double(width), double(height),
                   [=](double x, double y) {
                     return (x - centre.x) * std::sin(split) - (y - centre.y) * std::cos(split) > 0;
                   }},
             Hex(0xEADFC6));
  const double wedgeLength = 0.65 * reach;
  motif.Fill(
      PolygonShape({far,
                    {far.x + wedgeLength * std::cos(axis - spread), far.y + wedgeLength * std::sin(axis - spread)},
                    {far.x + wedgeLength * std::cos(axis + spread), far.y + wedgeLength * std::sin(axis + spread)}}),
      palette::kMustard);
  const Point leafCentre = toward(far, -0.05);
  const double turn = axis + 0.6;
  const double c = std::cos(turn), sn = std::sin(turn);
  const double rx = 0.6 * reach, ry = 0.24 * reach;
  motif.Fill(Shape{leafCentre.x - rx, leafCentre.y - rx, leafCentre.x + rx, leafCentre.y + rx,
                   [=](double x, double y) {
                     const double u = ((x - leafCentre.x) * c + (y - leafCentre.y) * sn) / rx;
                     const double v = (-(x - leafCentre.x) * sn + (y - leafCentre.y) * c) / ry;
                     return u * u + v * v < 1;
                   }},
             palette::kIndigo);
  const Point dot = toward(other, 0.62);
  motif.Fill(EllipseShape(dot.x, dot.y, 0.2 * reach, 0.2 * reach), palette::kBrick);
  return motif;
}

bool RenderPattern(filterhost::Module* module, int32_t symmetry, Canvas* pattern, std::string* error) {
  constexpr int32_t width = kSwatchWidth * kRenderScale, height = kSwatchHeight * kRenderScale;
  static_assert(width <= 256 && height <= 256, "the probe holds coordinates in single bytes");
  const quiltora_cli::Box box{width / 2 - kSourceSide / 2, height / 2 - kSourceSide / 2, kSourceSide, kSourceSide};
  std::vector<Point> region;
  Canvas result;
  if (!SourceRegion(module, symmetry, box, width, height, &region, error) ||
      !RunFilter(module, symmetry, box, Motif(region, width, height), &result, error))
    return false;
  *pattern = result.Reduced(kRenderScale);
  return true;
}

Canvas Icon(const Canvas& pattern, const std::string& name, const ArtFonts& fonts) {
  Canvas icon(kIconWidth, kIconHeight, palette::kPickerGray);
  // The card: the part the button shows and the picker frames.
  icon.FillRect(0, 0, kIconShownWidth, kIconShownHeight, palette::kPanel);
  icon.HLine(0, kIconShownWidth - 1, 0, palette::kHighlight);
  icon.VLine(0, 0, kIconShownHeight - 1, palette::kHighlight);
  icon.HLine(0, kIconShownWidth - 1, kIconShownHeight - 1, palette::kPanelEdge);
  icon.VLine(kIconShownWidth - 1, 0, kIconShownHeight - 1, palette::kPanelEdge);
  // The swatch in a thin sunken frame.
  icon.FillRect(kSwatchLeft - 1, kSwatchTop - 1, kSwatchLeft + kSwatchWidth + 1, kSwatchTop + kSwatchHeight + 1,
                palette::kWellEdge);
  icon.Draw(pattern, kSwatchLeft, kSwatchTop);
  fonts.condensedBold.DrawCentred(&icon, kIconShownWidth / 2.0, 66, name, 9, palette::kInk, -0.2);
  return icon;
}

}  // namespace

bool SymmetryIcons(const std::string& modulePath, const ArtFonts& fonts, std::vector<ArtPiece>* pieces,
                   std::string* error) {
  filterhost::Module module;
  if (!module.Load(modulePath)) {
    *error = "cannot load the filter module " + modulePath + ": " + module.error();
    return false;
  }
  for (const quiltora::SymmetryInfo& symmetry : quiltora::kSymmetries) {
    Canvas pattern;
    if (!RenderPattern(&module, symmetry.number, &pattern, error)) return false;
    const std::string id = std::to_string(symmetry.iconBitmap);
    pieces->push_back(BitmapPiece(symmetry.iconBitmap, "symmetry-" + id + ".bmp",
                                  id + " " + symmetry.name + " (" + std::to_string(symmetry.number) + ")",
                                  Icon(pattern, symmetry.name, fonts)));
  }
  return true;
}

}  // namespace artgen
