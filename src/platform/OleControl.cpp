#include "platform/OleControl.h"

namespace platform {

bool CPropExchange::ExchangeVersion(std::uint32_t& versionLoaded, std::uint32_t defaultVersion,
                                    bool convert) {
    if (loading_) {
        versionLoaded = stored_ == 0 ? defaultVersion : stored_;
    } else {
        stored_ = convert ? defaultVersion : versionLoaded;
    }
    return true;
}

}  // namespace platform
