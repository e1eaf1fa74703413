// Which pack links the title menu hands to the desktop: a link comes from a pack file,
// and a pack file must not be able to start programs.
#pragma once

#include <string>

namespace lumor {

// True for a web or e-mail address: it begins with "http://", "https://" or "mailto:" (any
// letter case) followed by more text, holds no blank or control character, and does not
// end in ".exe".
bool packLinkMayOpen(const std::string& link);

}  // namespace lumor
