// The tables and indexes of trip.db, qsclsc1.db and Tripschl.db, and their creation.
//
// The desktop system owns these tables; we create them only for a new district or a demo. Column
// names are those the statements use. Every TEXT column compares without regard to case, as the
// desktop database does. Yes/no columns default to False, as a Jet yes/no column does, except
// ACTIVE: a reference row typed in by an importer is meant to be offered.
#include "data/schema.h"

#include <filesystem>
#include <initializer_list>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/db/db.h"
#include "platform/vb/errors.h"

namespace data {
namespace {

namespace fs = std::filesystem;

struct Table {
  const char* database;
  std::string name;
  std::vector<std::string> columns;  // column definitions

  Table& add(std::string_view column, std::string_view declaration) {
    columns.push_back("\"" + std::string(column) + "\" " + std::string(declaration));
    return *this;
  }
  Table& add_all(std::initializer_list<std::string_view> names, std::string_view declaration) {
    for (auto column : names) add(column, declaration);
    return *this;
  }
  // prefix + n + suffix for n in [from, to]: AMOUNT1 .. AMOUNT5, LEVEL1APPROVER .. LEVEL8APPROVER.
  Table& add_numbered(std::string_view prefix, int from, int to, std::string_view suffix,
                      std::string_view declaration) {
    for (int n = from; n <= to; ++n) {
      add(std::string(prefix) + std::to_string(n) + std::string(suffix), declaration);
    }
    return *this;
  }

  Table& text(std::initializer_list<std::string_view> names) { return add_all(names, kText); }
  Table& integer(std::initializer_list<std::string_view> names) {
    return add_all(names, "INTEGER");
  }
  Table& single(std::initializer_list<std::string_view> names) { return add_all(names, "SINGLE"); }
  Table& currency(std::initializer_list<std::string_view> names) {
    return add_all(names, "CURRENCY");
  }
  Table& datetime(std::initializer_list<std::string_view> names) {
    return add_all(names, "DATETIME");
  }
  Table& yesno(std::initializer_list<std::string_view> names) {
    return add_all(names, "YESNO DEFAULT 0");
  }
  Table& active() { return add("ACTIVE", "YESNO DEFAULT -1"); }

