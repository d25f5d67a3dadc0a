#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace forms {

// A decoded picture: rows from the top, four bytes a pixel (blue, green, red, unused), as a
// 32-bit top-down DIB section holds them.
struct DecodedPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels;
};

// Decodes a PNG file held in memory (the program's own picture resources); any transparency is
// dropped. A damaged file, or one that is no PNG, raises a run-time error. Decoding here keeps COM
// and the system's image codecs out of the program: they would cost more than the wizard's whole
// set-up.
DecodedPicture DecodePng(const uint8_t* data, size_t size);

} // namespace forms
