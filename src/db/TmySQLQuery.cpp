#include "db/TmySQLQuery.h"

#include <algorithm>
#include <cctype>

#include <errmsg.h>
#include <mysql.h>
#include <strings.h>

#include "db/EmySQLError.h"
#include "db/TmySQLDatabase.h"

namespace {

struct ResultDeleter {
    void operator()(MYSQL_RES* result) const { mysql_free_result(result); }
};
using ResultPtr = std::unique_ptr<MYSQL_RES, ResultDeleter>;

}  // namespace

// The rows of a stored result, read where the client library keeps them: no copy per value.
class TResultRows {
  public:
    TResultRows(ResultPtr result, unsigned int columns)
        : result_(std::move(result)), columns_(columns) {
        const auto count = static_cast<std::size_t>(mysql_num_rows(result_.get()));
        rows_.reserve(count);
        lengths_.reserve(count * columns);
        while (MYSQL_ROW row = mysql_fetch_row(result_.get())) {
            const unsigned long* lengths = mysql_fetch_lengths(result_.get());
            rows_.push_back(row);
            lengths_.insert(lengths_.end(), lengths, lengths + columns);
        }
    }

    std::size_t Size() const { return rows_.size(); }
    unsigned int Columns() const { return columns_; }
    std::optional<std::string_view> Cell(std::size_t row, unsigned int column) const {
        const char* text = rows_[row][column];
        if (text == nullptr) return std::nullopt;
        return std::string_view(text, lengths_[row * columns_ + column]);
    }

  private:
    ResultPtr result_;
    unsigned int columns_;
    std::vector<MYSQL_ROW> rows_;
    std::vector<unsigned long> lengths_;
};

namespace {

// A statement that only reads: one that begins with "select".
bool isRead(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    return text.size() - at >= 6 && strncasecmp(text.data() + at, "select", 6) == 0;
}

[[noreturn]] void throwServerError(MYSQL* mysql) {
    throw EmySQLError::Statement(mysql_error(mysql), mysql_errno(mysql));
}

TFieldType fieldTypeOf(const MYSQL_FIELD& field) {
    switch (field.type) {
        case MYSQL_TYPE_TINY:
        case MYSQL_TYPE_SHORT:
        case MYSQL_TYPE_YEAR:
            return ftSmallint;
        case MYSQL_TYPE_INT24:
        case MYSQL_TYPE_LONG:
            return (field.flags & AUTO_INCREMENT_FLAG) ? ftAutoInc : ftInteger;
        case MYSQL_TYPE_LONGLONG:
            return ftLargeint;
        case MYSQL_TYPE_FLOAT:
        case MYSQL_TYPE_DOUBLE:
        case MYSQL_TYPE_DECIMAL:
        case MYSQL_TYPE_NEWDECIMAL:
            return ftFloat;
        case MYSQL_TYPE_DATE:
        case MYSQL_TYPE_NEWDATE:
            return ftDate;
        case MYSQL_TYPE_TIME:
            return ftTime;
        case MYSQL_TYPE_DATETIME:
        case MYSQL_TYPE_TIMESTAMP:
            return ftDateTime;
        case MYSQL_TYPE_TINY_BLOB:
        case MYSQL_TYPE_MEDIUM_BLOB:
        case MYSQL_TYPE_LONG_BLOB:
        case MYSQL_TYPE_BLOB:
            return field.charsetnr == 63 ? ftBlob : ftString;
        default:
            return ftString;
    }
}

// The column's width in characters: the server reports it in bytes of the connection's
// character set.
int widthOf(const MYSQL_FIELD& field) {
    if (fieldTypeOf(field) != ftString) return 0;
    unsigned int perChar = 1;
    if (const MARIADB_CHARSET_INFO* cs = mariadb_get_charset_by_nr(field.charsetnr))
        perChar = std::max(1u, cs->char_maxlen);
    return static_cast<int>(field.length / perChar);
}

}  // namespace

std::string TSQLStrings::Text() const {
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines_[i];
    }
    return text;
}

TmySQLQuery::TmySQLQuery(TmySQLDatabase& database, std::string name)
    : database_(&database), name_(std::move(name)) {}

TmySQLQuery::~TmySQLQuery() = default;

void TmySQLQuery::DeclareField(TFieldDef def) {
    if (active_) throw EmySQLError(name_ + ": Cannot declare fields on an open dataset");
    fieldDefs_.push_back(std::move(def));
}

void TmySQLQuery::Open() {
    if (active_) return;
    run(true);
}

void TmySQLQuery::Close() {
    if (!active_ && rows_ == nullptr && fields_.empty()) return;
    const bool wasActive = active_;
    active_ = false;
    fields_.clear();
    rows_.reset();
    current_ = -1;
    eof_ = bof_ = true;
    if (wasActive) notify(TDataEvent::deDataSetChange);
}

void TmySQLQuery::SetActive(bool active) {
    if (active)
        Open();
    else
        Close();
}

void TmySQLQuery::ExecSQL() {
    Close();
    run(false);
}

void TmySQLQuery::Refresh() {
    if (!active_) throw EmySQLError(name_ + ": Cannot perform this operation on a closed dataset");
    active_ = false;
    run(true);
}

