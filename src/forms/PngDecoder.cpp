#include "PngDecoder.h"

#include "runtime/RuntimeError.h"

#include <limits>
#include <memory>

// stb_image, compiled into this file alone: only its PNG decoder, reading from memory (no stdio),
// every function static so that nothing of it is seen outside, no thread-local error text (its
// reasons are not shown; a damaged picture gets the program's own error).
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_NO_THREAD_LOCALS
#define STBI_MAX_DIMENSIONS 8192
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace forms {

DecodedPicture DecodePng(const uint8_t* data, size_t size) {
    constexpr int kRgb = 3;
    int width = 0;
    int height = 0;
    int channelsInFile = 0;
    const std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> rgb(
        size <= static_cast<size_t>(std::numeric_limits<int>::max())
            ? stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channelsInFile, kRgb)
            : nullptr,
        &stbi_image_free);
    if (!rgb) {
        runtime::Raise(runtime::kErrPathFileAccess, "Bilddaten beschädigt");
    }
    DecodedPicture picture;
    picture.Width = width;
    picture.Height = height;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    picture.Pixels.resize(count * 4);
    const stbi_uc* source = rgb.get();
    uint8_t* target = picture.Pixels.data();
    for (size_t i = 0; i < count; ++i, source += kRgb, target += 4) {
        target[0] = source[2];
        target[1] = source[1];
        target[2] = source[0];
        target[3] = 0;
    }
    return picture;
}

} // namespace forms
