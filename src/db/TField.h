#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftLargeint,
    ftAutoInc,
    ftFloat,
    ftDate,
    ftTime,
    ftDateTime,
    ftBlob,
};

// How a query declares one of its fields: bound to the result column of the same name at open.
struct TFieldDef {
    std::string FieldName;
    TFieldType DataType = ftString;
    int Size = 0;              // text width in characters; 0 for non-text fields
    std::string DisplayLabel;  // title in a grid; the field name when empty
    bool Visible = true;
};

class TmySQLQuery;

// One field of an open query, reading the query's current row. Owned by its query; valid while
// the query stays open.
class TField {
  public:
    TField(const TmySQLQuery& query, TFieldDef def, int column)
        : query_(&query), def_(std::move(def)), column_(column) {}

    const std::string& FieldName() const { return def_.FieldName; }
    TFieldType DataType() const { return def_.DataType; }
    int Size() const { return def_.Size; }
    const std::string& DisplayLabel() const {
        return def_.DisplayLabel.empty() ? def_.FieldName : def_.DisplayLabel;
    }
    bool Visible() const { return def_.Visible; }
    int Column() const { return column_; }

    bool IsNull() const;
    // The current row's value as text; NULL reads as the empty text.
    std::string AsString() const;
    // The value as an integer; EmySQLError when it is not one.
    std::int64_t AsLargeInt() const;

  private:
    const TmySQLQuery* query_;
    TFieldDef def_;
    int column_;
};
