#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>

// The case number as the user typed it in the case-number field. Only an integer goes into a
// statement: the field's text is never spliced into SQL as it stands.

// The integer in the text, allowing blanks around it as the server would; nothing when the text
// is not an integer (empty, letters, SQL, out of range).
std::optional<std::int64_t> ParseCaseNumber(std::string_view text);

// Refusal of a text that is not a case number, before anything is sent to the server.
class EInvalidCaseNumber : public std::invalid_argument {
  public:
    EInvalidCaseNumber() : std::invalid_argument("Número de processo inválido.") {}
};

// ParseCaseNumber, or EInvalidCaseNumber.
std::int64_t RequireCaseNumber(std::string_view text);
