#include "text/Translate.h"

namespace zok2 {

namespace {
TranslateFunction g_translate = nullptr;
}  // namespace

void SetTranslator(TranslateFunction translate) { g_translate = translate; }

std::string Tr(const char* context, const char* text) { return g_translate ? g_translate(context, text) : std::string(text); }

std::string Fill(const std::string& pattern, std::initializer_list<std::string> values)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const std::size_t n = i + 1 < pattern.size() ? static_cast<std::size_t>(pattern[i + 1] - '1') : values.size();
        if (pattern[i] == '%' && n < values.size() && n < 9) {
            out += *(values.begin() + n);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string TrText(const char* context, const std::string& text) { return g_translate ? g_translate(context, text.c_str()) : text; }

}  // namespace zok2
