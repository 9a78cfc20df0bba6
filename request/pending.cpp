// Handlers and operations still to come; each answers a short "not yet available" page.
#include "frame/Jaunter.h"

void Jaunter::RequestDetail_TripRequestDetail() {
  not_yet_available("RequestDetail_TripRequestDetail");
}
