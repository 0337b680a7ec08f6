#pragma once
// Makes writes past a file offset fail for the lifetime of the object, the way a
// full disk does, even for a user whose rights ignore file permissions.
#include <cstdint>

#include "framework/File.h"

namespace zok2::test {

class FileSizeLimit {
public:
    explicit FileSizeLimit(std::int64_t bytes) { fs::SetWriteLimitForTests(bytes); }
    ~FileSizeLimit() { fs::SetWriteLimitForTests(-1); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
};

}  // namespace zok2::test
