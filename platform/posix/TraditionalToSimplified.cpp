#include <opencc/Config.hpp>
#include <opencc/Converter.hpp>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "platform/CodePages.h"
#include "platform/posix/DbcsTable.h"

namespace jestlark {
namespace {

// OpenCC's character table alone: its phrase tables would turn several
// characters into others, where the Windows mapping is one for one.
constexpr const char* CharacterOnlyConfig = R"({
  "name": "Traditional to Simplified, characters only",
  "segmentation": {"type": "mmseg", "dict": {"type": "ocd2", "file": "TSCharacters.ocd2"}},
  "conversion_chain": [{"dict": {"type": "ocd2", "file": "TSCharacters.ocd2"}}]
})";

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | c >> 6));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | c >> 12));
        out.push_back(char(0x80 | (c >> 6 & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | c >> 18));
        out.push_back(char(0x80 | (c >> 12 & 0x3F)));
        out.push_back(char(0x80 | (c >> 6 & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

// The code points of well-formed UTF-8 (what OpenCC hands back).
std::u32string CodePoints(const std::string& utf8) {
    std::u32string points;
    for (std::size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const int follow = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t c = follow == 0 ? lead : lead & (0x3F >> follow);
        for (int i = 1; i <= follow && at + i < utf8.size(); ++i) {
            c = c << 6 | (static_cast<unsigned char>(utf8[at + i]) & 0x3F);
        }
        points.push_back(c);
        at += std::size_t(follow) + 1;
    }
    return points;
}

// For every double-byte GBK character, the GBK character it maps to (itself
// when it has no simplified form, or when that form is not in GBK). Built once
// from the dictionary: one conversion of all GBK characters in a row.
class SimplifiedTable {
public:
    static const SimplifiedTable* Get() {
        static const std::unique_ptr<SimplifiedTable> table = Build();
        return table.get();
    }
    uint16_t Map(uint16_t pair) const { return map_[pair]; }

private:
    static std::unique_ptr<SimplifiedTable> Build() {
        try {
            const DbcsTable& gbk = DbcsTable::ForCodePage(CodePageGbk);
            std::string all;
            std::u16string units;
            std::basic_string<uint16_t> pairs;
            for (unsigned pair = 0x8100; pair < 0x10000; ++pair) {
                const char16_t unit = gbk.PairUnit(uint16_t(pair));
                // Private-use characters are no Chinese; they stay as they are.
                if (unit == 0 || (unit >= 0xE000 && unit <= 0xF8FF)) continue;
                AppendUtf8(all, unit);
                units.push_back(unit);
                pairs.push_back(uint16_t(pair));
            }
            opencc::Config config;
            const opencc::ConverterPtr converter =
                config.NewFromString(CharacterOnlyConfig, JESTLARK_OPENCC_DIR "/");
            const std::u32string mapped = CodePoints(converter->Convert(all));
            if (mapped.size() != units.size()) return nullptr;
            auto table = std::unique_ptr<SimplifiedTable>(new SimplifiedTable());
            for (unsigned pair = 0; pair < 0x10000; ++pair) table->map_[pair] = uint16_t(pair);
            for (std::size_t i = 0; i < units.size(); ++i) {
                if (mapped[i] == units[i] || mapped[i] > 0xFFFF) continue;
                const uint16_t bytes = gbk.UnitBytes(char16_t(mapped[i]));
                if (bytes > 0xFF) table->map_[pairs[i]] = bytes;
            }
            return table;
        } catch (...) {
            return nullptr;
        }
    }

    SimplifiedTable() = default;
    std::array<uint16_t, 65536> map_{};
};

}  // namespace

std::optional<std::string> MapTraditionalToSimplified(std::string_view gbk) {
    const SimplifiedTable* table = SimplifiedTable::Get();
    if (!table) return std::nullopt;
    const DbcsTable& codePage = DbcsTable::ForCodePage(CodePageGbk);
    std::string mapped(gbk);
    for (std::size_t at = 0; at < mapped.size();) {
        const auto lead = static_cast<unsigned char>(mapped[at]);
        if (!codePage.IsLeadByte(lead) || at + 1 == mapped.size()) {
            ++at;
            continue;
        }
        const uint16_t pair = uint16_t(lead << 8 | static_cast<unsigned char>(mapped[at + 1]));
        const uint16_t simplified = table->Map(pair);
        mapped[at] = char(simplified >> 8);
        mapped[at + 1] = char(simplified & 0xFF);
        at += 2;
    }
    return mapped;
}

}  // namespace jestlark
