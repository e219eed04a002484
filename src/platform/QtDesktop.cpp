#include "platform/QtDesktop.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <QThread>
#include <QTimer>
#include <algorithm>

#include "platform/Dialog.h"
#include "platform/PropertySheet.h"

namespace platform {
namespace {

QString Text(const std::string& text) {
    return QString::fromUtf8(text.c_str());
}

QWidget* ActiveWindow() {
    return QApplication::activeWindow();
}

}  // namespace

std::string QtNameFilters(const std::string& filter) {
    // Pairs of description and pattern, each ended by "|".
    std::vector<std::string> parts;
    std::string current;
    for (char c : filter) {
        if (c == '|') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        parts.push_back(current);
    }
    std::string result;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (!result.empty()) {
            result += ";;";
        }
        std::string patterns = parts[i + 1];
        for (char& c : patterns) {
            if (c == ';') {
                c = ' ';
            }
        }
        result +=
            parts[i].find('(') == std::string::npos ? parts[i] + " (" + patterns + ")" : parts[i];
    }
    return result;
}

QtDesktop::QtDesktop() = default;

QtDesktop::~QtDesktop() {
    for (auto& [handle, timer] : timers_) {
        delete timer;
    }
    delete progress_;
}

MessageAnswer QtDesktop::MessageBox(const std::string& text, const std::string& caption,
                                    MessageButtons buttons, MessageIcon icon) {
    QMessageBox box(ActiveWindow());
    box.setText(Text(text));
    box.setWindowTitle(Text(caption));
    switch (icon) {
        case MessageIcon::None:
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
    }
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

std::optional<std::string> QtDesktop::OpenFileDialog(const FileDialogRequest& request) {
    const QString path = QFileDialog::getOpenFileName(
        ActiveWindow(), QString(), Text(request.initialName), Text(QtNameFilters(request.filter)));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path.toStdString();
}

std::optional<std::string> QtDesktop::SaveFileDialog(const FileDialogRequest& request) {
    // The dialog itself never asks about overwriting: the export asks in its own words.
    QString path = QFileDialog::getSaveFileName(
        ActiveWindow(), QString(), Text(request.initialName), Text(QtNameFilters(request.filter)),
        nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    // The default extension ("*.txt") is added to a name without one.
    std::string extension = request.defaultExtension;
    if (extension.rfind("*", 0) == 0) {
        extension.erase(0, 1);
    }
    if (!extension.empty() && QFileInfo(path).suffix().isEmpty()) {
        path += Text(extension);
    }
    return path.toStdString();
}

void QtDesktop::Sleep(int milliseconds) {
    if (milliseconds > 0) {
        QThread::msleep(static_cast<unsigned long>(milliseconds));
    }
}

LocalDateTime QtDesktop::Now() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

int QtDesktop::StartTimer(int periodMs, std::function<void()> fire) {
    const int handle = nextTimer_++;
    auto* timer = new QTimer();
    timer->setInterval(periodMs);
    QObject::connect(timer, &QTimer::timeout, timer, std::move(fire));
    timer->start();
    timers_[handle] = timer;
    return handle;
}

void QtDesktop::StopTimer(int handle) {
    const auto it = timers_.find(handle);
    if (it != timers_.end()) {
        it->second->stop();
        it->second->deleteLater();
        timers_.erase(it);
    }
}

QString ProgressLabel(const std::string& title, const std::string& step, int done, int total,
                      qint64 elapsedMs) {
    QStringList lines;
    if (!title.empty()) {
        lines << QString::fromStdString(title);
    }
    lines << QString::fromStdString(step);
    // The node's pauses take nearly all of the time and are alike for every step: the time
    // each step has taken so far tells the time left.
    if (done > 0 && done < total && elapsedMs > 0) {
        const qint64 leftMs = elapsedMs * (total - done) / done;
        lines << QStringLiteral("About %1 s left").arg((leftMs + 999) / 1000);
    }
    return lines.join(QLatin1Char('\n'));
}

void QtDesktop::Progress(const std::string& text, int done, int total) {
    if (done >= total) {
        delete progress_;
        progress_ = nullptr;
        progressClock_.reset();
        return;
    }
    if (!text.empty()) {
        progressStep_ = text;
    }
    if (progress_ == nullptr) {
        progressClock_ = std::make_unique<QElapsedTimer>();
        progressClock_->start();
        progress_ = new QProgressDialog(ActiveWindow());
        progress_->setWindowTitle(Text(ProgressTitle().empty() ? "Vireo" : ProgressTitle()));
        progress_->setMinimumWidth(360);
        progress_->setWindowModality(Qt::ApplicationModal);
        progress_->setCancelButton(nullptr);
        progress_->setMinimumDuration(0);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
    }
    progress_->setMaximum(total);
    progress_->setValue(done);
    progress_->setLabelText(
        ProgressLabel(ProgressTitle(), progressStep_, done, total, progressClock_->elapsed()));
    progress_->show();
    // Paint now: the operation blocks the UI thread until its next step.
    progress_->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int QtDesktop::RunModal(CDialog& dialog) {
    return dialog.ExecModal();
}

namespace {

// Leaving with edits not written asks first: Write them (the sheet stays open when a page still
// holds some, its trouble on the status line), Discard them, or Cancel and stay.
bool MayLeave(CPropertySheet& sheet) {
    const std::vector<CPropertyPage*> pages = sheet.PagesWithUnwrittenEdits();
    if (pages.empty()) {
        return true;
    }
    QString list;
    for (const CPropertyPage* page : pages) {
        list += QStringLiteral("\n    ") + Text(page->Caption());
    }
    QMessageBox box(sheet.Window());
    box.setWindowTitle(QStringLiteral("Edits not written"));
    box.setIcon(QMessageBox::Question);
    box.setText(QStringLiteral("These pages hold edits not written to the node:") + list);
    QPushButton* write = box.addButton(QStringLiteral("Write"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(write);
    box.exec();
    if (box.clickedButton() == discard) {
        return true;
    }
    return box.clickedButton() == write && sheet.WriteUnwrittenPages();
}

// F5 reads the shown page, Ctrl+S writes it, Ctrl+PgUp and Ctrl+PgDn show the page before
// and after it.
void AddSheetKeys(CPropertySheet& sheet) {
    QDialog* window = sheet.Window();
    const auto key = [window](const QKeySequence& sequence, std::function<void()> action) {
        auto* shortcut = new QShortcut(sequence, window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, window, std::move(action));
    };
    key(QKeySequence(Qt::Key_F5), [&sheet] { sheet.RunOnActivePage(PageCommand::Read); });
    key(QKeySequence::Save, [&sheet] { sheet.RunOnActivePage(PageCommand::Write); });
    const auto step = [&sheet](int by) {
        const CPropertyPage* page = sheet.GetActivePage();
        if (page == nullptr || !page->IsBusy()) {
            sheet.SetActivePage(
                std::clamp(sheet.GetActiveIndex() + by, 0, std::max(0, sheet.GetPageCount() - 1)));
        }
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_PageUp), [step] { step(-1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_PageDown), [step] { step(1); });
}

}  // namespace

int QtDesktop::RunModal(CPropertySheet& sheet) {
    if (sheet.Window() != nullptr) {
        AddSheetKeys(sheet);
        sheet.SetLeaveGuard([&sheet] { return MayLeave(sheet); });
    }
    const int result = sheet.ExecModal();
    sheet.SetLeaveGuard(nullptr);
    return result;
}

}  // namespace platform
