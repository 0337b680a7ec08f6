#include "app/StartUp.h"

#ifndef ZOK2_BUNDLED_RELATIVE
#define ZOK2_BUNDLED_RELATIVE "../share/zok2"
#endif

namespace zok2 {

DataPlaces UsePlaces(const std::string& root, const std::string& programPath)
{
    return UsePlaces(root, programPath, ZOK2_BUNDLED_RELATIVE);
}

std::vector<std::string> PlaceNoteTexts(const std::vector<PlaceNote>& notes)
{
    std::vector<std::string> texts;
    for (const PlaceNote& note : notes) {
        std::string text;
        switch (note.kind) {
        case PlaceNote::Kind::CannotCreateFolder: text = "フォルダーを作れません。設定は保存されません。\n"; break;
        case PlaceNote::Kind::CannotWriteProfile: text = "プロファイルを作れません。設定は保存されません。\n"; break;
        case PlaceNote::Kind::ProfileMoved: text = "プログラムのフォルダーに書き込めないため、プロファイルは次の場所に保存します。\n"; break;
        }
        text += note.path;
        if (!note.reason.empty()) text += " (" + note.reason + ")";
        texts.push_back(text);
    }
    return texts;
}

}  // namespace zok2
