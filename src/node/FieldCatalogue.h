#pragma once
// Every declared node field in one list, for the code that names and decodes values it did not
// show itself (the write history, the settings-file viewer): which fields live in a place, and
// what a technician calls each, with the circuit, curve point or day that tells twins apart.
// The list is node/NodeFields.h's table of declarations itself. Plain C++, no Qt.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "node/NodeField.h"

namespace node {

std::span<const CatalogueEntry> AllFields();
// The fields whose bytes live in place, in the order of their bytes.
std::vector<CatalogueEntry> FieldsAt(const Place& place);
// "forward sensor offset, circuit 2".
std::string Label(const CatalogueEntry& entry);

// A value as a technician reads it: the number with its unit ("21.5 °C"), a mode word's name
// ("Off", "Manual", "Automatic"; "Automatic (word 2)" for another word that works as
// Automatic), a flag's state ("on", "off"), a time ("8:15"), an enumerated value's text ("Day";
// "Use manual rotary switch (0)" for a value that only works as one).
std::string ValueText(const Field& field, const std::uint8_t* bytes);

}  // namespace node
