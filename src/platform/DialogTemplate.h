#pragma once
// Declarative dialog templates: the controls of one dialog with id, kind, label, group and
// initial state. The platform builds real widgets from them when a window is first created and
// lays them out with group boxes holding labelled rows, or grids where a control names its cell.

#include <string>
#include <vector>

class QImage;

namespace platform {

enum class ControlKind {
    Edit,
    ReadOnlyEdit,
    PasswordEdit,
    PushButton,
    DefaultPushButton,
    Radio,
    CheckBox,
    Static,
    // A picture: the bitmap resource its template names, or the system's computer icon when
    // it names none.
    Icon,
    // A read-only table of texts with column headers, filled through the control host.
    Table,
    // A chart of named series of points with titled axes, filled through the control host.
    Chart,
    // A week of periods: days as rows, the hours 0 to 24 across, filled through the control
    // host.
    WeekPicture,
};

struct ControlTemplate {
    int id = 0;  // 0 for controls the code never addresses (labels, notes)
    ControlKind kind = ControlKind::Static;
    std::string text;   // button, radio, check box and static text; an edit's label
    std::string group;  // caption of the group box holding it; empty for the page body
    bool disabled = false;
    std::string unit;  // text after an edit ("°C", "sec", "%")
    int row = -1;      // grid cell within the group, for calendar-like layouts
    int column = -1;
    int rowSpan = 1;  // grid rows the control covers from its cell
    int bitmap = 0;   // the bitmap resource a picture shows
    // False for a control of the window's own that shows no node value (the trend's check
    // box): it is never marked as edited but not written.
    bool nodeValue = true;
    // An edit holding a file's path: wide, a long path elided in its middle while the edit
    // has no focus, the whole path in its tooltip.
    bool path = false;
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    std::vector<ControlTemplate> controls;
};

// The template of a dialog resource id in the resources of the module whose code runs now;
// an empty template for an id without controls.
const DialogTemplate& FindDialogTemplate(int id);

// The image of a bitmap resource id; a null image for an id without one.
QImage LoadBitmapResource(int id);

}  // namespace platform
