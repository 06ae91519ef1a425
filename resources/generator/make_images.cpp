// Writes the program's two background bitmaps, its pointer and its icon, byte by byte, so the files
// committed under resources/images can be rebuilt and checked at any time. Run by hand:
//     tallix_make_images <output dir>
// Plain C++ on purpose: the exact bytes must not depend on any library's encoder.

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Every field of these formats is little-endian.
void putU8(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xffu));
}
void putU16(Bytes& out, unsigned value) {
    putU8(out, value);
    putU8(out, value >> 8);
}
void putU32(Bytes& out, std::uint32_t value) {
    putU16(out, value & 0xffffu);
    putU16(out, value >> 16);
}

struct Rgb {
    std::uint8_t r, g, b;
};
constexpr Rgb kSilver{192, 192, 192};
constexpr Rgb kNavy{0, 0, 128};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kDarkGrey{64, 64, 64};

void putPaletteEntry(Bytes& out, Rgb colour) {
    putU8(out, colour.b);
    putU8(out, colour.g);
    putU8(out, colour.r);
    putU8(out, 0);
}

// BITMAPINFOHEADER, 40 bytes. Icons and cursors give twice the image height: the colour image and
// the AND mask are stacked.
void putInfoHeader(Bytes& out, int width, int height, unsigned bitsPerPixel, std::uint32_t imageBytes,
                   std::uint32_t pixelsPerMetre) {
    putU32(out, 40);
    putU32(out, static_cast<std::uint32_t>(width));
    putU32(out, static_cast<std::uint32_t>(height));
    putU16(out, 1);
    putU16(out, bitsPerPixel);
    putU32(out, 0); // uncompressed
    putU32(out, imageBytes);
    putU32(out, pixelsPerMetre);
    putU32(out, pixelsPerMetre);
    putU32(out, 0); // palette size follows from the bit count
    putU32(out, 0);
}

// Bitmap rows are padded to whole 32-bit words.
constexpr int bytesPerRow(int width, int bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// --- Backgrounds: silver header band over two navy panels split by a silver stripe. -----------------

constexpr int kBackgroundWidth = 270;
constexpr int kBackgroundHeight = 256;
constexpr int kPanelTop = 56;
constexpr int kStripeLeft = 160;  // first column of the stripe
constexpr int kStripeRight = 216; // first column of the right-hand panel
constexpr int kCornerRadius = 6;

bool isPanel(int x, int y) {
    if (y < kPanelTop || (x >= kStripeLeft && x < kStripeRight)) return false;
    // The panels' corners beside the stripe are rounded: a pixel whose centre lies outside the quarter
    // circle stays silver. Measured in half pixels to stay in integers.
    const int dy = 2 * (kPanelTop + kCornerRadius) - (2 * y + 1);
    const int dx = x < kStripeLeft ? (2 * x + 1) - 2 * (kStripeLeft - kCornerRadius)
                                   : 2 * (kStripeRight + kCornerRadius) - (2 * x + 1);
    return dx <= 0 || dy <= 0 || dx * dx + dy * dy <= 4 * kCornerRadius * kCornerRadius;
}

Bytes background() {
    const int rowBytes = bytesPerRow(kBackgroundWidth, 24);
    const auto imageBytes = static_cast<std::uint32_t>(rowBytes * kBackgroundHeight);
    Bytes out;
    out.reserve(54 + imageBytes);
    putU8(out, 'B');
    putU8(out, 'M');
    putU32(out, 54 + imageBytes);
    putU32(out, 0);
    putU32(out, 54);
    putInfoHeader(out, kBackgroundWidth, kBackgroundHeight, 24, imageBytes, 3780); // 96 dpi
    for (int y = kBackgroundHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kBackgroundWidth; ++x) {
            const Rgb pixel = isPanel(x, y) ? kNavy : kSilver;
            putU8(out, pixel.b);
            putU8(out, pixel.g);
            putU8(out, pixel.r);
        }
        for (int pad = kBackgroundWidth * 3; pad < rowBytes; ++pad)
            putU8(out, 0);
    }
    return out;
}

// --- Pointer: a 32x32 monochrome arrow with its tip at the hot spot. --------------------------------

// 'X' black outline, '.' inverts the screen, anything else transparent.
constexpr std::array<std::string_view, 19> kArrow{{
    "X",         "XX",        "X.X",        "X..X",        "X...X",        "X....X",   "X.....X",
    "X......X",  "X.......X", "X........X", "X.........X", "X......XXXXX", "X...X..X", "X..XX..X",
    "X.X  X..X", "XX   X..X", "X     X..X", "      X..X",  "       XX",
}};

char arrowCell(int x, int y) {
    if (y >= static_cast<int>(kArrow.size()) || x >= static_cast<int>(kArrow[y].size())) return ' ';
    return kArrow[y][x];
}

// Packs one 1-bit plane, rows bottom-up, leftmost pixel in the high bit.
template <typename BitAt>
void putMask(Bytes& out, int width, int height, BitAt bitAt) {
    const int rowBytes = bytesPerRow(width, 1);
    for (int y = height - 1; y >= 0; --y) {
        for (int byte = 0; byte < rowBytes; ++byte) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int x = byte * 8 + bit;
                if (x < width && bitAt(x, y)) bits |= 0x80u >> bit;
            }
            putU8(out, bits);
        }
    }
}

