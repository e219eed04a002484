#include "page/NodeRoutine.h"

#include <algorithm>

#include "framework/Desktop.h"

namespace vireo {

namespace {

void AddOnce(std::vector<std::string>& texts, std::string text) {
    if (std::find(texts.begin(), texts.end(), text) == texts.end()) {
        texts.push_back(std::move(text));
    }
}

// "NV 24, NV 45 (part 6)".
std::string Joined(const std::vector<std::string>& texts) {
    std::string text;
    for (const std::string& t : texts) {
        text += (text.empty() ? "" : ", ") + t;
    }
    return text;
}

}  // namespace

std::string RoutineTrouble(std::string_view routine, const std::string& caption,
                           const NodeRoutine& record) {
    const std::vector<std::string>& failed =
        record.Kind() == RoutineKind::Write ? record.NotWritten() : record.NotRead();
    const bool reading = record.Kind() != RoutineKind::Write;
    if (failed.empty() && record.Unreachable().empty()) {
        return {};
    }
    const bool partly = !reading && !record.Written().empty();
    std::string text =
        std::string(routine) + " of " + caption + (partly ? " partly" : "") + " failed: " +
        (!record.Unreachable().empty() ? record.Unreachable()
                                       : Joined(failed) + (reading ? " not read" : " not written"));
    if (partly) {
        text += "; " + Joined(record.Written()) + " written";
    }
    return text;
}

NodeRoutine::NodeRoutine(RoutineKind kind, const NodeLink& link, int partPauseMs)
    : kind_(kind), link_(link.Watched(reach_)), pauseMs_(partPauseMs) {}

std::string NodeRoutine::NameOf(int index) const {
    std::string name = "NV " + std::to_string(index);
    if (index == nv::kPluginCnf && shownPart_ != 0) {
        name += " (part " + std::to_string(shownPart_) + ")";
    }
    return name;
}

bool NodeRoutine::ReadNv(int index, NvBuffer& buffer, int length) {
    const bool read = link_.Read(index, buffer.data(), length);
    reads_ += read ? 1 : 0;
    if (!read) {
        AddOnce(notRead_, "NV " + std::to_string(index));
    }
    return read;
}

bool NodeRoutine::WriteNv(int index, const NvBuffer& buffer, int length) {
    const bool written = link_.Write(index, buffer.data(), length);
    NoteWrite(index, written);
    return written;
}

void NodeRoutine::NoteWrite(int index, bool written) {
    if (written) {
        ++writes_;
        AddOnce(written_, NameOf(index));
        writtenIds_.insert(writtenIds_.end(), stored_.begin(), stored_.end());
    } else {
        AddOnce(notWritten_, NameOf(index));
        NoteNotWritten(stored_);
    }
    stored_.clear();
}

bool NodeRoutine::Wrote(int id) const {
    if (writtenIds_.empty() && notWrittenIds_.empty()) {
        return writes_ > 0 && notWritten_.empty();
    }
    return std::find(writtenIds_.begin(), writtenIds_.end(), id) != writtenIds_.end();
}

void NodeRoutine::NoteStored(std::span<const int> ids) {
    stored_.insert(stored_.end(), ids.begin(), ids.end());
}

void NodeRoutine::NoteNotWritten(std::span<const int> ids) {
    notWrittenIds_.insert(notWrittenIds_.end(), ids.begin(), ids.end());
}

bool NodeRoutine::Selected(int part, bool selected) {
    if (selected) {
        shownPart_ = part;
    } else {
        NoteWrite(nv::kPartSelector, false);
    }
    return selected;
}

int NodeRoutine::GetSelectedPart() {
    return PartWindow(link_, platform::Desktop::Current(), pauseMs_).GetSelectedPart();
}

bool NodeRoutine::SelectPart(int part) {
    return Selected(part,
                    PartWindow(link_, platform::Desktop::Current(), pauseMs_).SelectPart(part));
}

bool NodeRoutine::SelectFirst(int part) {
    return Selected(part,
                    PartWindow(link_, platform::Desktop::Current(), pauseMs_).SelectFirst(part));
}

bool NodeRoutine::SelectForStep(int part) {
    const bool first = !stepSelected_;
    stepSelected_ = true;
    return first ? SelectFirst(part) : SelectPart(part);
}

}  // namespace vireo
