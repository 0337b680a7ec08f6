#pragma once
// The program's own message texts (UTF-8).
namespace zok2::messages {

inline constexpr const char* kSettingsUnreadable = "設定ファイルが読み込めません。";
inline constexpr const char* kCannotOpenFile = "ファイルが開けません";
inline constexpr const char* kCopyFailed = "コピー失敗";
inline constexpr const char* kCannotWriteFile = "ファイルに書き込めません。変更は保存されていません。\n";
inline constexpr const char* kWriteFailedMidway =
    "ファイルへの書き込み中にエラーが発生しました。保存前の内容は .bak ファイルに残っています。\n";
inline constexpr const char* kCannotBackUp = "バックアップを作成できないため保存を中止しました。\n";
inline constexpr const char* kCannotCopyFile = "ファイルをコピーできないため保存を中止しました。\n";
inline constexpr const char* kSettingsChangedOnDisk =
    "設定ファイルが開いた後に変更されているため、上書きせずに残しました。\n";
inline constexpr const char* kCannotWriteSettings = "設定ファイルに書き込めません。元の内容はそのまま残っています。\n";

}  // namespace zok2::messages
