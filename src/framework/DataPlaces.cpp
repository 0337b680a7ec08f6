#include "framework/DataPlaces.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>


#include "framework/AppPath.h"
#include "framework/FileSystem.h"
#include "framework/System.h"

namespace zok2 {

namespace stdfs = std::filesystem;
namespace sys = fs::sys;

namespace {

std::string WithSlash(std::string folder)
{
    if (!folder.empty() && !sys::IsSeparator(folder.back())) folder += '/';
    return folder;
}

// Whether the folder holds a definition set: a sub-folder with a file in it.
bool HoldsASet(const std::string& folder)
{
    std::error_code error;
    for (stdfs::directory_iterator it(sys::PathOf(folder), error); !error && it != stdfs::directory_iterator(); it.increment(error)) {
        std::error_code kind;
        if (!it->is_directory(kind)) continue;
        for (stdfs::directory_iterator inner(it->path(), kind); !kind && inner != stdfs::directory_iterator(); inner.increment(kind)) {
            std::error_code file;
            if (inner->is_regular_file(file)) return true;
        }
    }
    return false;
}

// Copies the tree `from` into `to` as the user's own: folders and files the
// user may write, whatever the installed copies' permissions (a read-only
// prefix has folders 555 and files 444). Files already there are kept.
void CopyAsTheUsers(const std::string& from, const std::string& to, std::string* reason)
{
    using stdfs::perms;
    std::error_code error;
    auto makeWritable = [&](const stdfs::path& path, bool folder) {
        std::error_code ignored;
        stdfs::permissions(path, folder ? perms::owner_all : perms::owner_read | perms::owner_write, stdfs::perm_options::add, ignored);
    };
    makeWritable(sys::PathOf(to), true);
    stdfs::recursive_directory_iterator it(sys::PathOf(from), error);
    for (; !error && it != stdfs::recursive_directory_iterator(); it.increment(error)) {
        const stdfs::path target = sys::PathOf(to) / stdfs::relative(it->path(), sys::PathOf(from));
        std::error_code step;
        if (it->is_directory(step)) {
            stdfs::create_directories(target, step);
            makeWritable(target, true);
        } else if (it->is_regular_file(step) && !stdfs::exists(target, step)) {
            stdfs::copy_file(it->path(), target, step);
            makeWritable(target, false);
        }
        if (step && reason && reason->empty()) *reason = step.message();
    }
    if (error && reason && reason->empty()) *reason = error.message();
}

std::string Variable(const char* name)
{
    return sys::EnvironmentVariable(name);
}

bool FolderWritable(const std::string& folder) { return sys::FolderMayBeWritten(folder); }

// The XDG folder of a kind: the variable when it names an absolute path, else HOME's default.
std::string XdgFolder(const std::string& variable, const std::string& home, const char* fallback)
{
    if (!variable.empty() && sys::PathOf(variable).is_absolute()) return WithSlash(variable);
    return WithSlash(home) + fallback;
}

// "a/bin/../share" as "a/share" (separators as the system writes them).
std::string Normal(const std::string& path) { return WithSlash(sys::TextOf(sys::PathOf(path).lexically_normal())); }

}  // namespace

PlaceEnvironment EnvironmentPlaces(const std::string& bundledRelative)
{
    PlaceEnvironment environment;
    environment.home = Variable("HOME");
    environment.configHome = Variable("XDG_CONFIG_HOME");
    environment.dataHome = Variable("XDG_DATA_HOME");
#ifdef _WIN32
    // Windows keeps a user's settings in the roaming and data in the local application folder.
    if (environment.home.empty()) environment.home = Variable("USERPROFILE");
    if (environment.configHome.empty()) environment.configHome = Variable("APPDATA");
    if (environment.dataHome.empty()) environment.dataHome = Variable("LOCALAPPDATA");
#endif
    environment.bundledRelative = bundledRelative;
    return environment;
}

DataPlaces RootPlaces(const std::string& root)
{
    DataPlaces places;
    places.profilePath = WithSlash(root) + "zok2.ini";
    places.settingsFolder = WithSlash(root) + "Settings/";
    return places;
}

DataPlaces ChoosePlaces(const std::string& programFolder, const PlaceEnvironment& environment)
{
    const std::string folder = WithSlash(programFolder);
    const std::string bundled = environment.bundledRelative.empty() ? std::string() : Normal(folder + environment.bundledRelative);
    const bool installation = !bundled.empty() && fs::IsFolder(bundled) && sys::PathOf(folder).lexically_normal().parent_path().filename() == "bin";
    const bool ownProfile = fs::IsRegularFile(folder + "zok2.ini");
    const std::string configFolder = XdgFolder(environment.configHome, environment.home, ".config/") + "zok2/";
    const std::string dataFolder = XdgFolder(environment.dataHome, environment.home, ".local/share/") + "zok2/";

    DataPlaces places = RootPlaces(folder);
    const bool writable = environment.folderWritable ? environment.folderWritable(folder) : FolderWritable(folder);
    if (ownProfile || (!installation && writable)) {
        // A portable copy: on a read-only medium it reads its sets where they
        // are, and its profile goes where the user's settings go.
        if (!writable) {
            places.profilePath = configFolder + "zok2.ini";
            places.portable = false;
        }
        return places;
    }
    places.portable = false;
    places.profilePath = configFolder + "zok2.ini";
    places.settingsFolder = dataFolder + "Settings/";
    places.bundledFolder = installation ? bundled : std::string();
    return places;
}

DataPlaces UsePlaces(const std::string& root, const std::string& programPath, const std::string& bundledRelative)
{
    DataPlaces places;
    if (root.empty()) {
        SetProgramPath(programPath);
        places = ChoosePlaces(GetAppPath(PathPart::ProgramFolder), EnvironmentPlaces(bundledRelative));
    } else {
        SetProgramPath(WithSlash(root) + "zok2");  // the profile zok2.ini and Settings/ live in the root
        places = RootPlaces(root);
    }
    SetDataPlaces(places.profilePath, places.settingsFolder);
    return places;
}

std::vector<PlaceNote> PreparePlaces(const DataPlaces& places, const std::string& programFolder)
{
    std::vector<PlaceNote> notes;
    if (places.portable) return notes;
    std::error_code error;
    const std::string profileFolder = sys::TextOf(sys::PathOf(places.profilePath).parent_path());
    if (!fs::Exists(places.profilePath)) {
        stdfs::create_directories(sys::PathOf(profileFolder), error);
        // The first profile starts as the one the program came with: a read-only
        // portable copy's own, or the installed one (its set and address corrections).
        const std::string beside = WithSlash(programFolder) + "zok2.ini";
        const std::string seed = fs::IsRegularFile(beside) ? beside : places.bundledFolder.empty() ? std::string() : places.bundledFolder + "zok2.ini";
        std::string reason;
        if (!fs::IsFolder(profileFolder)) {
            notes.push_back({PlaceNote::Kind::CannotCreateFolder, profileFolder, error ? error.message() : std::string()});
        } else if (!seed.empty() && fs::IsRegularFile(seed) && !fs::CopyFileReplacing(seed, places.profilePath, &reason)) {
            notes.push_back({PlaceNote::Kind::CannotWriteProfile, places.profilePath, reason});
        } else if (fs::IsRegularFile(beside)) {
            notes.push_back({PlaceNote::Kind::ProfileMoved, places.profilePath, std::string()});
        }
    }
    // The first start of an installed program: the sets it came with are copied
    // for the user to change. A set folder is never touched again once it holds
    // a set; one that holds none (a first start that failed half-way) is filled.
    const std::string sets = sys::TextOf(sys::PathOf(places.settingsFolder).parent_path());  // without the closing "/"
    if (HoldsASet(sets)) return notes;
    const std::string bundledSets = places.bundledFolder.empty() ? std::string() : places.bundledFolder + "Settings";
    error.clear();
    stdfs::create_directories(sys::PathOf(sets), error);
    std::string reason = error ? error.message() : std::string();
    if (!error && !bundledSets.empty() && fs::IsFolder(bundledSets)) CopyAsTheUsers(bundledSets, sets, &reason);
    if (!reason.empty()) notes.push_back({PlaceNote::Kind::CannotCreateFolder, places.settingsFolder, reason});
    return notes;
}

}  // namespace zok2
