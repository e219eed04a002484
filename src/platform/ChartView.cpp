#include "platform/ChartView.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <charconv>
#include <functional>
#include <limits>

#include "framework/Desktop.h"
#include "framework/SafeFile.h"

namespace platform {

namespace {

// The range, before its nice limits, an axis was last fitted to.
constexpr char kFittedTo[] = "vireoFittedTo";
// An axis whose range the page set: it is never fitted.
constexpr char kPinned[] = "vireoPinned";
// A series that is part of another's drawing: not in the legend or the CSV.
constexpr char kHelper[] = "vireoHelper";

Qt::Alignment Side(ChartAxis axis) {
    switch (axis) {
        case ChartAxis::X:
            return Qt::AlignBottom;
        case ChartAxis::Right:
            return Qt::AlignRight;
        case ChartAxis::Left:
            break;
    }
    return Qt::AlignLeft;
}

// The chart's axis on a side; the right one is made when first asked for and make is true.
QValueAxis* Axis(QChart& chart, ChartAxis axis, bool make = false) {
    for (QAbstractAxis* a : chart.axes()) {
        if (a->alignment() == Side(axis)) {
            return static_cast<QValueAxis*>(a);
        }
    }
    if (!make) {
        return nullptr;
    }
    auto* created = new QValueAxis(&chart);
    created->setLabelFormat("%g");
    chart.addAxis(created, Side(axis));
    return created;
}

// The series drawn for a name: one per run of points between gaps, the first one first.
std::vector<QXYSeries*> Runs(const QChart& chart, const std::string& name) {
    const QString wanted = QString::fromStdString(name);
    std::vector<QXYSeries*> runs;
    for (QAbstractSeries* series : chart.series()) {
        if (series->objectName() == wanted) {
            runs.push_back(static_cast<QXYSeries*>(series));
        }
    }
    return runs;
}

// The limits of every point on the series attached to an axis.
bool Extent(const QChart& chart, const QAbstractAxis* axis, double& low, double& high) {
    low = std::numeric_limits<double>::max();
    high = std::numeric_limits<double>::lowest();
    const bool horizontal = axis->orientation() == Qt::Horizontal;
    for (QAbstractSeries* series : chart.series()) {
        if (!series->attachedAxes().contains(axis)) {
            continue;
        }
        for (const QPointF& p : static_cast<QXYSeries*>(series)->points()) {
            low = std::min(low, horizontal ? p.x() : p.y());
            high = std::max(high, horizontal ? p.x() : p.y());
        }
    }
    return low <= high;
}

// Lays each axis whose range is not set around every point of its series, with a margin and
// round limits, so that a point on the edge of the range stays visible.
void FitAxes(QChart& chart) {
    for (QAbstractAxis* a : chart.axes()) {
        auto* axis = static_cast<QValueAxis*>(a);
        // A value axis that no series uses (the left one of a chart of outputs) is not shown.
        if (axis->orientation() == Qt::Vertical) {
            const QList<QAbstractSeries*> all = chart.series();
            axis->setVisible(std::any_of(all.begin(), all.end(), [axis](QAbstractSeries* series) {
                return series->attachedAxes().contains(axis);
            }));
        }
        double low = 0;
        double high = 0;
        if (axis->property(kPinned).toBool() || !Extent(chart, axis, low, high)) {
            continue;
        }
        // A range the axis was already fitted to keeps its nice limits untouched: each change
        // of range lays out the axis and its labels again, which a live refresh would pay every
        // tick.
        const double margin = std::max(1.0, (high - low) * 0.1);
        const QPointF wanted(low - margin, high + margin);
        if (axis->property(kFittedTo).toPointF() == wanted) {
            continue;
        }
        axis->setProperty(kFittedTo, wanted);
        axis->setRange(wanted.x(), wanted.y());
        axis->applyNiceNumbers();
    }
}

Qt::PenStyle PenStyle(ChartLine line) {
    switch (line) {
        case ChartLine::Dashed:
            return Qt::DashLine;
        case ChartLine::Dotted:
            return Qt::DotLine;
        case ChartLine::Solid:
            break;
    }
    return Qt::SolidLine;
}

// Gives the runs of a name the style; every run takes the first one's colour.
void StyleRuns(QChart& chart, const std::vector<QXYSeries*>& runs, const std::string& name,
               const ChartStyle& style) {
    QColor colour =
        style.colour >= 0 ? QColor(static_cast<QRgb>(style.colour)) : runs.front()->color();
    QValueAxis* vertical = Axis(chart, style.axis, true);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        QXYSeries* run = runs[i];
        run->setName(QString::fromStdString(style.label.empty() ? name : style.label));
        run->setProperty(kHelper, !style.legend);
        QPen pen(colour);
        pen.setWidthF(2);
        pen.setStyle(PenStyle(style.line));
        run->setPen(pen);
        for (QAbstractAxis* attached : run->attachedAxes()) {
            if (attached->orientation() == Qt::Vertical && attached != vertical) {
                run->detachAxis(attached);
            }
        }
        if (!run->attachedAxes().contains(vertical)) {
            run->attachAxis(vertical);
        }
        for (QLegendMarker* marker : chart.legend()->markers(run)) {
            marker->setVisible(i == 0 && style.legend);
        }
    }
}

template <typename Series>
Series* AddRun(QChart& chart, const std::string& name) {
    auto* series = new Series();
    series->setObjectName(QString::fromStdString(name));
    series->setName(QString::fromStdString(name));
    chart.addSeries(series);
    series->attachAxis(Axis(chart, ChartAxis::X));
    series->attachAxis(Axis(chart, ChartAxis::Left));
    return series;
}

std::string Number(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
    return std::string(text, end.ptr);
}

// A CSV field, quoted when it holds a separator, a quote or a line break.
std::string CsvField(const QString& text) {
    std::string field = text.toStdString();
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (char c : field) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + '"';
}

void SaveFile(const std::string& path, std::string_view content) {
    if (const std::string error = ReplaceFile(path, content); !error.empty()) {
        Desktop::Current().MessageBox("Cannot save " + path + ": " + error, "", MessageButtons::Ok,
                                      MessageIcon::Exclamation);
    }
}

}  // namespace

