#include "node/NodeVariableMap.h"

#include <algorithm>
#include <array>

namespace nv {
namespace {

constexpr std::array kVariables = {
    Variable{0, 7, "node clock, written only: year word, month, day, hour, minute, second", "",
             FileKind::None},
    Variable{3, 7, "node clock, read only, same layout", "", FileKind::None},
    Variable{4, 2, "calendar state word of circuit 1 (0 to 4)", "", FileKind::None},
    Variable{5, 2, "calendar state word of circuit 2 (0 to 4)", "", FileKind::None},
    Variable{6, 2, "room temperature, signed hundredths", "", FileKind::None},
    Variable{8, 1, "presence state of circuit 1 (0 occupied, 1 unoccupied)", "", FileKind::None},
    Variable{9, 1, "presence state of circuit 2 (0 occupied, 1 unoccupied)", "", FileKind::None},
    Variable{10, 2, "return temperature of circuit 1, signed hundredths", "", FileKind::None},
    Variable{11, 2, "forward temperature of circuit 1, signed hundredths", "", FileKind::None},
    Variable{12, 2, "outdoor sensor reading, signed hundredths; below -200.0 no sensor", "",
             FileKind::None},
    Variable{13, 2, "outdoor temperature in use, signed hundredths", "", FileKind::None},
    Variable{14, 2, "return temperature of circuit 2, signed hundredths", "", FileKind::None},
    Variable{15, 2, "forward temperature of circuit 2, signed hundredths", "", FileKind::None},
    Variable{16, 2, "rotary switch position of circuit 1", "", FileKind::None},
    Variable{17, 2, "rotary switch position of circuit 2", "", FileKind::None},
    Variable{20, 2, "calculated forward set point of circuit 1, signed hundredths", "",
             FileKind::None},
    Variable{22, 1, "unit operating mode of circuit 1 (0 to 14)", "", FileKind::None},
    Variable{23, 1, "unit operating mode of circuit 2 (0 to 14)", "", FileKind::None},
    Variable{24, 2, "pressure, unsigned word", "", FileKind::None},
    Variable{25, 31, "mode words of pumps, valves and hot-water outputs", "", FileKind::None},
    Variable{26, 31, "manual output values of the analog valves, 0.5 % steps", "", FileKind::None},
    Variable{27, 2, "output state of pump Mp1; byte 1 non-zero means running", "", FileKind::None},
    Variable{28, 2, "actual output of valve Mv1", "", FileKind::None},
    Variable{29, 2, "actual output of valve Mv3", "", FileKind::None},
    Variable{30, 1, "output of the heating element, 0.5 % steps", "", FileKind::None},
    Variable{31, 1, "output of the hot-water pump, 0.5 % steps", "", FileKind::None},
    Variable{32, 2, "output state of pump Mp2; byte 1 non-zero means running", "", FileKind::None},
    Variable{33, 2, "actual output of valve Mv2", "", FileKind::None},
    Variable{34, 2, "actual output of valve Mv4", "", FileKind::None},
    Variable{35, 2, "status and alarm flags", "", FileKind::None},
    Variable{36, 31, "extended-operation delays of boost, day and night", "", FileKind::None},
    Variable{37, 31, "temperature settings record of circuit 1", "nciTemp1PlugIn",
             FileKind::StrInt},
    Variable{38, 31, "temperature settings record of circuit 2", "nciTemp2PlugIn",
             FileKind::StrInt},
    Variable{39, 2, "override code of circuit 1", "nciSwitchExt1", FileKind::Count},
    Variable{40, 2, "override code of circuit 2", "nciSwitchExt2", FileKind::Count},
    Variable{41, 2, "hot-water pump running time, tenths of a second", "nciTimePump3",
             FileKind::TimeSec},
    Variable{42, 4, "valve calibration time of day of circuit 1", "nciCalcValve1",
             FileKind::TimePassed},
    Variable{43, 4, "valve calibration time of day of circuit 2", "nciCalcValve2",
             FileKind::TimePassed},
    Variable{44, 2, "part selector: number of the part shown in NV 45 (0 = none)", "",
             FileKind::None},
    Variable{45, 31, "nviPluginCnf: the selected configuration part", "nviPluginCnf",
             FileKind::StrInt},
};

}  // namespace

std::span<const Variable> Variables() {
    return kVariables;
}

const Variable* Find(int index) {
    const auto it = std::find_if(kVariables.begin(), kVariables.end(),
                                 [index](const Variable& v) { return v.index == index; });
    return it == kVariables.end() ? nullptr : &*it;
}

int SizeOf(int index) {
    if (index == kNodeName) {
        return kNodeNameSize;
    }
    const Variable* variable = Find(index);
    return variable != nullptr ? variable->size : 0;
}

std::span<const Variable> FileVariables() {
    const auto first = std::find_if(kVariables.begin(), kVariables.end(),
                                    [](const Variable& v) { return v.index == kTemp1PlugIn; });
    return {first, 7};
}

}  // namespace nv
