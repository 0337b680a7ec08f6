#include "framework/AppPath.h"

#include "framework/System.h"

namespace zok2 {

namespace {
std::string g_programPath;
std::string g_profilePath;     // "" when beside the program
std::string g_settingsFolder;  // "" when beside the program

// Splits the last component of `path` into name and extension (from its last dot).
void SplitName(const std::string& path, std::string* name, std::string* extension)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (fs::sys::IsSeparator(path[i])) start = i + 1;
    }
    std::string last = path.substr(start);
    std::size_t dot = last.rfind('.');
    if (dot == std::string::npos) {
        *name = last;
        extension->clear();
    } else {
        *name = last.substr(0, dot);
        *extension = last.substr(dot);
    }
}
}  // namespace

void SetProgramPath(const std::string& path)
{
    g_programPath = path;
    g_profilePath.clear();
    g_settingsFolder.clear();
}

void SetDataPlaces(const std::string& profilePath, const std::string& settingsFolder)
{
    g_profilePath = profilePath;
    g_settingsFolder = settingsFolder;
}

std::string SettingsFolder() { return g_settingsFolder.empty() ? GetAppPath(PathPart::ProgramFolder) + "Settings/" : g_settingsFolder; }

std::string GetAppPath(PathPart mode, const std::string& path)
{
    std::string name, extension;
    switch (mode) {
    case PathPart::ProgramPath:
        return g_programPath;
    case PathPart::ProgramFolder: {
        std::size_t cut = 0;
        for (std::size_t i = 0; i < g_programPath.size(); ++i) {
            if (fs::sys::IsSeparator(g_programPath[i])) cut = i + 1;
        }
        // The drive stays: without it a program started from another drive than
        // the current one would look for its profile and sets on the wrong drive.
        return g_programPath.substr(0, cut);
    }
    case PathPart::ProfilePath:
        if (!g_profilePath.empty()) return g_profilePath;
        SplitName(g_programPath, &name, &extension);
        return GetAppPath(PathPart::ProgramFolder) + name + ".ini";
    case PathPart::NameWithExtension:
        SplitName(path, &name, &extension);
        return name + extension;
    case PathPart::NameOnly:
        SplitName(path, &name, &extension);
        return name;
    case PathPart::ExtensionOnly:
        SplitName(path, &name, &extension);
        return extension;
    }
    return std::string();
}

}  // namespace zok2