  static constexpr std::string_view kText = "TEXT COLLATE NOCASE";
};

struct Index {
  const char* database;
  const char* name;
  const char* table;
  const char* columns;
};

Table table(const char* database, std::string name) {
  return Table{database, std::move(name), {}};
}

// The request and trip columns that CreateTrip carries from a request to its trip.
Table& assignment_columns(Table& t) {
  t.yesno({"OUTOFTOWN"})
      .text({"SCHEDULE"})
      .add_numbered("SCHEDULE", 2, 5, "", Table::kText)
      .yesno({"CALCNUMDRIVERS"})
      .text({"TYPE"})
      .integer({"NUMTYPE"})
      .text({"CAPACITY", "ADDLTYPE"})
      .integer({"NUMADDL"})
      .yesno({"DROPRET", "AUTOASSIGN", "SPLIT"})
      .text({"INVOICE_FORMAT", "INVOICE_COMMENT#1"})
      .yesno({"MULTIDEST"})
      .text({"TICKET_FORMAT"})
      .integer({"NUMCHAR"});
  return t;
}

// Every table of the three databases, column by column, in one place: long because the
// desktop system's tables are, and a reader compares it with their definitions top to bottom.
std::vector<Table> all_tables() {
  std::vector<Table> tables;

  Table tripsreq = table(kRequestDatabase, "TRIPSREQ");
  tripsreq.add("TRIPNUM", "INTEGER PRIMARY KEY AUTOINCREMENT")
      .text({"INTTRIPNUM", "CUSTOMER", "BILLCUST", "CONTACT", "REQUESTOR_EMAIL"})
      .integer({"DESTINATION"})
      .text({"DESTDESC", "DESTADD1", "DESTADD2", "DESTCITY", "DESTSTATE", "DESTZIP", "DESTCAT"})
      .integer({"MILES"})
      .text({"DESTSPEC"})
      .datetime({"DEPDATE", "RETDATE", "DEPTIME", "RETTIME", "ARRIVETIME", "LEAVETIME", "REQDATE",
                 "ENTERDATE"})
      .text({"ENTEREDBY", "STATUS"})
      .datetime({"STATUS_DATE"})
      .text({"STATUS_COMMENT", "CHAINID", "GRADE", "TRIPCAT", "FUND"})
      .integer({"NUMSTUDENTS", "NUMADULTS", "NUMHAND"})
      .single({"ESTTIME", "ESTMILE"})
      .text({"PURPOSE", "CUSTSPEC", "TRIPCOM", "PO"})
      .integer({"FIELDTRIP_NUM", "BILLRATE"})
      .add_numbered("AMOUNT", 1, 5, "", "SINGLE")
      .add_numbered("AMOUNTTXT", 1, 5, "", Table::kText);
  // CAPACITY, INVOICE_FORMAT, CALCNUMDRIVERS and TYPE are among the assignment columns.
  tables.push_back(std::move(assignment_columns(tripsreq).yesno({"SHUTTLE"})));

  Table trips = table(kTripDatabase, "TRIPS");
  trips.add("TRIPNUM", "INTEGER PRIMARY KEY AUTOINCREMENT")
      .integer({"TRIPREQNUM"})
      .text({"INTTRIPNUM", "CUSTOMER", "BILLCUST", "CONTACT", "FUND", "PO", "GRADE", "TRIPCAT",
             "PURPOSE", "CUSTSPEC", "DESTSPEC", "TRIPCOM"})
      .integer({"DESTINATION"})
      .datetime({"DEPDATE", "DEPTIME", "RETDATE", "RETTIME", "ARRIVETIME", "LEAVETIME", "REQDATE"})
      .single({"ESTTIME", "ESTMILE"})
      .integer({"NUMSTUDENTS", "NUMADULTS", "NUMHAND", "NUMVEH"})
      .yesno({"ASSIGNED", "BILLED", "CANCELED", "BILL", "SHUTTLE"})
      .datetime({"BILLDATE", "CANDATE"})
      .integer({"BILLRATE"})
      .add_numbered("AMOUNT", 1, 5, "", "SINGLE")
      .add_numbered("AMOUNTTXT", 1, 5, "", Table::kText);
  tables.push_back(std::move(assignment_columns(trips)));

  tables.push_back(
      std::move(table(kTripDatabase, "CUSTOMER")
                    .add("CUSTOMER", "TEXT COLLATE NOCASE PRIMARY KEY")
                    .text({"CUSTNAME", "CHAINID", "CUSTDIV"})
                    .active()
                    .integer({"CUSTBILLRATE"})
                    .text({"CUSTSPEC", "DEFAULTCAP", "cust_default_format", "REQUESTOR_EMAIL"})));
  tables.push_back(std::move(table(kTripDatabase, "CUSTOMER_FUND").text({"CUSTOMER", "FUND"})));
  tables.push_back(
      std::move(table(kTripDatabase, "CUSTOMER_TRIPCAT").text({"CUSTOMER", "TRIPCAT", "CHAINID"})));
  tables.push_back(std::move(table(kTripDatabase, "DESTINATION")
                                 .add("DESTINATION", "INTEGER PRIMARY KEY")
                                 .text({"DESTDESC", "DESTADD1", "DESTADD2", "DESTSPEC"})
                                 .single({"MILES"})
                                 .active()));
  tables.push_back(std::move(table(kTripDatabase, "FUND")
                                 .add("FUND", "TEXT COLLATE NOCASE PRIMARY KEY")
                                 .text({"FUNDDESC"})
                                 .active()));
  tables.push_back(std::move(
      table(kTripDatabase, "District")
          .text({"DISTNAME", "DISTADDR1", "DISTCITY", "DISTSTATE", "DISTZIP", "DISTPHONE",
                 "TRANSTITLE", "TOTAL_TRIPS_LIMIT_MESSAGE", "TRIPREQ_COMMENT", "DEFAULTVTYPE"})
          .yesno({"DEFAULT_CALCNUMDRIVER", "autofill_requests", "AUTOFILL", "VIEW_OTHER_SCHOOLS",
                  "FUND_DD", "USECUSTFUND", "DEPDT_LEADTIME_HARDWARN", "TOTAL_TRIPS_HARDWARN"})
          .integer({"DEPDT_LEADTIME", "TOTAL_TRIPS_LIMIT"})));
  tables.push_back(
      std::move(table(kTripDatabase, "TRIPREQ_REQUIRED")
                    .yesno({"REQUEST_DATE_REQUIRED", "FUND_REQUIRED",   "CUSTOMER_REQUIRED",
                            "CONTACT_REQ",           "DESTINATION_REQ", "DEPDATE_REQ",
                            "DEPTIME_REQ",           "RETDATE_REQ",     "RETTIME_REQ",
                            "ARRIVETIME_REQ",        "LEAVETIME_REQ",   "ESTMILE_REQ",
                            "ESTTIME_REQ",           "NUMSTUDENTS_REQ", "NUMADULTS_REQ",
                            "NUMWHEEL_REQ",          "PURPOSE_REQ",     "DESTSPEC_REQ",
                            "CUSTSPEC_REQ",          "TRIPCOM_REQ",     "PO_REQ",
                            "TRIPCAT_REQ",           "INTTRIPNUM_REQ",  "GRADE_REQ",
                            "INVOICE_COMMENT_REQ"})));
  tables.push_back(
      std::move(table(kTripDatabase, "EMAIL_OPTIONS")
                    .yesno({"REQ_JAUNTER_CHANGE", "ADM_JAUNTER_CHANGE", "APP_JAUNTER_CHANGE"})));

  tables.push_back(std::move(table(kSecurityDatabase, "CLSCU")
                                 .text({"CLSC1", "CLSC2", "ROLE", "CUSTOMER", "EMAIL"})
                                 .yesno({"SCJRFOVD", "SCJRDDFT"})));
  tables.push_back(std::move(table(kSecurityDatabase, "CLSCC")
                                 .add("CHAINID", "TEXT COLLATE NOCASE PRIMARY KEY")
                                 .active()
                                 .add_numbered("LEVEL", 1, 8, "APPROVER", Table::kText)
                                 .add_numbered("LEVEL", 1, 8, "STATUS", Table::kText)));

  tables.push_back(
      std::move(table(kTripDatabase, "TRIPCAT").text({"TRIPCAT", "DESCRIPTION"}).active()));
  tables.push_back(
      std::move(table(kTripDatabase, "GRADE").text({"GRADE", "DESCRIPTION"}).active()));
  tables.push_back(
      std::move(table(kTripDatabase, "Division").text({"Division", "DESCRIPTION"}).active()));
  tables.push_back(
      std::move(table(kTripDatabase, "TRIPREQSTATUS").text({"STATUS", "DESCRIPTION"}).active()));
  tables.push_back(std::move(table(kTripDatabase, "DESTCAT").text({"DESTCAT"}).active()));
  tables.push_back(std::move(table(kTripDatabase, "SCHEDMAST").text({"SCHEDULE", "SCHEDDESC"})));
  tables.push_back(
      std::move(table(kTripDatabase, "VEHTYPE").text({"VEHTYPE", "VTYPDESC"}).active()));
  tables.push_back(std::move(
      table(kTripDatabase, "TRIPTICKET_TEMPLATE").text({"TICKET_ID", "TEMPLATE_DESC"}).active()));

  tables.push_back(std::move(table(kTripDatabase, "BILLRATE")
                                 .add("BILLRATE", "INTEGER PRIMARY KEY")
                                 .add_numbered("AMOUNT", 1, 5, "", "SINGLE")
                                 .add_numbered("AMOUNTTXT", 1, 5, "", Table::kText)));

  // TRANDATE and EMPLOYEE are the desktop system's; the application does not read them.
  tables.push_back(std::move(table(kTripDatabase, "ARDETAIL")
                                 .integer({"TRIPNUM"})
                                 .text({"TRANCODE"})
                                 .currency({"TRANAMT"})
                                 .datetime({"TRANDATE"})));
  tables.push_back(
      std::move(table(kTripDatabase, "TRIPSPLIT").integer({"TRIPNUM"}).text({"FUND"})));
  tables.push_back(std::move(table(kTripDatabase, "TRIPEMPLOYEES")
                                 .integer({"TRIPNUM"})
                                 .text({"EMPLOYEE"})
                                 .single({"HOURS", "MILES"})));

  tables.push_back(std::move(table(kTripDatabase, "Big_CalCalNotes")
                                 .datetime({"NoteDate"})
                                 .text({"NoteText", "NoteLongText"})
                                 .integer({"NoteSeverity"})
                                 .yesno({"Note_SchoolClosed"})));
  return tables;
}

constexpr Index kIndexes[] = {
    {kRequestDatabase, "TRIPSREQ_CHAIN_STATUS", "TRIPSREQ", "CHAINID, STATUS"},
    {kRequestDatabase, "TRIPSREQ_DEPDATE", "TRIPSREQ", "DEPDATE"},
    {kRequestDatabase, "TRIPSREQ_CUSTOMER", "TRIPSREQ", "CUSTOMER"},
    {kTripDatabase, "TRIPS_DEPDATE", "TRIPS", "DEPDATE"},
    {kTripDatabase, "TRIPS_CUSTOMER", "TRIPS", "CUSTOMER"},
    {kTripDatabase, "TRIPS_TRIPREQNUM", "TRIPS", "TRIPREQNUM"},
    {kTripDatabase, "ARDETAIL_TRIPNUM", "ARDETAIL", "TRIPNUM"},
    {kTripDatabase, "TRIPSPLIT_TRIPNUM", "TRIPSPLIT", "TRIPNUM"},
    {kTripDatabase, "TRIPEMPLOYEES_TRIPNUM", "TRIPEMPLOYEES", "TRIPNUM"},
    // For districts of many years: a search of a date range counts, and a page reads, from the
    // index alone; the per-trip sums read the billing, split and crew rows from theirs.
    {kRequestDatabase, "TRIPSREQ_CUSTOMER_DEPDATE", "TRIPSREQ", "CUSTOMER, DEPDATE"},
    {kTripDatabase, "TRIPS_CUSTOMER_DEPDATE", "TRIPS", "CUSTOMER, DEPDATE"},
    {kTripDatabase, "TRIPS_DEPDATE_FLAGS", "TRIPS", "DEPDATE, ASSIGNED, BILLED, CANCELED"},
    {kTripDatabase, "ARDETAIL_TRIPNUM_TRANCODE", "ARDETAIL", "TRIPNUM, TRANCODE, TRANAMT"},
    {kTripDatabase, "TRIPSPLIT_TRIPNUM_FUND", "TRIPSPLIT", "TRIPNUM, FUND"},
    {kTripDatabase, "TRIPEMPLOYEES_TRIPNUM_HOURS", "TRIPEMPLOYEES", "TRIPNUM, HOURS, MILES"},
    // The summary's groups, figures and usual search terms in date order, without the wide rows.
    {kTripDatabase, kTripSummaryIndex, "TRIPS", kTripSummaryColumns},
    {kTripDatabase, "CUSTOMER_FUND_CUSTOMER", "CUSTOMER_FUND", "CUSTOMER, FUND"},
    {kTripDatabase, "CUSTOMER_TRIPCAT_CUSTOMER", "CUSTOMER_TRIPCAT", "CUSTOMER, TRIPCAT"},
    {kTripDatabase, "Big_CalCalNotes_NoteDate", "Big_CalCalNotes", "NoteDate"},
    {kSecurityDatabase, "CLSCU_ROLE", "CLSCU", "ROLE"},
};

std::string create_index_sql(const Index& index) {
  return std::string("CREATE INDEX IF NOT EXISTS \"") + index.name + "\" ON \"" + index.table +
         "\" (" + index.columns + ")";
}

// The files whose indexes this process has seen complete. Opening a file is frequent and its
// indexes change only here, so one look per file is enough.
class IndexedFiles {
 public:
  // Runs `complete` for a file not yet seen, which counts as seen once it returns true; others
  // opening the same file meanwhile wait for it.
  template <class Complete>
  void once(const std::string& path, Complete complete) {
    std::lock_guard lock(mutex_);
    if (done_.contains(path)) return;
    if (complete()) done_.insert(path);
  }

