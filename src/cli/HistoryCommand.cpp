#include "cli/HistoryCommand.h"

#include <filesystem>
#include <ostream>

#include "history/HistoryStore.h"
#include "history/HistoryText.h"
#include "site/Site.h"

namespace host {

int RunHistoryCommand(const HistoryOptions& options, std::ostream& out, std::ostream& err) {
    history::Filter filter;
    if (!options.since.empty()) {
        const auto since = history::LocalDayStart(options.since);
        if (!since) {
            err << "vireo: --since takes a date as YYYY-MM-DD, not '" << options.since << "'\n";
            return 2;
        }
        filter.sinceMs = *since;
    }
    if (!options.site.empty()) {
        Site site;
        std::string problem = LoadNamedSite(options.site, site);
        if (problem.empty()) {
            problem = MissingSiteNode(site, options.node);
        }
        if (!problem.empty()) {
            err << "vireo history: " << problem << '\n';
            return 1;
        }
    }
    if (!options.node.empty()) {
        filter.node = options.node;
    }
    const std::optional<std::string> path = history::HistoryPath();
    if (!path) {
        err << "vireo: the write history is off (VIREO_HISTORY=off)\n";
        return 1;
    }
    std::error_code missing;
    if (!std::filesystem::exists(*path, missing)) {
        err << "vireo: no write history yet (" << *path << ")\n";
        return 0;
    }
    std::string error;
    const auto store = history::Store::OpenForReading(*path, error);
    // Row by row, so that a long history is printed without being held.
    bool any = false;
    if (store) {
        store->EachRow(
            filter,
            [&](const history::Row& row) {
                any = true;
                for (const std::string& line : history::RowLines(row)) {
                    out << line << '\n';
                }
            },
            error);
    }
    if (!error.empty()) {
        err << "vireo: the write history cannot be read: " << error << '\n';
        return 1;
    }
    if (!any) {
        err << "vireo: no writes recorded"
            << (filter.node || filter.sinceMs != 0 ? " that match" : "") << '\n';
    }
    return 0;
}

}  // namespace host
