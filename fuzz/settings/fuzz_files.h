// The files a fuzzed settings block may name as its source picture: written
// once into a private temporary folder, so that no input reaches any other file.
#pragma once

#include <cstdint>
#include <string>

namespace fuzzfiles {

// The path of file number choice (any value): a 24-bit probe picture, a
// one-pixel picture, a wide one, a truncated one, or a file that does not exist.
const std::string& SourceFile(uint8_t choice);

}  // namespace fuzzfiles
