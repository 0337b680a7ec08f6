#pragma once
// The program's own message texts (UTF-8). Every message says what is on disk now.
#include <string>
#include <vector>

namespace zok2::messages {

inline constexpr const char* kSettingsUnreadable = "設定ファイルが読み込めません。";
inline constexpr const char* kCannotOpenFile = "ファイルが開けません";
inline constexpr const char* kCopyFailed = "コピー失敗";
inline constexpr const char* kCannotWriteFile = "ファイルに書き込めません。ファイルは変更されていません。";
inline constexpr const char* kWriteFailedMidway =
    "ファイルへの書き込み中にエラーが発生しました。保存前の内容は .bak ファイルに残っています。";
inline constexpr const char* kCannotBackUp = "バックアップを作成できないため保存を中止しました。ファイルは変更されていません。";
inline constexpr const char* kSaveAsFailed = "名前を付けて保存できませんでした。保存先のファイルは変更されていません。";
inline constexpr const char* kSettingsChangedOnDisk =
    "設定ファイルが開いた後に変更されているため、上書きせずに残しました。";
inline constexpr const char* kSettingsUnreadableNow = "設定ファイルを読み込めないため、上書きせずに残しました。";
inline constexpr const char* kSettingsWriteProtected = "設定ファイルに書き込めないため、上書きせずに残しました。";
inline constexpr const char* kSettingsLineTooLong =
    "設定ファイルの行が長すぎて正しく読み直せないため、上書きせずに残しました。";
inline constexpr const char* kCannotWriteSettings = "設定ファイルに書き込めません。元の内容はそのまま残っています。";
inline constexpr const char* kSettingsNotShiftJis =
    "設定ファイルが Shift-JIS ではありません（UTF-8 または UTF-16 の印で始まっています）。Shift-JIS で保存し直してください。";
inline constexpr const char* kFileChangedOnDisk = "このファイルは開いた後で他のプログラムによって書き換えられています。";
inline constexpr const char* kFileReplacedOnDisk = "このファイルは開いた後で別のファイルに置き換えられています。";
inline constexpr const char* kFileShrankOnDisk = "このファイルは開いた後で他のプログラムによって短くされています。";
inline constexpr const char* kFileDeletedOnDisk = "このファイルは開いた後で削除されたか、名前が変わっています。";
inline constexpr const char* kOverwriteOrSaveAs =
    "はい: 編集したセルをこのファイルに上書き保存します（.bak には今のファイルを残します）\n"
    "いいえ: 別の名前で保存します\n"
    "キャンセル: 保存しません";
inline constexpr const char* kOnlySaveAs =
    "編集したセルの位置がファイルにないため上書きできません。\n"
    "はい: 別の名前で保存します\n"
    "いいえ／キャンセル: 保存しません";
inline constexpr const char* kTailUnknown =
    "開いたファイルが他のプログラムに短くされていたため、表の値以外の次の範囲の内容は分からず、0 として保存しました。";
inline constexpr const char* kFileChangedReload =
    "このファイルは他のプログラムによって変更されました。\n再読み込みしますか？";
inline constexpr const char* kShownDataIsStale = "ディスク上で変更済み";

// The text, the file it concerns on a line of its own, and the system's reason.
inline std::string About(const char* text, const std::string& name, const std::string& reason = std::string())
{
    std::string message = std::string(text) + "\n" + name;
    if (!reason.empty()) message += " (" + reason + ")";
    return message;
}

// The text and the files it concerns, one a line: the first few, then how many more.
inline std::string AboutFiles(const char* text, const std::vector<std::string>& files, std::size_t shown = 5)
{
    std::string message = text;
    for (std::size_t i = 0; i < files.size() && i < shown; ++i) message += "\n" + files[i];
    if (files.size() > shown) message += "\nほか " + std::to_string(files.size() - shown) + " 個のファイル";
    return message;
}

}  // namespace zok2::messages
