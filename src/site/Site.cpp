#include "site/Site.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>
#include <utility>

#include "base/Result.h"
#include "framework/QuoteText.h"
#include "framework/SafeFile.h"
#include "framework/XdgPaths.h"
#include "sim/Network.h"
#include "sim/SimNode.h"

namespace host {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr int kFormat = 1;
constexpr const char* kExtension = ".json";

// A field of the site file that is wrong: where it is and why.
struct Refusal {
    std::string pointer;
    std::string reason;
};

// A fault the parser's walk finds on the line it stands on.
struct LinedRefusal {
    Refusal refusal;
    int line = 1;
};

// The deepest a site file's lists and objects nest: its fields need 4 (the channel
// configuration's members); a deeper file is refused before the parser builds any more of it, so
// a file of nothing but brackets costs no more than its reading.
constexpr std::size_t kDeepest = 8;

// Walks the file's text for the JSON parser and counts the lines it has passed, so that a fault
// can be told by the line it stands on.
class LineCountingIterator {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    LineCountingIterator() = default;
    LineCountingIterator(const char* at, int* line) : at_(at), line_(line) {}
    reference operator*() const { return *at_; }
    LineCountingIterator& operator++() {
        if (*at_ == '\n') {
            ++*line_;
        }
        ++at_;
        return *this;
    }
    LineCountingIterator operator++(int) {
        LineCountingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const LineCountingIterator& other) const { return at_ == other.at_; }

private:
    const char* at_ = nullptr;
    int* line_ = nullptr;
};

// Follows the parser through the document: refuses a key an object has twice (the parser would
// keep the last without a word) and nesting deeper than kDeepest, and, when asked for a field,
// notes the line of that field or of the nearest enclosing one it passes.
class FieldWalk {
public:
    FieldWalk(const int& line, std::string wanted) : line_(line), wanted_(std::move(wanted)) {}

    bool operator()(int, json::parse_event_t event, json& parsed) {
        using Event = json::parse_event_t;
        switch (event) {
            case Event::key: {
                Frame& frame = frames_.back();
                frame.key = parsed.get<std::string>();
                if (!frame.keys.insert(frame.key).second) {
                    const std::string at = Path(frames_.size() - 1);
                    throw LinedRefusal{{at.empty() ? "/" : at, "has \"" + frame.key + "\" twice"},
                                       line_ + 1};
                }
                Passed();
                break;
            }
            case Event::object_start:
            case Event::array_start:
                Element();
                if (frames_.size() == kDeepest) {
                    throw LinedRefusal{
                        {"/", "nests lists and objects more than " + std::to_string(kDeepest) +
                                  " deep; a site file needs 4"},
                        line_ + 1};
                }
                frames_.push_back({event == Event::array_start, -1, {}, {}});
                break;
            case Event::object_end:
            case Event::array_end:
                frames_.pop_back();
                break;
            case Event::value:
                Element();
                break;
        }
        return true;
    }

    // The line of the wanted field, or of the nearest enclosing one passed; 1 when none was.
    int Line() const { return found_; }

private:
    struct Frame {
        bool array = false;
        int index = -1;
        std::string key;
        std::set<std::string> keys;
    };

    // An array's next element starts here.
    void Element() {
        if (!frames_.empty() && frames_.back().array) {
            ++frames_.back().index;
            Passed();
        }
    }

    // The walk stands on a field: its line is kept when it is the wanted one or encloses it.
    void Passed() {
        if (wanted_.empty()) {
            return;
        }
        const std::string path = Path(frames_.size());
        if (wanted_ == path ||
            (wanted_.starts_with(path) && wanted_[path.size()] == '/' && path.size() >= deepest_)) {
            deepest_ = path.size();
            found_ = line_ + 1;
        }
    }

    // The JSON pointer of the first levels of the walk.
    std::string Path(std::size_t levels) const {
        std::string path;
        for (std::size_t i = 0; i < levels; ++i) {
            const Frame& frame = frames_[i];
            path += '/' + (frame.array ? std::to_string(frame.index) : frame.key);
        }
        return path;
    }

