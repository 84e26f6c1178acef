#include "common/fixed.h"

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace quiltora {
namespace {

// Reduces a 64-bit value to the int32 with the same low 32 bits.
int32_t Low32(int64_t value) {
  const uint32_t bits = static_cast<uint32_t>(static_cast<uint64_t>(value));
  return bits <= 0x7FFFFFFFu ? static_cast<int32_t>(bits)
                             : static_cast<int32_t>(static_cast<int64_t>(bits) - 4294967296LL);
}

// The exact product rounded down to 16.16, wrapped to 32 bits: the four
// partial products sum to exactly this.
int32_t ReferenceMul(int32_t a, int32_t b) {
  const int64_t product = static_cast<int64_t>(a) * b;
  const int64_t floored = product >= 0 ? product / 65536 : -((-product + 65535) / 65536);
  return Low32(floored);
}

int64_t ReferenceRoot(int64_t v) {
  int64_t low = 0;
  int64_t high = 46341;
  while (low < high) {
    const int64_t mid = (low + high + 1) / 2;
    if (mid * mid <= v) low = mid; else high = mid - 1;
  }
  return low;
}

// Edge values of 16.16 and random ones from the whole int32 range.
std::vector<int32_t> SampleOperands() {
  std::vector<int32_t> values = {0, 1, -1, 0x7FFF, 0x8000, 0xFFFF, 0x10000, -0x10000, 0x10001,
                                 -0x10001, 0x7FFFFFFF, INT32_MIN, INT32_MIN + 1, 0x40000000,
                                 -0x40000000, 56756, -56756, 113512, 32768, -32768};
  std::mt19937 random(20261210);
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
  std::uniform_int_distribution<int32_t> small(-0x800000, 0x800000);
  for (int i = 0; i < 300; ++i) {
    values.push_back(any(random));
    values.push_back(small(random));
  }
  return values;
}

TEST(FixedPoint, MulMatchesFlooredProductWithWrap) {
  const std::vector<int32_t> values = SampleOperands();
  for (int32_t a : values) {
    for (int32_t b : values) {
      ASSERT_EQ(FixMul(a, b), ReferenceMul(a, b)) << a << " * " << b;
    }
  }
}

TEST(FixedPoint, MulKnownValues) {
  EXPECT_EQ(FixMul(3 << 16, 2 << 16), 6 << 16);
  EXPECT_EQ(FixMul(-(3 << 16), 2 << 16), -(6 << 16));
  EXPECT_EQ(FixMul(0x8000, 0x8000), 0x4000);  // 0.5 × 0.5
  EXPECT_EQ(FixMul(-1, 1), -1);                // the fraction is floored, not truncated
  EXPECT_EQ(FixMul(200 << 16, 400 << 16), Low32(80000LL << 16));  // wraps past 32767
}

TEST(FixedPoint, DivIsMulByTruncatedReciprocal) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int32_t> numerator(-0x7FFFFFFF, 0x7FFFFFFF);
  for (int32_t whole = 1; whole <= 5000; whole += (whole < 50 ? 1 : 37)) {
    const int32_t b = whole << 16;
    const int32_t reciprocal = 0x40000000 / (b >> 2);
    for (int i = 0; i < 40; ++i) {
      const int32_t a = numerator(random);
      ASSERT_EQ(FixDiv(a, b), ReferenceMul(a, reciprocal)) << a << " / " << whole;
    }
  }
  EXPECT_EQ(FixDiv(6 << 16, 2 << 16), 3 << 16);
  EXPECT_EQ(FixDiv(1 << 16, 3 << 16), 21845);  // 1/3 truncated
  EXPECT_EQ(FixDiv(-(6 << 16), 4 << 16), -(3 << 15));
}

TEST(FixedPoint, SqrtIsIntegerRootShiftedByEight) {
  std::vector<int64_t> values = {0, 1, 2, 3, 4, 65535, 65536, 65537, 0x3FFFFFFF, 0x40000000,
                                 0x40000001, 0x7FFFFFFF};
  for (int64_t r = 1; r <= 46340; r += 97) {
    values.push_back(r * r - 1);
    values.push_back(r * r);
    values.push_back(r * r + 1);
  }
  std::mt19937 random(11);
  std::uniform_int_distribution<int32_t> positive(0, INT32_MAX);
  for (int i = 0; i < 20000; ++i) values.push_back(positive(random));
  for (int64_t v : values) {
    if (v > INT32_MAX) continue;
    ASSERT_EQ(FixSqrt(static_cast<int32_t>(v)), ReferenceRoot(v) << 8) << v;
  }
  EXPECT_EQ(FixSqrt(1 << 16), 1 << 16);
  EXPECT_EQ(FixSqrt(4 << 16), 2 << 16);
}

// 16384.0 and above: the root of the slope term for shears of 128 times the height.
TEST(FixedPoint, SqrtOfLargeValuesIsExact) {
  EXPECT_EQ(FixSqrt(16384 << 16), 128 << 16);
  EXPECT_EQ(FixSqrt(INT32_MAX), 46340 << 8);
  EXPECT_EQ(FixSqrt(0x7FFF0000), 46340 << 8);
}

TEST(FixedPoint, SqrtOfNegativeIsZero) {
  EXPECT_EQ(FixSqrt(-1), 0);
  EXPECT_EQ(FixSqrt(INT32_MIN), 0);
}

TEST(FixedPoint, DoubleToFixTruncatesTowardZeroAndWraps) {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> range(-1.0e6, 1.0e6);
  for (int i = 0; i < 50000; ++i) {
    const double x = range(random);
    const int64_t expected = static_cast<int64_t>(std::trunc(x * 65536.0));
    ASSERT_EQ(DoubleToFix(x), Low32(expected)) << x;
  }
  EXPECT_EQ(DoubleToFix(1.5), 0x18000);
  EXPECT_EQ(DoubleToFix(-1.5), -0x18000);
  EXPECT_EQ(DoubleToFix(0.8660254), 56755);
  EXPECT_EQ(DoubleToFix(-0.00001), 0);   // toward zero, not down
  EXPECT_EQ(DoubleToFix(32768.0), INT32_MIN);  // the whole part wraps like a 32-bit shift
}

TEST(FixedPoint, IntegerHelpersWrapAndFloor) {
  EXPECT_EQ(IntToFix(3), 3 << 16);
  EXPECT_EQ(IntToFix(-3), -(3 << 16));
  EXPECT_EQ(IntToFix(32768), INT32_MIN);
  EXPECT_EQ(WrapAdd(INT32_MAX, 1), INT32_MIN);
  EXPECT_EQ(FixToInt(-1), -1);
  EXPECT_EQ(FixToInt(0x18000), 1);
  EXPECT_EQ(FixToInt(-0x18000), -2);
  EXPECT_EQ(FixToInt(INT32_MIN), -32768);
}

}  // namespace
}  // namespace quiltora
