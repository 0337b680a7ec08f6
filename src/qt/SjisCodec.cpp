#include "qt/SjisCodec.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace zok2 {

std::string SjisToUtf8(const std::string& sjis)
{
    QStringDecoder decoder("windows-31j");
    QString text = decoder(QByteArray::fromRawData(sjis.data(), static_cast<qsizetype>(sjis.size())));
    return text.toUtf8().toStdString();
}

std::string Utf8ToSjis(const std::string& utf8)
{
    QStringEncoder encoder("windows-31j");
    QByteArray bytes = encoder(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    return bytes.toStdString();
}

QString SjisToQString(std::string_view sjis)
{
    bool ascii = true;
    for (char ch : sjis) ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
    if (ascii) return QString::fromLatin1(sjis.data(), static_cast<qsizetype>(sjis.size()));
    QStringDecoder decoder("windows-31j");
    return decoder(QByteArrayView(sjis.data(), static_cast<qsizetype>(sjis.size())));
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
    QStringEncoder encoder("windows-31j");
    return QByteArray(encoder(text)).toStdString();
}

QString FileNameToQString(const std::string& name) { return QFile::decodeName(QByteArray::fromStdString(name)); }
std::string QStringToFileName(const QString& name) { return QFile::encodeName(name).toStdString(); }

std::optional<std::string> Utf8ToSjisExactly(const std::string& utf8)
{
    QStringEncoder encoder("windows-31j");
    QByteArray bytes = encoder(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    if (encoder.hasError()) return std::nullopt;
    return bytes.toStdString();
}

std::optional<std::string> QtFileNameCodec::ToSjis(const std::string& fileSystemName) const
{
    const QString name = QFile::decodeName(QByteArray::fromStdString(fileSystemName));
    QStringEncoder encoder("windows-31j");
    QByteArray bytes = encoder(name);
    if (encoder.hasError()) return std::nullopt;
    return bytes.toStdString();
}

std::string QtFileNameCodec::ToFileSystem(const std::string& sjisName) const
{
    QStringDecoder decoder("windows-31j");
    QString name = decoder(QByteArray::fromStdString(sjisName));
    return QFile::encodeName(name).toStdString();
}

}  // namespace zok2
