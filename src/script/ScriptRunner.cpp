#include "script/ScriptRunner.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <sstream>
#include <string_view>

#include "framework/ScriptedDesktop.h"
#include "host/ClientSite.h"
#include "host/Plugin.h"
#include "platform/PropertySheet.h"
#include "serve/LoopbackLink.h"
#include "sim/SimNode.h"

namespace host {
namespace {

struct ScriptError {
    std::string message;
};

std::optional<int> ParseInt(const std::string& text) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    std::size_t start = text[0] == '-' ? 1 : 0;
    if (start == text.size()) {
        return std::nullopt;
    }
    for (std::size_t i = start; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            return std::nullopt;
        }
    }
    return std::stoi(text);
}

// "YYYY-MM-DD" and "HH:MM:SS".
std::optional<ClockTime> ParseDateTime(const std::string& date, const std::string& time) {
    ClockTime t;
    char dash1 = 0, dash2 = 0, colon1 = 0, colon2 = 0;
    std::istringstream d(date), h(time);
    if (!(d >> t.year >> dash1 >> t.month >> dash2 >> t.day) || dash1 != '-' || dash2 != '-' ||
        !(h >> t.hour >> colon1 >> t.minute >> colon2 >> t.second) || colon1 != ':' ||
        colon2 != ':') {
        return std::nullopt;
    }
    if (t.year < 0 || t.year > 65535 || t.month < 0 || t.month > 255 || t.day < 0 || t.day > 255 ||
        t.hour < 0 || t.hour > 255 || t.minute < 0 || t.minute > 255 || t.second < 0 ||
        t.second > 255) {
        return std::nullopt;
    }
    return t;
}

constexpr const char* kHistoryVariable = "VIREO_HISTORY";

class Runner {
public:
    Runner(std::ostream& out, std::ostream& err, ScriptNode reach) : out_(out), err_(err) {
        NodeAccess* access = &node_;
        if (reach == ScriptNode::OverLink) {
            loopback_ = std::make_unique<LoopbackLink>(node_);
            if (const std::optional<std::string> problem = loopback_->Open()) {
                err_ << "vireo: " << *problem << '\n';
                linkFailed_ = true;
            }
            access = loopback_.get();
        }
        site_ = new ClientSite(*access, Offer::Both);
        site_->transcript = [this](const std::string& line) { out_ << line << '\n'; };
        desktop_.onLine = [this](const std::string& line) { out_ << line << '\n'; };
        desktop_.onSheetModal = [this](platform::CPropertySheet& sheet) { RunSheet(sheet); };
        previous_ = platform::Desktop::Installed();
        platform::Desktop::SetCurrent(&desktop_);
        // A script records no write history unless it says "history on": the plug-in reads
        // VIREO_HISTORY each time it opens its sheet.
        if (const char* history = std::getenv(kHistoryVariable)) {
            userHistory_ = history;
        }
        SetHistory(false);
    }
    ~Runner() {
        control_.reset();
        platform::Desktop::SetCurrent(previous_);
        site_->Release();
        if (userHistory_) {
            setenv(kHistoryVariable, userHistory_->c_str(), 1);
        } else {
            unsetenv(kHistoryVariable);
        }
    }

    int Run(const std::string& text) {
        if (linkFailed_) {
            return kScriptError;
        }
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines_.push_back(line);
        }
        RunLines();
        out_ << passed_ << " passed, " << failed_ << " failed\n";
        if (error_) {
            return kScriptError;
        }
        return failed_ == 0 ? kScriptPassed : kScriptFailed;
    }

    // What a command needs of the sheet before it runs.
    enum class Needs { Anything, OpenSheet };
    // A command of the table and the member function that runs it: the function finds its
    // arguments after the command's words, their count already checked.
    struct Row {
        ScriptCommand command;
        Needs needs;
        void (Runner::*run)();
    };
    static const Row kRows[];
    static const std::size_t kRowCount;

