#include "settings/FactoryDefaults.h"

#include <algorithm>

#include "node/NodeFields.h"
#include "settings/SettingsFile.h"

namespace settings {
namespace {

// Stores the factory value of every field of the place over zero bytes.
void StoreFactory(const node::Place& place, std::uint8_t* bytes) {
    const auto store = [&](const node::Field& field) {
        if (field.place == place && !field.live) {
            node::StoreNumber(field, field.factory, bytes);
        }
    };
    for (const node::CatalogueEntry& entry : node::fields::kDeclared) {
        store(entry.field);
    }
    std::for_each(node::fields::kFactoryUnnamed.begin(), node::fields::kFactoryUnnamed.end(),
                  store);
}

}  // namespace

std::vector<std::uint8_t> FactoryVariableImage(int hostIndex) {
    const auto variables = nv::FileVariables();
    const auto it =
        std::find_if(variables.begin(), variables.end(),
                     [hostIndex](const nv::Variable& v) { return v.index == hostIndex; });
    if (it == variables.end()) {
        return {};
    }
    std::vector<std::uint8_t> image(static_cast<std::size_t>(ImageSize(it->fileKind)), 0);
    StoreFactory(node::Variable(hostIndex), image.data());
    return image;
}

std::array<std::uint8_t, nv::kPartSize> FactoryPartImage(int part) {
    std::array<std::uint8_t, nv::kPartSize> image{};
    if (part >= nv::kFirstPart && part <= nv::kPartCount) {
        StoreFactory(node::Part(part), image.data());
    }
    return image;
}

}  // namespace settings
