// libFuzzer target: zok2-cli's arguments and standard input from the input
// (parts split at NUL bytes, the last one the input text), run in a folder of
// the target's own that holds a copy of the sample, set back after each run.
// Arguments that could name a place outside that folder are left out. Every
// run ends with a status of 0, 1 or 2, and a refusal (2) says why.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "FuzzSupport.h"

namespace {

const std::string& Sandbox()
{
    static const std::string folder = [] {
        const std::string f = zok2::fuzz::ProcessFolder("cli");
        if (::chdir(f.c_str()) != 0) std::abort();
        return f;
    }();
    return folder;
}

// The sample as it came, and nothing else, in the folder.
void Reset()
{
    namespace stdfs = std::filesystem;
    const std::string& folder = Sandbox();
    for (const auto& entry : stdfs::directory_iterator(folder)) stdfs::remove_all(entry.path());
    const std::string& sample = zok2::fuzz::SampleRoot();
    stdfs::copy(sample + "Settings", folder + "Settings", stdfs::copy_options::recursive);
    stdfs::copy_file(sample + "zok2.ini", folder + "zok2.ini");
    stdfs::copy_file(sample + "sample.dat", folder + "sample.dat");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 2048) return 0;
    std::vector<std::string> parts = zok2::fuzz::Parts(std::string(reinterpret_cast<const char*>(data), size), 9);
    const std::string input = parts.back();
    parts.pop_back();
    std::vector<std::string> args;
    for (const std::string& part : parts) {
        if (part.empty() && args.empty()) continue;
        if (part.find('/') != std::string::npos || part.find('\\') != std::string::npos || part == "." || part == "..") return 0;
        args.push_back(part);
    }
    while (!args.empty() && args.back().empty()) args.pop_back();
    Reset();
    const zok2::CliResult result = zok2::RunCli(args, Sandbox(), [&] { return input; });
    if (result.status < 0 || result.status > 2) std::abort();
    if (result.status == 2 && result.err.empty()) std::abort();
    return 0;
}
