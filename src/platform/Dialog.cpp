#include "platform/Dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "framework/Desktop.h"
#include "platform/ChartView.h"
#include "platform/WeekView.h"

namespace platform {
namespace {

QString Text(const std::string& text) {
    return QString::fromUtf8(text.c_str());
}

// One group box (or the page body): rows of labelled edits, radios and check boxes, or a grid
// where controls name their cells, and a row of push buttons at the bottom.
struct Section {
    QWidget* frame = nullptr;
    QGridLayout* grid = nullptr;
    QHBoxLayout* buttons = nullptr;
    int nextRow = 0;
    std::vector<std::pair<QWidget*, int>> charts;  // laid out across the grid: widget, row
};

// Gives the window's free height to its shown charts (the sections holding them), or, while
// none is shown, to the space below the last section, so that a chart grows with the window.
class ChartGrowth : public QObject {
public:
    ChartGrowth(QVBoxLayout* outer, std::vector<std::pair<QWidget*, QWidget*>> charts)
        : QObject(outer), outer_(outer), charts_(std::move(charts)) {
        for (const auto& [chart, frame] : charts_) {
            chart->installEventFilter(this);
        }
        Update();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) {
            Update();
        }
        return false;
    }

private:
    void Update() {
        bool shown = false;
        for (const auto& [chart, frame] : charts_) {
            const bool growing = !chart->isHidden();
            outer_->setStretchFactor(frame, growing ? 1 : 0);
            shown = shown || growing;
        }
        outer_->setStretch(outer_->count() - 1, shown ? 0 : 1);
    }

    QVBoxLayout* outer_;
    std::vector<std::pair<QWidget*, QWidget*>> charts_;  // chart, its section
};

// An edit that shows a long path by its both ends (the folder's start and the file's name) and
// all of it in its tooltip; focused, it edits the path as any edit does.
class PathEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void paintEvent(QPaintEvent* event) override {
        QStyleOptionFrame panel;
        initStyleOption(&panel);
        const QRect area = style()
                               ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
                               .adjusted(2, 0, -2, 0);
        if (hasFocus() || fontMetrics().horizontalAdvance(text()) <= area.width()) {
            QLineEdit::paintEvent(event);
            return;
        }
        QPainter painter(this);
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(area, Qt::AlignVCenter | Qt::AlignLeft,
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
    }
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ToolTip) {
            const QString marks = toolTip();
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                               marks.isEmpty() ? text() : text() + QLatin1Char('\n') + marks, this);
            return true;
        }
        return QLineEdit::event(event);
    }
};

// The grey nearest the background whose contrast on it still reaches 4.5:1.
QColor ReadableGrey(const QColor& text, const QColor& background) {
    for (int share = 40; share < 100; share += 5) {
        const auto mix = [share](int t, int b) { return (t * share + b * (100 - share)) / 100; };
        const QColor grey(mix(text.red(), background.red()), mix(text.green(), background.green()),
                          mix(text.blue(), background.blue()));
        if (ContrastRatio(grey, background) >= 4.6) {
            return grey;
        }
    }
    return text;
}

QWidget* MakeWidget(const ControlTemplate& c, QWidget* parent) {
    if (c.path) {
        auto* edit = new PathEdit(parent);
        edit->setMinimumWidth(420);
        return edit;
    }
    switch (c.kind) {
        case ControlKind::Edit:
        case ControlKind::ReadOnlyEdit:
        case ControlKind::PasswordEdit: {
            auto* edit = new QLineEdit(parent);
            // A disabled edit still shows a value: greyed, yet readable on its background.
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Disabled, QPalette::Text,
                             ReadableGrey(palette.color(QPalette::Active, QPalette::Text),
                                          palette.color(QPalette::Disabled, QPalette::Base)));
            edit->setPalette(palette);
            if (c.kind == ControlKind::PasswordEdit) {
                edit->setEchoMode(QLineEdit::Password);
            }
            edit->setMinimumWidth(90);
            return edit;
        }
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton: {
            auto* button = new QPushButton(Text(c.text), parent);
            button->setAutoDefault(false);
            button->setDefault(c.kind == ControlKind::DefaultPushButton);
            return button;
        }
        case ControlKind::Radio: {
            auto* radio = new QRadioButton(Text(c.text), parent);
            // Each radio button starts its own group: the page keeps its groups exclusive.
            radio->setAutoExclusive(false);
            return radio;
        }
        case ControlKind::CheckBox:
            return new QCheckBox(Text(c.text), parent);
        case ControlKind::Static: {
            auto* label = new QLabel(Text(c.text), parent);
            label->setWordWrap(true);
            return label;
        }
        case ControlKind::Icon: {
            auto* label = new QLabel(parent);
            if (c.bitmap != 0) {
                label->setPixmap(QPixmap::fromImage(LoadBitmapResource(c.bitmap)));
            } else {
                const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
                label->setPixmap(icon.pixmap(32, 32));
            }
            return label;
        }
        case ControlKind::Table: {
            auto* table = new QTableWidget(parent);
            table->setEditTriggers(QAbstractItemView::NoEditTriggers);
            table->setSelectionBehavior(QAbstractItemView::SelectRows);
            table->verticalHeader()->hide();
            table->horizontalHeader()->setStretchLastSection(true);
            // Long cells (raw bytes) are cut with an ellipsis, their whole text in the tip.
            table->horizontalHeader()->setMaximumSectionSize(280);
            table->setTextElideMode(Qt::ElideRight);
            table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
            table->setMinimumSize(860, 420);
            return table;
        }
        case ControlKind::Chart:
            return MakeChartView(parent);
        case ControlKind::WeekPicture:
            return MakeWeekView(parent);
    }
    return new QWidget(parent);
}

