#include "render/rect_builders.h"

#include <algorithm>

#include "render/hex_machinery.h"

namespace quiltora {

namespace {

// Writes count source pixels, the first at sourceFirst and the next ones
// sourceStride bytes apart, standing for j = jFirst, jFirst + 1, ... of row i.
void WritePlace(const TileBuffers& buffers, const PixelLayout& layout, const RowPlace& place,
                int32_t i, int32_t jFirst, const uint8_t* sourceFirst, int64_t sourceStride,
                int32_t count) {
  const int32_t row = place.rowBase + place.rowSign * i;
  const int32_t column = place.mirrored ? place.firstColumn - jFirst : place.firstColumn + jFirst;
  uint8_t* tileFirst = TilePixel(buffers, layout, row, column);
  if (sourceStride == layout.sourceStep) {
    if (place.mirrored) {
      CopyRowMirrored(sourceFirst, tileFirst, count, layout);
    } else {
      CopyRowForward(sourceFirst, tileFirst, count, layout);
    }
    return;
  }
  const int64_t tileStride = place.mirrored ? -layout.tileStep : layout.tileStep;
  CopyPixelRun(sourceFirst + layout.sourceSkip, sourceStride, tileFirst + layout.tileSkip,
               tileStride, count, layout.channels);
}

void WriteSourceRow(const TileBuffers& buffers, const PixelLayout& layout, const RowPlace* places,
                    int placeCount, int32_t i, int32_t count) {
  const uint8_t* sourceRow = SourcePixel(buffers, layout, i, 0);
  for (int k = 0; k < placeCount; ++k) {
    WritePlace(buffers, layout, places[k], i, 0, sourceRow, layout.sourceStep, count);
  }
}

// Row i of the square folded across its diagonal: source (i, j) for j ≤ i,
// then source (j, i) for j > i, down column i.
void WriteFoldedRow(const TileBuffers& buffers, const PixelLayout& layout, const RowPlace* places,
                    int placeCount, int32_t i, int32_t n) {
  const uint8_t* sourceRow = SourcePixel(buffers, layout, i, 0);
  for (int k = 0; k < placeCount; ++k) {
    WritePlace(buffers, layout, places[k], i, 0, sourceRow, layout.sourceStep, i + 1);
    if (i + 1 < n) {
      WritePlace(buffers, layout, places[k], i, i + 1, SourcePixel(buffers, layout, i + 1, i),
                 buffers.sourceRowBytes, n - 1 - i);
    }
  }
}

// The copies of members 2 and 8 that turn source rows into tile columns, for
// source rows first..end − 1, written as one short row run per tile row:
// member 2 puts source (i, j) on (j, i) for j ≤ i; member 8 on
// (2N − 1 − j, i) and (j, 2N − 1 − i).
void WriteTurnedColumns(const TileBuffers& buffers, const PixelLayout& layout, int16_t number,
                        int32_t n, int32_t first, int32_t end) {
  const int64_t down = buffers.sourceRowBytes;
  const int32_t step = layout.tileStep;
  for (int32_t j = 0; j < n; ++j) {
    if (number == 2) {
      const int32_t from = std::max(first, j);
      if (from >= end) break;
      CopyPixelRun(SourcePixel(buffers, layout, from, j) + layout.sourceSkip, down,
                   TilePixel(buffers, layout, j, from) + layout.tileSkip, step, end - from,
                   layout.channels);
      continue;
    }
    const uint8_t* column = SourcePixel(buffers, layout, first, j) + layout.sourceSkip;
    CopyPixelRun(column, down, TilePixel(buffers, layout, 2 * n - 1 - j, first) + layout.tileSkip,
                 step, end - first, layout.channels);
    CopyPixelRun(column, down, TilePixel(buffers, layout, j, 2 * n - 1 - first) + layout.tileSkip,
                 -step, end - first, layout.channels);
  }
}

}  // namespace

int RectanglePlaces(int16_t number, int32_t w, int32_t h, RowPlace* places) {
  switch (number) {
    case 3:  // pm
      places[0] = {0, 1, 2 * w - 1, true};
      places[1] = {0, 1, 0, false};
      return 2;
    case 4:  // p2
      places[0] = {h - 1, -1, 2 * w - 1, true};
      places[1] = {0, 1, 0, false};
      return 2;
    case 5:  // pg
      places[0] = {h - 1, -1, w, false};
      places[1] = {0, 1, 0, false};
      return 2;
    case 6:  // pgg
      places[0] = {2 * h - 1, -1, 2 * w - 1, true};
      places[1] = {h, 1, w - 1, true};
      places[2] = {h - 1, -1, w, false};
      places[3] = {0, 1, 0, false};
      return 4;
    case 7:  // pmm
      places[0] = {2 * h - 1, -1, 2 * w - 1, true};
      places[1] = {2 * h - 1, -1, 0, false};
      places[2] = {0, 1, 2 * w - 1, true};
      places[3] = {0, 1, 0, false};
      return 4;
    case 12:  // pmg
      places[0] = {0, 1, 4 * w - 1, true};
      places[1] = {h - 1, -1, 2 * w, false};
      places[2] = {h - 1, -1, 2 * w - 1, true};
      places[3] = {0, 1, 0, false};
      return 4;
    default:
      return 0;
  }
}

int SquarePlaces(int16_t number, int32_t n, RowPlace* places) {
  switch (number) {
    case 9:  // p4g
      places[0] = {2 * n - 1, -1, 2 * n - 1, true};
      places[1] = {n, 1, n - 1, true};
      places[2] = {n - 1, -1, n, false};
      places[3] = {0, 1, 0, false};
      return 4;
    case 10:  // p4m
      places[0] = {2 * n - 1, -1, 2 * n - 1, true};
      places[1] = {2 * n - 1, -1, 0, false};
      places[2] = {0, 1, 2 * n - 1, true};
      places[3] = {0, 1, 0, false};
      return 4;
    case 11:  // cmm
      places[0] = {0, 1, 0, false};
      places[1] = {0, 1, 2 * n - 1, true};
      places[2] = {n - 1, -1, n - 1, true};
      places[3] = {n - 1, -1, n, false};
      places[4] = {n, 1, n - 1, true};
      places[5] = {n, 1, n, false};
      places[6] = {2 * n - 1, -1, 0, false};
      places[7] = {2 * n - 1, -1, 2 * n - 1, true};
      return 8;
    default:
      return 0;
  }
}

int16_t BuildShearedTile(const TileBuffers& buffers, int32_t width, int32_t height,
                         int32_t shear, const BuildRun& run) {
  const PixelLayout layout = MakePixelLayout(buffers.sourceMode, buffers.tileMode);
  const RowGate gate(run, height - 1 + run.destHeight);
  if (width <= 0) return gate.Finished();
  const int32_t vertexColumn = shear < 0 ? -shear : 0;
  const double slope = static_cast<double>(shear) / height;
  double wrapPosition = slope * 0.5 + (shear < 0 ? width : 0);
  for (int32_t i = 0; i < height; ++i) {
    const int16_t stop = gate.StartRow();
    if (stop != 0) return stop;
    // The row's window of width pixels starts windowStart pixels right of the
    // top-left vertex; each pixel lands on the tile column congruent to its
    // offset modulo width.
    const int32_t wrapEnd = SpanEnd(wrapPosition - 0.4999999);
    const int32_t windowStart = (shear < 0 ? wrapEnd - width : wrapEnd) + 1;
    int32_t split = windowStart % width;
    if (split < 0) split += width;
    const uint8_t* sourceRow = SourcePixel(buffers, layout, i, vertexColumn + windowStart);
    CopyRowForward(sourceRow + static_cast<int64_t>(width - split) * layout.sourceStep,
                   TilePixel(buffers, layout, i, 0), split, layout);
    CopyRowForward(sourceRow, TilePixel(buffers, layout, i, split), width - split, layout);
    wrapPosition += slope;
  }
  return gate.Finished();
}

int16_t BuildRectangleTile(int16_t number, const TileBuffers& buffers, int32_t width,
                           int32_t height, const BuildRun& run) {
  RowPlace places[kMaxPlaces];
  const int placeCount = RectanglePlaces(number, width, height, places);
  if (placeCount == 0) return 0;
  const PixelLayout layout = MakePixelLayout(buffers.sourceMode, buffers.tileMode);
  const RowGate gate(run, height - 1 + run.destHeight);
  for (int32_t i = 0; i < height; ++i) {
    const int16_t stop = gate.StartRow();
    if (stop != 0) return stop;
    WriteSourceRow(buffers, layout, places, placeCount, i, width);
  }
  return gate.Finished();
}

int16_t BuildSquareTile(int16_t number, const TileBuffers& buffers, int32_t side,
                        const BuildRun& run) {
  if (number != 2 && (number < 8 || number > 11)) return 0;
  const int32_t n = side;
  RowPlace places[kMaxPlaces];
  const int placeCount = SquarePlaces(number, n, places);
  const PixelLayout layout = MakePixelLayout(buffers.sourceMode, buffers.tileMode);
  // Spider Web's count runs to 2N − 1 although it makes N steps.
  const int32_t progressRows = number == 11 ? 2 * n : n;
  const RowGate gate(run, progressRows - 1 + run.destHeight);
  const RowPlace turned = {2 * n - 1, -1, 2 * n - 1, true};
  const RowPlace straight = {0, 1, 0, false};
  // Turned copies of finished rows not yet written; a stop writes them first.
  int32_t pendingFrom = 0;
  for (int32_t i = 0; i < n; ++i) {
    const int16_t stop = gate.StartRow();
    if (stop != 0) {
      if (number == 2 || number == 8) {
        WriteTurnedColumns(buffers, layout, number, n, pendingFrom, i);
      }
      return stop;
    }
    switch (number) {
      case 2:  // cm: the row, and its reflection in the diagonal with the group
      case 8:  // p4: the row turned by 180 degrees, and by 90 and 270 with the group
        WriteSourceRow(buffers, layout, number == 2 ? &straight : &turned, 1, i,
                       number == 2 ? i + 1 : n);
        if (number == 8) WriteSourceRow(buffers, layout, &straight, 1, i, n);
        if ((i + 1) % kTurnedColumnRows == 0 || i + 1 == n) {
          WriteTurnedColumns(buffers, layout, number, n, pendingFrom, i + 1);
          pendingFrom = i + 1;
        }
        break;
      case 11:
        WriteSourceRow(buffers, layout, places, placeCount, i, i + 1);
        break;
      default:  // 9, 10
        WriteFoldedRow(buffers, layout, places, placeCount, i, n);
        break;
    }
  }
  return gate.Finished();
}

}  // namespace quiltora
