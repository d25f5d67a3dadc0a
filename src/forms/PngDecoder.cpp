#include "PngDecoder.h"

#include "runtime/RuntimeError.h"

#include <array>
#include <cstdlib>
#include <cstring>

namespace forms {

namespace {

[[noreturn]] void Damaged() { runtime::Raise(runtime::kErrPathFileAccess, "Bilddaten beschädigt"); }

// Bits of a deflate stream, least significant bit first.
class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint32_t Bits(int count) {
        while (available_ < count) {
            if (position_ >= size_) {
                Damaged();
            }
            buffer_ |= static_cast<uint32_t>(data_[position_++]) << available_;
            available_ += 8;
        }
        const uint32_t value = buffer_ & ((1u << count) - 1u);
        buffer_ >>= count;
        available_ -= count;
        return value;
    }

    // Stored blocks start at a byte boundary; the bits left in the current byte are skipped.
    void SkipToByte() {
        buffer_ = 0;
        available_ = 0;
    }

    uint8_t Byte() {
        if (position_ >= size_) {
            Damaged();
        }
        return data_[position_++];
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    uint32_t buffer_ = 0;
    int available_ = 0;
};

// A canonical Huffman code: how many codes each length has, and the symbols in code order.
struct Huffman {
    std::array<uint16_t, 16> Counts{};
    std::array<uint16_t, 320> Symbols{};
};

void Build(Huffman& code, const uint8_t* lengths, int symbolCount) {
    code.Counts.fill(0);
    for (int symbol = 0; symbol < symbolCount; ++symbol) {
        ++code.Counts[lengths[symbol]];
    }
    code.Counts[0] = 0;
    // An over-subscribed set of lengths describes no code.
    int left = 1;
    for (int length = 1; length < 16; ++length) {
        left <<= 1;
        left -= code.Counts[length];
        if (left < 0) {
            Damaged();
        }
    }
    std::array<uint16_t, 16> offsets{};
    for (int length = 1; length < 15; ++length) {
        offsets[length + 1] = static_cast<uint16_t>(offsets[length] + code.Counts[length]);
    }
    for (int symbol = 0; symbol < symbolCount; ++symbol) {
        if (lengths[symbol] != 0) {
            code.Symbols[offsets[lengths[symbol]]++] = static_cast<uint16_t>(symbol);
        }
    }
}

// Codes are sent from their most significant bit on: the code grows one bit at a time until it
// falls within the codes of its length.
int Decode(BitReader& in, const Huffman& code) {
    int value = 0;
    int first = 0;
    int index = 0;
    for (int length = 1; length < 16; ++length) {
        value |= static_cast<int>(in.Bits(1));
        const int count = code.Counts[length];
        if (value - count < first) {
            return code.Symbols[index + (value - first)];
        }
        index += count;
        first = (first + count) << 1;
        value <<= 1;
    }
    Damaged();
}

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                        193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void InflateCodes(BitReader& in, std::vector<uint8_t>& out, const Huffman& literals, const Huffman& distances) {
    for (;;) {
        const int symbol = Decode(in, literals);
        if (symbol < 256) {
            out.push_back(static_cast<uint8_t>(symbol));
        } else if (symbol == 256) {
            return;
        } else {
            const int lengthIndex = symbol - 257;
            if (lengthIndex >= 29) {
                Damaged();
            }
            const size_t length = kLengthBase[lengthIndex] + in.Bits(kLengthExtra[lengthIndex]);
            const int distanceIndex = Decode(in, distances);
            if (distanceIndex >= 30) {
                Damaged();
            }
            const size_t distance = kDistanceBase[distanceIndex] + in.Bits(kDistanceExtra[distanceIndex]);
            if (distance > out.size()) {
                Damaged();
            }
            // Byte by byte: a copy may overlap the bytes it produces.
            const size_t from = out.size() - distance;
            for (size_t i = 0; i < length; ++i) {
                out.push_back(out[from + i]);
            }
        }
    }
}

void InflateFixed(BitReader& in, std::vector<uint8_t>& out) {
    static const auto codes = [] {
        std::array<uint8_t, 288> lengths{};
        for (int symbol = 0; symbol < 288; ++symbol) {
            lengths[symbol] = symbol < 144 ? 8 : symbol < 256 ? 9 : symbol < 280 ? 7 : 8;
        }
        std::array<uint8_t, 30> distanceLengths{};
        distanceLengths.fill(5);
        std::pair<Huffman, Huffman> built;
        Build(built.first, lengths.data(), 288);
        Build(built.second, distanceLengths.data(), 30);
        return built;
    }();
    InflateCodes(in, out, codes.first, codes.second);
}

void InflateDynamic(BitReader& in, std::vector<uint8_t>& out) {
    const int literalCount = static_cast<int>(in.Bits(5)) + 257;
    const int distanceCount = static_cast<int>(in.Bits(5)) + 1;
    const int lengthCodeCount = static_cast<int>(in.Bits(4)) + 4;
    if (literalCount > 286 || distanceCount > 30) {
        Damaged();
    }
    constexpr uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    std::array<uint8_t, 19> lengthCodeLengths{};
    for (int i = 0; i < lengthCodeCount; ++i) {
        lengthCodeLengths[kOrder[i]] = static_cast<uint8_t>(in.Bits(3));
    }
    Huffman lengthCode;
    Build(lengthCode, lengthCodeLengths.data(), 19);

    std::array<uint8_t, 320> lengths{};
    int filled = 0;
    while (filled < literalCount + distanceCount) {
        const int symbol = Decode(in, lengthCode);
        if (symbol < 16) {
            lengths[filled++] = static_cast<uint8_t>(symbol);
            continue;
        }
        uint8_t repeated = 0;
        int times = 0;
        if (symbol == 16) {
            if (filled == 0) {
                Damaged();
            }
            repeated = lengths[filled - 1];
            times = 3 + static_cast<int>(in.Bits(2));
        } else if (symbol == 17) {
            times = 3 + static_cast<int>(in.Bits(3));
        } else {
            times = 11 + static_cast<int>(in.Bits(7));
        }
        if (filled + times > literalCount + distanceCount) {
            Damaged();
        }
        while (times-- > 0) {
            lengths[filled++] = repeated;
        }
    }
    if (lengths[256] == 0) {
        Damaged();
    }
    Huffman literals;
    Huffman distances;
    Build(literals, lengths.data(), literalCount);
    Build(distances, lengths.data() + literalCount, distanceCount);
    InflateCodes(in, out, literals, distances);
}

uint32_t BigEndian(const uint8_t* bytes) {
    return (static_cast<uint32_t>(bytes[0]) << 24) | (static_cast<uint32_t>(bytes[1]) << 16) |
           (static_cast<uint32_t>(bytes[2]) << 8) | bytes[3];
}

uint8_t Paeth(int left, int up, int upLeft) {
    const int estimate = left + up - upLeft;
    const int toLeft = std::abs(estimate - left);
    const int toUp = std::abs(estimate - up);
    const int toUpLeft = std::abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) {
        return static_cast<uint8_t>(left);
    }
    return static_cast<uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

} // namespace

std::vector<uint8_t> Inflate(const uint8_t* data, size_t size) {
    if (size < 2 || (data[0] & 0x0F) != 8 || ((data[0] << 8) | data[1]) % 31 != 0 || (data[1] & 0x20) != 0) {
        Damaged();
    }
    BitReader in(data + 2, size - 2);
    std::vector<uint8_t> out;
    bool last = false;
    while (!last) {
        last = in.Bits(1) == 1;
        switch (in.Bits(2)) {
        case 0: {
            in.SkipToByte();
            const uint32_t length = in.Byte() | (static_cast<uint32_t>(in.Byte()) << 8);
            const uint32_t complement = in.Byte() | (static_cast<uint32_t>(in.Byte()) << 8);
            if ((length ^ 0xFFFFu) != complement) {
                Damaged();
            }
            for (uint32_t i = 0; i < length; ++i) {
                out.push_back(in.Byte());
            }
            break;
        }
        case 1:
            InflateFixed(in, out);
            break;
        case 2:
            InflateDynamic(in, out);
            break;
        default:
            Damaged();
        }
    }
    return out;
}

DecodedPicture DecodePng(const uint8_t* data, size_t size) {
    constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 8 || std::memcmp(data, kSignature, 8) != 0) {
        Damaged();
    }
    DecodedPicture picture;
    int channels = 0;
    std::vector<uint8_t> compressed;
    size_t position = 8;
    bool ended = false;
    while (!ended) {
        if (size - position < 12) {
            Damaged();
        }
        const uint32_t length = BigEndian(data + position);
        const uint8_t* type = data + position + 4;
        const uint8_t* body = data + position + 8;
        if (length > size - position - 12) {
            Damaged();
        }
        if (std::memcmp(type, "IHDR", 4) == 0) {
            if (length != 13) {
                Damaged();
            }
            picture.Width = static_cast<int>(BigEndian(body));
            picture.Height = static_cast<int>(BigEndian(body + 4));
            const uint8_t depth = body[8];
            const uint8_t colourType = body[9];
            channels = colourType == 2 ? 3 : colourType == 6 ? 4 : 0;
            if (depth != 8 || channels == 0 || body[10] != 0 || body[11] != 0 || body[12] != 0 ||
                picture.Width <= 0 || picture.Height <= 0 || picture.Width > 8192 || picture.Height > 8192) {
                Damaged();
            }
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            compressed.insert(compressed.end(), body, body + length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            ended = true;
        }
        position += 12 + length;
    }
    if (channels == 0) {
        Damaged();
    }

    const std::vector<uint8_t> filtered = Inflate(compressed.data(), compressed.size());
    const size_t stride = static_cast<size_t>(picture.Width) * static_cast<size_t>(channels);
    const size_t height = static_cast<size_t>(picture.Height);
    if (filtered.size() < (stride + 1) * height) {
        Damaged();
    }
    // Undoes each row's filter against the row above (zeros above the first).
    std::vector<uint8_t> previous(stride, 0);
    std::vector<uint8_t> row(stride);
    picture.Pixels.resize(static_cast<size_t>(picture.Width) * height * 4);
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* line = filtered.data() + y * (stride + 1);
        const uint8_t filter = line[0];
        for (size_t x = 0; x < stride; ++x) {
            const int raw = line[1 + x];
            const int left = x >= static_cast<size_t>(channels) ? row[x - channels] : 0;
            const int up = previous[x];
            const int upLeft = x >= static_cast<size_t>(channels) ? previous[x - channels] : 0;
            int predicted = 0;
            switch (filter) {
            case 0:
                break;
            case 1:
                predicted = left;
                break;
            case 2:
                predicted = up;
                break;
            case 3:
                predicted = (left + up) / 2;
                break;
            case 4:
                predicted = Paeth(left, up, upLeft);
                break;
            default:
                Damaged();
            }
            row[x] = static_cast<uint8_t>(raw + predicted);
        }
        uint8_t* pixel = picture.Pixels.data() + y * static_cast<size_t>(picture.Width) * 4;
        for (size_t x = 0; x < static_cast<size_t>(picture.Width); ++x) {
            const uint8_t* source = row.data() + x * static_cast<size_t>(channels);
            pixel[x * 4 + 0] = source[2];
            pixel[x * 4 + 1] = source[1];
            pixel[x * 4 + 2] = source[0];
            pixel[x * 4 + 3] = 0;
        }
        previous.swap(row);
    }
    return picture;
}

} // namespace forms
