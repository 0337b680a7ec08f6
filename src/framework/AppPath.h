#pragma once
// The path function every subsystem uses to find the program's folder, the
// profile and the parts of a file name.
#include <string>

namespace zok2 {

enum class PathPart {
    ProgramPath = 0,
    ProgramFolder = 1,
    ProfilePath = 2,
    NameWithExtension = 3,
    NameOnly = 4,
    ExtensionOnly = 5,
};

// Set once at start-up: the full path of the program file. The command-line
// tool sets a program path inside its --root folder so both share one profile.
void SetProgramPath(const std::string& path);
// Where the profile and the definition sets are when they are not beside the
// program (an installed program); SetProgramPath puts them back beside it.
void SetDataPlaces(const std::string& profilePath, const std::string& settingsFolder);
// The folder that holds one folder per definition set (ends with "/").
std::string SettingsFolder();

// ProgramPath, ProgramFolder (ends with "/") and ProfilePath ignore `path`;
// the three name modes use only `path`. Any other mode gives "".
std::string GetAppPath(PathPart mode, const std::string& path = std::string());

}  // namespace zok2
