#include "calendar/Page6PropPage.h"

namespace vireo {

CPage6PropPage::CPage6PropPage() : WeekCalendarPage(205, 205, 1) {}

}  // namespace vireo
