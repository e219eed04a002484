#include "pages/ExercisePage.h"

#include "node/NodeFields.h"
#include "res/ExerciseDialogs.h"

namespace vireo {

namespace {

namespace fields = node::fields;
using namespace res::exercise;

// Reads of the parts and of the calibration variable ask for 32 bytes, on Read and on Write.
constexpr ReadLengths kLengths{.read = nv::kBufferSize, .modify = nv::kBufferSize};

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
    const node::Field& time = fields::kCalibrationTime[twin_.circuit];
    NvBuffer bytes{};
    if (ReadNv(time.place.nv, bytes, kLengths.read)) {
        SetDlgItemText(kCalibrationTime, node::Text(time, bytes.data()));
    }
}

void ExercisePage::WriteConfig() {
    CNodePage::WriteConfig();
    const node::Field& time = fields::kCalibrationTime[twin_.circuit];
    const int index = time.place.nv;
    NvBuffer bytes{};
    if (!ReadNv(index, bytes, kLengths.modify)) {
        return;
    }
    // A text equal to what the page shows keeps the bytes: a minute stored below 0 shows as
    // "0-5", which would otherwise be written back as minute 0.
    node::StoreText(time, GetDlgItemText(kCalibrationTime), bytes.data());
    WriteNv(index, bytes, nv::Find(index)->size);  // bytes 2 and 3 go back as read
}

}  // namespace vireo
