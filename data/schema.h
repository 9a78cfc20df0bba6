// The three empty databases of a district: every table and column the application touches, in
// the stored forms other tools share (DATETIME, YESNO, CURRENCY, INTEGER, SINGLE, TEXT).
#pragma once

#include <string>
#include <string_view>

#include "platform/db/db.h"

namespace data {

// The file names of the three databases in the data directory.
inline constexpr const char* kTripDatabase = "trip.db";
inline constexpr const char* kSecurityDatabase = "qsclsc1.db";
inline constexpr const char* kRequestDatabase = "Tripschl.db";

// The index of trip.db that the summary report reads the selected trips from, date first, and
// the TRIPS columns it holds besides the trip number.
inline constexpr const char* kTripSummaryIndex = "TRIPS_DEPDATE_SUMMARY";
inline constexpr const char* kTripSummaryColumns =
    "DEPDATE, CUSTOMER, TRIPCAT, GRADE, FUND, DESTINATION, NUMSTUDENTS, NUMADULTS, ASSIGNED, "
    "BILLED, CANCELED";

// Creates trip.db, qsclsc1.db and Tripschl.db in `dir` with their tables and indexes. Throws
// std::runtime_error naming the file, before anything is created, when `dir` is not a directory
// or when any of the three files (or a journal of one) exists. A failure part-way removes the
// files this call created, so a retry starts clean.
void create_databases(const std::string& dir);

// Adds to an open database of a district (kTripDatabase, ...) the indexes it lacks, such as a
// file made before they were added; once per file in this process, the first time it is opened.
void add_missing_indexes(db::Connection& connection, std::string_view database);

}  // namespace data
