#include "calendar/Page5PropPage.h"

namespace vireo {

CPage5PropPage::CPage5PropPage() : WeekCalendarPage(204, 204, 9, nv::kCalendarState1) {}

}  // namespace vireo
