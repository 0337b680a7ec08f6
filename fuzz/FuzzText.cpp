// libFuzzer target: the text conversions at the boundary. Shift-JIS read into
// Unicode and written back gives the same characters (the display's fast path
// for ASCII agrees with the codec); a text is UTF-8 by our check exactly when
// Qt's decoder reads it without a replacement; file names pass through unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include <QString>

#include "qt/SjisCodec.h"
#include "text/Utf8.h"

namespace {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 4096) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // As Shift-JIS.
    const std::string utf8 = zok2::SjisToUtf8(bytes);
    if (zok2::SjisToQString(bytes) != FromUtf8(utf8)) std::abort();
    if (const std::optional<std::string> back = zok2::Utf8ToSjisExactly(utf8)) {
        if (zok2::SjisToUtf8(*back) != utf8) std::abort();
        if (zok2::QStringToSjis(zok2::SjisToQString(*back)) != *back) std::abort();
    }
    // As UTF-8.
    const bool valid = zok2::text::FirstInvalidUtf8(bytes) == std::string_view::npos;
    // (Qt's reader takes a byte-order mark off the start.)
    const std::string body = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? bytes.substr(3) : bytes;
    if (valid != (FromUtf8(bytes).toUtf8() == QByteArray(body.data(), static_cast<qsizetype>(body.size())))) std::abort();
    if (valid) {
        if (const std::optional<std::string> sjis = zok2::Utf8ToSjisExactly(bytes)) {
            if (zok2::SjisToUtf8(*sjis) != body) std::abort();
        }
        if (zok2::QStringToFileName(zok2::FileNameToQString(bytes)) != bytes) std::abort();
    }
    return 0;
}
