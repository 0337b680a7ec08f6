// Where the profile and the definition sets live: beside a portable copy, in
// the user's folders for an installed program (started from the copies it came
// with, never overwritten), and what the user is told when a folder cannot be made.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "framework/AppPath.h"
#include "framework/DataPlaces.h"
#include "framework/System.h"
#include "support/TestFixture.h"

namespace zok2::test {

namespace {

namespace stdfs = std::filesystem;

// An installation under a temporary prefix: bin/, and share/zok2 with the sample set and profile.
struct Install {
    TempDir dir;
    std::string bin = dir.Path() + "prefix/bin/";
    std::string share = dir.Path() + "prefix/share/zok2/";
    std::string home = dir.Path() + "home/";
    Install()
    {
        stdfs::create_directories(bin);
        stdfs::create_directories(share + "Settings/sample");
        stdfs::create_directories(home);
        WriteFile(share + "zok2.ini", "[Setting]\r\nmode=sample\r\n\r\n[File Address Correction]\r\ndat=200\r\n");
        WriteFile(share + "Settings/sample/items.ini", "0,A,1\r\n");
    }
    PlaceEnvironment Environment() const
    {
        PlaceEnvironment environment;
        environment.home = home;
        environment.bundledRelative = "../share/zok2";
        return environment;
    }
};

bool NeverWritable(const std::string&) { return false; }

// A path as the system spells it without "." and ".." (Windows: backslashes).
std::string Normal(const std::string& path) { return fs::sys::TextOf(fs::sys::PathOf(path).lexically_normal()); }

}  // namespace

TEST(DataPlaces, APortableCopyKeepsEverythingBesideIt)
{
    TempDir dir;
    PlaceEnvironment environment;
    environment.home = dir.Path() + "home";
    environment.bundledRelative = "../share/zok2";
    // A writable folder that is no installation.
    DataPlaces places = ChoosePlaces(dir.Path(), environment);
    EXPECT_TRUE(places.portable);
    EXPECT_EQ(places.profilePath, dir.Path() + "zok2.ini");
    EXPECT_EQ(places.settingsFolder, dir.Path() + "Settings/");
    EXPECT_TRUE(PreparePlaces(places, dir.Path()).empty());
    EXPECT_FALSE(stdfs::exists(dir.Path() + "home"));
    // Moved to a read-only medium: its sets are read where they are, its profile
    // goes to the user's configuration folder (started from its own) and the user is told.
    WriteFile(dir.Path() + "zok2.ini", "[Setting]\r\nmode=mine\r\n");
    environment.folderWritable = NeverWritable;
    places = ChoosePlaces(dir.Path(), environment);
    EXPECT_FALSE(places.portable);
    EXPECT_EQ(places.settingsFolder, dir.Path() + "Settings/");
    EXPECT_EQ(places.profilePath, dir.Path() + "home/.config/zok2/zok2.ini");
    const std::vector<PlaceNote> notes = PreparePlaces(places, dir.Path());
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].kind, PlaceNote::Kind::ProfileMoved);
    EXPECT_EQ(notes[0].path, places.profilePath);
    EXPECT_EQ(ReadFile(places.profilePath), "[Setting]\r\nmode=mine\r\n");
    EXPECT_TRUE(PreparePlaces(places, dir.Path()).empty());  // said once, on the start that moved it
}

TEST(DataPlaces, AnInstalledProgramStartsTheUsersFoldersFromItsCopiesAndNeverOverwritesThem)
{
    Install install;
    // Even where the program's folder could be written (as root), an installation
    // keeps nothing there.
    const DataPlaces places = ChoosePlaces(install.bin, install.Environment());
    EXPECT_FALSE(places.portable);
    EXPECT_EQ(places.profilePath, install.home + ".config/zok2/zok2.ini");
    EXPECT_EQ(places.settingsFolder, install.home + ".local/share/zok2/Settings/");
    EXPECT_EQ(Normal(places.bundledFolder), Normal(install.share));
    EXPECT_TRUE(PreparePlaces(places, install.bin).empty());
    EXPECT_EQ(ReadFile(places.profilePath), ReadFile(install.share + "zok2.ini"));
    EXPECT_EQ(ReadFile(places.settingsFolder + "sample/items.ini"), "0,A,1\r\n");
    EXPECT_FALSE(stdfs::exists(install.bin + "zok2.ini"));

    // The user changes both; an upgrade brings new copies: the user's stay.
    WriteFile(places.profilePath, "[Setting]\r\nmode=other\r\n");
    WriteFile(places.settingsFolder + "sample/items.ini", "1,B,2\r\n");
    WriteFile(install.share + "zok2.ini", "[Setting]\r\nmode=newer\r\n");
    WriteFile(install.share + "Settings/sample/items.ini", "2,C,4\r\n");
    EXPECT_TRUE(PreparePlaces(places, install.bin).empty());
    EXPECT_EQ(ReadFile(places.profilePath), "[Setting]\r\nmode=other\r\n");
    EXPECT_EQ(ReadFile(places.settingsFolder + "sample/items.ini"), "1,B,2\r\n");

    // The path function gives the places made current; --root puts them in its folder.
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const std::string dataHome = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    SetEnvironment("HOME", install.home);
    SetEnvironment("XDG_DATA_HOME", install.dir.Path() + "data");
    UsePlaces("", install.bin + "zok2", "../share/zok2");
    SetEnvironment("HOME", home);
    SetEnvironment("XDG_DATA_HOME", dataHome);
    EXPECT_EQ(SettingsFolder(), install.dir.Path() + "data/zok2/Settings/");
    UsePlaces(install.dir.Path() + "root", install.bin + "zok2", "../share/zok2");
    EXPECT_EQ(GetAppPath(PathPart::ProfilePath), install.dir.Path() + "root/zok2.ini");
    EXPECT_EQ(SettingsFolder(), install.dir.Path() + "root/Settings/");
}