bool IsEdit(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::ReadOnlyEdit ||
           kind == ControlKind::PasswordEdit;
}

bool IsPushButton(ControlKind kind) {
    return kind == ControlKind::PushButton || kind == ControlKind::DefaultPushButton;
}

}  // namespace

CDialog::CDialog(int templateId) : templateId_(templateId) {}

CDialog::~CDialog() {
    DestroyWindow();
}

void CDialog::CreateInto(QWidget* parent, QWidget* buttonBar) {
    if (window_ != nullptr) {
        return;
    }
    window_ = parent;
    buttonBar_ = buttonBar;
    auto* barRow = buttonBar != nullptr ? qobject_cast<QBoxLayout*>(buttonBar->layout()) : nullptr;
    const std::vector<int> barIds = barRow != nullptr ? BarButtonIds() : std::vector<int>();
    const DialogTemplate& tmpl = FindDialogTemplate(templateId_);
    auto* outer = new QVBoxLayout(parent);
    std::map<std::string, Section> sections;
    std::vector<std::string> order;

    auto section = [&](const std::string& group) -> Section& {
        auto it = sections.find(group);
        if (it != sections.end()) {
            return it->second;
        }
        Section s;
        if (group.empty()) {
            s.frame = new QWidget(parent);
        } else {
            s.frame = new QGroupBox(Text(group), parent);
        }
        auto* box = new QVBoxLayout(s.frame);
        if (group.empty()) {
            box->setContentsMargins(0, 0, 0, 0);
        }
        s.grid = new QGridLayout();
        s.buttons = new QHBoxLayout();
        box->addLayout(s.grid);
        box->addLayout(s.buttons);
        order.push_back(group);
        return sections.emplace(group, s).first->second;
    };

    std::vector<ControlTemplate> controls = tmpl.controls;
    for (ControlTemplate& c : AddedControls()) {
        controls.push_back(std::move(c));
    }
    for (const ControlTemplate& c : controls) {
        if (IsPushButton(c.kind) && std::find(barIds.begin(), barIds.end(), c.id) != barIds.end()) {
            QWidget* button = MakeWidget(c, buttonBar);
            button->setEnabled(!c.disabled);
            // Before the row's closing stretch.
            barRow->insertWidget(barRow->count() - 1, button);
            if (buttonBar->isVisible()) {
                button->show();
            }
            AddControl(c.id, c.kind, button, c.nodeValue);
            continue;
        }
        Section& s = section(c.group);
        QWidget* widget = MakeWidget(c, s.frame);
        widget->setEnabled(!c.disabled);
        // The unit beside an edit: the template's (its own, or a text in the grid cell after
        // it), else the one of the node field it shows.
        const auto after = std::find_if(controls.begin(), controls.end(), [&c](const auto& o) {
            return c.column >= 0 && o.kind == ControlKind::Static && !o.text.empty() &&
                   o.group == c.group && o.row == c.row && o.column == c.column + 1;
        });
        const bool templateUnit = !c.unit.empty() || (IsEdit(c.kind) && after != controls.end());
        const std::string unit = !IsEdit(c.kind) || c.id == 0 ? c.unit
                                 : !c.unit.empty()            ? c.unit
                                 : templateUnit               ? after->text
                                                              : UnitOf(c.id);
        if (!unit.empty() && c.id != 0) {
            NoteUnit(c.id, unit);
        }
        if (c.row >= 0 && c.column >= 0 && !unit.empty() && !templateUnit) {
            // A grid cell holds the edit and its unit together.
            auto* cell = new QWidget(s.frame);
            auto* row = new QHBoxLayout(cell);
            row->setContentsMargins(0, 0, 0, 0);
            row->addWidget(widget);
            row->addWidget(new QLabel(Text(unit), cell));
            s.grid->addWidget(cell, c.row, c.column, c.rowSpan, 1);
            s.nextRow = std::max(s.nextRow, c.row + c.rowSpan);
        } else if (c.row >= 0 && c.column >= 0) {
            s.grid->addWidget(widget, c.row, c.column, c.rowSpan, 1);
            s.nextRow = std::max(s.nextRow, c.row + c.rowSpan);
        } else if (IsEdit(c.kind)) {
            const int row = s.nextRow++;
            if (!c.text.empty()) {
                s.grid->addWidget(new QLabel(Text(c.text), s.frame), row, 0);
            }
            // A path takes the row's free space too, so that the edits above keep their width.
            s.grid->addWidget(widget, row, 1, 1, c.path ? 3 : 1);
            if (!unit.empty()) {
                s.grid->addWidget(new QLabel(Text(unit), s.frame), row, 2);
            }
        } else if (IsPushButton(c.kind)) {
            s.buttons->addWidget(widget);
        } else if (c.kind == ControlKind::Chart) {
            s.charts.emplace_back(widget, s.nextRow++);
        } else {
            s.grid->addWidget(widget, s.nextRow++, 0, 1, 3);
        }
        if (c.id != 0) {
            AddControl(c.id, c.kind, widget, c.nodeValue);
            if (c.kind == ControlKind::ReadOnlyEdit ||
                (c.kind == ControlKind::Edit && ShowsValueOnly(c.id))) {
                ShowReadOnly(c.id);
            }
        }
    }
    std::vector<std::pair<QWidget*, QWidget*>> charts;
    for (const std::string& group : order) {
        Section& s = sections.at(group);
        s.buttons->addStretch(1);
        // The free space goes to an empty column after the last one in use, so that no
        // control of a wide grid is stretched; a chart spans it and grows.
        const int free = std::max(3, s.grid->columnCount());
        s.grid->setColumnStretch(free, 1);
        for (const auto& [chart, row] : s.charts) {
            s.grid->addWidget(chart, row, 0, 1, free + 1);
            s.grid->setRowStretch(row, 1);
            charts.emplace_back(chart, s.frame);
        }
        outer->addWidget(s.frame);
    }
    outer->addStretch(1);
    if (!charts.empty()) {
        new ChartGrowth(outer, std::move(charts));
    }
    // Controls added to a window already shown would appear only at the next pass of the event
    // loop; a handler run as the window is first shown (the page's Read) paints its "Wait" on
    // them before it talks to the node, so they are shown and laid out at once.
    if (parent->isVisible()) {
        for (const std::string& group : order) {
            sections.at(group).frame->show();
        }
        outer->activate();
    }
}

