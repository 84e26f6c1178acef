// The one translation unit that compiles stb's image reader and writer. Its
// folder is a system include path; the pragma also covers a build that puts
// it on a plain one (stb's writer leaves struct fields to zero-initialisation).
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_ONLY_PSD
#define STBI_ONLY_PNM
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image.h>
#include <stb_image_write.h>

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
