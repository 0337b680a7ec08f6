#include "journal/JournalPlace.h"

#include <cstdio>

#include "framework/FileSystem.h"
#include "framework/System.h"

namespace zok2::journal {

std::string JournalFolder()
{
#ifdef _WIN32
    const std::string local = fs::sys::EnvironmentVariable("LOCALAPPDATA");
    return local.empty() ? std::string() : local + "\\zok2\\";
#else
    std::string state = fs::sys::EnvironmentVariable("XDG_STATE_HOME");
    while (state.size() > 1 && state.back() == '/') state.pop_back();
    if (!state.empty() && state[0] == '/') return state + "/zok2/";  // a relative one is to be ignored
    const std::string home = fs::sys::EnvironmentVariable("HOME");
    return home.empty() ? std::string() : home + "/.local/state/zok2/";
#endif
}

std::string JournalPathFor(const std::string& binaryPath)
{
    const std::string folder = JournalFolder();
    return folder.empty() ? std::string() : folder + JournalName(fs::AbsolutePath(binaryPath));
}

Listed ReadJournal(const std::string& path)
{
    Listed listed;
    listed.path = path;
    std::string bytes, reason;
    if (!fs::ReadFile(path, bytes, &reason)) {
        listed.contents.problem = reason;
        return listed;
    }
    listed.contents = Decode(bytes);
    return listed;
}

std::vector<Listed> ListJournals(const std::string& folder)
{
    std::vector<Listed> journals;
    if (folder.empty() || !fs::IsFolder(folder)) return journals;
    for (const std::string& name : fs::FindFilesWithExtension(folder, ".journal")) journals.push_back(ReadJournal(folder + name));
    return journals;
}

std::string IsoTime(std::int64_t ms)
{
    // Days since 1970 to a civil date (proleptic Gregorian), as the C++ calendar counts.
    std::int64_t seconds = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    const std::int64_t inDay = seconds - days * 86400;
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    char text[40];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ", static_cast<long long>(year), static_cast<long long>(month),
                  static_cast<long long>(day), static_cast<long long>(inDay / 3600), static_cast<long long>(inDay / 60 % 60),
                  static_cast<long long>(inDay % 60));
    return text;
}

}  // namespace zok2::journal