private:
    // Runs lines until the end of the script, a script error, or (inside an open sheet) the
    // line "close".
    void RunLines() {
        while (!error_ && pos_ < lines_.size()) {
            const std::size_t number = pos_ + 1;
            const std::string& line = lines_[pos_++];
            try {
                if (!RunLine(line)) {
                    return;  // "close"
                }
            } catch (const ScriptError& e) {
                err_ << "ERROR line " << number << ": " << e.message << '\n';
                error_ = true;
            }
        }
    }

    void RunSheet(platform::CPropertySheet& sheet) {
        sheet_ = &sheet;
        RunLines();
        sheet_ = nullptr;
    }

    // On: the history the user's VIREO_HISTORY names, or the default one.
    void SetHistory(bool on) {
        if (!on) {
            setenv(kHistoryVariable, "off", 1);
        } else if (userHistory_ && *userHistory_ != "off") {
            setenv(kHistoryVariable, userHistory_->c_str(), 1);
        } else {
            unsetenv(kHistoryVariable);
        }
    }

    // False for "close".
    bool RunLine(const std::string& line);
    const Row& FindCommand() const;
    void CheckArgumentCount(const ScriptCommand& command) const;

    // The plug-in that serves the node, created on the first "open" as the host tool creates
    // it: found by the node's Program ID in the registry.
    PluginControl& Control() {
        if (!control_) {
            std::string error;
            control_ =
                PluginControl::Open(platform::RegistryFile(platform::RegistryFile::DefaultPath()),
                                    node_.GetProgramId(), site_, error);
            if (!control_) {
                throw ScriptError{error};
            }
        }
        return *control_;
    }

    int Number(std::size_t i) const {
        const auto n = ParseInt(tokens_.at(i).text);
        if (!n) {
            throw ScriptError{"'" + tokens_[i].text + "' is not a number"};
        }
        return *n;
    }
    const std::string& Word(std::size_t i, std::initializer_list<const char*> allowed) const {
        const std::string& word = tokens_.at(i).text;
        for (const char* a : allowed) {
            if (word == a) {
                return word;
            }
        }
        throw ScriptError{"'" + word + "' is not allowed here"};
    }
    // The rest of the line from argument i, read as hex bytes.
    Bytes Hex(std::size_t i) const {
        std::vector<unsigned char> bytes;
        const std::string rest = i < tokens_.size() ? line_->substr(tokens_[i].start) : "";
        if (!ParseHexBytes(rest, bytes)) {
            throw ScriptError{"'" + rest + "' is not hexadecimal bytes"};
        }
        return Bytes(bytes.begin(), bytes.end());
    }
    ClockTime DateTime(std::size_t i) const {
        const auto t = ParseDateTime(tokens_[i].text, tokens_[i + 1].text);
        if (!t) {
            throw ScriptError{"expected YYYY-MM-DD HH:MM:SS"};
        }
        return *t;
    }

    void NodeName() { node_.SetName(tokens_[2].text); }
    void NodeNv() {
        const int index = Number(2);
        if (!node_.SetRaw(index, Hex(3))) {
            throw ScriptError{"NV " + std::to_string(index) + " is not a variable of the node"};
        }
    }
    void NodePart() {
        const int part = Number(2);
        if (!node_.SetPart(part, Hex(3))) {
            throw ScriptError{"part " + std::to_string(part) + " is not 1 to 12"};
        }
    }
    void NodeSelector() { node_.SetSelector(Number(2)); }
    void NodeProgramId() {
        const Bytes bytes = Hex(2);
        if (bytes.size() != ProgramId().size()) {
            throw ScriptError{"a Program ID is eight bytes"};
        }
        ProgramId id{};
        std::copy(bytes.begin(), bytes.end(), id.begin());
        node_.SetProgramId(id);
    }
    void NodeFailRead() { node_.FailRead(Number(3)); }
    void NodeFailWrite() { node_.FailWrite(Number(3)); }
    void NodeFailName() { node_.FailName(); }
    void NodeHeal() { node_.Heal(); }
    void NodeOffer() {
        const std::string& offer = Word(2, {"both", "reader", "writer", "none"});
        offer_ = offer == "both"     ? Offer::Both
                 : offer == "reader" ? Offer::Reader
                 : offer == "writer" ? Offer::Writer
                                     : Offer::None;
    }
    void NodeClock() { node_.SetClock(DateTime(2)); }

    void PcClock() { desktop_.SetNow(DateTime(2)); }

    void History() { SetHistory(Word(1, {"on", "off"}) == "on"); }
    void Answer() { desktop_.QueueAnswer(Word(1, {"yes", "no"}) == "yes"); }
    // "cancel" in quotes is a file of that name.
    void Choose() {
        if (tokens_[1].text == "cancel" && (*line_)[tokens_[1].start] != '"') {
            desktop_.QueueFile(std::nullopt);
        } else {
            desktop_.QueueFile(tokens_[1].text);
        }
    }
    void Open() {
        if (sheet_ != nullptr) {
            throw ScriptError{"the sheet is already open"};
        }
        site_->SetOffer(offer_);
        Control().Properties();
    }

    platform::CPropertyPage& VisiblePage(platform::CPropertySheet& sheet) const {
        platform::CPropertyPage* page = sheet.GetActivePage();
        if (page == nullptr) {
            throw ScriptError{"no page is visible"};
        }
        return *page;
    }

    void Close() { sheet_->EndSheet(platform::IDOK); }
    void Tab() { SelectTab(*sheet_); }
    void Set() {
        platform::CPropertyPage& page = VisiblePage(*sheet_);
        const int id = Number(1);
        const auto controls = page.Controls();
        const auto it = std::find_if(controls.begin(), controls.end(),
                                     [id](const auto& c) { return c.id == id; });
        if (it == controls.end()) {
            throw ScriptError{"the visible page has no control " + std::to_string(id)};
        }
        if (it->kind != platform::ControlKind::Edit &&
            it->kind != platform::ControlKind::PasswordEdit) {
            throw ScriptError{"control " + std::to_string(id) + " is not an editable field"};
        }
        if (!it->enabled || !it->visible) {
            throw ScriptError{"control " + std::to_string(id) + " is disabled"};
        }
        page.SetDlgItemText(id, tokens_[2].text);
    }
    void Click() {
        platform::CPropertyPage& page = VisiblePage(*sheet_);
        const int id = Number(1);
        if (!page.HasDlgItem(id)) {
            throw ScriptError{"the visible page has no control " + std::to_string(id)};
        }
        if (!page.ClickDlgItem(id)) {
            throw ScriptError{"control " + std::to_string(id) +
                              " is disabled or cannot be clicked"};
        }
    }
    void Tick() { VisiblePage(*sheet_).DeliverTimer(1); }
    void Dump() { Dump(VisiblePage(*sheet_)); }

    void SelectTab(platform::CPropertySheet& sheet) {
        const std::string caption = line_->substr(tokens_[1].start);
        int index = -1;
        const auto number = tokens_.size() == 2 ? ParseInt(tokens_[1].text) : std::nullopt;
        if (number) {
            index = *number - 1;
        } else {
            const std::string wanted = tokens_.size() == 2 ? tokens_[1].text : JoinFrom(1);
            const auto captions = sheet.TabCaptions();
            const auto it = std::find(captions.begin(), captions.end(), wanted);
            if (it != captions.end()) {
                index = static_cast<int>(it - captions.begin());
            }
        }
        if (index < 0 || index >= sheet.GetPageCount()) {
            throw ScriptError{"the sheet has no tab " + caption};
        }
        sheet.SetActivePage(index);
    }

    std::string JoinFrom(std::size_t i) const {
        std::string text;
        for (; i < tokens_.size(); ++i) {
            text += (text.empty() ? "" : " ") + tokens_[i].text;
        }
        return text;
    }

    void Dump(platform::CPropertyPage& page) {
        for (const platform::ControlState& c : page.Controls()) {
            out_ << "Control " << c.id << ' ' << platform::KindName(c.kind) << ' '
                 << platform::QuoteText(c.text) << (c.enabled ? " enabled" : " disabled");
            if (c.kind == platform::ControlKind::Radio ||
                c.kind == platform::ControlKind::CheckBox) {
                out_ << (c.checked ? " checked" : " unchecked");
            }
            if (!c.visible) {
                out_ << " hidden";
            }
            out_ << '\n';
        }
    }

    void Check(bool holds, const std::string& what) {
        if (holds) {
            ++passed_;
            return;
        }
        ++failed_;
        out_ << "FAIL line " << pos_ << ": " << what << '\n';
    }

    platform::CPropertyPage* PageForExpect() const {
        return sheet_ == nullptr ? nullptr : sheet_->GetActivePage();
    }

    // "expect text", "expect enabled" and "expect checked": control ID of the visible page.
    void ExpectControl() {
        const std::string& what = tokens_[1].text;
        const int id = Number(2);
        platform::CPropertyPage* page = PageForExpect();
        if (page == nullptr || !page->HasDlgItem(id)) {
            Check(false, "no control " + std::to_string(id) + " on the visible page");
            return;
        }
        if (what == "text") {
            const std::string found = page->GetDlgItemText(id);
            Check(found == tokens_[3].text, "text of " + std::to_string(id) + " is " +
                                                platform::QuoteText(found) + ", expected " +
                                                platform::QuoteText(tokens_[3].text));
        } else if (what == "enabled") {
            const bool want = Word(3, {"yes", "no"}) == "yes";
            const bool found = page->IsDlgItemEnabled(id);
            Check(found == want,
                  "control " + std::to_string(id) + " is " + (found ? "enabled" : "disabled"));
        } else {
            const bool want = Word(3, {"yes", "no"}) == "yes";
            const bool found = page->IsDlgButtonChecked(id) == 1;
            Check(found == want,
                  "control " + std::to_string(id) + " is " + (found ? "checked" : "not checked"));
        }
    }
    void ExpectTabs() {
        std::vector<std::string> want;
        for (std::size_t i = 2; i < tokens_.size(); ++i) {
            want.push_back(tokens_[i].text);
        }
        const auto found = sheet_ == nullptr ? std::vector<std::string>{} : sheet_->TabCaptions();
        // Appended piece by piece: GCC 12 at -O3 takes a "literal + temporary" here for an
        // overlapping copy (-Wrestrict) that cannot happen.
        std::string shown;
        for (const auto& c : found) {
            if (!shown.empty()) {
                shown += ' ';
            }
            shown += platform::QuoteText(c);
        }
        Check(found == want, "tabs are " + (shown.empty() ? std::string("none") : shown));
    }
    void ExpectMessage() {
        const auto& messages = desktop_.Messages();
        if (consumed_ >= messages.size()) {
            Check(false,
                  "no message box was shown, expected " + platform::QuoteText(tokens_[2].text));
            return;
        }
        const auto& m = messages[consumed_++];
        const bool holds =
            m.text == tokens_[2].text && (tokens_.size() == 3 || m.caption == tokens_[3].text);
        Check(holds,
              "message was " + platform::QuoteText(m.text) + " " + platform::QuoteText(m.caption));
    }
    void ExpectNoMessage() {
        const auto& messages = desktop_.Messages();
        const bool holds = consumed_ >= messages.size();
        Check(holds,
              holds ? "" : "unconsumed message " + platform::QuoteText(messages[consumed_].text));
    }
    // "expect nv" and "expect part": the first bytes of NV N or of part P.
    void ExpectBytes() {
        const std::string& what = tokens_[1].text;
        const int n = Number(2);
        const Bytes want = Hex(3);
        Bytes found;
        if (what == "nv") {
            found = node_.Raw(n);
        } else if (n >= nv::kFirstPart && n <= nv::kPartCount) {
            const PartImage image = node_.Part(n);
            found.assign(image.begin(), image.end());
        } else {
            throw ScriptError{"part " + std::to_string(n) + " is not 1 to 12"};
        }
        const bool holds =
            found.size() >= want.size() && std::equal(want.begin(), want.end(), found.begin());
        Check(holds,
              what + " " + std::to_string(n) + " holds " + HexBytes(found.data(), found.size()));
    }
    void ExpectSelector() {
        const int want = Number(2);
        Check(node_.Selector() == want, "selector holds " + std::to_string(node_.Selector()));
    }

    std::ostream& out_;
    std::ostream& err_;
    SimNode node_;
    std::unique_ptr<LoopbackLink> loopback_;  // the node over a channel, when asked for
    bool linkFailed_ = false;
    ClientSite* site_;
    Offer offer_ = Offer::Both;
    std::unique_ptr<PluginControl> control_;
    platform::ScriptedDesktop desktop_;
    platform::Desktop* previous_ = nullptr;
    std::optional<std::string> userHistory_;  // VIREO_HISTORY as the script found it
    platform::CPropertySheet* sheet_ = nullptr;
    std::vector<std::string> lines_;
    std::size_t pos_ = 0;
    std::vector<ScriptToken> tokens_;
    const std::string* line_ = nullptr;
    std::size_t consumed_ = 0;
    int passed_ = 0;
    int failed_ = 0;
    bool error_ = false;
};

