#pragma once
// The module's resources: dialog templates, the string table and the bitmaps, offered to the
// dialog layer as one table that the module installs in its framework state.

#include <QImage>
#include <string>

#include "platform/DialogTemplate.h"
#include "platform/Resources.h"

namespace res {

// The template of a dialog resource, or null for an id the module has none for.
const platform::DialogTemplate* FindDialog(int id);
// The text of a string resource: user type name (1), property page name (2), the tab captions
// (200 to 270); empty for an id the table does not hold.
std::string StringResource(int id);
// The image of a bitmap resource (1 the control's face, 201 the heating curve); null otherwise.
QImage BitmapResource(int id);

// All three, as the table the module's state points at.
const platform::ResourceTable& ModuleResources();

}  // namespace res
