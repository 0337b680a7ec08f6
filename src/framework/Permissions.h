#pragma once
// Write protection read from the permission bits: the bits of the class the
// user belongs to (owner, group or others) must allow writing, whatever rights
// the system grants beyond them.
#include <sys/stat.h>

#ifndef _WIN32
#include <unistd.h>

#include <vector>
#endif

namespace zok2::fs {

inline bool BitsAllowWriting(const struct stat& st)
{
#ifdef _WIN32
    return (st.st_mode & _S_IWRITE) != 0;
#else
    const uid_t user = ::geteuid();
    if (st.st_uid == user) return (st.st_mode & S_IWUSR) != 0;
    bool inGroup = st.st_gid == ::getegid();
    if (!inGroup) {
        const int count = ::getgroups(0, nullptr);
        if (count > 0) {
            std::vector<gid_t> groups(static_cast<std::size_t>(count));
            const int got = ::getgroups(count, groups.data());
            for (int i = 0; i < got && !inGroup; ++i) inGroup = groups[static_cast<std::size_t>(i)] == st.st_gid;
        }
    }
    return (st.st_mode & (inGroup ? S_IWGRP : S_IWOTH)) != 0;
#endif
}

}  // namespace zok2::fs