    const int& line_;
    const std::string wanted_;
    std::vector<Frame> frames_;
    std::size_t deepest_ = 0;
    int found_ = 1;
};

// The checks of one document, each refusing with the field's pointer.
class SiteReader {
public:
    explicit SiteReader(const json& doc) : doc_(doc) {}

    Site Read(const std::string& name) {
        Site site;
        site.name = name;
        Object(doc_, "");
        Known(doc_, "",
              {"vireoSite", "source", "domain", "timeSynced", "configServer", "links", "nodes",
               "channelConfiguration"});
        if (!doc_.contains("vireoSite") || doc_["vireoSite"] != kFormat) {
            throw Refusal{"/vireoSite", "not a site file of this version (\"vireoSite\": 1)"};
        }
        Check(ParseSubnetNode(Text(doc_, "", "source"), site.source), "/source");
        Check(ParseDomain(Text(doc_, "", "domain"), site.domain), "/domain");
        const json& links = Array(doc_, "", "links");
        if (links.empty()) {
            throw Refusal{"/links", "a site has at least one link"};
        }
        for (std::size_t i = 0; i < links.size(); ++i) {
            site.links.push_back(ReadLink(links[i], "/links/" + std::to_string(i), site));
        }
        const json& nodes = Array(doc_, "", "nodes");
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            site.nodes.push_back(ReadNode(nodes[i], "/nodes/" + std::to_string(i), site));
        }
        site.timeSynced = doc_.contains("timeSynced") && Boolean(doc_, "", "timeSynced");
        if (doc_.contains("configServer")) {
            site.configServer = Text(doc_, "", "configServer");
            lon::Endpoint server;
            Check(ParseEndpoint(site.configServer, server), "/configServer");
        }
        if (doc_.contains("channelConfiguration")) {
            site.configuration = ReadConfiguration(doc_["channelConfiguration"]);
        }
        return site;
    }

private:
    SiteLink ReadLink(const json& entry, const std::string& at, const Site& site) {
        Object(entry, at);
        Known(entry, at,
              {"channel", "url", "localPort", "authenticated", "retries", "transmitTimer"});
        SiteLink link;
        link.channel = Integer(entry, at, "channel", 1, 255);
        if (FindLink(site, link.channel) != nullptr) {
            throw Refusal{at + "/channel", "channel " + std::to_string(link.channel) + " twice"};
        }
        link.url = Text(entry, at, "url");
        LinkSettings settings;
        Check(ParseLinkUrl(link.url, settings), at + "/url");
        link.localPort =
            entry.contains("localPort") ? Integer(entry, at, "localPort", 0, 65535) : 0;
        if (entry.contains("authenticated")) {
            if (!entry["authenticated"].is_boolean()) {
                throw Refusal{at + "/authenticated", "is true or false"};
            }
            link.authenticated = entry["authenticated"].get<bool>();
        }
        link.retries = entry.contains("retries") ? Integer(entry, at, "retries", 0, 15) : 3;
        link.transmitTimer =
            entry.contains("transmitTimer") ? Integer(entry, at, "transmitTimer", 0, 15) : 10;
        return link;
    }

    SiteChannelConfiguration ReadConfiguration(const json& entry) {
        const std::string at = "/channelConfiguration";
        Object(entry, at);
        Known(entry, at,
              {"address", "serverPort", "channelTimeout", "configured", "dateTime", "members"});
        SiteChannelConfiguration configuration;
        configuration.address = Text(entry, at, "address");
        lon::Endpoint self;
        Check(ParseEndpoint(configuration.address + ":1", self), at + "/address");
        configuration.serverPort = Integer(entry, at, "serverPort", 1, 65535);
        configuration.channelTimeout = Integer(entry, at, "channelTimeout", 0, 65535);
        configuration.configured =
            entry.contains("configured") ? Text(entry, at, "configured") : "";
        if (entry.contains("dateTime")) {
            if (!entry["dateTime"].is_number_unsigned() ||
                entry["dateTime"].get<std::uint64_t>() > 0xFFFFFFFFu) {
                throw Refusal{at + "/dateTime", "is a whole number from 0 to 4294967295"};
            }
            configuration.dateTime = entry["dateTime"].get<std::uint32_t>();
        }
        const json& members = Array(entry, at, "members");
        for (std::size_t i = 0; i < members.size(); ++i) {
            const std::string place = at + "/members/" + std::to_string(i);
            Object(members[i], place);
            Known(members[i], place, {"endpoint", "role", "state"});
            SiteMember member{Text(members[i], place, "endpoint"), Text(members[i], place, "role"),
                              members[i].contains("state") ? Text(members[i], place, "state") : ""};
            lon::Endpoint endpoint;
            Check(ParseEndpoint(member.endpoint, endpoint), place + "/endpoint");
            if (member.role != "router" && member.role != "this PC") {
                throw Refusal{place + "/role", "is \"router\" or \"this PC\""};
            }
            configuration.members.push_back(std::move(member));
        }
        return configuration;
    }

