#include "app/CoreReasons.h"

#include <cstdlib>
#include <map>

#include "text/Translate.h"

namespace zok2 {

namespace {

// The core's reasons (English, as zok2-cli prints them) and the window's words
// for them (Japanese, the program's language, translated back to English by the
// translations when the interface is English).
const std::map<std::string, const char*>& Reasons()
{
    static const std::map<std::string, const char*> reasons = {
    {"the file name is not valid UTF-8", ZOK2_NOOP("Reason", "ファイル名が正しい UTF-8 ではありません")},
    {"IPS holds files of at most 16 MiB", ZOK2_NOOP("Reason", "IPS は 16 MiB までのファイルにしか使えません")},
    {"a JSON row does not start with the row label's key \"\"", ZOK2_NOOP("Reason", "JSON の行が行見出しのキー \"\" で始まっていません")},
    {"a JSON row holds texts keyed by caption", ZOK2_NOOP("Reason", "JSON の行は見出しをキーとする文字列でなければなりません")},
    {"a JSON row is an object", ZOK2_NOOP("Reason", "JSON の行はオブジェクトでなければなりません")},
    {"a JSON row object is not closed", ZOK2_NOOP("Reason", "JSON の行のオブジェクトが閉じていません")},
    {"a JSON table is an array of rows", ZOK2_NOOP("Reason", "JSON の表は行の配列でなければなりません")},
    {"a quote inside a field that is not quoted (a field with quotes is quoted whole, its quotes doubled)", ZOK2_NOOP("Reason", "引用符で囲まれていない項目の中に引用符があります（引用符を含む項目は全体を引用符で囲み、中の引用符は二つ重ねます）")},
    {"a quoted CSV field has no closing quote", ZOK2_NOOP("Reason", "CSV の引用符で囲まれた項目に閉じる引用符がありません")},
    {"a quoted cell has no closing quote", ZOK2_NOOP("Reason", "引用符で囲まれたセルに閉じる引用符がありません")},
    {"text follows a quoted cell's closing quote", ZOK2_NOOP("Reason", "引用符で囲まれたセルの閉じる引用符の後に文字があります")},
    {"an IPS record is cut off", ZOK2_NOOP("Reason", "IPS のレコードが途中で切れています")},
    {"an IPS run record is cut off", ZOK2_NOOP("Reason", "IPS の連続レコードが途中で切れています")},
    {"not a BPS patch (no \"BPS1\" at its start)", ZOK2_NOOP("Reason", "BPS パッチではありません（先頭が \"BPS1\" ではありません）")},
    {"not an IPS or BPS patch", ZOK2_NOOP("Reason", "IPS パッチでも BPS パッチでもありません")},
    {"not an IPS patch (no \"PATCH\" at its start)", ZOK2_NOOP("Reason", "IPS パッチではありません（先頭が \"PATCH\" ではありません）")},
    {"text follows a quoted field's closing quote", ZOK2_NOOP("Reason", "引用符で囲まれた項目の閉じる引用符の後に文字があります")},
    {"the BPS patch is cut short (it ends inside its header)", ZOK2_NOOP("Reason", "BPS パッチが途中で切れています（ヘッダーの中で終わっています）")},
    {"the BPS patch is damaged (a copy is cut off)", ZOK2_NOOP("Reason", "BPS パッチが壊れています（コピーが途中で切れています）")},
    {"the BPS patch is damaged (a copy lies outside the file)", ZOK2_NOOP("Reason", "BPS パッチが壊れています（コピーがファイルの外を指しています）")},
    {"the BPS patch is damaged (a copy lies outside the source)", ZOK2_NOOP("Reason", "BPS パッチが壊れています（コピーが元のファイルの外を指しています）")},
    {"the BPS patch is damaged (a copy lies outside the target written so far)", ZOK2_NOOP("Reason", "BPS パッチが壊れています（コピーがまだ書いていない位置を指しています）")},
    {"the BPS patch is damaged (an action is cut off)", ZOK2_NOOP("Reason", "BPS パッチが壊れています（命令が途中で切れています）")},
    {"the BPS patch is damaged (it reads past the source's end)", ZOK2_NOOP("Reason", "BPS パッチが壊れています（元のファイルの終わりより先を読みます）")},
    {"the BPS patch is damaged (it writes less than the target's size)", ZOK2_NOOP("Reason", "BPS パッチが壊れています（書く量が結果の大きさに足りません）")},
    {"the BPS patch is damaged (it writes past the target's end)", ZOK2_NOOP("Reason", "BPS パッチが壊れています（結果の終わりより先に書きます）")},
    {"the BPS patch is damaged (its bytes are cut off)", ZOK2_NOOP("Reason", "BPS パッチが壊れています（データが途中で切れています）")},
    {"the BPS patch is damaged (its header is cut off)", ZOK2_NOOP("Reason", "BPS パッチが壊れています（ヘッダーが途中で切れています）")},
    {"the BPS patch is damaged (its own checksum does not match)", ZOK2_NOOP("Reason", "BPS パッチが壊れています（パッチ自身のチェックサムが合いません）")},
    {"the BPS patch is damaged (the result's checksum does not match)", ZOK2_NOOP("Reason", "BPS パッチが壊れています（結果のチェックサムが合いません）")},
    {"the BPS patch makes a file larger than 4 GiB", ZOK2_NOOP("Reason", "BPS パッチの結果が 4 GiB を超えます")},
    {"the BPS patch was made for another file (its checksum differs)", ZOK2_NOOP("Reason", "この BPS パッチは別のファイル用です（チェックサムが違います）")},
    {"the BPS patch was made for another file (its size differs)", ZOK2_NOOP("Reason", "この BPS パッチは別のファイル用です（大きさが違います）")},
    {"the IPS patch ends without \"EOF\"", ZOK2_NOOP("Reason", "IPS パッチが \"EOF\" なしで終わっています")},
    {"the IPS patch has bytes after \"EOF\" that are no length", ZOK2_NOOP("Reason", "IPS パッチの \"EOF\" の後に長さでないデータがあります")},
    {"the IPS patch is cut short (it ends before \"EOF\")", ZOK2_NOOP("Reason", "IPS パッチが途中で切れています（\"EOF\" の前で終わっています）")},
    {"the IPS patch is damaged (its truncation would lengthen the file)", ZOK2_NOOP("Reason", "IPS パッチが壊れています（切り詰めの長さがファイルより長くなっています）")},
    {"the JSON array is not closed", ZOK2_NOOP("Reason", "JSON の配列が閉じていません")},
    {"the JSON rows do not all have the same keys", ZOK2_NOOP("Reason", "JSON の行のキーがそろっていません")},
    {"the patch is cut short (it ends inside its header)", ZOK2_NOOP("Reason", "パッチが途中で切れています（ヘッダーの中で終わっています）")},
    {"the patch was not applied: cancelled", ZOK2_NOOP("Reason", "パッチは適用していません（中止しました）")},
    {"there is text after the JSON array", ZOK2_NOOP("Reason", "JSON の配列の後に文字があります")},
    };
    return reasons;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

// "line N: " or "line N " at the start: N and what follows, else false.
bool LinePrefix(const std::string& text, std::string* line, std::string* rest, char after)
{
    if (!StartsWith(text, "line ")) return false;
    std::size_t end = 5;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    if (end == 5 || end >= text.size() || text[end] != after) return false;
    *line = text.substr(5, end - 5);
    *rest = text.substr(end + (after == ':' ? 2 : 1));
    return true;
}

}  // namespace

bool IsKnownCoreReason(const std::string& reason) { return Reasons().count(reason) > 0; }

std::string CoreReasonText(const std::string& reason)
{
    const auto found = Reasons().find(reason);
    if (found != Reasons().end()) return Tr("Reason", found->second);
    std::string line, rest;
    if (LinePrefix(reason, &line, &rest, ':')) return Fill(Tr("Reason", "%1 行目: %2"), {line, CoreReasonText(rest)});
    if (LinePrefix(reason, &line, &rest, ' ') && StartsWith(rest, "is not UTF-8")) {
        return Fill(Tr("Reason", "%1 行目が UTF-8 ではありません（表は UTF-8 で保存してください。Shift-JIS は読めません）"), {line});
    }
    const std::string space = "not enough free space: the result needs ";
    if (StartsWith(reason, space)) {
        const std::size_t bytes = reason.find(" bytes, ", space.size());
        const std::size_t free = reason.find(" are free", bytes == std::string::npos ? 0 : bytes);
        if (bytes != std::string::npos && free != std::string::npos) {
            return Fill(Tr("Reason", "空き容量が足りません（結果に %1 バイト必要で、空きは %2 バイトです）"),
                        {reason.substr(space.size(), bytes - space.size()), reason.substr(bytes + 8, free - bytes - 8)});
        }
    }
    return reason;  // the system's own words (already in its language), or a text of a file
}

}  // namespace zok2
