#include <gtest/gtest.h>

#include "mail/RecipientList.h"

namespace {

TEST(RecipientList, SplitsTheRecipientField) {
    struct Case {
        const char* text;
        std::vector<std::string> recipients;
    };
    const Case cases[] = {
        // Without ";" the text is one recipient, unchanged, blanks and all.
        {"ana@example.com", {"ana@example.com"}},
        {"ana@example.com bruno@example.com", {"ana@example.com bruno@example.com"}},
        {" ana@example.com ", {" ana@example.com "}},
        {"", {""}},
        {"\"Ana\" <ana@example.com>", {"\"Ana\" <ana@example.com>"}},
        // With ";" it is split.
        {"ana@example.com; bruno@example.com", {"ana@example.com", "bruno@example.com"}},
        {"ana@example.com;bruno@example.com", {"ana@example.com", "bruno@example.com"}},
        {"ana@example.com;", {"ana@example.com", ""}},
        {"ana@example.com; ", {"ana@example.com"}},
        {";", {"", ""}},
        {"; ana@example.com", {"", "ana@example.com"}},
        {"ana@example.com;;bruno@example.com", {"ana@example.com", "", "bruno@example.com"}},
        {"  ana@example.com  ;  bruno@example.com  ", {"ana@example.com", "bruno@example.com"}},
        // Outside quotes a blank or control character ends an item too.
        {"ana@example.com bruno@example.com;", {"ana@example.com", "bruno@example.com", ""}},
        {"Ana Souza <ana@example.com>;", {"Ana", "Souza", "<ana@example.com>", ""}},
        {"a@x.com\tb@y.com\r\n;c@z.com", {"a@x.com", "b@y.com", "c@z.com"}},
        // A quoted part is one item without its quotes.
        {"\"Ana Souza <ana@example.com>\"; bruno@example.com",
         {"Ana Souza <ana@example.com>", "bruno@example.com"}},
        {"\"Souza; Ana\" <ana@example.com>;", {"Souza; Ana", "<ana@example.com>", ""}},
        {"\"say \"\"hi\"\"\";x@y.com", {"say \"hi\"", "x@y.com"}},
        {"\"\";x@y.com", {"", "x@y.com"}},
        {"\"ab\"cd;e", {"ab", "cd", "e"}},
        {"x@y.com;\"unterminated one", {"x@y.com", "unterminated one"}},
        // Letters beyond ASCII are never separators.
        {"jos\xC3\xA9@example.com;m\xC3\xA1rio@example.com",
         {"jos\xC3\xA9@example.com", "m\xC3\xA1rio@example.com"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(RecipientList::Split(c.text), c.recipients);
    }
}

}  // namespace
