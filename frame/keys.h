// The keys of the session store, each spelled one way. The store compares keys without regard
// to case; the texts stay as they are, because stored sessions and other pages read them.
#pragma once

#include <string_view>

namespace keys {

using Key = std::string_view;

// The signed-in user (written at sign-in).
inline constexpr Key kUser = "USER";
inline constexpr Key kCustomer = "CUSTOMER";  // blank for a user who serves every customer
inline constexpr Key kRole = "ROLE";
inline constexpr Key kCanOverrideFund = "CANOVERRIDEFUND";
inline constexpr Key kCanOverrideDepartureDate = "CANOVERRIDEDEPARTUREDATE";
inline constexpr Key kTripRequestComment = "TRIPREQ_COMMENT";
inline constexpr Key kMailRequester = "EMAIL_OPTIONS.REQ_JAUNTER_CHANGE";
inline constexpr Key kMailApprover = "EMAIL_OPTIONS.APP_JAUNTER_CHANGE";

// The lookup lists of the drop-downs and their counts (written at sign-in).
inline constexpr Key kCustomers = "CustomersDD";
inline constexpr Key kCustomerCount = "numCustomers";
inline constexpr Key kDestinations = "Destinations";
inline constexpr Key kDestinationCount = "numDestinations";
inline constexpr Key kTripCategories = "TripCat";
inline constexpr Key kTripCategoryCount = "numTripCat";
inline constexpr Key kStatuses = "StatusVals";
inline constexpr Key kStatusCount = "numStatusVals";
inline constexpr Key kDivisions = "Divisions";
inline constexpr Key kDivisionCount = "numDivisions";
inline constexpr Key kGrades = "Grades";
inline constexpr Key kGradeCount = "numGrades";
inline constexpr Key kDestinationCategories = "DESTCATS";
inline constexpr Key kDestinationCategoryCount = "numDESTCATs";
inline constexpr Key kFunds = "Funds";
inline constexpr Key kFundCount = "numFunds";

// The request form's control keys.
inline constexpr Key kLoadFromSession = "LoadRequestDetailFromSession";
inline constexpr Key kRequestNumber = "TRIPREQ";
inline constexpr Key kDepartureWarned = "blnDepDtWarn";
inline constexpr Key kDepartureWarning = "strDepDtWarn";
inline constexpr Key kReturnWarned = "blnRtnDtWarn";
inline constexpr Key kReturnWarning = "strRtnDtWarn";
inline constexpr Key kSubmissions = "RequestDetail.Submissions";  // one request per submit

// The request form's value keys: "RequestDetail." and the field.
namespace form {
inline constexpr Key kPrefix = "RequestDetail.";
inline constexpr Key kNew = "RequestDetail.New";
inline constexpr Key kCustomer = "RequestDetail.customer";
inline constexpr Key kContact = "RequestDetail.contact";
inline constexpr Key kRequesterEmail = "RequestDetail.requestoremail";
inline constexpr Key kDestination = "RequestDetail.destination";
inline constexpr Key kFund = "RequestDetail.fund";
inline constexpr Key kGrade = "RequestDetail.grade";
inline constexpr Key kTripCategory = "RequestDetail.tripcat";
inline constexpr Key kInternalNumber = "RequestDetail.inttripnum";
inline constexpr Key kPurchaseOrder = "RequestDetail.po";
inline constexpr Key kPurpose = "RequestDetail.purpose";
inline constexpr Key kTripComment = "RequestDetail.tripcom";
inline constexpr Key kCustomerInstructions = "RequestDetail.custspec";
inline constexpr Key kAdults = "RequestDetail.numadults";
inline constexpr Key kStudents = "RequestDetail.numstudents";
inline constexpr Key kHandicapped = "RequestDetail.numhand";
inline constexpr Key kEstimatedTime = "RequestDetail.esttime";
inline constexpr Key kEstimatedMiles = "RequestDetail.estmile";
// The date and time selectors: the prefix of each, then "month", "date", "year" or "hour",
// "min", "ampm" (the departure and return dates; the four times).
inline constexpr Key kDeparturePrefix = "RequestDetail.dep_";
inline constexpr Key kReturnPrefix = "RequestDetail.ret_";
inline constexpr Key kDepartureMonth = "RequestDetail.dep_month";
inline constexpr Key kDepartureDay = "RequestDetail.dep_date";
inline constexpr Key kDepartureYear = "RequestDetail.dep_year";
inline constexpr Key kReturnMonth = "RequestDetail.ret_month";
inline constexpr Key kReturnDay = "RequestDetail.ret_date";
inline constexpr Key kReturnYear = "RequestDetail.ret_year";
inline constexpr Key kDepartureHour = "RequestDetail.dep_hour";
inline constexpr Key kDepartureMinute = "RequestDetail.dep_min";
inline constexpr Key kDepartureMeridian = "RequestDetail.dep_ampm";
inline constexpr Key kArriveHour = "RequestDetail.arrive_hour";
inline constexpr Key kArriveMinute = "RequestDetail.arrive_min";
inline constexpr Key kArriveMeridian = "RequestDetail.arrive_ampm";
inline constexpr Key kLeaveHour = "RequestDetail.leave_hour";
inline constexpr Key kLeaveMinute = "RequestDetail.leave_min";
inline constexpr Key kLeaveMeridian = "RequestDetail.leave_ampm";
inline constexpr Key kReturnHour = "RequestDetail.ret_hour";
inline constexpr Key kReturnMinute = "RequestDetail.ret_min";
inline constexpr Key kReturnMeridian = "RequestDetail.ret_ampm";
// The destination and the details of one typed in on the request.
inline constexpr Key kDestinationInstructions = "RequestDetail.destspec";
inline constexpr Key kDestinationName = "RequestDetail.destdesc";
inline constexpr Key kDestinationCategory = "RequestDetail.destcat";
inline constexpr Key kDestinationMiles = "RequestDetail.miles";
inline constexpr Key kDestinationAddress1 = "RequestDetail.destadd1";
inline constexpr Key kDestinationAddress2 = "RequestDetail.destadd2";
inline constexpr Key kDestinationCity = "RequestDetail.destcity";
inline constexpr Key kDestinationZip = "RequestDetail.destzip";
inline constexpr Key kDestinationState = "RequestDetail.deststate";
}  // namespace form

// The searches' queries that the reports page through.
inline constexpr Key kRequestReportQuery = "TripRequestReportQuery";
inline constexpr Key kTripReportQuery = "TripReportQuery";
inline constexpr Key kTripSummaryCondition = "TripReportSummaryCondition";
inline constexpr Key kReportType = "ReportType";
inline constexpr Key kPageNumber = "PageNumber";
inline constexpr Key kRecordCount = "RecordCount";
// "Y" while the fund lookup was opened from the field trip search.
inline constexpr Key kFundLookupFromTripSearch = "SELTRIP";

namespace app {
// The address users open (`serve --url`), for links in mail; blank when not configured.
inline constexpr Key kPublicUrl = "JAUNTER.PublicURL";
}  // namespace app

}  // namespace keys