QWidget* MakeChartView(QWidget* parent) {
    auto* chart = new QChart();
    for (ChartAxis axis : {ChartAxis::X, ChartAxis::Left}) {
        Axis(*chart, axis, true);
    }
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(2, 2, 2, 2));
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(320, 280);
    view->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(view, &QWidget::customContextMenuRequested, view, [view](const QPoint& at) {
        QMenu menu(view);
        QAction* csv = menu.addAction("Save as CSV...");
        menu.addAction("Save as PNG...");
        const QAction* chosen = menu.exec(view->mapToGlobal(at));
        if (chosen != nullptr) {
            SaveChart(*view, chosen == csv ? ChartFile::Csv : ChartFile::Png);
        }
    });
    return view;
}

std::string ChartCsv(const QChartView& view) {
    QChart& chart = *view.chart();
    const QValueAxis* x = Axis(chart, ChartAxis::X);
    std::string csv = "series," + CsvField(x->titleText()) + ",y,y axis\n";
    // Each name's runs together, in the order the names were first drawn.
    std::vector<QString> names;
    for (const QAbstractSeries* series : chart.series()) {
        if (!series->property(kHelper).toBool() &&
            std::find(names.begin(), names.end(), series->objectName()) == names.end()) {
            names.push_back(series->objectName());
        }
    }
    for (const QString& name : names) {
        for (QXYSeries* run : Runs(chart, name.toStdString())) {
            QString axisTitle;
            for (const QAbstractAxis* axis : run->attachedAxes()) {
                if (axis->orientation() == Qt::Vertical) {
                    axisTitle = axis->titleText();
                }
            }
            for (const QPointF& p : run->points()) {
                csv += CsvField(run->name()) + ',' + Number(p.x()) + ',' + Number(p.y()) + ',' +
                       CsvField(axisTitle) + '\n';
            }
        }
    }
    return csv;
}

