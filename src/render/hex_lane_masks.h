// Byte-shuffle controls shared by the hexagonal sampler's vector kernels.
#pragma once

namespace quiltora::hex_lanes {

struct ByteMask {
  char bytes[32];
};

constexpr char kZero = -128;  // a shuffle index that gives a zero byte

// A shuffle spreading channels bytes, from byte `first` of each 8-byte half
// of a 16-byte group, over the four 32-bit lanes of that half's sample: the
// first half's sample fills the group's 128-bit lane when it stands first in
// a pair of lanes, the second half's when it stands second.
constexpr ByteMask SpreadMask(int first, int channels) {
  ByteMask mask{};
  for (int k = 0; k < 32; ++k) mask.bytes[k] = kZero;
  for (int lane = 0; lane < 2; ++lane) {
    for (int channel = 0; channel < channels; ++channel)
      mask.bytes[16 * lane + 4 * channel] = static_cast<char>(8 * lane + first + channel);
  }
  return mask;
}

// Four 4-byte pixels of each 128-bit lane to four 3-byte ones at its start.
constexpr ByteMask kSqueezeMask = {{0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, kZero, kZero, kZero, kZero,
                                    0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, kZero, kZero, kZero, kZero}};

// For 3-byte pixels the lower row is read from two bytes before the sample's
// pixel, so that no read passes its lower right neighbour: the last pixel of
// the source may end its buffer. The upper row is read from the pixel itself.
constexpr int LowerLead(int channels) { return channels == 3 ? 2 : 0; }

}  // namespace quiltora::hex_lanes
