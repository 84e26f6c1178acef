#include "settings.h"

#include <algorithm>
#include <cstring>

namespace quiltora_cli {
namespace {

int32_t ClampToInt16(int32_t value) { return std::clamp(value, -32768, 32767); }

std::string Size(int32_t width, int32_t height) { return std::to_string(width) + " x " + std::to_string(height); }

std::string BoxText(const Box& box) {
  return std::to_string(box.x) + "," + std::to_string(box.y) + "," + std::to_string(box.width) + "," +
         std::to_string(box.height);
}

bool Inside(const Box& box, int32_t width, int32_t height) {
  return int64_t(box.x) + box.width <= width && int64_t(box.y) + box.height <= height;
}

// The default selection of a source of that size: a square of a third of the
// shorter side in the middle, as the module makes it for the image.
Box DefaultSelection(int32_t width, int32_t height) {
  const int32_t side = std::min(width / 3, height / 3);
  return Box{width / 2 - side / 2, height / 2 - side / 2, side, side};
}

// Writes the selection, relative to a source of sourceWidth x sourceHeight,
// into every field the module reads it from.
void WriteSelection(const Box& box, int32_t shear, int32_t sourceWidth, int32_t sourceHeight,
                    quiltora::ParameterBlock* block) {
  block->sourceWidth = sourceWidth;
  block->sourceHeight = sourceHeight;
  block->selectionX = box.x;
  block->selectionY = box.y;
  block->selectionWidth = box.width;
  block->selectionHeight = box.height;
  block->selectionSize = std::min(box.width, box.height);
  block->selectionSpan = shear;
  block->selectionExtra = 0;
  block->selectionRect = quiltora::IntRect{ClampToInt16(box.x), ClampToInt16(box.y),
                                           ClampToInt16(box.x + box.width), ClampToInt16(box.y + box.height)};
  block->selectionNormalised = quiltora::SelectionFrame{
      double(box.y) / sourceHeight, double(box.x) / sourceWidth, double(box.y + box.height) / sourceHeight,
      double(box.x + box.width) / sourceWidth, double(shear) / box.height};
  block->selectionInitialised = 0;
}

// The stored fraction whose truncated product with size gives back pixels.
double OffsetFraction(int32_t pixels, int32_t size) {
  if (pixels == 0) return 0.0;
  return (pixels + (pixels > 0 ? 0.5 : -0.5)) / size;
}

bool ApplySource(const Options& o, const RunGeometry& g, quiltora::ParameterBlock* block, Box* source,
                 std::string* error) {
  if (o.sourceFile.empty()) {
    *source = Box{0, 0, g.areaWidth, g.areaHeight};
    return true;
  }
  if (o.sourceFile.size() >= size_t(quiltora::kSourcePathSize)) {
    *error = "the --source path is too long for the module (at most " +
             std::to_string(quiltora::kSourcePathSize - 1) + " characters)";
    return false;
  }
  *source = SourceAreaOf(o, g);
  if (!Inside(*source, g.sourceFileWidth, g.sourceFileHeight)) {
    *error = "--source-area " + BoxText(*source) + " does not lie inside the " +
             Size(g.sourceFileWidth, g.sourceFileHeight) + " source file";
    return false;
  }
  if (source->width > g.areaWidth || source->height > g.areaHeight) {
    *error = "--source-area " + BoxText(*source) + " is larger than the " + Size(g.areaWidth, g.areaHeight) +
             " filter area";
    return false;
  }
  block->sourceKind = quiltora::kSourceLoadedFile;
  block->sourceSmallerThanImage = g.sourceFileWidth > g.areaWidth && g.sourceFileHeight > g.areaHeight ? 0 : 1;
  block->loadedSource = 0;
  block->loadedSourceBytesPerPixel = g.sourceFileBytesPerPixel;
  block->sourceArea = quiltora::IntRect{source->x, source->y, source->x + source->width, source->y + source->height};
  std::memset(block->sourcePath, 0, sizeof block->sourcePath);
  std::memcpy(block->sourcePath, o.sourceFile.data(), o.sourceFile.size());
  return true;
}

// The selection in the source's own pixels (the filter area's, or the whole
// file's), as the dialog commits it: inside the source area, normalised by the
// size of the whole source.
bool ApplySelection(const Options& o, const RunGeometry& g, const Box& area, quiltora::ParameterBlock* block,
                    std::string* error) {
  const bool fromFile = !o.sourceFile.empty();
  if (!o.select && !o.shear && !fromFile) return true;  // the module's default fits the area already
  Box selection = DefaultSelection(area.width, area.height);
  selection.x += area.x;
  selection.y += area.y;
  if (o.select) {
    selection = *o.select;
    const bool inside = selection.x >= area.x && selection.y >= area.y &&
                        int64_t(selection.x) + selection.width <= int64_t(area.x) + area.width &&
                        int64_t(selection.y) + selection.height <= int64_t(area.y) + area.height;
    if (!inside) {
      *error = "--select " + BoxText(*o.select) + " does not lie inside the " + Size(area.width, area.height) +
               (fromFile ? " source area at " + std::to_string(area.x) + "," + std::to_string(area.y) : " source");
      return false;
    }
  }
  const int32_t shear = o.shear.value_or(0);
  if (shear <= -selection.width || shear >= selection.width) {
    *error = "--shear " + std::to_string(shear) + " leaves no brick in a selection " +
             std::to_string(selection.width) + " pixels wide";
    return false;
  }
  if (fromFile) WriteSelection(selection, shear, g.sourceFileWidth, g.sourceFileHeight, block);
  else WriteSelection(selection, shear, area.width, area.height, block);
  return true;
}

}  // namespace

Box SourceAreaOf(const Options& o, const RunGeometry& g) {
  if (o.sourceFile.empty()) return Box{};
  if (o.sourceArea) return *o.sourceArea;
  const int32_t width = std::min(g.areaWidth, g.sourceFileWidth);
  const int32_t height = std::min(g.areaHeight, g.sourceFileHeight);
  return Box{(g.sourceFileWidth - width) / 2, (g.sourceFileHeight - height) / 2, width, height};
}

bool ApplyOptions(const Options& o, const RunGeometry& g, quiltora::ParameterBlock* block, std::string* error) {
  block->showDialog = 0;
  block->imageWidth = g.areaWidth;
  block->imageHeight = g.areaHeight;
  if (o.symmetry != 0) block->symmetry = o.symmetry;
  if (o.feather) block->feather = *o.feather;
  if (o.opacity) block->opacity = *o.opacity;
  if (o.blendMode) block->blendMode = *o.blendMode;
  if (o.offset) {
    const Offset& offset = *o.offset;
    if (offset.dx <= -g.areaWidth || offset.dx >= g.areaWidth || offset.dy <= -g.areaHeight ||
        offset.dy >= g.areaHeight) {
      *error = "--offset " + std::to_string(offset.dx) + "," + std::to_string(offset.dy) +
               " must stay within the " + Size(g.areaWidth, g.areaHeight) + " filter area";
      return false;
    }
    block->tileOffsetFracX = OffsetFraction(offset.dx, g.areaWidth);
    block->tileOffsetFracY = OffsetFraction(offset.dy, g.areaHeight);
    block->tileOffsetX = offset.dx;
    block->tileOffsetY = offset.dy;
  }
  Box source;
  return ApplySource(o, g, block, &source, error) && ApplySelection(o, g, source, block, error);
}

}  // namespace quiltora_cli
