#include "qt/SjisCodec.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace zok2 {

namespace {

#ifdef Q_OS_WIN

// Windows' own code page 932 is the Shift-JIS the sets were written in (Qt for
// Windows has no ICU, so no named converters).
constexpr UINT kShiftJis = 932;

QString Decode(QByteArrayView sjis)
{
    if (sjis.isEmpty()) return QString();
    const int size = static_cast<int>(sjis.size());
    const int n = MultiByteToWideChar(kShiftJis, 0, sjis.data(), size, nullptr, 0);
    QString text(n, Qt::Uninitialized);
    MultiByteToWideChar(kShiftJis, 0, sjis.data(), size, reinterpret_cast<wchar_t*>(text.data()), n);
    return text;
}

QByteArray Encode(const QString& text, bool* error = nullptr)
{
    if (error) *error = false;
    if (text.isEmpty()) return QByteArray();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
    const int size = static_cast<int>(text.size());
    // No "best fit": a character without its own code is an error, not a look-alike.
    BOOL lost = FALSE;
    const int n = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0, nullptr, &lost);
    QByteArray bytes(n, Qt::Uninitialized);
    WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide, size, bytes.data(), n, nullptr, &lost);
    if (error) *error = lost != FALSE;
    return bytes;
}

#else

// ICU's "windows-31j" exchanges three control codes (0x1A, 0x1C, 0x7F) as IBM's
// code page 943 does; Windows' code page 932 keeps them as they are, as ASCII
// does. Decoding and encoding put them back, so every byte below 0x80 is the
// same character whichever way a text takes.
char16_t ControlAsWindows(char16_t c)
{
    switch (c) {
    case 0x1C: return 0x1A;
    case 0x7F: return 0x1C;
    case 0x1A: return 0x7F;
    default: return c;
    }
}
char16_t ControlAsIcu(char16_t c)
{
    switch (c) {
    case 0x1A: return 0x1C;
    case 0x1C: return 0x7F;
    case 0x7F: return 0x1A;
    default: return c;
    }
}

QString Decode(QByteArrayView sjis)
{
    QStringDecoder decoder("windows-31j");
    QString text = decoder(sjis);
    for (QChar& ch : text) ch = QChar(ControlAsWindows(ch.unicode()));
    return text;
}

QByteArray Encode(QString text, bool* error = nullptr)
{
    for (QChar& ch : text) ch = QChar(ControlAsIcu(ch.unicode()));
    QStringEncoder encoder("windows-31j");
    QByteArray bytes = encoder(text);
    if (error) *error = encoder.hasError();
    return bytes;
}

#endif

}  // namespace

std::string SjisToUtf8(const std::string& sjis)
{
    return Decode(QByteArrayView(sjis.data(), static_cast<qsizetype>(sjis.size()))).toUtf8().toStdString();
}

std::string Utf8ToSjis(const std::string& utf8)
{
    return Encode(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))).toStdString();
}

QString SjisToQString(std::string_view sjis)
{
    bool ascii = true;
    for (char ch : sjis) ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
    if (ascii) return QString::fromLatin1(sjis.data(), static_cast<qsizetype>(sjis.size()));
    return Decode(QByteArrayView(sjis.data(), static_cast<qsizetype>(sjis.size())));
}

std::string QStringToSjis(const QString& text)
{
    // Spreadsheet cells are mostly digits: ASCII is the same bytes in Shift-JIS.
    bool ascii = true;
    for (const QChar ch : text) {
        if (ch.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        const QByteArray latin1 = text.toLatin1();
        return std::string(latin1.constData(), static_cast<std::size_t>(latin1.size()));
    }
    return Encode(text).toStdString();
}

QString FileNameToQString(const std::string& name)
{
    // Qt's decoding takes byte-order marks off the start: a name may start with them.
    QString marks;
    std::size_t at = 0;
    while (name.compare(at, 3, "\xEF\xBB\xBF") == 0) {
        marks += QChar(0xFEFF);
        at += 3;
    }
    return marks + QString::fromUtf8(name.data() + at, static_cast<qsizetype>(name.size() - at));
}
// The core's paths are UTF-8 on every system (on Windows the ANSI code page of
// QFile::encodeName would lose every character outside it).
std::string QStringToFileName(const QString& name)
{
    // Qt writes "/" on every system; Windows users read and type "\\".
    return QDir::toNativeSeparators(name).toStdString();
}

namespace {

// A converter may know one-way mappings (ICU writes U+F86F, a private-use
// numero sign, as 0x8782, which reads back as U+2116): such a text would be
// stored as another one. Exact means the bytes read back as the same text.
std::optional<std::string> EncodeExactly(const QString& text)
{
    bool error = false;
    QByteArray bytes = Encode(text, &error);
    if (error || Decode(bytes) != text) return std::nullopt;
    return bytes.toStdString();
}

}  // namespace

std::optional<std::string> Utf8ToSjisExactly(const std::string& utf8)
{
    return EncodeExactly(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

std::optional<std::string> QtFileNameCodec::ToSjis(const std::string& fileSystemName) const
{
    return EncodeExactly(QString::fromStdString(fileSystemName));
}

std::string QtFileNameCodec::ToFileSystem(const std::string& sjisName) const
{
    return Decode(QByteArrayView(sjisName.data(), static_cast<qsizetype>(sjisName.size()))).toStdString();
}

}  // namespace zok2
