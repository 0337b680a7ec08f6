#include "framework/IniProfile.h"

#include "framework/FileSystem.h"
#include "text/SjisText.h"

namespace zok2 {

namespace {
std::string Trim(const std::string& s)
{
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// "[name]" gives true and the trimmed name.
bool SectionHeader(const std::string& line, std::string* name)
{
    std::string t = Trim(line);
    if (t.empty() || t[0] != '[') return false;
    std::size_t close = text::FindChar(t, ']');
    if (close == text::npos) return false;
    *name = Trim(t.substr(1, close - 1));
    return true;
}

// "key=value" gives true with both parts trimmed.
bool KeyLine(const std::string& line, std::string* key, std::string* value)
{
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';') return false;
    std::size_t eq = text::FindChar(t, '=');
    if (eq == text::npos) return false;
    *key = Trim(t.substr(0, eq));
    *value = Trim(t.substr(eq + 1));
    return true;
}
}  // namespace

std::vector<std::string> IniProfile::ReadLines() const
{
    std::vector<std::string> lines;
    std::string content;
    if (m_path.empty() || !fs::ReadFile(m_path, content)) return lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        std::string line = content.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

bool IniProfile::Find(const std::vector<std::string>& lines, const std::string& section, const std::string& key,
                      std::string* value) const
{
    bool inSection = false;
    for (const auto& line : lines) {
        std::string name, k, v;
        if (SectionHeader(line, &name)) {
            inSection = text::EqualsNoCase(name, section);
        } else if (inSection && KeyLine(line, &k, &v) && text::EqualsNoCase(k, key)) {
            if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\''))) {
                v = v.substr(1, v.size() - 2);
            }
            *value = v;
            return true;
        }
    }
    return false;
}

std::string IniProfile::GetString(const std::string& section, const std::string& key,
                                  const std::string& fallback) const
{
    std::string value;
    return Find(ReadLines(), section, key, &value) ? value : fallback;
}

int IniProfile::GetInt(const std::string& section, const std::string& key, int fallback) const
{
    std::string value;
    if (!Find(ReadLines(), section, key, &value)) return fallback;
    return text::ReadDec(value);
}

bool IniProfile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    if (m_path.empty()) return false;
    std::vector<std::string> lines = ReadLines();
    const std::string newLine = key + "=" + value;

    bool inSection = false;
    bool sectionFound = false;
    std::size_t insertAt = lines.size();
    bool done = false;
    for (std::size_t i = 0; i < lines.size() && !done; ++i) {
        std::string name, k, v;
        if (SectionHeader(lines[i], &name)) {
            if (inSection) break;  // end of our section: insert before the next one
            inSection = text::EqualsNoCase(name, section);
            if (inSection) {
                sectionFound = true;
                insertAt = i + 1;
            }
        } else if (inSection) {
            if (KeyLine(lines[i], &k, &v) && text::EqualsNoCase(k, key)) {
                lines[i] = newLine;
                done = true;
            } else if (!Trim(lines[i]).empty()) {
                insertAt = i + 1;
            }
        }
    }
    if (!done) {
        if (sectionFound) {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
        } else {
            lines.push_back("[" + section + "]");
            lines.push_back(newLine);
        }
    }
    std::string content;
    for (const auto& line : lines) content += line + "\r\n";
    return fs::WriteFileAtomically(m_path, content);
}

bool IniProfile::WriteInt(const std::string& section, const std::string& key, int value)
{
    return WriteString(section, key, text::FormatDec(value));
}

}  // namespace zok2