Bytes pointer() {
    constexpr int kSize = 32;
    const auto maskBytes = static_cast<std::uint32_t>(bytesPerRow(kSize, 1) * kSize);
    const std::uint32_t imageBytes = 40 + 2 * 4 + 2 * maskBytes;
    Bytes out;
    putU16(out, 0);
    putU16(out, 2); // cursor
    putU16(out, 1);
    putU8(out, kSize);
    putU8(out, kSize);
    putU8(out, 2); // colours
    putU8(out, 0);
    putU16(out, 0); // hot spot x
    putU16(out, 0); // hot spot y
    putU32(out, imageBytes);
    putU32(out, 6 + 16);
    putInfoHeader(out, kSize, 2 * kSize, 1, 2 * maskBytes, 0);
    putPaletteEntry(out, kBlack);
    putPaletteEntry(out, kWhite);
    // Black where AND=0 and XOR=0, inverted where both are 1, untouched where AND=1 and XOR=0.
    putMask(out, kSize, kSize, [](int x, int y) { return arrowCell(x, y) == '.'; });
    putMask(out, kSize, kSize, [](int x, int y) { return arrowCell(x, y) != 'X'; });
    return out;
}

// --- Icon: "Tallix" in light letters over four triangles, 24x24, and the same on a 48x48 canvas. ----

// Palette indices; the other 252 entries are black and unused.
constexpr std::uint8_t kIndexBlack = 0, kIndexNavy = 1, kIndexGrey = 2, kIndexWhite = 3;
constexpr std::array<Rgb, 4> kIconColours{kBlack, kNavy, kDarkGrey, kWhite};

struct Glyph {
    int width;
    std::array<std::string_view, 7> rows;
};

// A hand-made 7-pixel-high face, just the letters of the name.
constexpr std::array<Glyph, 6> kName{{
    {5, {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {4, {"....", "....", ".##.", "...#", ".###", "#..#", ".###"}},
    {1, {"#", "#", "#", "#", "#", "#", "#"}},
    {1, {"#", "#", "#", "#", "#", "#", "#"}},
    {1, {"#", ".", "#", "#", "#", "#", "#"}},
    {3, {"...", "...", "#.#", "#.#", ".#.", "#.#", "#.#"}},
}};

constexpr int kDrawingSize = 24;
constexpr int kNameLeft = 2;
constexpr int kNameTop = 8;

bool isLettering(int x, int y) {
    if (y < kNameTop || y >= kNameTop + 7) return false;
    int left = kNameLeft;
    for (const Glyph& glyph : kName) {
        if (x >= left && x < left + glyph.width) return glyph.rows[y - kNameTop][x - left] == '#';
        left += glyph.width + 1;
    }
    return false;
}

std::uint8_t drawingPixel(int x, int y) {
    if (isLettering(x, y)) return kIndexWhite;
    // The diagonals split the square into four triangles; pixels on a diagonal go to top and bottom.
    const int dx = 2 * x + 1 - kDrawingSize;
    const int dy = 2 * y + 1 - kDrawingSize;
    return std::abs(dy) >= std::abs(dx) ? kIndexNavy : kIndexGrey;
}

Bytes iconImage(int size) {
    const auto pixelBytes = static_cast<std::uint32_t>(bytesPerRow(size, 8) * size);
    const auto maskBytes = static_cast<std::uint32_t>(bytesPerRow(size, 1) * size);
    Bytes out;
    putInfoHeader(out, size, 2 * size, 8, pixelBytes + maskBytes, 0);
    for (int i = 0; i < 256; ++i)
        putPaletteEntry(out, i < 4 ? kIconColours[i] : kBlack);
    const auto inDrawing = [](int x, int y) { return x < kDrawingSize && y < kDrawingSize; };
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x)
            putU8(out, inDrawing(x, y) ? drawingPixel(x, y) : kIndexBlack);
        for (int pad = size; pad < bytesPerRow(size, 8); ++pad)
            putU8(out, 0);
    }
    putMask(out, size, size, [&](int x, int y) { return !inDrawing(x, y); });
    return out;
}

Bytes icon() {
    constexpr std::array<int, 2> kSizes{24, 48};
    Bytes out;
    putU16(out, 0);
    putU16(out, 1); // icon
    putU16(out, static_cast<unsigned>(kSizes.size()));
    Bytes images;
    const auto directoryEnd = static_cast<std::uint32_t>(6 + 16 * kSizes.size());
    for (const int size : kSizes) {
        const Bytes image = iconImage(size);
        putU8(out, static_cast<unsigned>(size));
        putU8(out, static_cast<unsigned>(size));
        putU8(out, 0); // 256 colours
        putU8(out, 0);
        putU16(out, 1); // planes
        putU16(out, 8); // bits per pixel
        putU32(out, static_cast<std::uint32_t>(image.size()));
        putU32(out, directoryEnd + static_cast<std::uint32_t>(images.size()));
        images.insert(images.end(), image.begin(), image.end());
    }
    out.insert(out.end(), images.begin(), images.end());
    return out;
}

bool write(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) std::fprintf(stderr, "tallix_make_images: cannot write %s\n", path.string().c_str());
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tallix_make_images <output dir>\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    const std::array<std::pair<const char*, Bytes>, 3> files{{
        {"picture.bmp", background()},
        {"pointer.cur", pointer()},
        {"tallix.ico", icon()},
    }};
    int failures = 0;
    for (const auto& [name, bytes] : files)
        if (!write(dir / name, bytes)) ++failures;
    return failures == 0 ? 0 : 1;
}
