#pragma once
// Where the profile and the definition sets live. A portable copy keeps them
// beside the program (its folder holds "zok2.ini" and "Settings/"); an
// installed program keeps them where the desktop keeps a user's settings and
// data, and starts them from the copies it was installed with.
#include <string>
#include <vector>

namespace zok2 {

struct PlaceEnvironment {
    std::string home;           // $HOME
    std::string configHome;     // $XDG_CONFIG_HOME ("" when unset)
    std::string dataHome;       // $XDG_DATA_HOME ("" when unset)
    // Folder of the installed copies (the sample set and profile), as a path
    // relative to the program's folder, e.g. "../share/zok2".
    std::string bundledRelative;
    // Whether a folder may be written (null: the system is asked).
    bool (*folderWritable)(const std::string& folder) = nullptr;
};

// The environment of this process ($HOME and the XDG variables).
PlaceEnvironment EnvironmentPlaces(const std::string& bundledRelative);

struct DataPlaces {
    std::string profilePath;     // the profile, "zok2.ini"
    std::string settingsFolder;  // ends with "/": one folder per definition set
    bool portable = true;        // both beside the program (or in --root)
    std::string bundledFolder;   // installed copies (ends with "/"), "" when there are none
};

// Portable when the program's folder holds "zok2.ini", or it is writable and
// not an installation (a "bin" folder whose "../share/zok2" exists). A portable
// copy on a read-only medium reads its sets where they are and keeps its
// profile in the user's configuration folder.
DataPlaces ChoosePlaces(const std::string& programFolder, const PlaceEnvironment& environment);

// The places of a --root folder: "zok2.ini" and "Settings/" in it.
DataPlaces RootPlaces(const std::string& root);

// The places for `root` (a --root folder, or "" for the program's own choice)
// made current: GetAppPath's profile and SettingsFolder() give them.
DataPlaces UsePlaces(const std::string& root, const std::string& programPath, const std::string& bundledRelative);

// What the user should be told once about the places.
struct PlaceNote {
    enum class Kind {
        CannotCreateFolder,  // a folder for the profile or the sets cannot be made
        CannotWriteProfile,  // the first profile cannot be written
        ProfileMoved,        // a read-only portable copy keeps its profile in `path`
    };
    Kind kind;
    std::string path;
    std::string reason;  // the system's, or ""
};

// Makes the places ready: the folders are created, and on the first start an
// empty profile and set folder are started from the installed (or read-only
// portable) copies; what exists is never overwritten.
std::vector<PlaceNote> PreparePlaces(const DataPlaces& places, const std::string& programFolder);

}  // namespace zok2
