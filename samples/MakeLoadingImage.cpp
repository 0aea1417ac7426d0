// Writes the sample's loading picture: a 1024 by 512 DXT1 DDS image of one level (a sky-to-
// valley gradient with a darker band of hills), made at build time so that no binary image is
// kept in the source tree.
//
//   make_loading_image <output.dds>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void put32(std::vector<unsigned char>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}

std::uint16_t rgb565(int r, int g, int b)
{
    return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_loading_image <output.dds>\n");
        return 1;
    }
    const int width = 1024, height = 512;
    const std::uint32_t levelSize = width * height / 2;
    std::vector<unsigned char> out;
    out.reserve(128 + levelSize);
    out.insert(out.end(), {'D', 'D', 'S', ' '});
    put32(out, 124);                              // header size
    put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | 0x80000); // caps, height, width, pixel format, linear size
    put32(out, height);
    put32(out, width);
    put32(out, levelSize);
    put32(out, 0); // depth
    put32(out, 0); // mip-map count
    for (int i = 0; i < 11; ++i)
        put32(out, 0);
    put32(out, 32);  // pixel format size
    put32(out, 0x4); // four-character code
    out.insert(out.end(), {'D', 'X', 'T', '1'});
    for (int i = 0; i < 5; ++i)
        put32(out, 0);
    put32(out, 0x1000); // texture
    for (int i = 0; i < 4; ++i)
        put32(out, 0);

    for (int by = 0; by < height / 4; ++by) {
        for (int bx = 0; bx < width / 4; ++bx) {
            const int y = by * 4, x = bx * 4;
            const int hill = 300 + ((x * 37 / 1024) % 40) - 20;
            int r, g, b;
            if (y < hill) { // sky
                r = 90 + y / 4;
                g = 140 + y / 6;
                b = 230 - y / 8;
            } else { // valley
                r = 40 + (y - hill) / 3;
                g = 110 + (y - hill) / 4;
                b = 40;
            }
            const std::uint16_t c0 = rgb565(r, g, b);
            const std::uint16_t c1 = rgb565(r * 3 / 4, g * 3 / 4, b * 3 / 4);
            out.push_back(c0 & 0xFF);
            out.push_back(c0 >> 8);
            out.push_back(c1 & 0xFF);
            out.push_back(c1 >> 8);
            for (int i = 0; i < 4; ++i)
                out.push_back(((bx + by + i) & 1) ? 0x00 : 0x50); // a light texture in the blocks
        }
    }

    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "make_loading_image: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
