// Handlers and operations still to come; each answers a short "not yet available" page.
#include "frame/Jaunter.h"

void Jaunter::LookupCust_UserEvent(const std::string& /*EventName*/) {
  not_yet_available("LookupCust_UserEvent");
}
void Jaunter::LookupCust_ProcessTag(const std::string& /*TagName*/, std::string& /*TagContents*/,
                                    bool& /*SendTags*/) {}
void Jaunter::LookupCust_FindCusts() {
  not_yet_available("LookupCust_FindCusts");
}
void Jaunter::LookupCust_RetwSelected() {
  not_yet_available("LookupCust_RetwSelected");
}
void Jaunter::LookupDest_UserEvent(const std::string& /*EventName*/) {
  not_yet_available("LookupDest_UserEvent");
}
void Jaunter::LookupDest_ProcessTag(const std::string& /*TagName*/, std::string& /*TagContents*/,
                                    bool& /*SendTags*/) {}
void Jaunter::LookupDest_FindDests() {
  not_yet_available("LookupDest_FindDests");
}
void Jaunter::LookupDest_RetwSelected() {
  not_yet_available("LookupDest_RetwSelected");
}
void Jaunter::LookupFund_UserEvent(const std::string& /*EventName*/) {
  not_yet_available("LookupFund_UserEvent");
}
void Jaunter::LookupFund_ProcessTag(const std::string& /*TagName*/, std::string& /*TagContents*/,
                                    bool& /*SendTags*/) {}
void Jaunter::LookupFund_FindFunds() {
  not_yet_available("LookupFund_FindFunds");
}
void Jaunter::LookupFund_RetwSelected() {
  not_yet_available("LookupFund_RetwSelected");
}
