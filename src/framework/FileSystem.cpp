#include "framework/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "text/SjisText.h"

namespace zok2::fs {

namespace stdfs = std::filesystem;

bool ReadFile(const std::string& path, std::string& out)
{
    out.clear();
    std::error_code ec;
    if (stdfs::is_directory(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0) return false;
    in.seekg(0, std::ios::beg);
    out.resize(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(out.data(), size)) {
        out.clear();
        return false;
    }
    return true;
}

namespace {
std::string TemporaryNameBeside(const std::string& path)
{
    static std::mt19937 rng(std::random_device{}());
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(rng()));
    return path + suffix;
}

bool SetError(std::string* error, const std::string& text)
{
    if (error) *error = text;
    return false;
}
}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& content, std::string* error)
{
    std::string temp = TemporaryNameBeside(path);
    {
        std::FILE* f = std::fopen(temp.c_str(), "wb");
        if (!f) return SetError(error, "cannot create " + temp);
        bool ok = content.empty() || std::fwrite(content.data(), 1, content.size(), f) == content.size();
        ok = (std::fflush(f) == 0) && ok;
        ok = (std::fclose(f) == 0) && ok;
        if (!ok) {
            std::remove(temp.c_str());
            return SetError(error, "cannot write " + temp);
        }
    }
    std::error_code ec;
    // Keep the permissions of the file being replaced.
    auto status = stdfs::status(path, ec);
    if (!ec && stdfs::exists(status)) stdfs::permissions(temp, status.permissions(), ec);
    ec.clear();
    stdfs::rename(temp, path, ec);
    if (ec) {
        std::remove(temp.c_str());
        return SetError(error, "cannot replace " + path + ": " + ec.message());
    }
    return true;
}

bool CopyFileReplacing(const std::string& from, const std::string& to, std::string* error)
{
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (!in) return SetError(error, "cannot read " + from);
    std::string temp = TemporaryNameBeside(to);
    std::FILE* out = std::fopen(temp.c_str(), "wb");
    if (!out) {
        std::fclose(in);
        return SetError(error, "cannot create " + temp);
    }
    bool ok = true;
    char buffer[1 << 16];
    for (;;) {
        std::size_t n = std::fread(buffer, 1, sizeof buffer, in);
        if (n > 0 && std::fwrite(buffer, 1, n, out) != n) {
            ok = false;
            break;
        }
        if (n < sizeof buffer) {
            if (std::ferror(in)) ok = false;
            break;
        }
    }
    std::fclose(in);
    ok = (std::fflush(out) == 0) && ok;
    ok = (std::fclose(out) == 0) && ok;
    std::error_code ec;
    if (ok) {
        auto status = stdfs::status(from, ec);
        if (!ec) stdfs::permissions(temp, status.permissions(), ec);
        ec.clear();
        stdfs::rename(temp, to, ec);
        ok = !ec;
    }
    if (!ok) {
        std::remove(temp.c_str());
        return SetError(error, "cannot copy " + from + " to " + to);
    }
    return true;
}

bool Exists(const std::string& path)
{
    std::error_code ec;
    return stdfs::exists(path, ec);
}

bool IsRegularFile(const std::string& path)
{
    std::error_code ec;
    return stdfs::is_regular_file(path, ec);
}

std::int64_t FileSize(const std::string& path)
{
    std::error_code ec;
    auto size = stdfs::file_size(path, ec);
    return ec ? -1 : static_cast<std::int64_t>(size);
}

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    bool same = stdfs::equivalent(a, b, ec);
    return !ec && same;
}

namespace {
bool LessNoCase(const std::string& a, const std::string& b)
{
    int c = text::CompareNoCase(a, b);
    return c != 0 ? c < 0 : a < b;
}

template <typename Accept>
std::vector<std::string> ListFolder(const std::string& folder, Accept accept)
{
    std::vector<std::string> names;
    std::error_code ec;
    stdfs::directory_iterator it(folder.empty() ? std::string(".") : folder, ec);
    if (ec) return names;
    for (const auto& entry : it) {
        if (accept(entry)) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end(), LessNoCase);
    return names;
}
}  // namespace

std::vector<std::string> FindFilesWithExtension(const std::string& folder, const std::string& extension)
{
    return ListFolder(folder, [&](const stdfs::directory_entry& entry) {
        std::error_code ec;
        if (!entry.is_regular_file(ec)) return false;
        std::string name = entry.path().filename().string();
        return name.size() >= extension.size() &&
               text::CompareNoCase(std::string_view(name).substr(name.size() - extension.size()), extension) == 0;
    });
}

std::vector<std::string> FindSubFolders(const std::string& folder)
{
    return ListFolder(folder, [](const stdfs::directory_entry& entry) {
        std::error_code ec;
        return entry.is_directory(ec);
    });
}

std::string ResolveNameNoCase(const std::string& folder, const std::string& name)
{
    if (Exists(folder + name)) return name;
    std::error_code ec;
    stdfs::directory_iterator it(folder.empty() ? std::string(".") : folder, ec);
    if (ec) return name;
    std::vector<std::string> matches;
    for (const auto& entry : it) {
        std::string candidate = entry.path().filename().string();
        if (text::CompareNoCase(candidate, name) == 0) matches.push_back(candidate);
    }
    if (matches.empty()) return name;
    std::sort(matches.begin(), matches.end());
    return matches.front();
}

}  // namespace zok2::fs
