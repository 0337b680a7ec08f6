#pragma once
// The program's own message texts (UTF-8), translated where they are shown.
// Every message says what is on disk now.
#include <string>
#include <vector>

#include "text/Translate.h"

namespace zok2::messages {

inline constexpr const char* kSettingsUnreadable = ZOK2_NOOP("Message", "設定ファイルが読み込めません。");
inline constexpr const char* kCannotOpenFile = ZOK2_NOOP("Message", "ファイルが開けません");
inline constexpr const char* kCopyFailed = ZOK2_NOOP("Message", "コピー失敗");
inline constexpr const char* kCannotWriteFile = ZOK2_NOOP("Message", "ファイルに書き込めません。ファイルは変更されていません。");
inline constexpr const char* kWriteFailedMidway =
    ZOK2_NOOP("Message", "ファイルへの書き込み中にエラーが発生しました。保存前の内容は .bak ファイルに残っています。");
inline constexpr const char* kCannotBackUp = ZOK2_NOOP("Message", "バックアップを作成できないため保存を中止しました。ファイルは変更されていません。");
inline constexpr const char* kSaveAsFailed = ZOK2_NOOP("Message", "名前を付けて保存できませんでした。保存先のファイルは変更されていません。");
inline constexpr const char* kSettingsChangedOnDisk =
    ZOK2_NOOP("Message", "設定ファイルが開いた後に変更されているため、上書きせずに残しました。");
inline constexpr const char* kSettingsUnreadableNow = ZOK2_NOOP("Message", "設定ファイルを読み込めないため、上書きせずに残しました。");
inline constexpr const char* kSettingsWriteProtected = ZOK2_NOOP("Message", "設定ファイルに書き込めないため、上書きせずに残しました。");
inline constexpr const char* kSettingsLineTooLong =
    ZOK2_NOOP("Message", "設定ファイルの行が長すぎて正しく読み直せないため、上書きせずに残しました。");
inline constexpr const char* kCannotWriteSettings = ZOK2_NOOP("Message", "設定ファイルに書き込めません。元の内容はそのまま残っています。");
inline constexpr const char* kSettingsNotShiftJis =
    ZOK2_NOOP("Message", "設定ファイルが Shift-JIS ではありません（UTF-8 または UTF-16 の印で始まっています）。Shift-JIS で保存し直してください。");
inline constexpr const char* kFileChangedOnDisk = ZOK2_NOOP("Message", "このファイルは開いた後で他のプログラムによって書き換えられています。");
inline constexpr const char* kFileReplacedOnDisk = ZOK2_NOOP("Message", "このファイルは開いた後で別のファイルに置き換えられています。");
inline constexpr const char* kFileShrankOnDisk = ZOK2_NOOP("Message", "このファイルは開いた後で他のプログラムによって短くされています。");
inline constexpr const char* kFileDeletedOnDisk = ZOK2_NOOP("Message", "このファイルは開いた後で削除されたか、名前が変わっています。");
inline constexpr const char* kOverwriteOrSaveAs =
    ZOK2_NOOP("Message", "はい: 編集したセルをこのファイルに上書き保存します（.bak には今のファイルを残します）\n"
    "いいえ: 別の名前で保存します\n"
    "キャンセル: 保存しません");
inline constexpr const char* kOnlySaveAs =
    ZOK2_NOOP("Message", "編集したセルの位置がファイルにないため上書きできません。\n"
    "はい: 別の名前で保存します\n"
    "いいえ／キャンセル: 保存しません");
inline constexpr const char* kTailUnknown =
    ZOK2_NOOP("Message", "開いたファイルが他のプログラムに短くされていたため、表の値以外の次の範囲の内容は分からず、0 として保存しました。");
inline constexpr const char* kHeldFileChanged = ZOK2_NOOP(
    "Message",
    "開いたファイルは開いた後に他のプログラムに変更されています。表の値は画面のとおりに保存しますが、表の外のバイトは他のプログラムが残したファイルのものになります。保存しますか？");
inline constexpr const char* kTablesInTheLostTail =
    ZOK2_NOOP("Message", "次の表のデータはその範囲にありました（圧縮された表は画面の値を保存できません）:");
inline constexpr const char* kFileChangedReload =
    ZOK2_NOOP("Message", "このファイルは他のプログラムによって変更されました。\n再読み込みしますか？");
inline constexpr const char* kShownDataIsStale = ZOK2_NOOP("Message", "ディスク上で変更済み");

// The text, the file it concerns on a line of its own, and the system's reason.
inline std::string About(const char* text, const std::string& name, const std::string& reason = std::string())
{
    std::string message = Tr("Message", text) + "\n" + name;
    if (!reason.empty()) message += " (" + reason + ")";
    return message;
}

// The text and the files it concerns, one a line: the first few, then how many more.
inline std::string AboutFiles(const char* text, const std::vector<std::string>& files, std::size_t shown = 5)
{
    std::string message = Tr("Message", text);
    for (std::size_t i = 0; i < files.size() && i < shown; ++i) message += "\n" + files[i];
    if (files.size() > shown) message += "\n" + Fill(Tr("Message", "ほか %1 個のファイル"), {std::to_string(files.size() - shown)});
    return message;
}

}  // namespace zok2::messages
