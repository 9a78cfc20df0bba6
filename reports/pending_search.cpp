// Handlers and operations still to come; each answers a short "not yet available" page.
#include "frame/Jaunter.h"

void Jaunter::BuildRequestResultsTable(std::string& /*strSql*/) {
  not_yet_available("BuildRequestResultsTable");
}
void Jaunter::RequestSearch_Respond() {
  not_yet_available("RequestSearch_Respond");
}
void Jaunter::RequestSearch_ProcessTag(const std::string& /*TagName*/, std::string& /*TagContents*/,
                                       bool& /*SendTags*/) {}
void Jaunter::RequestSearch_Navigate() {
  not_yet_available("RequestSearch_Navigate");
}
void Jaunter::RequestSearch_TripRequests() {
  not_yet_available("RequestSearch_TripRequests");
}
void Jaunter::TripSearch_Respond() {
  not_yet_available("TripSearch_Respond");
}
void Jaunter::TripSearch_ProcessTag(const std::string& /*TagName*/, std::string& /*TagContents*/,
                                    bool& /*SendTags*/) {}
void Jaunter::TripSearch_FieldTrips() {
  not_yet_available("TripSearch_FieldTrips");
}
void Jaunter::ResetRequestSearch() {
  not_yet_available("ResetRequestSearch");
}
void Jaunter::ResetTripSearch() {
  not_yet_available("ResetTripSearch");
}
