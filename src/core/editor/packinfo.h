// The pack information of "Pack ID ändern": the six header texts as the dialog stores
// them, with the rule that makes the link a working address.
#pragma once

#include "levels/level.h"

#include <string>

namespace lumor {

// The text without leading and trailing spaces.
std::string trimSpaces(const std::string& text);

enum class LinkPrefix { None, Http, Mailto };

struct PackLink {
    std::string link;
    LinkPrefix added = LinkPrefix::None;  // what was put in front (the dialog says so)
};

// The link as stored from the typed text: trimmed; an address that does not start with
// "http://", "https://" or "mailto:" (in any letter case) gets "mailto:" put in front when
// it holds an "@", else "http://". An empty text stays empty.
PackLink packLinkRule(const std::string& typed);

// The six texts of the dialog, in the order of its boxes from top to bottom.
struct PackInfoTexts {
    std::string title, author, remark, endMessage, link, password;
};

// Stores the texts in the header as closing the dialog does, each trimmed, the link by
// packLinkRule; returns what was put in front of the link.
LinkPrefix storePackInfo(const PackInfoTexts& texts, PackHeader& header);

}  // namespace lumor