TEST(DataPlaces, XdgFoldersAreUsedWhenAbsoluteAndAFolderThatCannotBeMadeIsReported)
{
    Install install;
    PlaceEnvironment environment = install.Environment();
    environment.configHome = install.dir.Path() + "config";
    environment.dataHome = "relative/data";  // not absolute: ignored
    DataPlaces places = ChoosePlaces(install.bin, environment);
    EXPECT_EQ(places.profilePath, install.dir.Path() + "config/zok2/zok2.ini");
    EXPECT_EQ(places.settingsFolder, install.home + ".local/share/zok2/Settings/");

    // A HOME that is a file: neither folder can be made; both are reported, nothing else happens.
    WriteFile(install.dir.Path() + "file", "x");
    environment = install.Environment();
    environment.home = install.dir.Path() + "file";
    places = ChoosePlaces(install.bin, environment);
    const std::vector<PlaceNote> notes = PreparePlaces(places, install.bin);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].kind, PlaceNote::Kind::CannotCreateFolder);
    EXPECT_EQ(notes[0].path, install.dir.Path() + "file/.config/zok2");
    EXPECT_FALSE(notes[0].reason.empty());
    EXPECT_EQ(notes[1].kind, PlaceNote::Kind::CannotCreateFolder);
    EXPECT_EQ(notes[1].path, install.dir.Path() + "file/.local/share/zok2/Settings/");
    EXPECT_EQ(ReadFile(install.dir.Path() + "file"), "x");
}

}  // namespace zok2::test

namespace zok2::test {

// An installation in a read-only tree (folders 555, files 444): the first start
// copies a set the user may write; a set folder a failed start left empty is
// filled on the next one.
TEST(DataPlaces, CopiesFromAReadOnlyInstallationAreTheUsersAndAnEmptySetFolderIsFilled)
{
    Install install;
    const DataPlaces places = ChoosePlaces(install.bin, install.Environment());
    // What a failed first start left: the profile, and a set folder with an empty set in it.
    stdfs::create_directories(places.settingsFolder + "sample");
    stdfs::permissions(places.settingsFolder + "sample", stdfs::perms::owner_read | stdfs::perms::owner_exec, stdfs::perm_options::replace);
    const auto readOnly = [](const std::string& root) {
        for (const auto& entry : stdfs::recursive_directory_iterator(root)) {
            stdfs::permissions(entry.path(), entry.is_directory() ? stdfs::perms::owner_read | stdfs::perms::owner_exec | stdfs::perms::group_read |
                                                                        stdfs::perms::group_exec | stdfs::perms::others_read | stdfs::perms::others_exec
                                                                  : stdfs::perms::owner_read | stdfs::perms::group_read | stdfs::perms::others_read,
                               stdfs::perm_options::replace);
        }
    };
    readOnly(install.share + "Settings");
    EXPECT_TRUE(PreparePlaces(places, install.bin).empty());
    EXPECT_EQ(ReadFile(places.settingsFolder + "sample/items.ini"), "0,A,1\r\n");
    for (const std::string& path : {places.settingsFolder, places.settingsFolder + "sample", places.settingsFolder + "sample/items.ini"}) {
        EXPECT_NE(stdfs::status(path).permissions() & stdfs::perms::owner_write, stdfs::perms::none) << path;
    }
    // Once it holds a set, the folder is the user's: nothing is copied again.
    stdfs::remove(places.settingsFolder + "sample/items.ini");
    WriteFile(places.settingsFolder + "sample/mine.ini", "1,B,2\r\n");
    EXPECT_TRUE(PreparePlaces(places, install.bin).empty());
    EXPECT_FALSE(stdfs::exists(places.settingsFolder + "sample/items.ini"));
    stdfs::permissions(install.share, stdfs::perms::owner_all, stdfs::perm_options::add);
    for (const auto& entry : stdfs::recursive_directory_iterator(install.share)) {
        stdfs::permissions(entry.path(), stdfs::perms::owner_all, stdfs::perm_options::add);
    }
}

}  // namespace zok2::test
