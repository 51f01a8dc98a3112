#include "db/TField.h"

#include <charconv>

#include "db/EmySQLError.h"
#include "db/TmySQLQuery.h"

bool TField::IsNull() const { return !query_->CurrentValue(column_).has_value(); }

std::string TField::AsString() const {
    const auto value = query_->CurrentValue(column_);
    return value ? std::string(*value) : std::string();
}

std::int64_t TField::AsLargeInt() const {
    const std::string text = AsString();
    std::int64_t result = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        throw EmySQLError("'" + text + "' is not a valid integer value for field '" + FieldName() +
                          "'");
    return result;
}
