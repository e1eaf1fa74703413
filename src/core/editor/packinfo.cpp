#include "editor/packinfo.h"

#include <algorithm>
#include <cctype>

namespace lumor {

namespace {

bool startsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

}  // namespace

std::string trimSpaces(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

PackLink packLinkRule(const std::string& typed) {
    PackLink r{trimSpaces(typed), LinkPrefix::None};
    if (r.link.empty()) return r;
    for (const char* scheme : {"http://", "https://", "mailto:"})
        if (startsWithIgnoringCase(r.link, scheme)) return r;
    if (r.link.find('@') == std::string::npos) {
        r.link = "http://" + r.link;
        r.added = LinkPrefix::Http;
    } else {
        r.link = "mailto:" + r.link;
        r.added = LinkPrefix::Mailto;
    }
    return r;
}

LinkPrefix storePackInfo(const PackInfoTexts& texts, PackHeader& header) {
    header.PackRemark = trimSpaces(texts.remark);
    header.PackEndMessage = trimSpaces(texts.endMessage);
    PackLink link = packLinkRule(texts.link);
    header.PackLink = std::move(link.link);
    header.PackAuthor = trimSpaces(texts.author);
    header.PackTitle = trimSpaces(texts.title);
    header.PackPassword = trimSpaces(texts.password);
    return link.added;
}

}  // namespace lumor
