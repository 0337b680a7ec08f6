#pragma once
// Shift-JIS (code page 932) conversion at the Qt boundary.
#include <optional>
#include <string>
#include <string_view>

#include <QString>

#include "framework/Services.h"

namespace zok2 {

std::string SjisToUtf8(const std::string& sjis);
std::string Utf8ToSjis(const std::string& utf8);
// Display texts: plain ASCII (every number the grid shows) takes a fast path.
QString SjisToQString(std::string_view sjis);
std::string QStringToSjis(const QString& text);
// File names and paths between the file system's bytes and Qt's text.
QString FileNameToQString(const std::string& name);
std::string QStringToFileName(const QString& name);
// Nothing when the text has a character Shift-JIS cannot write.
std::optional<std::string> Utf8ToSjisExactly(const std::string& utf8);

// File names on disk are UTF-8; definition names are Shift-JIS.
class QtFileNameCodec : public IFileNameCodec {
public:
    std::optional<std::string> ToSjis(const std::string& fileSystemName) const override;
    std::string ToFileSystem(const std::string& sjisName) const override;
};

}  // namespace zok2
