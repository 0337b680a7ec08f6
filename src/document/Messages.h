#pragma once
// The program's own message texts (UTF-8). Every message says what is on disk now.
#include <string>

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

// The text, the file it concerns on a line of its own, and the system's reason.
inline std::string About(const char* text, const std::string& name, const std::string& reason = std::string())
{
    std::string message = std::string(text) + "\n" + name;
    if (!reason.empty()) message += " (" + reason + ")";
    return message;
}

}  // namespace zok2::messages
