#include "calendar/Page6PropPage.h"

namespace vireo {

CPage6PropPage::CPage6PropPage() : WeekCalendarPage(205, 205, 11, nv::kCalendarState2) {}

}  // namespace vireo
