#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/TField.h"

class TmySQLDatabase;
class TResultRows;

// The statement text of a query, one line per Add; the lines are sent joined by line breaks.
class TSQLStrings {
  public:
    void Clear() { lines_.clear(); }
    void Add(std::string line) { lines_.push_back(std::move(line)); }
    std::string Text() const;
    const std::vector<std::string>& Lines() const { return lines_; }
    bool Empty() const { return lines_.empty(); }

  private:
    std::vector<std::string> lines_;
};

// What changed in a query, for views bound to it (a data-aware grid).
enum class TDataEvent {
    deDataSetChange,  // opened, closed or refreshed: rows and fields may all be new
    deRecordChange,   // the current row moved
};

// A query on the program's connection. Open sends the statement, fetches every row and stands on
// the first; the rows stay in memory, as the client library received them, until the query
// closes. A new statement is set by closing
// the query, clearing its SQL, adding the statement, then opening or executing it.
//
// The query does not own the connection, which must outlive it.
class TmySQLQuery {
  public:
    explicit TmySQLQuery(TmySQLDatabase& database, std::string name = {});
    ~TmySQLQuery();
    TmySQLQuery(const TmySQLQuery&) = delete;
    TmySQLQuery& operator=(const TmySQLQuery&) = delete;

    const std::string& Name() const { return name_; }
    TmySQLDatabase& Database() const { return *database_; }

    TSQLStrings& SQL() { return sql_; }
    const TSQLStrings& SQL() const { return sql_; }

    // Declared fields, bound by name at open. A query without declared fields takes every result
    // column as a field.
    void DeclareField(TFieldDef def);
    const std::vector<TFieldDef>& FieldDefs() const { return fieldDefs_; }

    void Open();
    void Close();
    bool Active() const { return active_; }
    void SetActive(bool active);
    // Runs a statement that returns no rows.
    void ExecSQL();
    // Sends the current statement again and replaces the rows; stands on the first row.
    void Refresh();

    // Rows of the open result; 0 when closed, -1 after the last open failed.
    int RecordCount() const;
    void First();
    void Next();
    void Prior();
    bool Eof() const;
    bool Bof() const;
    // The current row, counted from 0; -1 when there is none.
    int RecNo() const;
    void SetRecNo(int row);
    std::uint64_t RowsAffected() const { return rowsAffected_; }

    int FieldCount() const { return static_cast<int>(fields_.size()); }
    const TField& Fields(int index) const;
    const TField& FieldByName(const std::string& name) const;
    const TField* FindField(const std::string& name) const;

    // The value at a row and field, independent of the current row (for grids); nothing for
    // NULL. The text stays valid while the query stays open.
    std::optional<std::string_view> Value(int row, int field) const;
    // The current row's value in a result column; nothing for NULL or without a current row.
    std::optional<std::string_view> CurrentValue(int column) const;

    // Views bound to the query learn of changes here. Returns a key for RemoveListener.
    using Listener = std::function<void(TDataEvent)>;
    int AddListener(Listener listener);
    void RemoveListener(int key);

  private:
    void run(bool wantRows);
    int rowCount() const;
    void notify(TDataEvent event);

    TmySQLDatabase* database_;
    std::string name_;
    TSQLStrings sql_;
    std::vector<TFieldDef> fieldDefs_;
    std::vector<std::unique_ptr<TField>> fields_;
    std::unique_ptr<TResultRows> rows_;
    int current_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    bool active_ = false;
    bool lastOpenFailed_ = false;
    std::uint64_t rowsAffected_ = 0;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListenerKey_ = 1;
};
