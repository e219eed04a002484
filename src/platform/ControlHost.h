#pragma once
// Controls addressed by their dialog ids. Pages ask for and set a control's text, enabled
// state and check state by id; the Qt widgets behind the ids are built from the dialog
// template when the window is created and dropped when it is destroyed. Every call on a
// window that does not exist, or an id it does not hold, does nothing and reads as empty.

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DialogTemplate.h"

class QWidget;
class QAbstractButton;
class QTableWidget;
class QChartView;
class QColor;

namespace platform {

// How a control's text stands out: an alarm shows in red.
enum class TextColour { Normal, Alarm };

struct ControlState {
    int id;
    ControlKind kind;
    std::string text;
    bool enabled;
    bool visible;
    int checked;  // 1 marked, 0 not marked; 0 for controls without a check state
};

// One point of a chart series: x along the horizontal axis, y up. A gap (y not a number)
// breaks the series' line: the points before it are not joined to those after it.
struct ChartPoint {
    double x = 0;
    double y = 0;
    bool operator==(const ChartPoint&) const = default;
    static constexpr ChartPoint Gap() { return {0, std::numeric_limits<double>::quiet_NaN()}; }
    bool IsGap() const { return std::isnan(y); }
};

// A period of a week picture: in a row (a day), from and to in hours (0 to 24), in one
// lane (a calendar, its own colour), in band of bands across the row's height (two calendars
// of a day one above the other); an invalid one is drawn red, why in its tooltip.
struct WeekBar {
    int row = 0;
    double from = 0;
    double to = 0;
    int lane = 0;
    int band = 0;
    int bands = 1;
    bool invalid = false;
    std::string tip;
    bool operator==(const WeekBar&) const = default;
};

// The axes of a chart: the horizontal one and a value axis on each side.
enum class ChartAxis { X, Left, Right };
enum class ChartLine { Solid, Dashed, Dotted };

// How a chart draws a series.
struct ChartStyle {
    std::string label;   // the legend's name; empty: the series' name
    bool legend = true;  // false: a part of another series' drawing, not in the legend or CSV
    ChartLine line = ChartLine::Solid;
    bool dots = false;  // a dot on every point
    ChartAxis axis = ChartAxis::Left;
    int colour = -1;  // 0xRRGGBB; -1: the chart's own colour for the series
};

// What a chart is saved as.
enum class ChartFile { Csv, Png };

std::string_view KindName(ControlKind kind);

// The contrast ratio of two colours by their relative luminance: 1 (none) to 21 (black on
// white). Text that is read needs at least 4.5.
double ContrastRatio(const QColor& a, const QColor& b);

class ControlHost {
public:
    ControlHost() = default;
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;
    virtual ~ControlHost();

