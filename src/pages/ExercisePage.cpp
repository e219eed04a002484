#include "pages/ExercisePage.h"

#include <string>
#include <string_view>

#include "codecs/HourMinuteText.h"
#include "node/NodeFields.h"
#include "res/ExerciseDialogs.h"

namespace vireo {

namespace {

namespace fields = node::fields;
using namespace res::exercise;

// Reads of the parts and of the calibration variable ask for 32 bytes, on Read and on Write.
constexpr ReadLengths kLengths{.read = nv::kBufferSize, .modify = nv::kBufferSize};

// The calibration time of the circuit: an hour byte and a minute byte, signed.
struct CalibrationFields {
    const node::Field& hour;
    const node::Field& minute;
};

CalibrationFields Calibration(int circuit) {
    return {fields::kCalibrationHour[circuit], fields::kCalibrationMinute[circuit]};
}

// The calibration text: "H:MM" of the hour and minute bytes ("6:05", "0:00").
std::string CalibrationText(const CalibrationFields& time, const NvBuffer& bytes) {
    return codecs::FormatHourMinute(static_cast<int>(node::Value(time.hour, bytes.data())),
                                    static_cast<int>(node::Value(time.minute, bytes.data())));
}

}  // namespace

ExercisePage::ExercisePage(const ExerciseTwin& twin)
    : CNodePage(twin.dialogId, twin.captionId, behaviour::ReadOnly()), twin_(twin) {
    const int c = twin.circuit;
    // Part 7 first (selected only when NV 44 does not hold it), then part 5.
    const Bound config[] = {
        Edit(fields::kPumpIdleTime[c], kPumpIdleTime),
        Edit(fields::kValveIdleTime[c], kValveIdleTime),
        Edit(fields::kValveRunningTime[c], kValveRunningTime),
        Edit(fields::kValvePause[c], kValvePause),
    };
    DeclareFields(config);
    SetReadLengths(kLengths);
}

void ExercisePage::ReadConfig() {
    CNodePage::ReadConfig();
    const CalibrationFields time = Calibration(twin_.circuit);
    NvBuffer bytes{};
    if (ReadNv(time.hour.place.nv, bytes, kLengths.read)) {
        SetDlgItemText(kCalibrationTime, CalibrationText(time, bytes));
    }
}

void ExercisePage::WriteConfig() {
    CNodePage::WriteConfig();
    const CalibrationFields time = Calibration(twin_.circuit);
    const int index = time.hour.place.nv;
    NvBuffer bytes{};
    if (!ReadNv(index, bytes, kLengths.modify)) {
        return;
    }
    // A text equal to what the page shows for these bytes keeps them: a minute stored below 0
    // shows as "0-5", which would otherwise be written back as minute 0.
    const std::string typed = GetDlgItemText(kCalibrationTime);
    if (typed != CalibrationText(time, bytes)) {
        const codecs::HourMinute typedTime = codecs::ParseHourMinute(typed);
        node::StoreNumber(time.hour, typedTime.hours, bytes.data());
        node::StoreNumber(time.minute, typedTime.minutes, bytes.data());
    }
    WriteNv(index, bytes, nv::Find(index)->size);  // bytes 2 and 3 go back as read
}

}  // namespace vireo
