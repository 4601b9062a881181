// The tests' window on a history database: its rows through SQL, as text.
#pragma once

#include <string>
#include <vector>

// The rows `sql` selects from the SQLite database `fileName`, each row's
// columns joined by "|" (NULL as the empty text), as the sqlite3 shell lists
// them. Fails the test, and returns no row, when the query fails.
std::vector<std::string> SqlRows(const std::string& fileName, const std::string& sql);

// The one value `sql` selects, or "<no row>".
std::string SqlValue(const std::string& fileName, const std::string& sql);

// Runs `sql` (statements that change the database) on `fileName`, creating it.
void SqlExecute(const std::string& fileName, const std::string& sql);

// A connection that holds the database locked from `begin` ("BEGIN IMMEDIATE",
// "BEGIN EXCLUSIVE") until Release() or its end.
struct sqlite3;

class HeldDatabase {
 public:
  HeldDatabase(const std::string& fileName, const std::string& begin);
  ~HeldDatabase();
  HeldDatabase(const HeldDatabase&) = delete;
  HeldDatabase& operator=(const HeldDatabase&) = delete;
  void Release();

 private:
  sqlite3* db_ = nullptr;
};

// Every row of a history, table by table in key order, each table's rows
// after a line with its name; the runs' times masked as "yyyy-mm-dd hh:mm:ss".
// Lines end in LF. scripts/update-goldens.sh writes the same text with the
// sqlite3 shell.
std::string HistoryRows(const std::string& fileName);

// The queries of HistoryRows, in one text, as the shell takes them.
extern const char* const kHistoryRowsSql;
