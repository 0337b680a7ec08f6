// libFuzzer target: a profile from the input, read and written as the program
// does. A value written reads back as written; every other key reads as before
// the write (comments and foreign lines kept around it).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "framework/IniProfile.h"

namespace {

// A section or key name from the input's bytes: letters and digits only.
std::string Name(const std::string& bytes)
{
    std::string name;
    for (unsigned char c : bytes.substr(0, 8)) name += "abcdefghABCDEFGH0123456789"[c % 26];
    return name.empty() ? "k" : name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 8192) return 0;
    static const std::string path = zok2::fuzz::ProcessFolder("profile") + "zok2.ini";
    const std::vector<std::string> parts = zok2::fuzz::Parts(std::string(reinterpret_cast<const char*>(data), size), 6);
    zok2::fuzz::Write(path, parts[0]);
    const std::string section = Name(parts[1]), key = Name(parts[2]), otherSection = Name(parts[4]), otherKey = Name(parts[5]);
    std::string value;
    // Printable, no blanks, no quotes (a reader drops a pair of enclosing quotes, single or double).
    for (unsigned char c : parts[3].substr(0, 32)) value += static_cast<char>(c >= 0x21 && c < 0x7F && c != '"' && c != '\'' ? c : 'v');
    zok2::IniProfile profile(path);
    const std::string otherBefore = profile.GetString(otherSection, otherKey, "\x01missing");
    profile.GetInt(section, key, 7);
    if (!profile.WriteString(section, key, value)) std::abort();
    if (profile.GetString(section, key) != value) std::abort();
    const bool same = zok2::fuzz::EqualNoCase(section, otherSection) && zok2::fuzz::EqualNoCase(key, otherKey);
    if (!same && profile.GetString(otherSection, otherKey, "\x01missing") != otherBefore) std::abort();
    return 0;
}
