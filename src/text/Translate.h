#pragma once
// The program's own texts in the user's language. Texts are written in Japanese,
// the program's language, and looked up by a context ("Menu", "Message" ...):
// the window installs the lookup (Qt's translator); without one, as in the
// command-line tool and the tests, every text stays Japanese.
#include <initializer_list>
#include <string>

// Marks a text that is translated where it is shown, not where it is written.
#define ZOK2_NOOP(context, text) text

namespace zok2 {

using TranslateFunction = std::string (*)(const char* context, const char* text);
void SetTranslator(TranslateFunction translate);

// The text in the user's language (UTF-8).
std::string Tr(const char* context, const char* text);
// The same for a text made at run time: a text the translations do not hold comes back as it is.
std::string TrText(const char* context, const std::string& text);
// `pattern` with %1, %2 ... replaced by `values` in order (a translation may
// put them in another order).
std::string Fill(const std::string& pattern, std::initializer_list<std::string> values);

}  // namespace zok2
