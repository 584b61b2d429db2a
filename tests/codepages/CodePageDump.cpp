// Writes, for one code page, what the platform layer reads from every
// sequence of a high byte alone or followed by any nonzero byte: per sequence
// one count byte and that many little-endian UTF-16 units. The same program
// built for Windows and for POSIX gives two files to compare.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/CodePages.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: codepage_dump CODEPAGE OUTPUT\n");
        return 2;
    }
    const auto codePage = uint32_t(std::strtoul(argv[1], nullptr, 10));
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) return 1;
    std::string dump;
    for (unsigned lead = 0x80; lead < 0x100; ++lead) {
        for (unsigned trail = 0; trail < 0x100; ++trail) {
            std::string bytes(1, char(lead));
            if (trail) bytes.push_back(char(trail));
            const std::u16string units = jestlark::MultiByteToUtf16(bytes, codePage);
            dump.push_back(char(units.size()));
            for (const char16_t unit : units) {
                dump.push_back(char(unit & 0xFF));
                dump.push_back(char(unit >> 8));
            }
        }
    }
    const bool written = std::fwrite(dump.data(), 1, dump.size(), out) == dump.size();
    return std::fclose(out) == 0 && written ? 0 : 1;
}
