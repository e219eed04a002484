#include "platform/WeekView.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <QWidget>
#include <algorithm>

#include "platform/ControlHost.h"

namespace platform {

namespace {

// A colour per lane, dark enough for white hour lines to show through; invalid bars in red.
const QColor kLaneColours[] = {QColor(0x1f, 0x5f, 0xa8), QColor(0x2e, 0x8b, 0x3e),
                               QColor(0xb0, 0x6a, 0x00)};
const QColor kInvalid(0xc0, 0x00, 0x00);

class WeekView : public QWidget {
public:
    explicit WeekView(QWidget* parent) : QWidget(parent) {
        setMinimumSize(440, 200);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    void Set(std::vector<std::string> rows, std::vector<std::string> lanes,
             std::vector<WeekBar> bars) {
        rows_ = std::move(rows);
        lanes_ = std::move(lanes);
        bars_ = std::move(bars);
        setMinimumHeight(RowTop(static_cast<int>(rows_.size())) + Legend());
        update();
    }
    const std::vector<WeekBar>& Bars() const { return bars_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Base));
        const QColor text = palette().color(QPalette::Text);
        const int right = width() - kRight;
        // Hour lines and their labels every 2 hours.
        for (int hour = 0; hour <= 24; ++hour) {
            const int x = X(hour);
            p.setPen(hour % 6 == 0 ? text : palette().color(QPalette::Mid));
            p.drawLine(x, kTop, x, RowTop(static_cast<int>(rows_.size())));
            if (hour % 2 == 0) {
                p.setPen(text);
                p.drawText(QRect(x - 15, 0, 30, kTop), Qt::AlignCenter, QString::number(hour));
            }
        }
        for (std::size_t row = 0; row < rows_.size(); ++row) {
            const int top = RowTop(static_cast<int>(row));
            p.setPen(text);
            p.drawText(QRect(4, top, kLeft - 8, kRow), Qt::AlignVCenter | Qt::AlignLeft,
                       QString::fromStdString(rows_[row]));
            p.setPen(palette().color(QPalette::Mid));
            p.drawLine(kLeft, top + kRow, right, top + kRow);
        }
        for (const WeekBar& bar : bars_) {
            p.fillRect(BarRect(bar), bar.invalid ? kInvalid : Colour(bar.lane));
        }
        // The legend under the rows: a swatch and the name of each lane.
        int x = kLeft;
        const int y = RowTop(static_cast<int>(rows_.size())) + 6;
        for (std::size_t lane = 0; lane <= lanes_.size(); ++lane) {
            const bool invalid = lane == lanes_.size();
            const QString name =
                invalid ? QStringLiteral("not valid") : QString::fromStdString(lanes_[lane]);
            p.fillRect(QRect(x, y + 3, 14, 10), invalid ? kInvalid : Colour(lane));
            p.setPen(text);
            p.drawText(QPoint(x + 18, y + 12), name);
            x += 30 + fontMetrics().horizontalAdvance(name);
        }
    }

    bool event(QEvent* event) override {
        if (event->type() == QEvent::ToolTip) {
            const QPoint at = static_cast<QHelpEvent*>(event)->pos();
            for (const WeekBar& bar : bars_) {
                if (!bar.tip.empty() && BarRect(bar).adjusted(0, -2, 0, 2).contains(at)) {
                    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                                       QString::fromStdString(bar.tip), this);
                    return true;
                }
            }
            QToolTip::hideText();
            return true;
        }
        return QWidget::event(event);
    }

private:
    static constexpr int kLeft = 76;
    static constexpr int kTop = 18;
    static constexpr int kRight = 16;
    static constexpr int kRow = 26;

    static QColor Colour(std::size_t lane) { return kLaneColours[lane % std::size(kLaneColours)]; }
    int Legend() const { return fontMetrics().height() + 14; }
    int RowTop(int row) const { return kTop + row * kRow; }
    int X(double hour) const {
        return kLeft + static_cast<int>(hour / 24.0 * (width() - kRight - kLeft));
    }
    QRect BarRect(const WeekBar& bar) const {
        const int bands = std::max(1, bar.bands);
        const int band = (kRow - 4) / bands;
        const int top = RowTop(bar.row) + 3 + band * std::clamp(bar.band, 0, bands - 1);
        const double from = std::clamp(bar.from, 0.0, 24.0);
        const double to = std::clamp(bar.to, 0.0, 24.0);
        return QRect(QPoint(X(from), top), QPoint(std::max(X(to), X(from) + 3), top + band - 3));
    }

    std::vector<std::string> rows_;
    std::vector<std::string> lanes_;
    std::vector<WeekBar> bars_;
};

}  // namespace

QWidget* MakeWeekView(QWidget* parent) {
    return new WeekView(parent);
}

void SetWeekView(QWidget* view, const std::vector<std::string>& rows,
                 const std::vector<std::string>& lanes, const std::vector<WeekBar>& bars) {
    static_cast<WeekView*>(view)->Set(rows, lanes, bars);
}

std::vector<WeekBar> WeekViewBars(const QWidget* view) {
    return static_cast<const WeekView*>(view)->Bars();
}

}  // namespace platform
