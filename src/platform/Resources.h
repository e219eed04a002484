#pragma once
// A module's resources as the dialog layer looks them up: dialog templates, strings and
// bitmaps by id. Each module offers one table through its framework state (ModuleState); the
// lookups below use the table of the module whose code runs now.

#include <string>

#include "platform/DialogTemplate.h"

class QImage;

namespace platform {

class ResourceTable {
public:
    virtual ~ResourceTable() = default;
    virtual const DialogTemplate* Dialog(int id) const = 0;
    virtual std::string String(int id) const = 0;
    virtual QImage Bitmap(int id) const = 0;
};

}  // namespace platform