    static bool Boolean(const json& object, const std::string& at, const char* name) {
        const json& value = Field(object, at, name);
        if (!value.is_boolean()) {
            throw Refusal{at + "/" + name, "is true or false"};
        }
        return value.get<bool>();
    }

    SiteNode ReadNode(const json& entry, const std::string& at, const Site& site) {
        Object(entry, at);
        Known(entry, at, {"name", "neuronId", "address", "channel", "programId", "lastSeen"});
        SiteNode node;
        node.name = Text(entry, at, "name");
        if (const std::string problem = NameProblem(node.name); !problem.empty()) {
            throw Refusal{at + "/name", problem};
        }
        if (FindSiteNode(site, node.name) != nullptr) {
            throw Refusal{at + "/name",
                          "more than one node is named " + platform::PrintableText(node.name)};
        }
        Check(ParseNeuronId(Text(entry, at, "neuronId"), node.neuronId), at + "/neuronId");
        if (std::any_of(site.nodes.begin(), site.nodes.end(),
                        [&](const SiteNode& other) { return other.neuronId == node.neuronId; })) {
            throw Refusal{at + "/neuronId", "Neuron ID " + NeuronIdText(node.neuronId) +
                                                " belongs to another node of the site"};
        }
        Check(ParseSubnetNode(Text(entry, at, "address"), node.address), at + "/address");
        node.channel = Integer(entry, at, "channel", 1, 255);
        if (FindLink(site, node.channel) == nullptr) {
            throw Refusal{at + "/channel",
                          "the site has no link for channel " + std::to_string(node.channel)};
        }
        // Two nodes at one address would each take the other's answers.
        if (const SiteNode* other = FindByAddress(site, node.channel, node.address)) {
            throw Refusal{at + "/address", "nodes " + platform::PrintableText(other->name) +
                                               " and " + platform::PrintableText(node.name) +
                                               " are both at address " +
                                               SubnetNodeText(node.address) + " of channel " +
                                               std::to_string(node.channel)};
        }
        if (entry.contains("programId")) {
            node.programId = Text(entry, at, "programId");
            ProgramId id{};
            if (!node.programId.empty() && !ParseProgramId(node.programId, id)) {
                throw Refusal{at + "/programId", "is not eight bytes in hexadecimal"};
            }
        }
        node.lastSeen = entry.contains("lastSeen") ? Text(entry, at, "lastSeen") : "";
        return node;
    }

    static void Object(const json& value, const std::string& at) {
        if (!value.is_object()) {
            throw Refusal{at.empty() ? "/" : at, "is not an object"};
        }
    }

    static void Known(const json& object, const std::string& at,
                      std::initializer_list<std::string_view> names) {
        for (const auto& [key, value] : object.items()) {
            if (std::find(names.begin(), names.end(), key) == names.end()) {
                throw Refusal{at + "/" + key, "unknown field \"" + key + "\""};
            }
        }
    }

    static const json& Field(const json& object, const std::string& at, const char* name) {
        if (!object.contains(name)) {
            throw Refusal{at.empty() ? "/" : at, std::string("has no \"") + name + "\""};
        }
        return object[name];
    }

    static std::string Text(const json& object, const std::string& at, const char* name) {
        const json& value = Field(object, at, name);
        if (!value.is_string()) {
            throw Refusal{at + "/" + name, "is not a text"};
        }
        return value.get<std::string>();
    }