 private:
  std::mutex mutex_;
  std::set<std::string> done_;
};

IndexedFiles& indexed_files() {
  static IndexedFiles files;
  return files;
}

std::string create_table_sql(const Table& t) {
  std::string sql = "CREATE TABLE \"" + t.name + "\" (";
  for (std::size_t i = 0; i < t.columns.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += t.columns[i];
  }
  return sql + ")";
}

// Whether anything (a file, a directory, a dangling link) stands at `path`.
bool occupied(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  if (status.type() == fs::file_type::not_found) return false;
  if (ec) {
    throw std::runtime_error("Cannot create the databases: cannot check '" + path.string() +
                             "': " + ec.message() + ".");
  }
  return status.type() != fs::file_type::not_found;
}

// Removes the databases this call created if it does not finish, so that a retry starts clean.
class CreatedFiles {
 public:
  CreatedFiles() = default;
  CreatedFiles(const CreatedFiles&) = delete;
  CreatedFiles& operator=(const CreatedFiles&) = delete;
  ~CreatedFiles() {
    for (const auto& path : paths_) {
      std::error_code ignored;
      for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        fs::remove(fs::path(path.string() + suffix), ignored);
      }
    }
  }
  void add(const fs::path& path) { paths_.push_back(path); }
  void keep() { paths_.clear(); }

