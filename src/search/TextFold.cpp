#include "search/TextFold.h"

#include <algorithm>

namespace zok2::search {

namespace {

// Half-width katakana 0xA1..0xDF as their full-width Shift-JIS codes.
constexpr std::uint16_t kFullKana[63] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385,
    0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E, 0x8350, 0x8352,
    0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B,
    0x836C, 0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384,
    0x8386, 0x8388, 0x8389, 0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B};
constexpr std::uint16_t kVoicedMark = 0x814A, kSemiVoicedMark = 0x814B;

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The kana a voiced mark turns `kana` into, or 0.
std::uint16_t Voiced(std::uint16_t kana)
{
    if (kana == 0x8345) return 0x8394;  // ウ -> ヴ
    const bool kaToTo = (kana >= 0x834A && kana <= 0x8360 && kana % 2 == 0) || kana == 0x8363 || kana == 0x8365 || kana == 0x8367;
    const bool haRow = kana == 0x836E || kana == 0x8371 || kana == 0x8374 || kana == 0x8377 || kana == 0x837A;
    return kaToTo || haRow ? static_cast<std::uint16_t>(kana + 1) : 0;
}

std::uint16_t SemiVoiced(std::uint16_t kana)
{
    const bool haRow = kana == 0x836E || kana == 0x8371 || kana == 0x8374 || kana == 0x8377 || kana == 0x837A;
    return haRow ? static_cast<std::uint16_t>(kana + 2) : 0;
}

std::uint16_t FoldDoubleByte(std::uint16_t code)
{
    if (code >= 0x8260 && code <= 0x8279) return static_cast<std::uint16_t>('A' + (code - 0x8260));  // Ａ-Ｚ
    if (code >= 0x8281 && code <= 0x829A) return static_cast<std::uint16_t>('A' + (code - 0x8281));  // ａ-ｚ
    if (code >= 0x824F && code <= 0x8258) return static_cast<std::uint16_t>('0' + (code - 0x824F));  // ０-９
    switch (code) {
    case 0x8140: return ' ';
    case 0x817B: return '+';
    case 0x817C: return '-';
    default: return code;
    }
}

}  // namespace

void AppendFolded(std::string_view sjis, FoldedText& out)
{
    for (std::size_t i = 0; i < sjis.size(); ++i) {
        const auto b = static_cast<unsigned char>(sjis[i]);
        if (IsLeadByte(b) && i + 1 < sjis.size()) {
            out.push_back(FoldDoubleByte(static_cast<std::uint16_t>((b << 8) | static_cast<unsigned char>(sjis[++i]))));
        } else if (b >= 0xA1 && b <= 0xDF) {
            const std::uint16_t full = kFullKana[b - 0xA1];
            // A mark after a kana that takes it becomes part of that kana.
            if (!out.empty() && (full == kVoicedMark || full == kSemiVoicedMark)) {
                const std::uint16_t joined = full == kVoicedMark ? Voiced(out.back()) : SemiVoiced(out.back());
                if (joined != 0) {
                    out.back() = joined;
                    continue;
                }
            }
            out.push_back(full);
        } else if (b >= 'a' && b <= 'z') {
            out.push_back(static_cast<std::uint16_t>(b - 'a' + 'A'));
        } else {
            out.push_back(b);
        }
    }
}

FoldedText Fold(std::string_view sjis)
{
    FoldedText out;
    out.reserve(sjis.size());
    AppendFolded(sjis, out);
    return out;
}

bool Contains(const FoldedText& text, const FoldedText& pattern, bool whole)
{
    if (pattern.empty()) return false;
    if (whole) return text == pattern;
    return text.size() >= pattern.size() && std::search(text.begin(), text.end(), pattern.begin(), pattern.end()) != text.end();
}

}  // namespace zok2::search
