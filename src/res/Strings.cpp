#include <map>

#include "res/Resources.h"

namespace res {

std::string StringResource(int id) {
    static const std::map<int, std::string> kStrings = {
        {1, "Vireo Control"},
        {2, "Vireo Property Page"},
        {200, "Node Information"},
        {201, "Import / Export"},
        {202, "Import / Export"},
        {203, "Set Time"},
        {204, "Calender Start / Stop"},
        {205, "Calender Start / Stop"},
        {206, "Calender Pir"},
        {207, "Calender Pir"},
        {208, "Status Switch"},
        {209, "Status Switch"},
        {210, "Analog Valve"},
        {211, "Analog Valve"},
        {212, "Pump"},
        {213, "Pump"},
        {214, "Extended operation"},
        {215, "Extended operation"},
        {251, "Antifrost"},
        {252, "Antifrost"},
        {253, "Temperatures"},
        {254, "Temperatures"},
        {255, "Settings Temperatures"},
        {256, "Settings Temperatures"},
        {257, "Night lowering / Summer stop"},
        {258, "Night lowering / Summer stop"},
        {259, "Exercise / Digital Valve"},
        {260, "Exercise / Digital Valve"},
        {261, "PID"},
        {262, "PID"},
        {263, "Outdoor Temperatures"},
        {264, "Pressure"},
        {265, "Page31"},
        {266, "Calender hot-water tank"},
        {267, "Hot-water tank"},
        {268, "Page34"},
        {269, "Page34"},
        {270, "Page36"},
    };
    const auto it = kStrings.find(id);
    return it == kStrings.end() ? std::string() : it->second;
}

}  // namespace res
