#pragma once
// The program's profile: a Windows-style INI file in code page 932, read and
// written with the semantics of the platform profile calls. Section and key
// names match without regard to case, every other line (comments included)
// is kept, and a write replaces the file atomically.
#include <string>
#include <vector>

namespace zok2 {

class IniProfile {
public:
    IniProfile() = default;
    explicit IniProfile(std::string path) : m_path(std::move(path)) {}

    void SetPath(std::string path) { m_path = std::move(path); }
    const std::string& Path() const { return m_path; }

    // The value of key in section (blanks around it removed, one pair of
    // enclosing quotes dropped), or `fallback` when the key is missing.
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& fallback = std::string()) const;
    // The value read as a decimal integer, or `fallback` when missing.
    int GetInt(const std::string& section, const std::string& key, int fallback) const;
    // Sets key in section (creating both when missing) and rewrites the file.
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    bool WriteInt(const std::string& section, const std::string& key, int value);

private:
    bool Find(const std::vector<std::string>& lines, const std::string& section, const std::string& key,
              std::string* value) const;
    std::vector<std::string> ReadLines() const;

    std::string m_path;
};

}  // namespace zok2