    static int Integer(const json& object, const std::string& at, const char* name, int low,
                       int high) {
        const json& value = Field(object, at, name);
        if (!value.is_number_integer() || value.get<std::int64_t>() < low ||
            value.get<std::int64_t>() > high) {
            throw Refusal{at + "/" + name, "is a whole number from " + std::to_string(low) +
                                               " to " + std::to_string(high)};
        }
        return value.get<int>();
    }

    static const json& Array(const json& object, const std::string& at, const char* name) {
        const json& value = Field(object, at, name);
        if (!value.is_array()) {
            throw Refusal{at + "/" + name, "is not a list"};
        }
        return value;
    }

    static void Check(const std::optional<std::string>& problem, const std::string& at) {
        if (problem) {
            throw Refusal{at, *problem};
        }
    }

    const json& doc_;
};

// Parses the text, walking it with walk; a syntax error is refused with its line.
json Parse(const std::string& text, FieldWalk& walk, int& line) {
    const LineCountingIterator begin(text.data(), &line);
    const LineCountingIterator end(text.data() + text.size(), &line);
    try {
        return json::parse(begin, end, std::ref(walk));
    } catch (const json::parse_error& error) {
        // The parser names the byte it stopped at; its line is the count of newlines before it.
        const auto upTo = std::min<std::size_t>(error.byte, text.size());
        const auto lines = std::count(text.begin(), text.begin() + static_cast<long>(upTo), '\n');
        std::string reason = error.what();
        const std::size_t cut = reason.find("syntax error");
        throw LinedRefusal{{"", cut == std::string::npos ? reason : reason.substr(cut)},
                           static_cast<int>(lines) + (upTo == text.size() ? 0 : 1)};
    }
}

// "FIELD reason", about its line of the file at path.
base::Problem RefusalProblem(const std::string& path, const LinedRefusal& refused) {
    const std::string& pointer = refused.refusal.pointer;
    return base::Problem(path, refused.line,
                         (pointer.empty()  ? ""
                          : pointer == "/" ? "the site "
                                           : pointer.substr(1) + " ") +
                             refused.refusal.reason);
}

// The site of a file's text, or the refusal of a field with its line.
base::Result<void> ParseSite(const std::string& path, const std::string& text, Site& site) {
    json doc;
    try {
        int line = 0;
        FieldWalk walk(line, "");
        doc = Parse(text, walk, line);
    } catch (const LinedRefusal& refused) {
        return RefusalProblem(path, refused);
    }
    try {
        site = SiteReader(doc).Read(fs::path(path).stem().string());
    } catch (const Refusal& refusal) {
        // The field's line is looked for only now, by a second walk that notes it alone.
        int line = 0;
        FieldWalk walk(line, refusal.pointer);
        Parse(text, walk, line);
        return RefusalProblem(path, {refusal, walk.Line()});
    }
    return {};
}

nlohmann::ordered_json LinkJson(const SiteLink& link) {
    nlohmann::ordered_json entry = {{"channel", link.channel}, {"url", link.url}};
    if (link.localPort != 0) {
        entry["localPort"] = link.localPort;
    }
    if (link.authenticated) {
        entry["authenticated"] = true;
    }
    const SiteLink usual;
    if (link.retries != usual.retries) {
        entry["retries"] = link.retries;
    }
    if (link.transmitTimer != usual.transmitTimer) {
        entry["transmitTimer"] = link.transmitTimer;
    }
    return entry;
}

nlohmann::ordered_json NodeJson(const SiteNode& node) {
    nlohmann::ordered_json entry = {{"name", node.name},
                                    {"neuronId", NeuronIdText(node.neuronId)},
                                    {"address", SubnetNodeText(node.address)},
                                    {"channel", node.channel}};
    if (!node.programId.empty()) {
        entry["programId"] = node.programId;
    }
    if (!node.lastSeen.empty()) {
        entry["lastSeen"] = node.lastSeen;
    }
    return entry;
}

