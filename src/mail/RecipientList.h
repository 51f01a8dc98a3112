#pragma once

#include <string>
#include <string_view>
#include <vector>

// The recipients typed into the composer's "Para:" field, each to be added on its own. Without
// any ";" the whole text, unchanged, is the one recipient. With one, the text is split: ";" ends
// an item; outside double quotes a blank or control character ends one too, and runs of them
// around items are skipped; a double-quoted part is one item without its quotes (a doubled quote
// inside stands for one); a ";" at the very end gives a last, empty item. Empty items are kept.
class RecipientList {
  public:
    static std::vector<std::string> Split(std::string_view text);
};
