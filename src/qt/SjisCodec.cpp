#include "qt/SjisCodec.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace zok2 {

namespace {

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
    return marks + QFile::decodeName(QByteArray::fromStdString(name.substr(at)));
}
std::string QStringToFileName(const QString& name) { return QFile::encodeName(name).toStdString(); }

std::optional<std::string> Utf8ToSjisExactly(const std::string& utf8)
{
    bool error = false;
    QByteArray bytes = Encode(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())), &error);
    if (error) return std::nullopt;
    return bytes.toStdString();
}

std::optional<std::string> QtFileNameCodec::ToSjis(const std::string& fileSystemName) const
{
    bool error = false;
    QByteArray bytes = Encode(QFile::decodeName(QByteArray::fromStdString(fileSystemName)), &error);
    if (error) return std::nullopt;
    return bytes.toStdString();
}

std::string QtFileNameCodec::ToFileSystem(const std::string& sjisName) const
{
    return QFile::encodeName(Decode(QByteArrayView(sjisName.data(), static_cast<qsizetype>(sjisName.size())))).toStdString();
}

}  // namespace zok2
