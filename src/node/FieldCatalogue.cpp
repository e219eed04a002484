#include "node/FieldCatalogue.h"

#include <algorithm>

#include "node/NodeFields.h"

namespace node {

std::span<const CatalogueEntry> AllFields() {
    return fields::kDeclared;
}

std::vector<CatalogueEntry> FieldsAt(const Place& place) {
    std::vector<CatalogueEntry> found;
    for (const CatalogueEntry& entry : AllFields()) {
        if (entry.field.place == place) {
            found.push_back(entry);
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.field.offset < b.field.offset; });
    return found;
}

std::string Label(const CatalogueEntry& entry) {
    std::string label(entry.field.name);
    if (!entry.qualifier.empty()) {
        label += ", ";
        label += entry.qualifier;
    }
    return label;
}

std::string ValueText(const Field& field, const std::uint8_t* bytes) {
    if (field.codec == Codec::Flag) {
        return FlagSet(field, bytes) ? "on" : "off";
    }
    if (field.codec == Codec::Mode) {
        // Every word but 0 and 1 works as Automatic; an odd one is named with its number.
        const int word = static_cast<int>(Value(field, bytes));
        return word == nv::kModeOff         ? "Off"
               : word == nv::kModeManual    ? "Manual"
               : word == nv::kModeAutomatic ? "Automatic"
                                            : "Automatic (word " + std::to_string(word) + ")";
    }
    if (field.choices != nullptr) {
        const int value = static_cast<int>(Value(field, bytes));
        if (ChoiceIndex(field, value) >= 0) {
            return Text(field, bytes);
        }
        // A value without a text of its own: its number, with the text of what it works as.
        const std::string number = std::to_string(value);
        return field.choices->other.empty()
                   ? number
                   : std::string(field.choices->other) + " (" + number + ")";
    }
    std::string text = Text(field, bytes);
    if (!field.unit.empty()) {
        text += ' ';
        text += field.unit;
    }
    return text;
}

}  // namespace node
