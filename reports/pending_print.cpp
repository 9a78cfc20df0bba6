// Handlers and operations still to come; each answers a short "not yet available" page.
#include "frame/Jaunter.h"

void Jaunter::BuildTripReport1Results(const std::string& /*SQLQuery*/, std::int16_t& /*PageNumber*/,
                                      std::int16_t /*PageSize*/) {
  not_yet_available("BuildTripReport1Results");
}
void Jaunter::BuildTripReport2Results(const std::string& /*SQLQuery*/, std::int16_t& /*PageNumber*/,
                                      std::int16_t /*PageSize*/) {
  not_yet_available("BuildTripReport2Results");
}
void Jaunter::BuildTripRequestReport1Results(const std::string& /*SQLQuery*/,
                                             std::int16_t& /*PageNumber*/,
                                             std::int16_t /*PageSize*/) {
  not_yet_available("BuildTripRequestReport1Results");
}
void Jaunter::BuildTripRequestReport2Results(const std::string& /*SQLQuery*/,
                                             std::int16_t& /*PageNumber*/,
                                             std::int16_t /*PageSize*/) {
  not_yet_available("BuildTripRequestReport2Results");
}
void Jaunter::BuildTripSummaryReportResults(const std::string& /*SummaryType*/,
                                            const std::string& /*SqlCondition*/,
                                            std::int16_t& /*PageNumber*/,
                                            std::int16_t /*PageSize*/) {
  not_yet_available("BuildTripSummaryReportResults");
}
void Jaunter::PrintReport_Respond() {
  not_yet_available("PrintReport_Respond");
}
void Jaunter::PrintReport_ProcessTag(const std::string& /*TagName*/, std::string& /*TagContents*/,
                                     bool& /*SendTags*/) {}
void Jaunter::PrintReport_PrintReport() {
  not_yet_available("PrintReport_PrintReport");
}
void Jaunter::TripReport1_Respond() {
  not_yet_available("TripReport1_Respond");
}
void Jaunter::TripReport1_ProcessTag(const std::string& /*TagName*/, std::string& /*TagContents*/,
                                     bool& /*SendTags*/) {}
void Jaunter::TripReport1_TripReport1() {
  not_yet_available("TripReport1_TripReport1");
}
void Jaunter::TripReport2_Respond() {
  not_yet_available("TripReport2_Respond");
}
void Jaunter::TripReport2_ProcessTag(const std::string& /*TagName*/, std::string& /*TagContents*/,
                                     bool& /*SendTags*/) {}
void Jaunter::TripReport2_TripReport2() {
  not_yet_available("TripReport2_TripReport2");
}
void Jaunter::TripRequestDetailPrint_Respond() {
  not_yet_available("TripRequestDetailPrint_Respond");
}
void Jaunter::TripRequestDetailPrint_ProcessTag(const std::string& /*TagName*/,
                                                std::string& /*TagContents*/, bool& /*SendTags*/) {}
void Jaunter::TripRequestReport1_Respond() {
  not_yet_available("TripRequestReport1_Respond");
}
void Jaunter::TripRequestReport1_ProcessTag(const std::string& /*TagName*/,
                                            std::string& /*TagContents*/, bool& /*SendTags*/) {}
void Jaunter::TripRequestReport1_TripRequestReport1() {
  not_yet_available("TripRequestReport1_TripRequestReport1");
}
void Jaunter::TripRequestReport2_Respond() {
  not_yet_available("TripRequestReport2_Respond");
}
void Jaunter::TripRequestReport2_ProcessTag(const std::string& /*TagName*/,
                                            std::string& /*TagContents*/, bool& /*SendTags*/) {}
void Jaunter::TripRequestReport2_TripRequestReport2() {
  not_yet_available("TripRequestReport2_TripRequestReport2");
}
void Jaunter::TripSummaryReport_Respond() {
  not_yet_available("TripSummaryReport_Respond");
}
void Jaunter::TripSummaryReport_ProcessTag(const std::string& /*TagName*/,
                                           std::string& /*TagContents*/, bool& /*SendTags*/) {}
void Jaunter::TripSummaryReport_TripSummaryReport() {
  not_yet_available("TripSummaryReport_TripSummaryReport");
}
