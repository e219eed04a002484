#include "calendar/CalendarPage.h"

#include <cstdio>

#include "codecs/TimeOfDayCodec.h"

namespace vireo {

int UnorderedPairs(const NvBuffer& image, std::span<const TimeSlot> slots) {
    int errors = 0;
    for (const TimeSlot& slot : slots) {
        const int stop = slot.byte;
        if (stop % 2 == 1 && image[stop] != 0 && image[stop] < image[stop + 1]) {
            ++errors;
        }
    }
    return errors;
}

std::string CalendarErrorSummary(int errors, bool formatErrors) {
    char count[32];
    std::snprintf(count, sizeof count, "%.0f", static_cast<double>(errors));
    return std::string(count) +
           (formatErrors ? " errors occured, data not written to NV. (Correct time format is "
                           "'H:MM' or 'HH:MM')"
                         : " errors occured, data not written to NV");
}

CalendarPage::CalendarPage(int templateId, int captionId, PageBehaviour behaviour,
                           std::vector<TimeSlot> slots)
    : CNodePage(templateId, captionId, behaviour), slots_(std::move(slots)) {
    UseDefaultAndResetButtons();
}

void CalendarPage::ShowTimes(const NvBuffer& image) {
    const codecs::TimeOfDayCodec codec;
    for (const TimeSlot& slot : slots_) {
        SetDlgItemText(slot.editId, codec.FormatTime(image[slot.byte]));
    }
}

int CalendarPage::StoreTimes(NvBuffer& image) const {
    const codecs::TimeOfDayCodec codec;
    int formatErrors = 0;
    for (const TimeSlot& slot : slots_) {
        const std::string text = GetDlgItemText(slot.editId);
        if (codec.IsValidTime(text)) {
            image[slot.byte] = codec.ParseTime(text);
        } else {
            ++formatErrors;  // the byte keeps what the image holds
        }
    }
    return formatErrors;
}

bool CalendarPage::WriteCalendar(NvBuffer& image, std::span<const CalendarCheck> checks) {
    image[0] = 0;
    const int formatErrors = StoreTimes(image);
    int errors = formatErrors + UnorderedPairs(image, slots_);
    const auto setCount = [&image](const std::vector<int>& bytes) {
        int set = 0;
        for (int byte : bytes) {
            set += image[byte] != 0 ? 1 : 0;
        }
        return set;
    };
    for (const CalendarCheck& check : checks) {
        if (setCount(check.startBytes) != setCount(check.stopBytes)) {
            ShowMessage(check.message);
            ++errors;
        }
    }
    if (errors != 0) {
        ShowMessage(CalendarErrorSummary(errors, formatErrors != 0));
        return false;
    }
    WritePart(image);
    RunRead();
    return true;
}

CNodePage::EditTexts CalendarPage::ResetTexts() const {
    EditTexts texts;
    for (const TimeSlot& slot : slots_) {
        texts.emplace_back(slot.editId, "0:00");
    }
    return texts;
}

}  // namespace vireo