// The script language. The session-scripts document lists these commands with these arguments.
const Runner::Row Runner::kRows[] = {
    {{"node name", "TEXT", "the node's name"}, Needs::Anything, &Runner::NodeName},
    {{"node nv", "N [HEX]", "store these bytes in NV N (zero-padded to the size)"},
     Needs::Anything,
     &Runner::NodeNv},
    {{"node part", "P [HEX]", "store these bytes in part P (1-12) of the configuration"},
     Needs::Anything,
     &Runner::NodePart},
    {{"node selector", "P", "store P in the part selector NV 44"},
     Needs::Anything,
     &Runner::NodeSelector},
    {{"node program-id", "HEX", "the node's Program ID (eight bytes)"},
     Needs::Anything,
     &Runner::NodeProgramId},
    {{"node fail read", "N", "from now on ReadNv of NV N fails"},
     Needs::Anything,
     &Runner::NodeFailRead},
    {{"node fail write", "N", "from now on WriteNv of NV N fails"},
     Needs::Anything,
     &Runner::NodeFailWrite},
    {{"node fail name", "", "GetNodeName fails"}, Needs::Anything, &Runner::NodeFailName},
    {{"node heal", "", "every failure cleared"}, Needs::Anything, &Runner::NodeHeal},
    {{"node offer", "both|reader|writer|none", "which host interfaces the next open offers"},
     Needs::Anything,
     &Runner::NodeOffer},
    {{"node clock", "YYYY-MM-DD HH:MM:SS", "set the node clock"},
     Needs::Anything,
     &Runner::NodeClock},
    {{"pc clock", "YYYY-MM-DD HH:MM:SS", "set the PC's local date and time"},
     Needs::Anything,
     &Runner::PcClock},
    {{"history", "on|off", "whether the next open records its writes"},
     Needs::Anything,
     &Runner::History},
    {{"open", "", "build and open the sheet, its first tab shown"}, Needs::Anything, &Runner::Open},
    {{"tab", "CAPTION...", "select a tab by its caption or its 1-based position"},
     Needs::OpenSheet,
     &Runner::Tab},
    {{"set", "ID TEXT", "type TEXT into edit ID of the visible page"},
     Needs::OpenSheet,
     &Runner::Set},
    {{"click", "ID", "click control ID of the visible page"}, Needs::OpenSheet, &Runner::Click},
    {{"tick", "", "deliver one tick of timer 1 to the visible page"},
     Needs::OpenSheet,
     &Runner::Tick},
    {{"answer", "yes|no", "queue the answer for the next Yes/No message box"},
     Needs::Anything,
     &Runner::Answer},
    {{"choose", "PATH|cancel", "queue the result of the next file dialog"},
     Needs::Anything,
     &Runner::Choose},
    {{"close", "", "press \"Exit\""}, Needs::OpenSheet, &Runner::Close},
    {{"dump", "", "print the visible page's controls"}, Needs::OpenSheet, &Runner::Dump},
    {{"expect text", "ID TEXT", "control ID has exactly this text"},
     Needs::Anything,
     &Runner::ExpectControl},
    {{"expect enabled", "ID yes|no", "control ID is enabled / disabled"},
     Needs::Anything,
     &Runner::ExpectControl},
    {{"expect checked", "ID yes|no", "control ID is marked / not marked"},
     Needs::Anything,
     &Runner::ExpectControl},
    {{"expect tabs", "[CAPTION...]", "the sheet's tab captions are exactly these"},
     Needs::Anything,
     &Runner::ExpectTabs},
    {{"expect message", "TEXT [CAPTION]", "the oldest unconsumed message box had this text"},
     Needs::Anything,
     &Runner::ExpectMessage},
    {{"expect nomessage", "", "every message box shown has been consumed"},
     Needs::Anything,
     &Runner::ExpectNoMessage},
    {{"expect nv", "N [HEX]", "the first bytes of NV N are exactly these"},
     Needs::Anything,
     &Runner::ExpectBytes},
    {{"expect part", "P [HEX]", "the first bytes of part P are exactly these"},
     Needs::Anything,
     &Runner::ExpectBytes},
    {{"expect selector", "P", "NV 44 holds P"}, Needs::Anything, &Runner::ExpectSelector},
};
const std::size_t Runner::kRowCount = std::size(Runner::kRows);

