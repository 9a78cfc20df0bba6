// The configuration check: each link of the chain serve reads, with the problem and its fix.
#include "config/check.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "config/ChkEligWeb.h"
#include "config/settings.h"
#include "config/sqlite_file.h"
#include "data/schema.h"
#include "frame/module_state.h"
#include "platform/sys/ini.h"
#include "platform/sys/registry.h"
#include "platform/text/text.h"
#include "platform/vb/conversions.h"
#include "platform/vb/errors.h"

namespace config {

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<CheckLine>;

void add(Lines& lines, CheckStatus status, std::string subject, std::string detail) {
  lines.push_back({status, std::move(subject), std::move(detail)});
}

bool readable(const fs::path& path) {
  std::ifstream file(path);
  return file.good();
}

using sqlite::column_texts;

// A database's tables with their columns, and its indexes; names upper-cased, because the
// engine matches them without regard to case.
struct Shape {
  std::map<std::string, std::set<std::string>> tables;
  std::set<std::string> indexes;
};

std::string quoted_name(const std::string& name) {
  std::string out = "\"";
  for (char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

Shape shape_of(sqlite3* db) {
  Shape shape;
  for (const std::string& table :
       column_texts(db, "SELECT name FROM sqlite_master WHERE type = 'table'")) {
    std::set<std::string>& columns = shape.tables[vb::UCase(table)];
    for (const std::string& column :
         column_texts(db, "SELECT name FROM pragma_table_info(" + quoted_name(table) + ")")) {
      columns.insert(vb::UCase(column));
    }
  }
  for (const std::string& index : column_texts(
           db, "SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL")) {
    shape.indexes.insert(vb::UCase(index));
  }
  return shape;
}

// The shapes of the three databases as init-db makes them: the standard the files are held to.
class Reference {
 public:
  Reference() {
    char pattern[] = "/tmp/jaunter-check-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("no temporary directory");
    dir_ = pattern;
    data::create_databases(dir_.string());
    for (const char* name :
         {data::kTripDatabase, data::kSecurityDatabase, data::kRequestDatabase}) {
      const sqlite::Handle db = sqlite::open(dir_ / name, SQLITE_OPEN_READONLY);
      shapes_[name] = shape_of(db.get());
    }
  }
  ~Reference() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  Reference(const Reference&) = delete;
  Reference& operator=(const Reference&) = delete;
  const Shape& shape(const std::string& name) const { return shapes_.at(name); }

 private:
  fs::path dir_;
  std::map<std::string, Shape> shapes_;
};

std::string joined(const std::vector<std::string>& names, std::size_t most = 8) {
  std::string out;
  for (std::size_t i = 0; i < names.size() && i < most; ++i) out += (i ? ", " : "") + names[i];
  if (names.size() > most) out += " and " + std::to_string(names.size() - most) + " more";
  return out;
}

// The directory of trip.ini that the registry names; none when a link fails.
std::optional<fs::path> check_registry(Lines& lines, const sys::Services& services,
                                       const std::string& registry_path,
                                       const std::string& app_dir) {
  const std::string value_place =
      std::string("[HKEY_LOCAL_MACHINE\\") + ChkEligWeb::kRegistryKey + "]";
  if (!fs::exists(registry_path)) {
    add(lines, CheckStatus::Failed, "registry",
        registry_path +
            " does not exist. Set JAUNTER_REGISTRY to the registry file, or create it "
            "with the value INIPath under " +
            value_place + ".");
    return std::nullopt;
  }
  if (!readable(registry_path)) {
    add(lines, CheckStatus::Failed, "registry",
        registry_path + " cannot be read by this user. Give the server's user read access.");
    return std::nullopt;
  }
  const std::optional<sys::RegistryValue> value =
      services.registry->read("HKEY_LOCAL_MACHINE", ChkEligWeb::kRegistryKey, "INIPath");
  if (!value || vb::Trim(value->text).empty()) {
    add(lines, CheckStatus::Failed, "registry",
        registry_path + " has no value INIPath under " + value_place +
            ". Add \"INIPath\"=\"<directory of trip.ini>\" there.");
    return std::nullopt;
  }
  std::string directory = vb::Trim(value->text);
  if (text::same_text(directory, "MULTIPLE")) directory = app_dir;
  add(lines, CheckStatus::Ok, "registry", registry_path + ": INIPath is " + directory);
  return fs::path(directory);
}

// The data directory that trip.ini names; none when a link fails.
std::optional<fs::path> check_ini(Lines& lines, const fs::path& ini_directory) {
  const fs::path ini = ini_directory / "trip.ini";
  if (!fs::exists(ini)) {
    add(lines, CheckStatus::Failed, "trip.ini",
        ini.string() + " does not exist. Create it with the section [" + ChkEligWeb::kSection +
            "], or correct INIPath in the registry file.");
    return std::nullopt;
  }
  if (!readable(ini)) {
    add(lines, CheckStatus::Failed, "trip.ini",
        ini.string() + " cannot be read by this user. Give the server's user read access.");
    return std::nullopt;
  }
  add(lines, CheckStatus::Ok, "trip.ini", ini.string());
  const std::string data_dir =
      sys::get_private_profile_string(ChkEligWeb::kSection, "CarlinePath", "", ini.string());
  if (data_dir.empty()) {
    add(lines, CheckStatus::Failed, "data directory",
        ini.string() + " has no CarlinePath in [" + ChkEligWeb::kSection +
            "]. Set it to the directory of trip.db, qsclsc1.db and Tripschl.db.");
    return std::nullopt;
  }
  if (!fs::is_directory(data_dir)) {
    add(lines, CheckStatus::Failed, "data directory",
        "CarlinePath " + data_dir + " is not a directory. Correct CarlinePath in " + ini.string() +
            ".");
    return std::nullopt;
  }
  if (access(data_dir.c_str(), W_OK) != 0) {
    add(lines, CheckStatus::Failed, "data directory",
        data_dir +
            " is not writable by this user; the databases keep their write-ahead logs "
            "there. Give the server's user write access.");
    return std::nullopt;
  }
  add(lines, CheckStatus::Ok, "data directory", data_dir);
  return fs::path(data_dir);
}

// One database file: there, a database, writable, every table and column, its indexes and its
// journal mode. True when serve can use it.
bool check_database(Lines& lines, const fs::path& dir, const std::string& name,
                    const Reference& reference) {
  const fs::path path = dir / name;
  if (!fs::exists(path)) {
    add(lines, CheckStatus::Failed, name,
        path.string() +
            " does not exist. Copy it from the desktop system, or make empty "
            "databases with `jaunter init-db DIR`.");
    return false;
  }
  sqlite::Handle db;
  try {
    db = sqlite::open(path, SQLITE_OPEN_READWRITE);
  } catch (const std::runtime_error& error) {
    add(lines, CheckStatus::Failed, name, std::string("cannot be opened: ") + error.what() + ".");
    return false;
  }
  try {
    const Shape shape = shape_of(db.get());
    std::vector<std::string> missing;
    for (const auto& [table, columns] : reference.shape(name).tables) {
      const auto found = shape.tables.find(table);
      if (found == shape.tables.end()) {
        missing.push_back("table " + table);
        continue;
      }
      for (const std::string& column : columns) {
        if (!found->second.count(column)) missing.push_back(table + "." + column);
      }
    }
    if (!missing.empty()) {
      add(lines, CheckStatus::Failed, name,
          path.string() + " lacks " + joined(missing) +
              ". The desktop system's update makes them; `jaunter init-db` shows the full set.");
      return false;
    }
    if (sqlite3_exec(db.get(), "BEGIN IMMEDIATE; ROLLBACK", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
      add(lines, CheckStatus::Failed, name,
          path.string() + " cannot be written: " + sqlite3_errmsg(db.get()) +
              ". Give the server's user write access, or stop what holds it locked.");
      return false;
    }
    std::vector<std::string> missing_indexes;
    for (const std::string& index : reference.shape(name).indexes) {
      if (!shape.indexes.count(index)) missing_indexes.push_back(index);
    }
    const std::string mode = column_texts(db.get(), "PRAGMA journal_mode").at(0);
    std::string detail = path.string() + ": every table and column, journal mode " + mode;
    if (!missing_indexes.empty() || !text::same_text(mode, "wal")) {
      if (!missing_indexes.empty()) detail += ", missing indexes " + joined(missing_indexes);
      add(lines, CheckStatus::Warning, name,
          detail + ". The server adds what is missing and switches to WAL when it opens the file.");
    } else {
      add(lines, CheckStatus::Ok, name, detail);
    }
  } catch (const std::exception& error) {
    add(lines, CheckStatus::Failed, name, path.string() + " cannot be read: " + error.what() + ".");
    return false;
  }
  return true;
}

// The settings as serve loads them, then the one-row tables they come from.
std::map<std::string, std::string> check_settings(Lines& lines, const sys::Services& services,
                                                  const std::string& app_dir) {
  std::map<std::string, std::string> settings;
  frame::ModuleState module(services);
  module.paths = frame::ThreadPaths{};
  module.paths.strAppPath = app_dir.ends_with('/') ? app_dir : app_dir + "/";
  try {
    if (ChkEligWeb::OpenConnections(module)) {
      load_settings(module, [&](std::string_view key, vb::Variant value) {
        settings[std::string(key)] = vb::CStr(value);
      });
    }
  } catch (const vb::RuntimeError& error) {
    add(lines, CheckStatus::Failed, "settings",
        "SessionTimeOut in trip.ini must be a whole number of minutes: " + error.description() +
            ".");
    return settings;
  }
  if (!module.ok()) {
    add(lines, CheckStatus::Failed, "settings", module.error);
    return {};
  }
  std::vector<std::string> empty_rows;
  for (const char* table : {"District", "TRIPREQ_REQUIRED"}) {
    db::Recordset rows;
    rows.open(std::string("SELECT * FROM ") + table, module.trip_db());
    if (rows.eof()) empty_rows.push_back(table);
  }
  ChkEligWeb::CloseTripDBConnections(module);
  if (!empty_rows.empty()) {
    add(lines, CheckStatus::Failed, "settings",
        "no row in " + joined(empty_rows) +
            "; the desktop system writes it when the district is set up.");
    return settings;
  }
  add(lines, CheckStatus::Ok, "settings",
      "session time-out " + settings["SESSION_TIMEOUT"] + " minutes, lead time " +
          settings["DISTRICT.DEPDT_LEADTIME"] + " days, daily limit " +
          settings["DISTRICT.TOTAL_TRIPS_LIMIT"]);
  return settings;
}

void check_mail(Lines& lines, std::map<std::string, std::string>& settings,
                const CheckOptions& options) {
  std::vector<std::string> missing;
  for (const char* key : {"SmtpServer", "EmailFromAddress", "EmailFromName"}) {
    if (settings[key].empty()) missing.push_back(key);
  }
  if (!missing.empty()) {
    add(lines, CheckStatus::Failed, "mail server",
        joined(missing) + " not set in trip.ini [" + ChkEligWeb::kSection +
            "]; every save would answer \"Misconfigured email options in ini file.\"");
    return;
  }
  sys::SmtpSettings smtp;
  smtp.host = settings["SmtpServer"];
  const std::string port = settings["SmtpPort"];
  try {
    const std::int32_t number = vb::CLng(vb::Variant(port));
    if (number <= 0 || number > 65535) throw vb::err::overflow();
    smtp.port = static_cast<std::uint16_t>(number);
  } catch (const vb::RuntimeError&) {
    add(lines, CheckStatus::Failed, "mail server",
        "SmtpPort '" + port + "' in trip.ini is not a port number. Set it, e.g. to 25 or 587.");
    return;
  }
  smtp.authenticate = text::same_text(settings["SmtpAuthentication"], "True");
  smtp.username = settings["SmtpUsername"];
  smtp.password = settings["SmtpPassword"];
  try {
    options.probe_smtp(smtp);
  } catch (const vb::RuntimeError& error) {
    add(lines, CheckStatus::Failed, "mail server",
        error.description() +
            ". Correct SmtpServer and SmtpPort in trip.ini, or open the way to "
            "the server.");
    return;
  }
  add(lines, CheckStatus::Ok, "mail server", "smtp://" + smtp.host + ":" + port + " answers");
}

}  // namespace

std::vector<CheckLine> check_templates(const CheckOptions& options) {
  Lines lines;
  std::vector<std::string> missing;
  for (const std::string& file : options.template_files) {
    if (!readable(fs::path(options.app_dir) / file)) missing.push_back(file);
  }
  if (!missing.empty()) {
    add(lines, CheckStatus::Failed, "templates",
        options.app_dir + " lacks " + joined(missing) +
            ". Pass --app-dir with the installed templates directory.");
  } else {
    add(lines, CheckStatus::Ok, "templates",
        options.app_dir + ": all " + std::to_string(options.template_files.size()) + " templates");
  }
  return lines;
}

std::vector<CheckLine> check_configuration(const sys::Services& services,
                                           const std::string& registry_path,
                                           const CheckOptions& options) {
  Lines lines;
  const std::optional<fs::path> ini_dir =
      check_registry(lines, services, registry_path, options.app_dir);
  const std::optional<fs::path> data_dir = ini_dir ? check_ini(lines, *ini_dir) : std::nullopt;
  bool databases = false;
  if (data_dir) {
    const Reference reference;
    databases = true;
    for (const char* name :
         {data::kTripDatabase, data::kSecurityDatabase, data::kRequestDatabase}) {
      databases = check_database(lines, *data_dir, name, reference) && databases;
    }
  }
  if (databases) {
    std::map<std::string, std::string> settings = check_settings(lines, services, options.app_dir);
    if (!settings.empty()) check_mail(lines, settings, options);
  }
  for (CheckLine& line : check_templates(options)) lines.push_back(std::move(line));
  return lines;
}

std::string health_problem(const sys::Services& services) {
  frame::ModuleState module(services);
  // The thread's paths, as its pages use them; read again when they are not known.
  if (module.paths.strTripDataPath.empty() || module.paths.data_path_failed) {
    ChkEligWeb::SetTripPaths(module);
  }
  if (!module.ok() || module.paths.strTripDataPath.empty() || module.paths.strTripDataPath == "/") {
    return "the data directory cannot be found: " + module.error;
  }
  for (const char* name : {data::kTripDatabase, data::kSecurityDatabase, data::kRequestDatabase}) {
    const fs::path path = fs::path(module.paths.strTripDataPath) / name;
    if (!fs::exists(path)) return path.string() + " does not exist";
    try {
      column_texts(sqlite::open(path, SQLITE_OPEN_READONLY).get(),
                   "SELECT count(*) FROM sqlite_master");
    } catch (const std::exception& error) {
      return path.string() + ": " + error.what();
    }
  }
  return "";
}

std::string format_line(const CheckLine& line) {
  const char* label = line.status == CheckStatus::Ok        ? "OK     "
                      : line.status == CheckStatus::Warning ? "WARNING"
                                                            : "FAILED ";
  return std::string(label) + " " + line.subject + ": " + line.detail;
}

}  // namespace config
