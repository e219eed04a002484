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

FactoryDefaultsResult FactoryDefaultsOperation::Run(const std::string& password) {
    const node::RecordedOperation operation("Factory defaults");
    FactoryDefaultsResult result;
    auto show = [this, &result](std::string_view text) {
        result.message = text;
        desktop_.MessageBox(result.message, "", platform::MessageButtons::Ok,
                            platform::MessageIcon::None);
    };

    if (!IsServicePassword(password)) {
        show(kDefaultsWrongPassword);
        return result;
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
        if (!link_.Write(variable.index, buffer.data(), static_cast<int>(image.size()))) {
            ++result.writeErrors;
        }
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
        if (!selected || !link_.Write(nv::kPluginCnf, buffer.data(), nv::kPartSize)) {
            ++result.writeErrors;
        }
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

    if (result.writeErrors == 0) {
        result.completed = true;
        show(kRestartPlugin);
    } else {
        show(std::string(kDefaultsWriteErrors) + FormatCount(result.writeErrors) +
             std::string(kWriteErrorsSuffix));
    }
    return result;
}

}  // namespace settings
