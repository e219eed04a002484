#pragma once
// Every declared node field in one list, for the code that names and decodes values it did not
// show itself (the write history): which fields live in a place, and what a technician calls
// each, with the circuit or curve point that tells twins apart. Plain C++, no Qt.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "node/NodeField.h"

namespace node {

struct CatalogueEntry {
    Field field;
    std::string_view qualifier;  // "circuit 2", "point 3"; empty when the name alone is clear
};

std::span<const CatalogueEntry> AllFields();
// The fields whose bytes live in place, in the order of their bytes.
std::vector<CatalogueEntry> FieldsAt(const Place& place);
// "forward sensor offset, circuit 2".
std::string Label(const CatalogueEntry& entry);

// A value as a technician reads it: the number with its unit ("21.5 °C"), a mode word's name
// ("Off", "Manual", "Automatic"; "Automatic (word 2)" for another word that works as
// Automatic), a flag's state ("on", "off").
std::string ValueText(const Field& field, const std::uint8_t* bytes);

}  // namespace node
