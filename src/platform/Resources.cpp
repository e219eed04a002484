#include "platform/Resources.h"

#include <QImage>
#include <map>

#include "framework/ModuleState.h"
#include "platform/Strings.h"

namespace platform {
namespace {

const ResourceTable* CurrentTable() {
    return ModuleState::Current().resources;
}

}  // namespace

const DialogTemplate& FindDialogTemplate(int id) {
    if (const ResourceTable* table = CurrentTable(); table != nullptr) {
        if (const DialogTemplate* found = table->Dialog(id); found != nullptr) {
            return *found;
        }
    }
    // A dialog without a template has no controls; one empty template per id, kept so that
    // the reference stays valid.
    static std::map<int, DialogTemplate> empty;
    return empty.try_emplace(id, DialogTemplate{id, "", {}}).first->second;
}

std::string LoadString(int id) {
    const ResourceTable* table = CurrentTable();
    return table == nullptr ? std::string() : table->String(id);
}

QImage LoadBitmapResource(int id) {
    const ResourceTable* table = CurrentTable();
    return table == nullptr ? QImage() : table->Bitmap(id);
}

}  // namespace platform