nlohmann::ordered_json ConfigurationJson(const SiteChannelConfiguration& configuration) {
    nlohmann::ordered_json members = nlohmann::ordered_json::array();
    for (const SiteMember& member : configuration.members) {
        nlohmann::ordered_json entry = {{"endpoint", member.endpoint}, {"role", member.role}};
        if (!member.state.empty()) {
            entry["state"] = member.state;
        }
        members.push_back(entry);
    }
    nlohmann::ordered_json entry = {{"address", configuration.address},
                                    {"serverPort", configuration.serverPort},
                                    {"channelTimeout", configuration.channelTimeout}};
    if (!configuration.configured.empty()) {
        entry["configured"] = configuration.configured;
    }
    if (configuration.dateTime != 0) {
        entry["dateTime"] = configuration.dateTime;
    }
    entry["members"] = members;
    return entry;
}

std::string LockPath(const std::string& path) {
    std::string error;
    const std::string target = platform::FollowLinks(path, error);
    return (target.empty() ? path : target) + ".lock";
}

}  // namespace

std::string SitesFolder() {
    return platform::XdgConfigHome() + "/vireo/sites";
}

std::string SitePath(const std::string& name) {
    return SitesFolder() + "/" + name + kExtension;
}

std::string SiteNameProblem(const std::string& name) {
    // A dot file is hidden: the sites folder's listing would never show it.
    if (name.starts_with('.') && name != "." && name != "..") {
        return "site name \"" + platform::PrintableText(name) +
               "\" starts with a dot, which would hide its file; give it another name";
    }
    if (std::string problem = NameProblem(name); !problem.empty()) {
        return "site " + problem.substr(problem.find(' ') + 1);
    }
    return "";
}

std::string LoadSite(const std::string& path, Site& site) {
    std::string text;
    if (const std::string problem = platform::ReadWholeFile(path, text); !problem.empty()) {
        return "site file " + path + ": " + problem;
    }
    Site read;
    if (const base::Result<void> parsed = ParseSite(path, text, read); !parsed) {
        return parsed.Error().Text();
    }
    site = std::move(read);
    return "";
}

std::string LoadNamedSite(const std::string& name, Site& site) {
    if (std::string problem = SiteNameProblem(name); !problem.empty()) {
        return problem;
    }
    const std::string path = SitePath(name);
    std::error_code code;
    if (!fs::exists(path, code)) {
        return "there is no site " + name + " (" + path + "); make one with 'vireo site new " +
               name + " --link lonip://ROUTER'";
    }
    return LoadSite(path, site);
}

std::string SiteText(const Site& site) {
    using ordered = nlohmann::ordered_json;
    ordered links = ordered::array();
    for (const SiteLink& link : site.links) {
        links.push_back(LinkJson(link));
    }
    ordered nodes = ordered::array();
    for (const SiteNode& node : site.nodes) {
        nodes.push_back(NodeJson(node));
    }
    ordered doc = {{"vireoSite", kFormat},
                   {"source", SubnetNodeText(site.source)},
                   {"domain", DomainText(site.domain)}};
    if (site.timeSynced) {
        doc["timeSynced"] = true;
    }
    if (!site.configServer.empty()) {
        doc["configServer"] = site.configServer;
    }
    doc["links"] = links;
    doc["nodes"] = nodes;
    if (site.configuration) {
        doc["channelConfiguration"] = ConfigurationJson(*site.configuration);
    }
    return doc.dump(2) + "\n";
}

std::string CreateSite(const std::string& path, const Site& site) {
    if (std::string problem = platform::CreateFile(path, SiteText(site), true); !problem.empty()) {
        return "site file " + path + ": " + problem;
    }
    return "";
}

std::string UpdateSite(const std::string& path, const std::function<void(Site&)>& change) {
    const platform::FileLock lock(LockPath(path), platform::FileLock::Kind::Exclusive);
    if (!lock.Locked()) {
        return "site file " + path + ": cannot be locked (" + lock.Error() + ")";
    }
    Site site;
    if (std::string problem = LoadSite(path, site); !problem.empty()) {
        return problem;
    }
    change(site);
    // A change that would leave a file we refuse to read (two nodes moved to one address) is
    // not saved: the file stays as it was, readable.
    const std::string text = SiteText(site);
    Site check;
    if (const base::Result<void> parsed = ParseSite(path, text, check); !parsed) {
        return "site file " + path + " not saved, it would not read back: " + parsed.Error().What();
    }
    if (std::string problem = platform::ReplaceFile(path, text); !problem.empty()) {
        return "site file " + path + ": " + problem;
    }
    return "";
}