    bool HasDlgItem(int id) const;
    // The widget behind an id, for what only the widget can tell (its style); null when none.
    QWidget* GetDlgItem(int id) const;
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, std::string_view text);
    bool IsDlgItemEnabled(int id) const;
    void EnableDlgItem(int id, bool enable);
    // 1 when a radio button or check box is marked, else 0.
    int IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, int check);
    bool IsDlgItemVisible(int id) const;
    void ShowDlgItem(int id, bool show);

    // The colour of a static's or an edit's text.
    void SetDlgItemColour(int id, TextColour colour);
    TextColour GetDlgItemColour(int id) const;

    // A problem with what an edit holds ("22.00 is not a time: use H:MM"): shown in red, the
    // problem in its tooltip, until it is set again empty. Nothing else changes.
    void SetDlgItemProblem(int id, const std::string& problem);
    std::string GetDlgItemProblem(int id) const;

    // An edit that shows a value the technician cannot change: read-only, on the window's
    // colour, its text readable on it.
    void ShowReadOnly(int id);
    // The unit shown beside an edit ("°C"); empty when none is.
    std::string GetDlgItemUnit(int id) const;

    // Edited but not written: an editable edit whose text, or a radio or check box whose mark,
    // differs from the node's state last recorded for it is marked (its own background, the
    // node's state in its tooltip) as soon as it is typed or clicked, until a read or a write
    // records the node's state again. A control with no recorded state is never marked.
    void RecordNodeText(int id);
    // Records the current state of every editable edit, radio and check box that shows a node
    // value.
    void RecordNodeTexts();
    bool IsDlgItemModified(int id) const;
    // A control's state as one text: an edit's text, a radio's or check box's mark as "1" or
    // "0". Setting it puts back a state the user typed or clicked, as the typing or click did
    // (the click's handler runs where the button can be clicked): it counts as typed.
    std::string GetDlgItemState(int id) const;
    void SetDlgItemState(int id, const std::string& state);
    // Whether the user typed into the control or clicked it since its node state was last
    // recorded (a page's own rules set controls too; those are not typed).
    bool IsDlgItemTyped(int id) const;
    // The node's state last recorded for a control; nothing when none is recorded.
    std::optional<std::string> NodeText(int id) const;
    // Whether any control is edited but not written, or marked as not written.
    bool HasUnwrittenEdits() const;
    // Not written: a control whose value a write failed to store is marked as edited, the
    // failure in its tooltip, until its node state is recorded again.
    void MarkNotWritten(int id);
    bool IsDlgItemNotWritten(int id) const;
    // Not refreshed: a live value that could not be read again shows greyed in italics, the
    // time of its last refresh ("09:05:07") in its tooltip, until ClearStale.
    void MarkStale(int id, const std::string& since);
    void ClearStale(int id);
    bool IsDlgItemStale(int id) const;

    // Every setting of a control's text or mark, by the program or by the user's typing or
    // clicking, takes the next number of a count that runs for the host's whole life. The number
    // of a control's last setting; 0 when it has not been set since its window was created.
    unsigned long DlgItemSetNumber(int id) const;
    // The number the next setting will take.
    unsigned long NextSetNumber() const { return setCount_ + 1; }

    // A table's column headers and rows of texts; a table shows them read-only. Reading a
    // control that is not a table gives nothing.
    void SetTableHeaders(int id, const std::vector<std::string>& headers);
    void SetTableRows(int id, const std::vector<std::vector<std::string>>& rows);
    std::vector<std::string> GetTableHeaders(int id) const;
    std::vector<std::vector<std::string>> GetTableRows(int id) const;

    // A chart's named series of points, drawn as lines in their style, and named marked single
    // points (a series of one point drawn as a larger dot with its label beside it and in the
    // legend, or none).
    // An axis follows the series it holds unless its range is set. The right axis appears with
    // the first series on it. Reading a control that is not a chart, or a name it does not hold,
    // gives nothing; the points read back hold the gaps they were given.
    void SetChartSeries(int id, const std::string& name, const std::vector<ChartPoint>& points,
                        const ChartStyle& style = {});
    void SetChartMarker(int id, const std::string& name, std::optional<ChartPoint> point,
                        const std::string& label = "");
    void SetChartAxisTitle(int id, ChartAxis axis, const std::string& title);
    void SetChartRange(int id, ChartAxis axis, double low, double high);
    std::vector<ChartPoint> GetChartSeries(int id, const std::string& name) const;
    // The chart's legend series as CSV: "series,<x axis title>,y,y axis", one row per point.
    std::string GetChartCsv(int id) const;
    // What the chart's menu does: asks the desktop for a file and saves the chart into it; a
    // failure is shown in one line.
    void SaveChart(int id, ChartFile kind);

    // A week picture's rows, lanes and periods; reading a control that is not one gives
    // nothing.
    void SetWeekPicture(int id, const std::vector<std::string>& rows,
                        const std::vector<std::string>& lanes, const std::vector<WeekBar>& bars);
    std::vector<WeekBar> GetWeekBars(int id) const;

    // Every addressed control in template order.
    std::vector<ControlState> Controls() const;

    // Clicks a push button, radio button or check box as the user would (a check box toggles,
    // a radio button becomes marked) and runs its handler. False when the control does not
    // exist, is not a button, or is disabled.
    bool ClickDlgItem(int id);

    // Message map: the handler of a button's click notification.
    void OnClicked(int id, std::function<void()> handler);
    // The handler of an edit's change notification: runs whenever the edit's text changes,
    // typed or set.
    void OnEditChanged(int id, std::function<void()> handler);

    // Whether a handler (click, show, hide, timer) is running.
    bool IsBusy() const { return busy_; }

protected:
    // Registers a widget under an id (templates and the sheet's own buttons). A control that
    // shows no node value (nodeValue false: the trend's check box) is never marked as edited.
    void AddControl(int id, ControlKind kind, QWidget* widget, bool nodeValue = true);
    void ClearControls();
    // Notes the unit shown beside an edit.
    void NoteUnit(int id, const std::string& unit) { units_[id] = unit; }
    // Marks the window busy while a handler runs (timer ticks are dropped meanwhile) and puts
    // back the previous state when the handler ends, so a handler run from inside another
    // leaves the outer one busy.
    class HandlerScope {
    public:
        // The outermost handler shows the busy cursor while it talks to the node.
        explicit HandlerScope(ControlHost& host);
        ~HandlerScope();
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;

    private:
        ControlHost& host_;
        bool was_;
    };
    void Dispatch(int id);
    // Runs a button's click handler; a window that does something around every click (the
    // node pages open an operation of the write history) overrides it.
    virtual void RunClickHandler(const std::function<void()>& handler) { handler(); }
    // Runs a handler; an exception it throws is shown in a message box.
    void RunGuarded(const std::function<void()>& handler);
    // Called whenever a control's edited or not-written mark may have changed.
    virtual void OnEditMarksChanged() {}

private:
    QTableWidget* Table(int id) const;
    // Puts the control's colour and its edited, not written and not refreshed marks on its
    // widget.
    void ApplyStyle(int id);
    QChartView* Chart(int id) const;
    void NoteSet(int id);

    struct Entry {
        ControlKind kind;
        QWidget* widget;
        bool nodeValue = true;
    };
    std::map<int, Entry> controls_;
    std::vector<int> order_;
    std::map<int, std::function<void()>> handlers_;
    std::map<int, std::function<void()>> changeHandlers_;
    std::map<int, std::string> nodeTexts_;  // control id -> the node's state last recorded
    std::map<int, TextColour> colours_;
    std::map<int, unsigned long> setNumbers_;
    unsigned long setCount_ = 0;
    std::set<int> notWritten_;
    std::set<int> typed_;
    std::map<int, std::string> staleSince_;
    std::map<int, std::string> problems_;
    std::map<int, std::string> units_;
    bool busy_ = false;
};

}  // namespace platform
