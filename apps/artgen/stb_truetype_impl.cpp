// The one translation unit that compiles stb's TrueType rasteriser.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
