#include "res/Resources.h"

namespace res {
namespace {

class ModuleResourceTable final : public platform::ResourceTable {
public:
    const platform::DialogTemplate* Dialog(int id) const override { return FindDialog(id); }
    std::string String(int id) const override { return StringResource(id); }
    QImage Bitmap(int id) const override { return BitmapResource(id); }
};

}  // namespace

const platform::ResourceTable& ModuleResources() {
    static const ModuleResourceTable table;
    return table;
}

}  // namespace res