void SaveChart(QChartView& view, ChartFile kind) {
    const bool csv = kind == ChartFile::Csv;
    const std::optional<std::string> path = Desktop::Current().SaveFileDialog(
        csv ? FileDialogRequest{"chart.csv", "CSV (*.csv)|*.csv|All files (*.*)|*.*|", "*.csv"}
            : FileDialogRequest{"chart.png", "PNG (*.png)|*.png|All files (*.*)|*.*|", "*.png"});
    if (!path) {
        return;
    }
    if (csv) {
        SaveFile(*path, ChartCsv(view));
        return;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    view.grab().toImage().save(&buffer, "PNG");
    SaveFile(*path, std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
}

QChartView* ControlHost::Chart(int id) const {
    const auto it = controls_.find(id);
    if (it == controls_.end() || it->second.kind != ControlKind::Chart) {
        return nullptr;
    }
    return static_cast<QChartView*>(it->second.widget);
}

void ControlHost::SetChartSeries(int id, const std::string& name,
                                 const std::vector<ChartPoint>& points, const ChartStyle& style) {
    QChartView* view = Chart(id);
    if (view == nullptr) {
        return;
    }
    QChart& chart = *view->chart();
    std::vector<QList<QPointF>> lines(1);
    for (const ChartPoint& p : points) {
        if (!p.IsGap()) {
            lines.back().push_back(QPointF(p.x, p.y));
        } else if (!lines.back().isEmpty()) {
            lines.emplace_back();
        }
    }
    if (lines.size() > 1 && lines.back().isEmpty()) {
        lines.pop_back();
    }
    std::vector<QXYSeries*> runs = Runs(chart, name);
    if (!runs.empty() && qobject_cast<QLineSeries*>(runs.front()) == nullptr) {
        return;
    }
    while (runs.size() > lines.size()) {
        chart.removeSeries(runs.back());
        delete runs.back();
        runs.pop_back();
    }
    while (runs.size() < lines.size()) {
        runs.push_back(AddRun<QLineSeries>(chart, name));
    }
    StyleRuns(chart, runs, name, style);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        runs[i]->replace(lines[i]);
        // A lone point has no line to show it.
        runs[i]->setPointsVisible(style.dots || lines[i].size() == 1);
    }
    FitAxes(chart);
}

void ControlHost::SetChartMarker(int id, const std::string& name, std::optional<ChartPoint> point,
                                 const std::string& label) {
    QChartView* view = Chart(id);
    if (view == nullptr) {
        return;
    }
    QChart& chart = *view->chart();
    const std::vector<QXYSeries*> runs = Runs(chart, name);
    auto* series = runs.empty() ? AddRun<QScatterSeries>(chart, name)
                                : qobject_cast<QScatterSeries*>(runs.front());
    if (series == nullptr) {
        return;
    }
    series->setMarkerSize(12);
    series->setName(QString::fromStdString(label.empty() ? name : label));
    series->setPointLabelsFormat(QString::fromStdString(label));
    series->setPointLabelsVisible(!label.empty());
    series->setPointLabelsClipping(false);
    series->clear();
    if (point) {
        series->append(point->x, point->y);
    }
    FitAxes(chart);
}

void ControlHost::SetChartAxisTitle(int id, ChartAxis axis, const std::string& title) {
    if (QChartView* view = Chart(id)) {
        Axis(*view->chart(), axis, true)->setTitleText(QString::fromStdString(title));
    }
}

void ControlHost::SetChartRange(int id, ChartAxis axis, double low, double high) {
    QChartView* view = Chart(id);
    if (view == nullptr || !(low < high)) {
        return;
    }
    QValueAxis* a = Axis(*view->chart(), axis, true);
    a->setProperty(kPinned, true);
    if (a->min() == low && a->max() == high) {
        return;
    }
    a->setRange(low, high);
    // A tick at every multiple of the smallest round step that leaves at most eight steps.
    for (double step : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0, 200.0, 500.0, 1000.0}) {
        if ((high - low) / step <= 8) {
            a->setTickType(QValueAxis::TicksDynamic);
            a->setTickAnchor(0);
            a->setTickInterval(step);
            break;
        }
    }
}

std::vector<ChartPoint> ControlHost::GetChartSeries(int id, const std::string& name) const {
    std::vector<ChartPoint> points;
    if (QChartView* view = Chart(id)) {
        for (const QXYSeries* run : Runs(*view->chart(), name)) {
            if (!points.empty()) {
                points.push_back(ChartPoint::Gap());
            }
            for (const QPointF& p : run->points()) {
                points.push_back({p.x(), p.y()});
            }
        }
    }
    return points;
}

std::string ControlHost::GetChartCsv(int id) const {
    const QChartView* view = Chart(id);
    return view != nullptr ? ChartCsv(*view) : std::string();
}

void ControlHost::SaveChart(int id, ChartFile kind) {
    if (QChartView* view = Chart(id)) {
        platform::SaveChart(*view, kind);
    }
}

}  // namespace platform