// The blank-separated words of a command's name or arguments.
std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(' '), text.size());
        if (end > 0) {
            words.push_back(text.substr(0, end));
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return words;
}

bool Runner::RunLine(const std::string& line) {
    // A line of blanks of any kind (\v, \f and \r too, as the tokens see them) or a comment
    // does nothing.
    const std::size_t first = line.find_first_not_of(" \t\n\v\f\r");
    if (first == std::string::npos || line[first] == '#') {
        return true;
    }
    if (!TokenizeScriptLine(line, tokens_)) {
        throw ScriptError{"a double quote is not closed"};
    }
    line_ = &line;
    const Row& row = FindCommand();
    if (row.needs == Needs::OpenSheet && sheet_ == nullptr) {
        throw ScriptError{"'" + tokens_[0].text + "' needs an open sheet"};
    }
    CheckArgumentCount(row.command);
    (this->*row.run)();
    return row.run != &Runner::Close;
}

// The command whose words begin the line, taken word by word: a word that no command has at
// its place names what is unknown.
const Runner::Row& Runner::FindCommand() const {
    for (std::size_t count = 1;; ++count) {
        const Row* found = nullptr;
        bool prefix = false;
        for (const Row& row : std::span(kRows, kRowCount)) {
            const auto words = Words(row.command.name);
            if (words.size() < count ||
                !std::equal(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(count),
                            tokens_.begin(),
                            [](std::string_view w, const ScriptToken& t) { return w == t.text; })) {
                continue;
            }
            prefix = true;
            if (words.size() == count) {
                found = &row;
            }
        }
        const std::string& word = tokens_[count - 1].text;
        if (!prefix) {
            if (count == 1) {
                throw ScriptError{"unknown command '" + word + "'"};
            }
            if (count == 2 && tokens_[0].text == "node") {
                throw ScriptError{"unknown node command '" + word + "'"};
            }
            if (count == 2 && tokens_[0].text == "expect") {
                throw ScriptError{"unknown check '" + word + "'"};
            }
            throw ScriptError{"'" + word + "' is not allowed here"};
        }
        if (found != nullptr) {
            return *found;
        }
        if (tokens_.size() <= count) {
            throw ScriptError{"'" + tokens_[0].text + "' needs more arguments"};
        }
    }
}

