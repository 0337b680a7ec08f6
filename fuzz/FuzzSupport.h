#pragma once
// What the fuzz targets share: a folder of their own for files they must
// write, inputs split into parts at NUL bytes, and a copy of the sample.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace zok2::fuzz {

inline void Write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A folder under the temporary folder for this process (ends with "/").
inline std::string ProcessFolder(const std::string& name)
{
    std::string folder = std::filesystem::temp_directory_path().string() + "/zok2-fuzz-" + name + "-" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(folder);
    return folder;
}

inline bool EqualNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if ((a[i] | 0x20) != (b[i] | 0x20)) return false;  // letters and digits only
    }
    return true;
}

// The input cut at its first count - 1 NUL bytes (missing parts are empty).
inline std::vector<std::string> Parts(const std::string& input, std::size_t count)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (parts.size() + 1 < count) {
        const std::size_t split = input.find('\0', start);
        if (split == std::string::npos) break;
        parts.push_back(input.substr(start, split - start));
        start = split + 1;
    }
    parts.push_back(start <= input.size() ? input.substr(start) : std::string());
    parts.resize(count);
    return parts;
}

#ifdef ZOK2_SOURCE_DIR
// The bundled sample (profile, definition set, binary) copied into a folder of this process.
inline const std::string& SampleRoot()
{
    static const std::string root = [] {
        const std::string r = ProcessFolder("sample");
        const std::string examples = std::string(ZOK2_SOURCE_DIR) + "/examples/";
        std::filesystem::copy(examples + "Settings", r + "Settings",
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(examples + "zok2.ini", r + "zok2.ini", std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(examples + "sample.dat", r + "sample.dat", std::filesystem::copy_options::overwrite_existing);
        return r;
    }();
    return root;
}
#endif

}  // namespace zok2::fuzz
