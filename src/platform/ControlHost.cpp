#include "platform/ControlHost.h"

#include "framework/Desktop.h"
#include "platform/WeekView.h"

#include <algorithm>
#include <cmath>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QWidget>

namespace platform {

std::string_view KindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Edit:
            return "edit";
        case ControlKind::ReadOnlyEdit:
            return "readonly";
        case ControlKind::PasswordEdit:
            return "password";
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
            return "button";
        case ControlKind::Radio:
            return "radio";
        case ControlKind::CheckBox:
            return "check";
        case ControlKind::Static:
            return "static";
        case ControlKind::Icon:
            return "icon";
        case ControlKind::Table:
            return "table";
        case ControlKind::Chart:
            return "chart";
        case ControlKind::WeekPicture:
            return "week";
    }
    return "control";
}

namespace {

double Luminance(const QColor& colour) {
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

bool IsButton(ControlKind kind) {
    return kind == ControlKind::PushButton || kind == ControlKind::DefaultPushButton ||
           kind == ControlKind::Radio || kind == ControlKind::CheckBox;
}

bool IsCheckable(ControlKind kind) {
    return kind == ControlKind::Radio || kind == ControlKind::CheckBox;
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

ControlHost::~ControlHost() = default;

ControlHost::HandlerScope::HandlerScope(ControlHost& host) : host_(host), was_(host.busy_) {
    host_.busy_ = true;
    if (!was_ && qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

ControlHost::HandlerScope::~HandlerScope() {
    host_.busy_ = was_;
    if (!was_ && qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        QApplication::restoreOverrideCursor();
    }
}

void ControlHost::AddControl(int id, ControlKind kind, QWidget* widget, bool nodeValue) {
    if (controls_.find(id) == controls_.end()) {
        order_.push_back(id);
    }
    controls_[id] = Entry{kind, widget, nodeValue};
    if (IsButton(kind)) {
        auto* button = static_cast<QAbstractButton*>(widget);
        QObject::connect(button, &QAbstractButton::clicked, button, [this, id, kind, button] {
            // An auto radio button marks itself on a click and never clears itself; the page
            // clears the others of its group.
            if (kind == ControlKind::Radio) {
                button->setChecked(true);
            }
            if (IsCheckable(kind)) {
                NoteSet(id);
                typed_.insert(id);
            }
            Dispatch(id);
        });
        if (IsCheckable(kind)) {
            // A mark changed by a click or by the page shows at once whether it is the node's.
            QObject::connect(button, &QAbstractButton::toggled, button,
                             [this, id] { ApplyStyle(id); });
        }
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        QObject::connect(edit, &QLineEdit::textEdited, edit, [this, id] {
            NoteSet(id);
            typed_.insert(id);
        });
        QObject::connect(edit, &QLineEdit::textChanged, edit, [this, id] {
            ApplyStyle(id);
            const auto it = changeHandlers_.find(id);
            if (it != changeHandlers_.end()) {
                it->second();
            }
        });
    }
}

void ControlHost::ClearControls() {
    controls_.clear();
    order_.clear();
    nodeTexts_.clear();
    typed_.clear();
    colours_.clear();
    setNumbers_.clear();
    notWritten_.clear();
    staleSince_.clear();
    problems_.clear();
    units_.clear();
}

void ControlHost::SetDlgItemProblem(int id, const std::string& problem) {
    if (!HasDlgItem(id) || GetDlgItemProblem(id) == problem) {
        return;
    }
    if (problem.empty()) {
        problems_.erase(id);
    } else {
        problems_[id] = problem;
    }
    ApplyStyle(id);
}

std::string ControlHost::GetDlgItemProblem(int id) const {
    const auto it = problems_.find(id);
    return it == problems_.end() ? std::string() : it->second;
}

void ControlHost::ShowReadOnly(int id) {
    const auto it = controls_.find(id);
    if (it == controls_.end()) {
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(it->second.widget)) {
        edit->setReadOnly(true);
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        palette.setColor(QPalette::Text, palette.color(QPalette::WindowText));
        edit->setPalette(palette);
    }
}

std::string ControlHost::GetDlgItemUnit(int id) const {
    const auto it = units_.find(id);
    return it == units_.end() ? std::string() : it->second;
}

void ControlHost::SetWeekPicture(int id, const std::vector<std::string>& rows,
                                 const std::vector<std::string>& lanes,
                                 const std::vector<WeekBar>& bars) {
    const auto it = controls_.find(id);
    if (it != controls_.end() && it->second.kind == ControlKind::WeekPicture) {
        SetWeekView(it->second.widget, rows, lanes, bars);
    }
}

std::vector<WeekBar> ControlHost::GetWeekBars(int id) const {
    const auto it = controls_.find(id);
    if (it == controls_.end() || it->second.kind != ControlKind::WeekPicture) {
        return {};
    }
    return WeekViewBars(it->second.widget);
}

void ControlHost::NoteSet(int id) {
    setNumbers_[id] = ++setCount_;
}

unsigned long ControlHost::DlgItemSetNumber(int id) const {
    const auto it = setNumbers_.find(id);
    return it == setNumbers_.end() ? 0 : it->second;
}

void ControlHost::SetDlgItemColour(int id, TextColour colour) {
    if (HasDlgItem(id)) {
        colours_[id] = colour;
        ApplyStyle(id);
    }
}

TextColour ControlHost::GetDlgItemColour(int id) const {
    const auto it = colours_.find(id);
    return it == colours_.end() ? TextColour::Normal : it->second;
}

std::string ControlHost::GetDlgItemState(int id) const {
    const auto it = controls_.find(id);
    if (it != controls_.end() && IsCheckable(it->second.kind)) {
        return IsDlgButtonChecked(id) == 1 ? "1" : "0";
    }
    return GetDlgItemText(id);
}

void ControlHost::SetDlgItemState(int id, const std::string& state) {
    const auto it = controls_.find(id);
    if (it == controls_.end()) {
        return;
    }
    const int mark = state == "1" ? 1 : 0;
    if (!IsCheckable(it->second.kind)) {
        SetDlgItemText(id, state);
    } else if (IsDlgButtonChecked(id) != mark) {
        // Clicked again where it can be, so that the page's rules for the click run again (the
        // edits a ticked box enables); a radio is cleared by the click on its group's other.
        const bool clicks = mark == 1 || it->second.kind == ControlKind::CheckBox;
        if (!clicks || !ClickDlgItem(id)) {
            CheckDlgButton(id, mark);
        }
    }
    typed_.insert(id);
}

bool ControlHost::IsDlgItemTyped(int id) const {
    return typed_.count(id) != 0;
}

void ControlHost::RecordNodeText(int id) {
    const auto it = controls_.find(id);
    if (it == controls_.end() || !it->second.nodeValue) {
        return;
    }
    if (it->second.kind == ControlKind::Edit || IsCheckable(it->second.kind)) {
        nodeTexts_[id] = GetDlgItemState(id);
        notWritten_.erase(id);
        typed_.erase(id);
        ApplyStyle(id);
    }
}

void ControlHost::RecordNodeTexts() {
    for (int id : order_) {
        RecordNodeText(id);
    }
}

bool ControlHost::IsDlgItemModified(int id) const {
    const auto it = nodeTexts_.find(id);
    return it != nodeTexts_.end() && GetDlgItemState(id) != it->second;
}

std::optional<std::string> ControlHost::NodeText(int id) const {
    const auto it = nodeTexts_.find(id);
    return it != nodeTexts_.end() ? std::optional<std::string>(it->second) : std::nullopt;
}

bool ControlHost::HasUnwrittenEdits() const {
    return !notWritten_.empty() ||
           std::any_of(nodeTexts_.begin(), nodeTexts_.end(),
                       [this](const auto& entry) { return IsDlgItemModified(entry.first); });
}

void ControlHost::MarkNotWritten(int id) {
    const auto it = controls_.find(id);
    if (it != controls_.end() && it->second.nodeValue &&
        (it->second.kind == ControlKind::Edit || IsCheckable(it->second.kind))) {
        notWritten_.insert(id);
        ApplyStyle(id);
    }
}

bool ControlHost::IsDlgItemNotWritten(int id) const {
    return notWritten_.count(id) != 0;
}

void ControlHost::MarkStale(int id, const std::string& since) {
    if (HasDlgItem(id)) {
        staleSince_[id] = since;
        ApplyStyle(id);
    }
}

void ControlHost::ClearStale(int id) {
    if (staleSince_.erase(id) != 0) {
        ApplyStyle(id);
    }
}

bool ControlHost::IsDlgItemStale(int id) const {
    return staleSince_.count(id) != 0;
}

void ControlHost::ApplyStyle(int id) {
    const auto it = controls_.find(id);
    if (it == controls_.end()) {
        return;
    }
    QWidget* w = it->second.widget;
    QString style;
    QStringList tips;
    const auto stale = staleSince_.find(id);
    if (stale != staleSince_.end()) {
        // Grey, yet dark enough to read on the window's colour (a contrast above 4.5:1).
        style += QStringLiteral("color: #595959; font-style: italic;");
        tips << QStringLiteral("Not refreshed since ") + QString::fromStdString(stale->second);
    } else if (GetDlgItemColour(id) == TextColour::Alarm) {
        style += QStringLiteral("color: #c00000; font-weight: bold;");
    }
    const std::string problem = GetDlgItemProblem(id);
    if (!problem.empty()) {
        // Dark red on a pale red: the problem shows before Write finds it.
        style += QStringLiteral(
            "color: #a00000; background-color: #ffd8d8; border: 1px solid "
            "#c00000;");
        tips << QString::fromStdString(problem);
    }
    const bool notWritten = IsDlgItemNotWritten(id);
    if (notWritten) {
        tips << QStringLiteral("Not written: the node did not take this value");
    }
    if (notWritten || IsDlgItemModified(id)) {
        if (problem.empty()) {
            style += QStringLiteral("background-color: #fff4b8;");
        }
        const auto node = nodeTexts_.find(id);
        if (node != nodeTexts_.end()) {
            const bool checkable = IsCheckable(it->second.kind);
            tips << QStringLiteral("Node: ") + (!checkable ? QString::fromStdString(node->second)
                                                : node->second == "1"
                                                    ? QStringLiteral("marked")
                                                    : QStringLiteral("not marked"));
        }
    }
    // Each live refresh comes here: a style sheet set again costs a new polish of the widget.
    if (w->styleSheet() != style) {
        w->setStyleSheet(style);
    }
    if (it->second.kind == ControlKind::Edit || it->second.kind == ControlKind::ReadOnlyEdit ||
        IsCheckable(it->second.kind)) {
        w->setToolTip(tips.join(QLatin1Char('\n')));
    }
    OnEditMarksChanged();
}

void ControlHost::Dispatch(int id) {
    const auto it = handlers_.find(id);
    if (it == handlers_.end()) {
        return;
    }
    const HandlerScope scope(*this);
    RunGuarded([&] { RunClickHandler(it->second); });
}

// An error no handler expected ends the handler with a message, never the program: the Qt
// event loop cannot carry an exception through.
void ControlHost::RunGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        Desktop::Current().MessageBox(
            std::string("The action stopped on an unexpected error: ") + e.what(), "Vireo",
            MessageButtons::Ok, MessageIcon::Exclamation);
    }
}

void ControlHost::OnClicked(int id, std::function<void()> handler) {
    handlers_[id] = std::move(handler);
}

void ControlHost::OnEditChanged(int id, std::function<void()> handler) {
    changeHandlers_[id] = std::move(handler);
}

bool ControlHost::HasDlgItem(int id) const {
    return controls_.find(id) != controls_.end();
}

QWidget* ControlHost::GetDlgItem(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second.widget;
}

std::string ControlHost::GetDlgItemText(int id) const {
    const auto it = controls_.find(id);
    if (it == controls_.end()) {
        return {};
    }
    QWidget* w = it->second.widget;
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        return edit->text().toStdString();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        return button->text().toStdString();
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        return label->text().toStdString();
    }
    if (auto* box = qobject_cast<QGroupBox*>(w)) {
        return box->title().toStdString();
    }
    return {};
}

void ControlHost::SetDlgItemText(int id, std::string_view text) {
    const auto it = controls_.find(id);
    if (it == controls_.end()) {
        return;
    }
    QWidget* w = it->second.widget;
    NoteSet(id);
    const QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(value);
        edit->setCursorPosition(0);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(value);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(value);
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
        box->setTitle(value);
    }
    // A handler sets "Wait" before it blocks: paint it now, not when the work is done.
    if (w->isVisible()) {
        w->repaint();
    }
}

bool ControlHost::IsDlgItemEnabled(int id) const {
    const auto it = controls_.find(id);
    return it != controls_.end() && it->second.widget->isEnabledTo(nullptr) &&
           it->second.widget->isEnabled();
}

void ControlHost::EnableDlgItem(int id, bool enable) {
    const auto it = controls_.find(id);
    if (it != controls_.end()) {
        it->second.widget->setEnabled(enable);
    }
}

int ControlHost::IsDlgButtonChecked(int id) const {
    const auto it = controls_.find(id);
    if (it == controls_.end() || !IsCheckable(it->second.kind)) {
        return 0;
    }
    return static_cast<QAbstractButton*>(it->second.widget)->isChecked() ? 1 : 0;
}

void ControlHost::CheckDlgButton(int id, int check) {
    const auto it = controls_.find(id);
    if (it != controls_.end() && IsCheckable(it->second.kind)) {
        NoteSet(id);
        static_cast<QAbstractButton*>(it->second.widget)->setChecked(check == 1);
    }
}

bool ControlHost::IsDlgItemVisible(int id) const {
    const auto it = controls_.find(id);
    return it != controls_.end() && !it->second.widget->isHidden();
}

void ControlHost::ShowDlgItem(int id, bool show) {
    const auto it = controls_.find(id);
    if (it != controls_.end()) {
        it->second.widget->setHidden(!show);
    }
}

QTableWidget* ControlHost::Table(int id) const {
    const auto it = controls_.find(id);
    if (it == controls_.end() || it->second.kind != ControlKind::Table) {
        return nullptr;
    }
    return static_cast<QTableWidget*>(it->second.widget);
}

void ControlHost::SetTableHeaders(int id, const std::vector<std::string>& headers) {
    QTableWidget* table = Table(id);
    if (table == nullptr) {
        return;
    }
    QStringList labels;
    for (const std::string& header : headers) {
        labels.push_back(QString::fromStdString(header));
    }
    table->setColumnCount(static_cast<int>(labels.size()));
    table->setHorizontalHeaderLabels(labels);
}

void ControlHost::SetTableRows(int id, const std::vector<std::vector<std::string>>& rows) {
    QTableWidget* table = Table(id);
    if (table == nullptr) {
        return;
    }
    table->clearContents();
    table->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < table->rowCount(); ++r) {
        const auto& cells = rows[static_cast<std::size_t>(r)];
        const int columns = std::min(table->columnCount(), static_cast<int>(cells.size()));
        // A row whose first cell holds a mark stands out in bold.
        const bool marked = !cells.empty() && !cells[0].empty();
        for (int c = 0; c < columns; ++c) {
            auto* item =
                new QTableWidgetItem(QString::fromStdString(cells[static_cast<std::size_t>(c)]));
            item->setToolTip(item->text());
            if (marked) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
}

std::vector<std::string> ControlHost::GetTableHeaders(int id) const {
    std::vector<std::string> headers;
    if (const QTableWidget* table = Table(id)) {
        for (int c = 0; c < table->columnCount(); ++c) {
            const QTableWidgetItem* item = table->horizontalHeaderItem(c);
            headers.push_back(item != nullptr ? item->text().toStdString() : std::string());
        }
    }
    return headers;
}

std::vector<std::vector<std::string>> ControlHost::GetTableRows(int id) const {
    std::vector<std::vector<std::string>> rows;
    if (const QTableWidget* table = Table(id)) {
        for (int r = 0; r < table->rowCount(); ++r) {
            std::vector<std::string>& cells = rows.emplace_back();
            for (int c = 0; c < table->columnCount(); ++c) {
                const QTableWidgetItem* item = table->item(r, c);
                cells.push_back(item != nullptr ? item->text().toStdString() : std::string());
            }
        }
    }
    return rows;
}

std::vector<ControlState> ControlHost::Controls() const {
    std::vector<ControlState> states;
    for (int id : order_) {
        const Entry& e = controls_.at(id);
        states.push_back(ControlState{id, e.kind, GetDlgItemText(id), IsDlgItemEnabled(id),
                                      IsDlgItemVisible(id), IsDlgButtonChecked(id)});
    }
    return states;
}

bool ControlHost::ClickDlgItem(int id) {
    const auto it = controls_.find(id);
    if (it == controls_.end() || !IsButton(it->second.kind) || !IsDlgItemEnabled(id) ||
        !IsDlgItemVisible(id)) {
        return false;
    }
    static_cast<QAbstractButton*>(it->second.widget)->click();
    return true;
}

}  // namespace platform