std::vector<std::string> ListSites(std::string& error) {
    std::vector<std::string> names;
    std::error_code code;
    const std::string folder = SitesFolder();
    if (!fs::exists(folder, code)) {
        return names;
    }
    for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code)) {
        const fs::path& path = it->path();
        if (path.extension() == kExtension && path.filename().string()[0] != '.') {
            names.push_back(path.stem().string());
        }
    }
    if (code) {
        error = "the sites folder " + folder + " cannot be read: " + code.message();
    }
    std::sort(names.begin(), names.end());
    return names;
}

const SiteLink* FindLink(const Site& site, int channel) {
    const auto found =
        std::find_if(site.links.begin(), site.links.end(),
                     [channel](const SiteLink& link) { return link.channel == channel; });
    return found == site.links.end() ? nullptr : &*found;
}

const SiteNode* FindSiteNode(const Site& site, const std::string& name) {
    const auto found = std::find_if(site.nodes.begin(), site.nodes.end(),
                                    [&name](const SiteNode& node) { return node.name == name; });
    return found == site.nodes.end() ? nullptr : &*found;
}

std::string MissingSiteNode(const Site& site, const std::string& name) {
    if (FindSiteNode(site, name) != nullptr) {
        return "";
    }
    return "the site " + platform::PrintableText(site.name) + " has no node named " +
           platform::PrintableText(name) + " ('vireo nodes --site " +
           platform::PrintableText(site.name) + "' lists them)";
}

const SiteNode* FindByAddress(const Site& site, int channel, const lon::SubnetNode& address) {
    const auto found = std::find_if(
        site.nodes.begin(), site.nodes.end(),
        [&](const SiteNode& node) { return node.channel == channel && node.address == address; });
    return found == site.nodes.end() ? nullptr : &*found;
}

const SiteNode* FindByNeuronId(const Site& site, const lon::NeuronId& id) {
    const auto found = std::find_if(site.nodes.begin(), site.nodes.end(),
                                    [&id](const SiteNode& node) { return node.neuronId == id; });
    return found == site.nodes.end() ? nullptr : &*found;
}

SiteNode* FindSiteNode(Site& site, const std::string& name) {
    return const_cast<SiteNode*>(FindSiteNode(std::as_const(site), name));
}

SiteNode* FindByNeuronId(Site& site, const lon::NeuronId& id) {
    return const_cast<SiteNode*>(FindByNeuronId(std::as_const(site), id));
}

std::optional<std::string> ChannelSettings(const Site& site, const SiteLink& link,
                                           const lon::Bytes& secret, LinkSettings& settings) {
    if (auto problem = ParseLinkUrl(link.url, settings)) {
        return problem;
    }
    settings.source = site.source;
    settings.domain = site.domain;
    settings.localPort = static_cast<std::uint16_t>(link.localPort);
    settings.retry = {link.retries, static_cast<std::uint8_t>(link.transmitTimer)};
    settings.secret = link.authenticated ? secret : lon::Bytes{};
    settings.timeSynced = site.timeSynced;
    if (!site.configServer.empty()) {
        lon::Endpoint server;
        if (auto problem = ParseEndpoint(site.configServer, server)) {
            return problem;
        }
        settings.configServer = server;
    }
    return std::nullopt;
}

std::optional<std::string> NodeSettings(const Site& site, const SiteNode& node,
                                        const lon::Bytes& secret, LinkSettings& settings) {
    const SiteLink* link = FindLink(site, node.channel);
    if (link == nullptr) {
        return "the site " + site.name + " has no link for channel " + std::to_string(node.channel);
    }
    if (auto problem = ChannelSettings(site, *link, secret, settings)) {
        return problem;
    }
    settings.node.byNeuronId = false;
    settings.node.node = node.address;
    settings.name = node.name;
    return std::nullopt;
}

std::string UtcNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text.data();
}

}  // namespace host
