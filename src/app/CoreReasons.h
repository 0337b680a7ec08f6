#pragma once
// The reasons the core gives for a refused patch or table (in English, as
// zok2-cli prints them) in the window's language. A reason the core did not
// make (the system's own, such as "Permission denied") comes back as it is.
#include <string>

namespace zok2 {

std::string CoreReasonText(const std::string& reason);
// Whether the reason is one of the core's, with words of its own in the window.
bool IsKnownCoreReason(const std::string& reason);

}  // namespace zok2
