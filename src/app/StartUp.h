#pragma once
// Starting the program: the command line's own options (--help, --version),
// where the profile and the definition sets live, and the interface language.
#include <string>
#include <vector>

#include "framework/DataPlaces.h"

namespace zok2 {

// The places for `root` ("" for the program's own choice), made current.
DataPlaces UsePlaces(const std::string& root, const std::string& programPath);

// Each note about the places as the window says it.
std::vector<std::string> PlaceNoteTexts(const std::vector<PlaceNote>& notes);

}  // namespace zok2