void TmySQLQuery::run(bool wantRows) {
    const std::string text = sql_.Text();
    lastOpenFailed_ = false;
    try {
        if (text.empty()) throw EmySQLError(name_ + ": SQL statement is empty");
        MYSQL* mysql = nullptr;
        ResultPtr result;
        // A read may be sent again on a new connection when the old one broke (a server
        // restart, an idle connection closed by the server); a write that may or may not have
        // been carried out is not repeated.
        const bool repeatable = wantRows && isRead(text);
        for (int attempt = 0;; ++attempt) {
            try {
                mysql = database_->Handle();
                if (mysql_real_query(mysql, text.data(), text.size()) != 0) throwServerError(mysql);
                result.reset(mysql_store_result(mysql));
                if (!result && mysql_field_count(mysql) != 0) throwServerError(mysql);
                break;
            } catch (const EmySQLError& error) {
                if (!error.ConnectionLost()) throw;
                // A dead connection stays dead: the next statement connects afresh.
                database_->Close();
                if (!repeatable || attempt > 0) throw;
            }
        }
        if (!result) {
            rowsAffected_ = mysql_affected_rows(mysql);
            if (wantRows) throw EmySQLError(name_ + ": Query does not return a result set");
            return;
        }
        if (!wantRows) return;

        const unsigned int columns = mysql_num_fields(result.get());
        const MYSQL_FIELD* meta = mysql_fetch_fields(result.get());

        std::vector<std::unique_ptr<TField>> fields;
        if (fieldDefs_.empty()) {
            for (unsigned int c = 0; c < columns; ++c) {
                TFieldDef def{meta[c].name, fieldTypeOf(meta[c]), widthOf(meta[c]), {}, true};
                fields.push_back(std::make_unique<TField>(*this, std::move(def), c));
            }
        } else {
            for (const TFieldDef& def : fieldDefs_) {
                int column = -1;
                for (unsigned int c = 0; c < columns; ++c)
                    if (strcasecmp(meta[c].name, def.FieldName.c_str()) == 0) {
                        column = static_cast<int>(c);
                        break;
                    }
                if (column < 0)
                    throw EmySQLError(name_ + ": Field '" + def.FieldName + "' not found");
                fields.push_back(std::make_unique<TField>(*this, def, column));
            }
        }

        auto rows = std::make_unique<TResultRows>(std::move(result), columns);

        fields_ = std::move(fields);
        rows_ = std::move(rows);
        rowsAffected_ = rows_->Size();
        active_ = true;
        current_ = rowCount() == 0 ? -1 : 0;
        bof_ = true;
        eof_ = rowCount() == 0;
    } catch (...) {
        if (wantRows) {
            fields_.clear();
            rows_.reset();
            current_ = -1;
            eof_ = bof_ = true;
            lastOpenFailed_ = true;
            notify(TDataEvent::deDataSetChange);
        }
        throw;
    }
    notify(TDataEvent::deDataSetChange);
}

int TmySQLQuery::RecordCount() const {
    if (lastOpenFailed_) return -1;
    return active_ ? rowCount() : 0;
}

int TmySQLQuery::rowCount() const { return rows_ ? static_cast<int>(rows_->Size()) : 0; }

void TmySQLQuery::First() {
    if (!active_) return;
    current_ = rowCount() == 0 ? -1 : 0;
    bof_ = true;
    eof_ = rowCount() == 0;
    notify(TDataEvent::deRecordChange);
}

void TmySQLQuery::Next() {
    if (!active_) return;
    bof_ = false;
    if (current_ + 1 < rowCount()) {
        ++current_;
        notify(TDataEvent::deRecordChange);
    } else {
        eof_ = true;
    }
}

void TmySQLQuery::Prior() {
    if (!active_) return;
    eof_ = false;
    if (current_ > 0) {
        --current_;
        notify(TDataEvent::deRecordChange);
    } else {
        bof_ = true;
    }
}

bool TmySQLQuery::Eof() const { return !active_ || eof_; }

bool TmySQLQuery::Bof() const { return !active_ || bof_; }

int TmySQLQuery::RecNo() const { return active_ ? current_ : -1; }

void TmySQLQuery::SetRecNo(int row) {
    if (!active_ || row < 0 || row >= rowCount() || row == current_) return;
    current_ = row;
    bof_ = eof_ = false;
    notify(TDataEvent::deRecordChange);
}

const TField& TmySQLQuery::Fields(int index) const {
    if (index < 0 || index >= FieldCount())
        throw EmySQLError(name_ + ": List index out of bounds (" + std::to_string(index) + ")");
    return *fields_[index];
}

const TField* TmySQLQuery::FindField(const std::string& name) const {
    for (const auto& field : fields_)
        if (strcasecmp(field->FieldName().c_str(), name.c_str()) == 0) return field.get();
    return nullptr;
}

const TField& TmySQLQuery::FieldByName(const std::string& name) const {
    if (const TField* field = FindField(name)) return *field;
    throw EmySQLError(name_ + ": Field '" + name + "' not found");
}

std::optional<std::string_view> TmySQLQuery::Value(int row, int field) const {
    const int column = Fields(field).Column();
    if (row < 0 || row >= rowCount())
        throw EmySQLError(name_ + ": List index out of bounds (" + std::to_string(row) + ")");
    return rows_->Cell(static_cast<std::size_t>(row), static_cast<unsigned int>(column));
}

std::optional<std::string_view> TmySQLQuery::CurrentValue(int column) const {
    if (!active_ || current_ < 0 || current_ >= rowCount() || column < 0 ||
        static_cast<unsigned int>(column) >= rows_->Columns())
        return std::nullopt;
    return rows_->Cell(static_cast<std::size_t>(current_), static_cast<unsigned int>(column));
}

int TmySQLQuery::AddListener(Listener listener) {
    listeners_.emplace_back(nextListenerKey_, std::move(listener));
    return nextListenerKey_++;
}

void TmySQLQuery::RemoveListener(int key) {
    std::erase_if(listeners_, [key](const auto& entry) { return entry.first == key; });
}

void TmySQLQuery::notify(TDataEvent event) {
    // A listener may remove itself while being told.
    const auto listeners = listeners_;
    for (const auto& [key, listener] : listeners) listener(event);
}