// The count of the line's arguments against the command's: at least the required ones when
// the last may take the rest of the line; else between the required and all ones when some
// are optional; else exactly as many.
void Runner::CheckArgumentCount(const ScriptCommand& command) const {
    const std::size_t words = Words(command.name).size();
    std::size_t required = 0;
    std::size_t all = 0;
    bool rest = false;
    for (const std::string_view argument : Words(command.arguments)) {
        const bool optional = argument.starts_with('[');
        required += optional ? 0 : 1;
        ++all;
        rest = rest || argument.ends_with("...") || argument.ends_with("...]") ||
               argument == "HEX" || argument == "[HEX]";
    }
    const std::size_t given = tokens_.size() - words;
    if (rest) {
        if (given < required) {
            throw ScriptError{"'" + tokens_[0].text + "' needs more arguments"};
        }
    } else if (required != all) {
        if (given < required || given > all) {
            throw ScriptError{"'" + std::string(command.name) + "' takes " +
                              std::string(command.arguments)};
        }
    } else if (given != required) {
        throw ScriptError{"'" + tokens_[0].text + "' takes " +
                          std::to_string(words - 1 + required) + " argument(s)"};
    }
}

}  // namespace

std::span<const ScriptCommand> ScriptCommands() {
    static const std::vector<ScriptCommand> commands = [] {
        std::vector<ScriptCommand> all;
        for (const auto& row : std::span(Runner::kRows, Runner::kRowCount)) {
            all.push_back(row.command);
        }
        return all;
    }();
    return commands;
}

int RunScript(const std::string& text, std::ostream& out, std::ostream& err, ScriptNode reach) {
    Runner runner(out, err, reach);
    return runner.Run(text);
}

int RunScriptFile(const std::string& path, std::ostream& out, std::ostream& err, ScriptNode reach) {
    std::stringstream text;
    if (path == "-") {
        text << std::cin.rdbuf();
    } else {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            err << "vireo: cannot read script " << path << '\n';
            return kScriptError;
        }
        text << file.rdbuf();
    }
    return RunScript(text.str(), out, err, reach);
}

}  // namespace host
