#include <map>

#include "res/Dialogs.h"
#include "res/Resources.h"

namespace res {

const platform::DialogTemplate* FindDialog(int id) {
    using platform::DialogTemplate;
    using Maker = DialogTemplate (*)();
    static const std::map<int, Maker> kMakers = {
        {1, &res::Dialog1},     {200, &res::Dialog200}, {201, &res::Dialog201},
        {202, &res::Dialog202}, {203, &res::Dialog203}, {204, &res::Dialog204},
        {205, &res::Dialog205}, {206, &res::Dialog206}, {207, &res::Dialog207},
        {208, &res::Dialog208}, {209, &res::Dialog209}, {210, &res::Dialog210},
        {211, &res::Dialog211}, {212, &res::Dialog212}, {213, &res::Dialog213},
        {214, &res::Dialog214}, {215, &res::Dialog215}, {216, &res::Dialog216},
        {217, &res::Dialog217}, {218, &res::Dialog218}, {219, &res::Dialog219},
        {220, &res::Dialog220}, {221, &res::Dialog221}, {222, &res::Dialog222},
        {223, &res::Dialog223}, {224, &res::Dialog224}, {225, &res::Dialog225},
        {226, &res::Dialog226}, {227, &res::Dialog227}, {228, &res::Dialog228},
        {229, &res::Dialog229}, {230, &res::Dialog230}, {231, &res::Dialog231},
        {232, &res::Dialog232}, {233, &res::Dialog233}, {234, &res::Dialog234},
        {235, &res::Dialog235}, {236, &res::Dialog236},
    };
    const auto maker = kMakers.find(id);
    if (maker == kMakers.end()) {
        return nullptr;
    }
    // Built once, on first use, and kept for the module's lifetime.
    static std::map<int, DialogTemplate> built;
    auto it = built.find(id);
    if (it == built.end()) {
        DialogTemplate tmpl = maker->second();
        tmpl.id = id;
        it = built.emplace(id, std::move(tmpl)).first;
    }
    return &it->second;
}

}  // namespace res
