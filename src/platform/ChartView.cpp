#include "platform/ChartView.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <functional>
#include <limits>

#include "platform/ControlHost.h"

namespace platform {

namespace {

// The range, before its nice limits, an axis was last fitted to.
constexpr char kFittedTo[] = "vireoFittedTo";

QValueAxis* Axis(const QChart& chart, Qt::Orientation orientation) {
    const QList<QAbstractAxis*> axes = chart.axes(orientation);
    return axes.isEmpty() ? nullptr : static_cast<QValueAxis*>(axes.front());
}

QXYSeries* FindSeries(const QChart& chart, const std::string& name) {
    const QString wanted = QString::fromStdString(name);
    for (QAbstractSeries* series : chart.series()) {
        if (series->name() == wanted) {
            return static_cast<QXYSeries*>(series);
        }
    }
    return nullptr;
}

// Lays the axes around every point the chart holds, with a margin and round limits, so that a
// point on the edge of the range stays visible.
void FitAxes(QChart& chart) {
    double minX = std::numeric_limits<double>::max();
    double maxX = std::numeric_limits<double>::lowest();
    double minY = minX;
    double maxY = maxX;
    for (QAbstractSeries* series : chart.series()) {
        for (const QPointF& p : static_cast<QXYSeries*>(series)->points()) {
            minX = std::min(minX, p.x());
            maxX = std::max(maxX, p.x());
            minY = std::min(minY, p.y());
            maxY = std::max(maxY, p.y());
        }
    }
    if (minX > maxX) {
        return;
    }
    // A range the axis was already fitted to keeps its nice limits untouched: each change of
    // range lays out the axis and its labels again, which a live refresh would pay every tick.
    const auto fit = [](QValueAxis* axis, double low, double high) {
        const double margin = std::max(1.0, (high - low) * 0.1);
        const QPointF wanted(low - margin, high + margin);
        if (axis->property(kFittedTo).toPointF() == wanted) {
            return;
        }
        axis->setProperty(kFittedTo, wanted);
        axis->setRange(wanted.x(), wanted.y());
        axis->applyNiceNumbers();
    };
    fit(Axis(chart, Qt::Horizontal), minX, maxX);
    fit(Axis(chart, Qt::Vertical), minY, maxY);
}

template <typename Series>
Series* SeriesNamed(QChart& chart, const std::string& name) {
    if (QXYSeries* found = FindSeries(chart, name)) {
        return qobject_cast<Series*>(found);
    }
    auto* series = new Series();
    series->setName(QString::fromStdString(name));
    chart.addSeries(series);
    series->attachAxis(Axis(chart, Qt::Horizontal));
    series->attachAxis(Axis(chart, Qt::Vertical));
    return series;
}

}  // namespace

QWidget* MakeChartView(QWidget* parent) {
    auto* chart = new QChart();
    chart->addAxis(new QValueAxis(chart), Qt::AlignBottom);
    chart->addAxis(new QValueAxis(chart), Qt::AlignLeft);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(2, 2, 2, 2));
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(320, 220);
    return view;
}

QChartView* ControlHost::Chart(int id) const {
    const auto it = controls_.find(id);
    if (it == controls_.end() || it->second.kind != ControlKind::Chart) {
        return nullptr;
    }
    return static_cast<QChartView*>(it->second.widget);
}

namespace {

// Changes the named series of a chart control, then fits the axes to every series.
template <typename Series>
void ChangeSeries(QChartView* view, const std::string& name,
                  const std::function<void(Series&)>& change) {
    if (view == nullptr) {
        return;
    }
    if (auto* series = SeriesNamed<Series>(*view->chart(), name); series != nullptr) {
        change(*series);
        FitAxes(*view->chart());
    }
}

}  // namespace

void ControlHost::SetChartSeries(int id, const std::string& name,
                                 const std::vector<ChartPoint>& points) {
    ChangeSeries<QLineSeries>(Chart(id), name, [&](QLineSeries& series) {
        series.setPointsVisible(true);
        QList<QPointF> list;
        for (const ChartPoint& p : points) {
            list.push_back(QPointF(p.x, p.y));
        }
        series.replace(list);
    });
}

void ControlHost::SetChartMarker(int id, const std::string& name, std::optional<ChartPoint> point) {
    ChangeSeries<QScatterSeries>(Chart(id), name, [&](QScatterSeries& series) {
        series.setMarkerSize(12);
        series.clear();
        if (point) {
            series.append(point->x, point->y);
        }
    });
}

void ControlHost::SetChartAxisTitles(int id, const std::string& x, const std::string& y) {
    if (QChartView* view = Chart(id)) {
        Axis(*view->chart(), Qt::Horizontal)->setTitleText(QString::fromStdString(x));
        Axis(*view->chart(), Qt::Vertical)->setTitleText(QString::fromStdString(y));
    }
}

std::vector<ChartPoint> ControlHost::GetChartSeries(int id, const std::string& name) const {
    std::vector<ChartPoint> points;
    if (QChartView* view = Chart(id)) {
        if (const QXYSeries* series = FindSeries(*view->chart(), name)) {
            for (const QPointF& p : series->points()) {
                points.push_back({p.x(), p.y()});
            }
        }
    }
    return points;
}

}  // namespace platform
