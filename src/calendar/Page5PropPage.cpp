#include "calendar/Page5PropPage.h"

namespace vireo {

CPage5PropPage::CPage5PropPage() : WeekCalendarPage(204, 204, 0) {}

}  // namespace vireo
