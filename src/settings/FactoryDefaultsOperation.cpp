#include "settings/FactoryDefaultsOperation.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "framework/Desktop.h"
#include "node/NodeVariableMap.h"
#include "node/WriteRecorder.h"
#include "settings/FactoryDefaults.h"
#include "settings/SettingsSupport.h"
#include "settings/SettingsTexts.h"

namespace settings {

OperationReport FactoryDefaultsOperation::Run(const std::string& password) {
    const node::RecordedOperation operation("Factory defaults");
    OperationReport result(Operation::FactoryDefaults);
    auto end = [this, &result](Outcome outcome) {
        result.outcome = outcome;
        ShowClosingMessage(desktop_, result);
        return result;
    };

    if (!IsServicePassword(password)) {
        return end(Outcome::WrongPassword);
    }
    result.passwordAccepted = true;

    const node::RecordedRun run("Factory defaults", "");
    const OperationHold hold(link_);
    const auto variables = nv::FileVariables();
    const int total = static_cast<int>(variables.size()) + nv::kPartCount;
    int done = 0;

    for (const nv::Variable& variable : variables) {
        const std::vector<std::uint8_t> image = FactoryVariableImage(variable.index);
        std::array<std::uint8_t, nv::kBufferSize> buffer{};
        std::copy(image.begin(), image.end(), buffer.begin());
        result.CountWrite(
            variable.fileName, 0,
            link_.Write(variable.index, buffer.data(), static_cast<int>(image.size())));
        desktop_.Sleep(kPartPauseMs);
        desktop_.Progress(std::string(variable.fileName), ++done, total);
    }

    const PartWindow window(link_, desktop_, kPartPauseMs);
    for (int part = nv::kFirstPart; part <= nv::kPartCount; ++part) {
        bool selected = true;
        if (window.GetSelectedPart() != part) {
            desktop_.Sleep(kDefaultsPartWaitMs);
            selected = SelectPartChecked(link_, desktop_, part);
            desktop_.Sleep(kPartPauseMs);
        }
        const std::array<std::uint8_t, nv::kPartSize> image = FactoryPartImage(part);
        std::array<std::uint8_t, nv::kBufferSize> buffer{};
        std::copy(image.begin(), image.end(), buffer.begin());
        // Without the selection NV 45 may show another part: nothing is written to it.
        result.CountWrite(nv::Find(nv::kPluginCnf)->fileName, part,
                          selected && link_.Write(nv::kPluginCnf, buffer.data(), nv::kPartSize));
        // The last step is reported after the part window is back at 0.
        if (part < nv::kPartCount) {
            desktop_.Progress(PartProgressText(part), ++done, total);
        }
    }
    if (!SelectPartChecked(link_, desktop_, 0)) {
        ++result.writeErrors;
    }
    desktop_.Progress(PartProgressText(nv::kPartCount), total, total);
    if (beforeClosingMessage) {
        beforeClosingMessage();
    }

    return end(result.writeErrors == 0 ? Outcome::Completed : Outcome::Partial);
}

}  // namespace settings