 private:
  std::vector<fs::path> paths_;
};

}  // namespace

void create_databases(const std::string& dir) {
  const fs::path directory(dir);
  std::error_code ec;
  if (!fs::is_directory(directory, ec)) {
    throw std::runtime_error("Cannot create the databases: the directory '" + dir +
                             "' does not exist.");
  }

  const char* const databases[] = {kTripDatabase, kSecurityDatabase, kRequestDatabase};
  // A leftover journal would be replayed into the new file, so it counts as an existing file.
  for (const char* database : databases) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
      const fs::path path = directory / (std::string(database) + suffix);
      if (occupied(path)) {
        throw std::runtime_error("Cannot create the databases: '" + path.string() +
                                 "' already exists; nothing was changed.");
      }
    }
  }

  const std::vector<Table> tables = all_tables();
  CreatedFiles created;
  for (const char* database : databases) {
    const fs::path path = directory / database;
    try {
      db::Connection connection;
      connection.create(path.string());
      created.add(path);
      connection.execute_native("BEGIN");
      for (const Table& t : tables) {
        if (std::string_view(t.database) == database) {
          connection.execute_native(create_table_sql(t));
        }
      }
      for (const Index& index : kIndexes) {
        if (std::string_view(index.database) == database) {
          connection.execute_native(create_index_sql(index));
        }
      }
      connection.execute_native("COMMIT");
      connection.close();
    } catch (const std::exception& e) {
      throw std::runtime_error("Cannot create '" + path.string() + "': " + e.what());
    }
  }
  created.keep();
}

}  // namespace data

namespace data {

void add_missing_indexes(db::Connection& connection, std::string_view database) {
  indexed_files().once(connection.path(), [&] {
    try {
      connection.execute_native("BEGIN IMMEDIATE");
      for (const Index& index : kIndexes) {
        // A file without the table (part-made, or another tool's) goes without its indexes.
        if (database == index.database &&
            connection.count_rows(std::string("SELECT name FROM sqlite_schema WHERE type = "
                                              "'table' AND name = '") +
                                  index.table + "'") > 0)
          connection.execute_native(create_index_sql(index));
      }
      connection.execute_native("COMMIT");
      return true;
    } catch (const vb::RuntimeError&) {
      // Busy or read-only: the pages work without them, and the next opening tries again.
      if (!connection.is_open()) return false;
      try {
        connection.execute_native("ROLLBACK");
      } catch (const vb::RuntimeError&) {
      }
      return false;
    }
  });
}

}  // namespace data
