#include "mail/RecipientList.h"

namespace {

// Blanks and control characters: bytes 1 to 32. Bytes of UTF-8 sequences are all above.
bool separator(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 1 && byte <= ' ';
}

// The quoted part starting at text[at] == '"', without its quotes; at moves past it. An
// unterminated quote runs to the end.
std::string quoted(std::string_view text, std::size_t& at) {
    std::string item;
    ++at;
    while (at < text.size()) {
        if (text[at] == '"') {
            if (at + 1 < text.size() && text[at + 1] == '"') {
                item += '"';
                at += 2;
                continue;
            }
            ++at;
            return item;
        }
        item += text[at++];
    }
    return item;
}

}  // namespace

std::vector<std::string> RecipientList::Split(std::string_view text) {
    if (text.find(';') == std::string_view::npos) return {std::string(text)};

    std::vector<std::string> items;
    std::size_t at = 0;
    const auto skipSeparators = [&] {
        while (at < text.size() && separator(text[at])) ++at;
    };
    skipSeparators();
    while (at < text.size()) {
        if (text[at] == '"') {
            items.push_back(quoted(text, at));
        } else {
            const std::size_t start = at;
            while (at < text.size() && !separator(text[at]) && text[at] != ';') ++at;
            items.emplace_back(text.substr(start, at - start));
        }
        skipSeparators();
        if (at < text.size() && text[at] == ';') {
            if (at + 1 == text.size()) items.emplace_back();
            ++at;
            skipSeparators();
        }
    }
    return items;
}
