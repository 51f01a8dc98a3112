#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TmySQLQuery;

// The register's changes made from the main window's list and settings tabs, run through the
// window's scratch query.

// Runs a statement that returns no rows through the scratch query, the way every window does:
// close, clear, add, execute.
void ExecuteStatement(TmySQLQuery& qryEu, const std::string& statement);

// Deletes a filed document: its row first, and only when that succeeded its file, so a refused
// delete leaves both. A file that is already gone is fine; one that cannot be removed is an
// error naming it (the row is gone by then).
void DeleteFiledDocument(TmySQLQuery& qryEu, std::int64_t codpdf, const std::string& path);

// A folder as it is stored: every "\" written as "//"; nothing else changes.
std::string StoredFolderText(std::string_view typed);

// Stores the folder (as given) as the PDF folder of every workstation.
void StorePdfFolder(TmySQLQuery& qryEu, std::string_view folder);