void CDialog::DestroyWindow() {
    if (window_ == nullptr) {
        return;
    }
    OnDestroy();
    ClearControls();
    // The window belongs to its frame (a tab of the sheet or a modal dialog); only its
    // children and layout go with the page's window.
    QWidget* window = window_;
    window_ = nullptr;
    for (QWidget* holder : {window, buttonBar_}) {
        if (holder == nullptr) {
            continue;
        }
        const QObjectList children = holder->children();  // a copy: deleting changes the list
        for (QObject* child : children) {
            if (child->isWidgetType()) {
                delete child;
            }
        }
    }
    buttonBar_ = nullptr;
    delete window->layout();
}

int CDialog::DoModal() {
    auto* dialog = new QDialog(QApplication::activeWindow());
    dialog->setWindowTitle(Text(FindDialogTemplate(templateId_).caption));
    modal_ = dialog;
    result_ = IDCANCEL;
    CreateInto(dialog);
    OnClicked(IDOK, [this] { EndDialog(IDOK); });
    OnInitDialog();
    Desktop::Current().RunModal(*this);
    DestroyWindow();
    modal_ = nullptr;
    delete dialog;
    return result_;
}

void CDialog::EndDialog(int result) {
    result_ = result;
    if (modal_ != nullptr && modal_->isVisible()) {
        modal_->done(result);
    }
}

int CDialog::ExecModal() {
    if (modal_ == nullptr) {
        return result_;
    }
    const int code = modal_->exec();
    if (code == QDialog::Rejected && result_ != IDOK) {
        result_ = IDCANCEL;
    }
    return result_;
}

}  // namespace platform
