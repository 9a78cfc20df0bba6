// The demo district's fixed catalog. Names and places are invented; every address is fictional.
#include "data/demo_catalog.h"

#include <stdexcept>
#include <string_view>

#include "platform/vb/conversions.h"

namespace data::demo {
namespace {

constexpr Customer kCustomers[] = {
    {"ADAMS", "Adams Elementary School", Kind::Elementary, "ELEM", "STANDARD", 1, "Medium",
     "CARLINE_INVOICE", true, "Enter through the bus loop on Maple Street."},
    {"BROOK", "Brookside Elementary School", Kind::Elementary, "ELEM", "STANDARD", 1, "Medium",
     "CARLINE_INVOICE", true, ""},
    {"CEDAR", "Cedar Hills Elementary School", Kind::Elementary, "ELEM", "STANDARD", 1, "Medium",
     "CARLINE_INVOICE", true, "Load at the gym doors, not the front office."},
    {"DOUG", "Douglas Elementary School", Kind::Elementary, "ELEM", "STANDARD", 1, "Medium",
     "CARLINE_INVOICE", true, ""},
    {"EAST", "Eastgate Elementary School", Kind::Elementary, "ELEM", "STANDARD", 1, "Medium",
     "CARLINE_INVOICE", true, ""},
    {"FRANK", "Franklin Elementary School", Kind::Elementary, "ELEM", "STANDARD", 1, "Medium",
     "CARLINE_INVOICE", true, ""},
    {"GLEN", "Glenwood Elementary School", Kind::Elementary, "ELEM", "STANDARD", 1, "Medium",
     "CARLINE_INVOICE", true, "Narrow driveway: buses stop on Glen Avenue."},
    {"HARBOR", "Harbor View Elementary School", Kind::Elementary, "ELEM", "STANDARD", 1, "Medium",
     "CARLINE_INVOICE", true, ""},
    {"IRVING", "Irving Elementary School", Kind::Elementary, "ELEM", "STANDARD", 1, "Medium",
     "CARLINE_INVOICE", true, ""},
    {"JEFF", "Jefferson Elementary School", Kind::Elementary, "ELEM", "STANDARD", 1, "Medium",
     "CARLINE_INVOICE", true, ""},
    {"KENNEDY", "Kennedy Elementary School", Kind::Elementary, "ELEM", "STANDARD", 1, "Medium",
     "CARLINE_INVOICE", true, ""},
    {"LINCOLN", "Lincoln Elementary School", Kind::Elementary, "ELEM", "STANDARD", 1, "Medium",
     "CARLINE_INVOICE", true, ""},
    {"MADISON", "Madison Middle School", Kind::Middle, "MID", "STANDARD", 1, "High",
     "CARLINE_INVOICE", true, ""},
    {"NRIDGE", "North Ridge Middle School", Kind::Middle, "MID", "STANDARD", 1, "High",
     "CARLINE_INVOICE", true, "Bus zone is on the east side by the track."},
    {"OAKWOOD", "Oakwood Middle School", Kind::Middle, "MID", "STANDARD", 1, "High",
     "CARLINE_INVOICE", true, ""},
    {"PARKSIDE", "Parkside Middle School", Kind::Middle, "MID", "STANDARD", 1, "High",
     "CARLINE_INVOICE", true, ""},
    {"WILLOW", "Willow Creek Middle School", Kind::Middle, "MID", "STANDARD", 1, "High",
     "CARLINE_INVOICE", true, ""},
    {"CENTRAL", "Central High School", Kind::High, "HIGH", "STANDARD", 2, "High", "SUMMARY_INVOICE",
     true, "Athletic teams load at the field house."},
    {"WESTVIEW", "Westview High School", Kind::High, "HIGH", "STANDARD", 2, "High",
     "SUMMARY_INVOICE", true, ""},
    {"SVALLEY", "South Valley High School", Kind::High, "HIGH", "STANDARD", 2, "High",
     "SUMMARY_INVOICE", true, ""},
    {"LAKESIDE", "Lakeside High School", Kind::High, "HIGH", "STANDARD", 2, "High",
     "SUMMARY_INVOICE", true, ""},
    {"EARLY", "Early Learning Center", Kind::Special, "SPCL", "STANDARD", 1, "Low",
     "CARLINE_INVOICE", true, "Car seats are required for every child under five."},
    {"HORIZON", "Horizon Alternative High School", Kind::Special, "SPCL", "STANDARD", 1, "Medium",
     "CARLINE_INVOICE", true, ""},
    {"TRANSIT", "Transition Program 18-21", Kind::Special, "SPCL", "STANDARD", 1, "Low",
     "CARLINE_INVOICE", true, "Several riders use wheelchairs: lift bus required."},
    {"ATHL", "Athletics and Activities Department", Kind::Department, "DEPT", "ATHLETIC", 2, "High",
     "SUMMARY_INVOICE", true, ""},
    {"ARTS", "Fine Arts Department", Kind::Department, "DEPT", "DEPT", 1, "High", "CARLINE_INVOICE",
     true, "Instruments ride in the luggage bays."},
    {"SPED", "Special Education Department", Kind::Department, "DEPT", "DEPT", 1, "Low",
     "CARLINE_INVOICE", true, ""},
    {"CURRIC", "Curriculum and Instruction", Kind::Department, "DEPT", "DEPT", 1, "Medium",
     "CARLINE_INVOICE", true, ""},
    {"COMMED", "Community Education", Kind::Department, "DEPT", "", 1, "Medium", "CARLINE_INVOICE",
     true, ""},
    {"NUTRI", "Nutrition Services", Kind::Department, "DEPT", "", 1, "Low", "CARLINE_INVOICE", true,
     ""},
    {"FACIL", "Facilities and Maintenance", Kind::Department, "DEPT", "DEPT", 1, "Low",
     "CARLINE_INVOICE", false, ""},
    {"PARKSREC", "Riverbend Parks and Recreation", Kind::Outside, "OUT", "", 3, "Medium",
     "OUTSIDE_INVOICE", true, "Bill the city parks office, attention Dana Ruiz."},
};

constexpr Destination kDestinations[] = {
    {1, "Riverbend Science Center", "400 Discovery Way", "Riverbend, OR 97301",
     "Buses unload at the north entrance on Discovery Way.", 4, Use::Academic, true,
     "Science center visit"},
    {2, "Willamette Valley History Museum", "1200 Front Street NE", "Riverbend, OR 97301",
     "Groups over 40 are split into two tours.", 3, Use::Academic, true, "Local history tour"},
    {3, "Port Haven Aquarium", "2820 Marine Science Drive", "Port Haven, OR 97365",
     "Lunch area available for school groups.", 58, Use::Academic, true, "Marine biology unit"},
    {4, "Cedar Falls Zoo", "75 Zoo Loop", "Cedar Falls, OR 97321",
     "Check in at the education gate; buses park in lot C.", 22, Use::Academic, true,
     "Zoo habitat study"},
    {5, "Riverbend Public Library - Main", "585 Liberty Street SE", "Riverbend, OR 97301", "", 2,
     Use::Academic, true, "Library research day"},
    {6, "State Capitol Visitor Center", "900 Court Street NE", "Riverbend, OR 97301",
     "Security screening; allow 20 extra minutes.", 3, Use::Academic, true, "Capitol civics tour"},
    {7, "Millbrook Heritage Farm", "31500 Old Mill Road", "Millbrook, OR 97355",
     "Gravel lot with turn-around space for one bus.", 16, Use::Academic, true, "Farm life unit"},
    {8, "Cascade Planetarium", "1 Observatory Hill", "Highland, OR 97330", "", 38, Use::Academic,
     true, "Planetarium show"},
    {9, "Riverbend Fire Training Center", "3300 Industrial Way", "Riverbend, OR 97303", "", 7,
     Use::Academic, true, "Fire safety visit"},
    {10, "Oak Valley Dairy Cooperative", "8840 Valley Road", "Oak Valley, OR 97338",
     "Closed-toe shoes required.", 19, Use::Academic, true, "Dairy farm tour"},
    {11, "Port Haven Maritime Museum", "14 Harbor Plaza", "Port Haven, OR 97365", "", 60,
     Use::Academic, true, "Maritime history tour"},
    {12, "Riverbend Art Museum", "700 State Street", "Riverbend, OR 97301", "", 3, Use::Academic,
     true, "Art museum visit"},
    {13, "Stonebridge Children's Museum", "210 Bridge Street", "Stonebridge, OR 97383", "", 17,
     Use::Academic, true, "Children's museum visit"},
    {14, "Fairview Raptor Center", "1620 Owl Creek Road", "Fairview, OR 97024", "", 44,
     Use::Academic, true, "Birds of prey program"},
    {15, "Riverbend Water Treatment Plant", "4000 River Road N", "Riverbend, OR 97303",
     "Tours limited to 30 students.", 6, Use::Academic, true, "Water cycle field study"},
    {16, "Highland Botanical Gardens", "1500 Garden Way", "Highland, OR 97330", "", 36,
     Use::Academic, true, "Botanical garden study"},
    {17, "Cedar Falls Pioneer Village", "455 Homestead Lane", "Cedar Falls, OR 97321", "", 24,
     Use::Academic, true, "Pioneer life unit"},
    {18, "Riverbend Regional Airport", "2990 25th Street SE", "Riverbend, OR 97302",
     "Photo ID needed for adults.", 5, Use::Academic, true, "Airport tour"},
    {19, "Millbrook Fish Hatchery", "12 Hatchery Road", "Millbrook, OR 97355", "", 18,
     Use::Academic, true, "Salmon life cycle study"},
    {20, "Riverbend Recycling Center", "1890 Recycle Way NE", "Riverbend, OR 97305", "", 6,
     Use::Academic, true, "Recycling center tour"},
    {21, "Oak Valley Pumpkin Farm", "9200 Orchard Heights Road", "Oak Valley, OR 97338",
     "Open September through October.", 21, Use::Academic, true, "Pumpkin patch visit"},
    {22, "Riverbend Memorial Stadium", "2600 Stadium Drive", "Riverbend, OR 97304",
     "Team buses park behind the home grandstand.", 4, Use::Sports, true},
    {23, "Millbrook High School", "1400 Falcon Way", "Millbrook, OR 97355",
     "Visitor locker rooms by the west gym doors.", 17, Use::Sports, true},
    {24, "Cedar Falls High School", "301 Cougar Lane", "Cedar Falls, OR 97321", "", 23, Use::Sports,
     true},
    {25, "Port Haven High School", "600 Seagull Avenue", "Port Haven, OR 97365", "", 61,
     Use::Sports, true},
    {26, "Oak Valley Sports Complex", "5000 Athletic Park Drive", "Oak Valley, OR 97338", "", 20,
     Use::Sports, true},
    {27, "Stonebridge High School", "1 Bulldog Drive", "Stonebridge, OR 97383", "", 18, Use::Sports,
     true},
    {28, "Fairview Aquatic Center", "700 Splash Way", "Fairview, OR 97024", "", 45, Use::Sports,
     true},
    {29, "Highland State University Field House", "250 SW Campus Way", "Highland, OR 97330",
     "State tournament parking in lot 5.", 37, Use::Sports, true},
    {30, "Riverbend Tennis Center", "1200 Court Drive", "Riverbend, OR 97302", "", 5, Use::Sports,
     true},
    {31, "Cascade Golf Club", "18 Fairway Road", "Cedar Falls, OR 97321", "", 25, Use::Sports,
     true},
    {32, "Fairview High School", "2800 Eagle Crest Road", "Fairview, OR 97024", "", 46, Use::Sports,
     true},
    {33, "State Fairgrounds Arena", "2330 17th Street NE", "Riverbend, OR 97301",
     "Wrestling and volleyball tournaments use gate 4.", 3, Use::Sports, true},
    {34, "Highland Middle School", "44 Summit Street", "Highland, OR 97330", "", 35, Use::Sports,
     true},
    {35, "Riverbend Performing Arts Center", "170 High Street SE", "Riverbend, OR 97301",
     "Unload on High Street; buses wait at the fairgrounds.", 3, Use::Music, true},
    {36, "Cedar Falls Symphony Hall", "90 Concert Way", "Cedar Falls, OR 97321", "", 23, Use::Music,
     true},
    {37, "Port Haven Civic Theater", "330 Bay Boulevard", "Port Haven, OR 97365", "", 60,
     Use::Music, true},
    {38, "Highland University Concert Hall", "100 Music Building Loop", "Highland, OR 97330", "",
     37, Use::Music, true},
    {39, "Stonebridge Community Theater", "77 Main Street", "Stonebridge, OR 97383", "", 17,
     Use::Music, true},
    {40, "Highland State University", "1500 SW Jefferson Way", "Highland, OR 97330",
     "Campus tours start at the admissions office.", 36, Use::College, true, "College campus tour"},
    {41, "Riverbend Community College", "4000 Lancaster Drive NE", "Riverbend, OR 97305", "", 7,
     Use::College, true, "Community college tour"},
    {42, "Oak Valley Technical Institute", "600 Industrial Park Road", "Oak Valley, OR 97338", "",
     20, Use::College, true, "Technical college visit"},
    {43, "Pacific Coast University", "5000 Ocean View Drive", "Port Haven, OR 97365", "", 63,
     Use::College, true, "College campus tour"},
    {44, "Riverbend Convention Center", "200 Commercial Street SE", "Riverbend, OR 97301",
     "Career fair entrance on Trade Street.", 3, Use::College, true, "Career fair"},
    {45, "Camp Tamarack Outdoor School", "14000 Tamarack Road", "Stonebridge, OR 97383",
     "Three-day outdoor school; luggage goes in the bays.", 42, Use::Outdoor, true,
     "Outdoor school"},
    {46, "Silver Creek State Park", "20024 Silver Falls Highway", "Millbrook, OR 97355",
     "Day-use fee waived for schools with a permit.", 26, Use::Outdoor, true,
     "Watershed field study"},
    {47, "Cascade Lakes Nature Center", "800 Lakeshore Drive", "Highland, OR 97330", "", 48,
     Use::Outdoor, true, "Nature center hike"},
    {48, "Mount Hollis Snow Park", "Forest Road 2200, Milepost 14", "Highland, OR 97330",
     "Chains required November through March.", 75, Use::Outdoor, true, "Snow science day"},
    {49, "Pinecone Beach State Park", "9000 Coast Highway", "Port Haven, OR 97365", "", 64,
     Use::Outdoor, true, "Tide pool study"},
    {50, "Minto Island Park", "2200 Minto Island Road", "Riverbend, OR 97302", "", 4, Use::Outdoor,
     true, "Park ecology walk"},
    {51, "Riverbend Wetlands Preserve", "3500 Marsh Road", "Riverbend, OR 97306",
     "Boots recommended.", 8, Use::Outdoor, true, "Wetland bird count"},
    {52, "Fairview Lake Park", "1 Lakeview Drive", "Fairview, OR 97024", "", 43, Use::Outdoor, true,
     "Lake ecology study"},
    {53, "Old Riverbend Armory", "2310 Armory Way", "Riverbend, OR 97301", "Closed for remodeling.",
     3, Use::Academic, false, "Armory history tour"},
    {54, "Sunny Acres Farm", "6600 Sunny Lane", "Oak Valley, OR 97338", "No longer hosts groups.",
     19, Use::Academic, false, "Farm life unit"},
    {55, "Westgate Roller Rink", "410 Westgate Road", "Riverbend, OR 97304", "", 5, Use::Sports,
     false},
    {56, "Riverbend Community Food Bank", "1660 Salem Industrial Drive", "Riverbend, OR 97301",
     "Volunteers check in at the warehouse door.", 4, Use::Service, true, "Food bank volunteering"},
    {57, "Sunrise Senior Center", "2615 Portland Road NE", "Riverbend, OR 97305", "", 5,
     Use::Service, true, "Senior center visit"},
    {58, "Riverbend Parks Nursery", "4800 Nursery Lane", "Riverbend, OR 97306",
     "Gloves and shovels are provided.", 9, Use::Service, true, "Tree planting"},
    {59, "Valley Fresh Market", "3040 Center Street NE", "Riverbend, OR 97301", "", 3,
     Use::Community, true, "Grocery store skills"},
    {60, "Riverbend Lanes", "3500 Commercial Street SE", "Riverbend, OR 97302", "", 5,
     Use::Community, true, "Bowling social skills"},
    {61, "Riverbend Transit Center", "220 High Street NE", "Riverbend, OR 97301", "", 2,
     Use::Community, true, "Bus riding skills"},
    {62, "Riverbend Workforce Center", "605 Cottage Street NE", "Riverbend, OR 97301", "", 3,
     Use::Community, true, "Vocational site visit"},
};

constexpr TypedDestination kTypedDestinations[] = {
    {"Hillcrest Pumpkin Patch", "28850 Hillcrest Road", "", "Millbrook", "OR", "97355", "FARM", 14,
     "Pumpkin patch visit"},
    {"Grandview Senior Living", "455 Grandview Drive", "Building C", "Riverbend", "OR", "97302",
     "OTHER", 4, "Senior center visit"},
    {"Maple Street Bakery", "88 Maple Street", "", "Cedar Falls", "OR", "97321", "BUSINESS", 11,
     "Bakery tour"},
    {"Blue Heron Wetlands Trailhead", "Blue Heron Road", "Milepost 6", "Stonebridge", "OR", "97383",
     "PARK", 19, "Wetland bird count"},
    {"Coastal Robotics Expo", "Port Haven Convention Center", "1 Harbor Plaza", "Port Haven", "OR",
     "97365", "OTHER", 62, "Robotics expo"},
    {"Riverbend Fire Station 3", "2150 Oak Grove Avenue", "", "Riverbend", "OR", "97304",
     "BUSINESS", 5, "Fire safety visit"},
};

constexpr Code kFunds[] = {
    {"100", "General Fund - Field Trips", true},
    {"110", "Curriculum Field Trips", true},
    {"200", "Athletics", true},
    {"210", "Student Activities (ASB)", true},
    {"300", "Title I", true},
    {"310", "Special Education (IDEA)", true},
    {"320", "Migrant Education", true},
    {"400", "Fine Arts Grant", true},
    {"410", "STEM Grant", true},
    {"500", "Career and Technical Education", true},
    {"600", "Community Education", true},
    {"700", "Nutrition Services", true},
    {"800", "Facilities", true},
    {"900", "Outside Agency Billing", true},
    {"PTA", "Parent Teacher Association", true},
    {"PTO", "Parent Teacher Organization", true},
    {"BOOSTER", "Booster Clubs", true},
    {"GIFT", "Gifts and Donations", true},
    {"BOND21", "2021 Bond Program", false},
    {"ESSER", "ESSER Relief Funds", false},
};

constexpr CustomerLink kCustomerFunds[] = {
    {"ADAMS", "100", ""},        {"ADAMS", "110", ""},    {"ADAMS", "PTA", ""},
    {"ADAMS", "300", ""},        {"ADAMS", "ESSER", ""},  {"BROOK", "100", ""},
    {"BROOK", "PTA", ""},        {"BROOK", "300", ""},    {"CEDAR", "100", ""},
    {"CEDAR", "110", ""},        {"CEDAR", "PTA", ""},    {"DOUG", "100", ""},
    {"DOUG", "PTA", ""},         {"DOUG", "300", ""},     {"DOUG", "320", ""},
    {"EAST", "100", ""},         {"EAST", "PTA", ""},     {"EAST", "GIFT", ""},
    {"FRANK", "100", ""},        {"FRANK", "110", ""},    {"FRANK", "PTA", ""},
    {"GLEN", "100", ""},         {"GLEN", "PTA", ""},     {"HARBOR", "100", ""},
    {"HARBOR", "300", ""},       {"HARBOR", "PTA", ""},   {"IRVING", "100", ""},
    {"IRVING", "PTA", ""},       {"JEFF", "100", ""},     {"JEFF", "110", ""},
    {"JEFF", "PTA", ""},         {"KENNEDY", "100", ""},  {"KENNEDY", "PTA", ""},
    {"LINCOLN", "100", ""},      {"LINCOLN", "PTA", ""},  {"LINCOLN", "GIFT", ""},
    {"MADISON", "100", ""},      {"MADISON", "PTO", ""},  {"MADISON", "200", ""},
    {"NRIDGE", "100", ""},       {"NRIDGE", "PTO", ""},   {"NRIDGE", "200", ""},
    {"NRIDGE", "410", ""},       {"OAKWOOD", "100", ""},  {"OAKWOOD", "PTO", ""},
    {"OAKWOOD", "200", ""},      {"PARKSIDE", "100", ""}, {"PARKSIDE", "200", ""},
    {"WILLOW", "100", ""},       {"WILLOW", "PTO", ""},   {"WILLOW", "200", ""},
    {"CENTRAL", "100", ""},      {"CENTRAL", "200", ""},  {"CENTRAL", "210", ""},
    {"CENTRAL", "BOOSTER", ""},  {"CENTRAL", "500", ""},  {"WESTVIEW", "100", ""},
    {"WESTVIEW", "200", ""},     {"WESTVIEW", "210", ""}, {"WESTVIEW", "BOOSTER", ""},
    {"SVALLEY", "100", ""},      {"SVALLEY", "200", ""},  {"SVALLEY", "210", ""},
    {"SVALLEY", "500", ""},      {"LAKESIDE", "100", ""}, {"LAKESIDE", "200", ""},
    {"LAKESIDE", "BOOSTER", ""}, {"EARLY", "100", ""},    {"EARLY", "300", ""},
    {"HORIZON", "100", ""},      {"HORIZON", "500", ""},  {"TRANSIT", "310", ""},
    {"TRANSIT", "100", ""},      {"ATHL", "200", ""},     {"ATHL", "BOOSTER", ""},
    {"ARTS", "400", ""},         {"ARTS", "100", ""},     {"SPED", "310", ""},
    {"CURRIC", "110", ""},       {"CURRIC", "410", ""},   {"COMMED", "600", ""},
    {"NUTRI", "700", ""},        {"FACIL", "800", ""},    {"FACIL", "BOND21", ""},
    {"PARKSREC", "900", ""},
};

constexpr CustomerLink kCustomerTripCategories[] = {
    {"CENTRAL", "ATH", "ATHLETIC"},  {"WESTVIEW", "ATH", "ATHLETIC"},
    {"SVALLEY", "ATH", "ATHLETIC"},  {"LAKESIDE", "ATH", "ATHLETIC"},
    {"MADISON", "ATH", "ATHLETIC"},  {"NRIDGE", "ATH", "ATHLETIC"},
    {"OAKWOOD", "ATH", "ATHLETIC"},  {"PARKSIDE", "ATH", "ATHLETIC"},
    {"WILLOW", "ATH", "ATHLETIC"},   {"CENTRAL", "CAR", "STANDARD"},
    {"WESTVIEW", "CAR", "STANDARD"}, {"SVALLEY", "CAR", "STANDARD"},
    {"LAKESIDE", "CAR", "STANDARD"}, {"ATHL", "ATH", "ATHLETIC"},
    {"ATHL", "CMP", "ATHLETIC"},
};

constexpr Code kTripCategories[] = {
    {"ACAD", "Academic Field Trip", true},     {"ATH", "Athletic Event", true},
    {"CMP", "Academic Competition", true},     {"MUS", "Music and Performing Arts", true},
    {"CAR", "Career and College Visit", true}, {"CSV", "Community Service", true},
    {"OUT", "Outdoor School", true},           {"CBI", "Community Based Instruction", true},
    {"STAFF", "Staff Transportation", false},
};

constexpr Code kGrades[] = {
    {"PK", "Pre-Kindergarten", true}, {"K", "Kindergarten", true},
    {"1", "First Grade", true},       {"2", "Second Grade", true},
    {"3", "Third Grade", true},       {"4", "Fourth Grade", true},
    {"5", "Fifth Grade", true},       {"6", "Sixth Grade", true},
    {"7", "Seventh Grade", true},     {"8", "Eighth Grade", true},
    {"9", "Ninth Grade", true},       {"10", "Tenth Grade", true},
    {"11", "Eleventh Grade", true},   {"12", "Twelfth Grade", true},
    {"MIX", "Mixed Grades", true},    {"ADULT", "Adults and Staff", true},
};

constexpr Code kDivisions[] = {
    {"ELEM", "Elementary Schools", true},   {"MID", "Middle Schools", true},
    {"HIGH", "High Schools", true},         {"SPCL", "Special Programs", true},
    {"DEPT", "District Departments", true}, {"OUT", "Outside Agencies", true},
};

constexpr Code kRequestStatuses[] = {
    {"UNAPPROVED", "Waiting for the first approval", true},
    {"Pending", "Waiting for transportation (no approval chain)", true},
    {"PRINCIPAL APPROVED", "Approved by the principal", true},
    {"DIRECTOR APPROVED", "Approved by the director", true},
    {"ATHLETICS APPROVED", "Approved by the athletic director", true},
    {"ACCEPTED", "Accepted by transportation", true},
    {"Denied", "Denied", true},
};

constexpr Code kDestinationCategories[] = {
    {"MUSEUM", "", true},  {"PARK", "", true},    {"ZOO", "", true},      {"SPORTS", "", true},
    {"THEATER", "", true}, {"COLLEGE", "", true}, {"BUSINESS", "", true}, {"FARM", "", true},
    {"LIBRARY", "", true}, {"SCHOOL", "", true},  {"CAMP", "", true},     {"OTHER", "", true},
};

constexpr Code kSchedules[] = {
    {"FTAM", "Field Trip - Morning", true},  {"FTPM", "Field Trip - Afternoon", true},
    {"FTDAY", "Field Trip - All Day", true}, {"ATHLETIC", "Athletic Run", true},
    {"EVENING", "Evening Event", true},      {"WEEKEND", "Weekend Trip", true},
};

constexpr Code kVehicleTypes[] = {
    {"BUS72", "72 Passenger Bus", true},      {"BUS48", "48 Passenger Bus", true},
    {"BUS24", "24 Passenger Mini Bus", true}, {"LIFT", "Wheelchair Lift Bus", true},
    {"VAN", "7 Passenger Van", true},         {"COACH", "Charter Coach", false},
};

constexpr Code kTicketTemplates[] = {
    {"STANDARD", "Standard Trip Ticket", true},
    {"ATHLETIC", "Athletic Trip Ticket", true},
    {"SPECIAL", "Special Needs Trip Ticket", true},
    {"OLDFORM", "Trip Ticket (2019 form)", false},
};

constexpr Chain kChains[] = {
    {"STANDARD",
     {"PRINCIPAL", "DIRECTOR", "TRANSPORT"},
     {"PRINCIPAL APPROVED", "DIRECTOR APPROVED", "ACCEPTED"}},
    {"ATHLETIC", {"ATHDIR", "TRANSPORT", ""}, {"ATHLETICS APPROVED", "ACCEPTED", ""}},
    {"DEPT", {"TRANSPORT", "", ""}, {"ACCEPTED", "", ""}},
};

constexpr BillRate kBillRates[] = {
    {1,
     {2.25f, 38.5f, 24.0f, 85.0f, 0.15f},
     {"Per Mile", "Driver Hour", "Wait Hour", "Minimum Charge", "Fuel Surcharge"},
     false},
    {2,
     {2.1f, 36.0f, 22.5f, 75.0f, 0.15f},
     {"Per Mile", "Driver Hour", "Wait Hour", "Minimum Charge", "Fuel Surcharge"},
     false},
    {3,
     {2.95f, 52.0f, 0.0f, 150.0f, 0.25f},
     {"Per Mile", "Driver Hour", "Wait Hour", "Minimum Charge", "Fuel Surcharge"},
     true},
};

constexpr const char* kContacts[] = {
    "Maria Alvarez",    "Sean O'Brien",   "Priya Natarajan",  "David Chen",
    "Karen Whitfield",  "Luis Ortega",    "Emily Sorensen",   "Marcus Bell",
    "Hannah Kowalski",  "Tom Nguyen",     "Rachel Goldberg",  "Andre Johnson",
    "Megan Fitzgerald", "Carlos Mendoza", "Julie Tran",       "Brian Olsen",
    "Aisha Rahman",     "Greg Halvorsen", "Sofia Petrov",     "Kevin McAllister",
    "Laura Benson",     "Daniel Kim",     "Nora Lindqvist",   "Victor Silva",
    "Tanya Brooks",     "Paul Richter",   "Grace Whitehorse", "Omar Haddad",
    "Jenna Li",         "Mike Dawson",
};

constexpr const char* kDrivers[] = {
    "Thompson, Rick", "Alvarado, Rosa", "Berg, Lars",    "Coleman, Denise", "Foster, Jim",
    "Gutierrez, Ana", "Hayes, Walter",  "Ivanova, Lena", "Jackson, Terry",  "Keller, Ruth",
    "Lopez, Manny",   "Morrow, Pat",    "Nakamura, Ken", "Owens, Sheila",   "Price, Donna",
};

constexpr const char* kTripComments[] = {
    "Students bring sack lunches.",
    "Please arrive 15 minutes early.",
    "Students eat lunch at the destination.",
    "Two stops: the museum, then the park.",
    "Teacher will call dispatch if the return is late.",
    "Equipment travels in the luggage bays.",
};

constexpr const char* kAcademicPurposes[] = {
    "Science museum visit", "Zoo habitat study", "Local history tour",
    "Library research day", "Farm life unit",    "Marine biology unit",
    "Planetarium show",     "Fire safety visit", "Capitol civics tour",
};
constexpr const char* kAthleticPurposes[] = {
    "Varsity basketball game", "JV soccer match", "Track meet", "Cross country meet",
    "Volleyball tournament",   "Wrestling meet",  "Swim meet",  "Baseball game",
    "Football playoff game",
};
constexpr const char* kCompetitionPurposes[] = {
    "Science Olympiad", "Math League contest", "Spelling bee regionals",
    "Robotics contest", "Debate tournament",   "History Day regionals",
};
constexpr const char* kMusicPurposes[] = {
    "Band festival",   "Choir concert",         "Orchestra performance",
    "Theater matinee", "Jazz band competition", "Dance showcase",
};
constexpr const char* kCareerPurposes[] = {
    "College campus tour",
    "Career fair",
    "Job shadow day",
    "Technical college visit",
};
constexpr const char* kServicePurposes[] = {
    "Food bank volunteering",
    "Park cleanup day",
    "Senior center visit",
    "Tree planting",
};
constexpr const char* kOutdoorPurposes[] = {
    "Outdoor school",
    "Watershed field study",
    "Nature center hike",
    "Snow science day",
};
constexpr const char* kCommunityPurposes[] = {
    "Community outing",
    "Grocery store skills",
    "Vocational site visit",
    "Bowling social skills",
};

std::string lower(std::string_view text) {
  return vb::LCase(text);
}

std::vector<User> make_users() {
  std::vector<User> users;
  users.push_back({"transport", "transport", "TRANSPORT", "", true, "transportation@example.org",
                   true, true,
                   "final approval (ACCEPTED) in every chain, every customer; may override the "
                   "fund and the lead time"});
  users.push_back({"dispatch", "dispatch", "TRANSPORT", "", true, "dispatch@example.org", false,
                   false, "a second transportation approver; shares the approver mail"});
  users.push_back({"director", "director", "DIRECTOR", "", true, "director@example.org", true, true,
                   "second approval of school trips (STANDARD chain), every school"});
  users.push_back({"athdir", "athletics", "ATHDIR", "", false, "athletics@example.org", false, true,
                   "first approval of athletic trips (ATHLETIC chain), every school"});
  for (const Customer& c : kCustomers) {
    if (c.kind == Kind::Department || c.kind == Kind::Outside) continue;
    users.push_back({"principal." + lower(c.code), "principal", "PRINCIPAL", c.code, false,
                     "principal." + lower(c.code) + "@example.org", false, true,
                     std::string("first approval of the school trips of ") + c.name});
  }
  for (const Customer& c : kCustomers) {
    users.push_back({requester_id(c), "request", "REQUESTER", c.code, false, requester_email(c),
                     false, false,
                     std::string("enters and follows the trip requests of ") + c.name});
  }
  return users;
}

}  // namespace

std::span<const Customer> customers() {
  return kCustomers;
}

const Customer& customer(const std::string& code) {
  for (const Customer& c : kCustomers) {
    if (code == c.code) return c;
  }
  throw std::logic_error("demo customer " + code + " is not in the catalog");
}

std::span<const Destination> destinations() {
  return kDestinations;
}
std::span<const TypedDestination> typed_destinations() {
  return kTypedDestinations;
}
std::span<const Code> funds() {
  return kFunds;
}
std::span<const CustomerLink> customer_funds() {
  return kCustomerFunds;
}
std::span<const CustomerLink> customer_trip_categories() {
  return kCustomerTripCategories;
}
std::span<const Code> trip_categories() {
  return kTripCategories;
}
std::span<const Code> grades() {
  return kGrades;
}
std::span<const Code> divisions() {
  return kDivisions;
}
std::span<const Code> request_statuses() {
  return kRequestStatuses;
}
std::span<const Code> destination_categories() {
  return kDestinationCategories;
}
std::span<const Code> schedules() {
  return kSchedules;
}
std::span<const Code> vehicle_types() {
  return kVehicleTypes;
}
std::span<const Code> ticket_templates() {
  return kTicketTemplates;
}
std::span<const Chain> chains() {
  return kChains;
}
std::span<const BillRate> bill_rates() {
  return kBillRates;
}

const BillRate& bill_rate(int number) {
  for (const BillRate& rate : kBillRates) {
    if (rate.number == number) return rate;
  }
  throw std::logic_error("demo bill rate " + std::to_string(number) + " is not in the catalog");
}

const std::vector<User>& users() {
  static const std::vector<User> all = make_users();
  return all;
}

std::string requester_id(const Customer& customer) {
  return lower(customer.code);
}

std::string requester_email(const Customer& customer) {
  return lower(customer.code) + ".office@example.org";
}

std::string chain_for(const Customer& customer, const std::string& trip_category) {
  for (const CustomerLink& link : kCustomerTripCategories) {
    if (link.customer == std::string_view(customer.code) && link.code == trip_category) {
      return link.chain;
    }
  }
  return customer.chain;
}

std::span<const char* const> contacts() {
  return kContacts;
}
std::span<const char* const> drivers() {
  return kDrivers;
}
std::span<const char* const> trip_comments() {
  return kTripComments;
}

std::span<const char* const> purposes(const std::string& trip_category) {
  if (trip_category == "ATH") return kAthleticPurposes;
  if (trip_category == "CMP") return kCompetitionPurposes;
  if (trip_category == "MUS") return kMusicPurposes;
  if (trip_category == "CAR") return kCareerPurposes;
  if (trip_category == "CSV") return kServicePurposes;
  if (trip_category == "OUT") return kOutdoorPurposes;
  if (trip_category == "CBI") return kCommunityPurposes;
  return kAcademicPurposes;
}

}  // namespace data::demo
