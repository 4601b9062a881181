#include "tests/history/sql_rows.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// An open connection, closed at the end of the caller's scope.
struct Connection {
  explicit Connection(const std::string& fileName, int flags) {
    if (sqlite3_open_v2(fileName.c_str(), &db, flags, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << fileName << ": " << sqlite3_errmsg(db);
    }
  }
  ~Connection() { sqlite3_close(db); }
  sqlite3* db = nullptr;
};

}  // namespace

const char* const kHistoryRowsSql =
    "SELECT 'meta'; SELECT key, value FROM meta ORDER BY key;"
    " SELECT 'runs'; SELECT run, 'yyyy-mm-dd hh:mm:ss', sectors, known, ports, capture FROM runs"
    " ORDER BY run;"
    " SELECT 'ports'; SELECT * FROM ports ORDER BY run, sector;"
    " SELECT 'known'; SELECT * FROM known ORDER BY sector;"
    " SELECT 'warps'; SELECT * FROM warps ORDER BY sector, target;";

std::vector<std::string> SqlRows(const std::string& fileName, const std::string& sql) {
  std::vector<std::string> rows;
  // Opened for writing, so that SQLite rolls back what a killed run left.
  Connection connection(fileName, SQLITE_OPEN_READWRITE);
  const char* next = sql.c_str();
  while (*next != '\0') {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection.db, next, -1, &statement, &next) != SQLITE_OK) {
      ADD_FAILURE() << fileName << ": " << sqlite3_errmsg(connection.db) << " in " << sql;
      return {};
    }
    if (statement == nullptr) continue;  // white space after the last statement
    int code;
    while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
      std::string row;
      for (int column = 0; column < sqlite3_column_count(statement); ++column) {
        if (column > 0) row += '|';
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        if (text != nullptr) row += text;
      }
      rows.push_back(row);
    }
    if (code != SQLITE_DONE) ADD_FAILURE() << fileName << ": " << sqlite3_errmsg(connection.db);
    sqlite3_finalize(statement);
  }
  return rows;
}

std::string SqlValue(const std::string& fileName, const std::string& sql) {
  const std::vector<std::string> rows = SqlRows(fileName, sql);
  return rows.empty() ? "<no row>" : rows.front();
}

void SqlExecute(const std::string& fileName, const std::string& sql) {
  Connection connection(fileName, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  char* message = nullptr;
  if (sqlite3_exec(connection.db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    ADD_FAILURE() << fileName << ": " << (message != nullptr ? message : "") << " in " << sql;
  }
  sqlite3_free(message);
}

HeldDatabase::HeldDatabase(const std::string& fileName, const std::string& begin) {
  if (sqlite3_open_v2(fileName.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
      sqlite3_exec(db_, begin.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << fileName << ": " << sqlite3_errmsg(db_);
  }
}

HeldDatabase::~HeldDatabase() {
  Release();
  sqlite3_close(db_);
}

void HeldDatabase::Release() {
  if (sqlite3_get_autocommit(db_) == 0) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
}

std::string HistoryRows(const std::string& fileName) {
  std::string text;
  for (const std::string& row : SqlRows(fileName, kHistoryRowsSql)) text += row + "\n";
  return text;
}
