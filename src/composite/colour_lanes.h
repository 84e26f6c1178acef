// The Hue, Saturation, Color and Luminosity modes on vector lanes: the same
// integer colour model, evaluated for 8 or 16 pixels at a time where the
// processor has AVX2 or AVX-512, giving the bytes of the one-pixel routines.
#pragma once

#include <cstdint>

namespace quiltora {

// Byte-shuffle controls of one pixel layout, for a 16-byte group of four
// pixels (the loads spread three-byte pixels to four per group).
struct ColourLaneControls {
  int8_t groupInput[3][16];  // red, green, blue of each pixel to byte 0 of its 32-bit lane
  int8_t groupTile[3][16];
  int8_t groupOutput[3][16];  // byte 0 of each lane to the channel's byte of its pixel
  int8_t groupWritten[16];    // -1 where a four-byte output pixel takes the result
};

// The controls of pixels of outputBytes and tileBytes (3 or 4) whose red,
// green and blue lie at the given byte offsets.
constexpr ColourLaneControls MakeColourLaneControls(int outputBytes, int tileBytes, const int (&outputOffsets)[3],
                                                    const int (&tileOffsets)[3]) {
  ColourLaneControls c{};
  for (int k = 0; k < 3; ++k) {
    for (int b = 0; b < 16; ++b) c.groupInput[k][b] = c.groupTile[k][b] = c.groupOutput[k][b] = -128;
    for (int p = 0; p < 4; ++p) {
      const int inputByte = p * outputBytes + outputOffsets[k];
      c.groupInput[k][4 * p] = static_cast<int8_t>(inputByte);
      c.groupTile[k][4 * p] = static_cast<int8_t>(p * tileBytes + tileOffsets[k]);
      c.groupOutput[k][inputByte] = static_cast<int8_t>(4 * p);
      c.groupWritten[inputByte] = -1;
    }
  }
  return c;
}

// count consecutive pixels of one colour mode. Bytes of a four-byte output
// pixel that are not red, green or blue keep what the output row held.
struct ColourLaneRun {
  int16_t blendMode = 0;  // 4 to 7
  bool mixed = false;     // with transparency t
  int32_t transparency = 0;
  int32_t outputBytes = 3, tileBytes = 3;  // 3 or 4
  const ColourLaneControls* controls = nullptr;
  const uint8_t* tile = nullptr;
  const uint8_t* input = nullptr;
  uint8_t* output = nullptr;
  int32_t count = 0;
};

// Blends the leading whole vectors of the run and returns how many pixels it
// did (a multiple of the lane count, 0 without vector lanes); the caller
// finishes the rest one pixel at a time.
int32_t BlendColourLanes(const ColourLaneRun& run);

// The widest lanes used: 0 none, 8 (AVX2) or 16 (AVX-512).
int32_t ColourLaneWidth();

// Caps the lanes at the given width for the life of the object, so that
// tests can hold every width the processor has against the one-pixel model.
class ColourLaneCap {
 public:
  explicit ColourLaneCap(int32_t width);
  ~ColourLaneCap();
  ColourLaneCap(const ColourLaneCap&) = delete;
  ColourLaneCap& operator=(const ColourLaneCap&) = delete;

 private:
  int32_t previous_;
};

}  // namespace quiltora
