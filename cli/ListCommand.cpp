// tolvan-cli list: what selecting a folder in the tree, or "查询" with the
// panel filled from the options, shows in the record list.

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "cli/Commands.h"
#include "cli/FolderCatalogue.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"

namespace {

// A field of a tab-separated line: control characters (a tab or a line feed
// stored in a phone number) become spaces, so that a row stays one line of
// seven fields.
std::string TsvField(std::u16string_view text) {
    std::string out = platform::WideToUtf8(text);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return out;
}

std::string JsonString(std::u16string_view text) {
    std::string out = "\"";
    for (char c : platform::WideToUtf8(text)) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

class Printer {
public:
    explicit Printer(bool json) : json_(json) {}
    void Label(std::u16string_view label) {
        if (json_)
            std::printf("{\"label\": %s, \"rows\": [", JsonString(label).c_str());
        else
            std::printf("%s\n", TsvField(label).c_str());
    }
    void Rows(const std::vector<RowTexts>& rows) {
        for (const RowTexts& row : rows) {
            std::string line;
            for (size_t c = 0; c < row.size(); ++c) {
                if (json_)
                    line += (c ? ", " : "[") + JsonString(row[c]);
                else
                    line += (c ? "\t" : "") + TsvField(row[c]);
            }
            if (json_)
                std::printf("%s%s]", rows_++ ? ", " : "", line.c_str());
            else
                std::printf("%s\n", line.c_str());
        }
    }
    void End() {
        if (json_) std::printf("]}\n");
    }

private:
    bool json_;
    int rows_ = 0;
};

bool IsFormat(std::string_view value) { return value == "tsv" || value == "json"; }

// The query panel's fields the options fill.
const std::pair<std::string_view, std::u16string QueryRequest::*> kFieldOptions[] = {
    {"--from", &QueryRequest::startDate}, {"--to", &QueryRequest::endDate}, {"--type", &QueryRequest::callType},
    {"--keyword", &QueryRequest::keyword}, {"--page", &QueryRequest::page},
};

int RunList(const Arguments& args) {
    if (args.Has("--all") && args.Has("--page")) return args.UsageError("--all and --page exclude each other");
    FolderCatalogue listing;
    if (!listing.Open(args, args.Operands()[0])) return 1;

    const ProgramMessages messages;
    Catalogue& catalogue = listing.catalogue;
    MemoryCatalogueView& view = listing.view;
    const auto given = [&args](const auto& field) { return args.Has(field.first); };
    if (std::none_of(std::begin(kFieldOptions), std::end(kFieldOptions), given)) {
        catalogue.OnFolderChanged(listing.folder);
    } else {
        catalogue.SetFolder(listing.folder);
        // An option left out is an empty field; the type box keeps its start text.
        QueryRequest request;
        request.callType = kAllTypesText;
        for (const auto& [option, field] : kFieldOptions)
            if (args.Has(option)) request.*field = platform::Utf8ToWide(args.Value(option));
        if (auto message = catalogue.OnQuery(request)) platform::ShowMessageBox(*message);
    }
    if (!listing.Scanned(args)) return 1;

    Printer printer(args.Value("--format") == "json");
    printer.Label(view.Label());
    if (args.Has("--all")) {
        for (int page = 0; page < catalogue.PageCount(); ++page) {
            catalogue.ShowPage(page);
            printer.Rows(view.Rows());
        }
    } else {
        printer.Rows(view.Rows());
    }
    printer.End();
    return messages.Count() > 0 ? 2 : 0;
}

}  // namespace

const CommandSpec kListCommand = {
    "list",
    RunList,
    "list FOLDER [--from TEXT] [--to TEXT] [--type TEXT] [--keyword TEXT] [--page TEXT | --all] [--format tsv|json]",
    "Lists the recordings of FOLDER as the window's record list shows them.\n"
    "Without a filter option it does what selecting FOLDER in the folder tree\n"
    "does; with one it does what \"查询\" does with the query panel filled from\n"
    "the options (a left-out option is an empty field):\n"
    "  --from TEXT, --to TEXT   the date range, YYYY-MM-DD\n"
    "  --type TEXT              全部类型 (the default), 全部主叫, 全部被叫,\n"
    "                           全部留言 or 全部现场; any other text passes no\n"
    "                           recording, as a text typed into the type box does\n"
    "  --keyword TEXT           part of the phone number (* and ? as wildcards)\n"
    "  --page TEXT              the page to show, as typed into the page box\n"
    "  --all                    every page instead of one\n"
    "  --format tsv|json        tsv (the default): the page label, then one line\n"
    "                           per row, the seven column texts joined by tabs\n"
    "                           (a control character in a text shows as a space);\n"
    "                           json: one object {\"label\": ..., \"rows\": [[...]]}\n"
    "                           with the exact texts\n"
    "A FOLDER that is not a readable folder, or whose list cannot be kept (a\n"
    "full disk), is an error.\n",
    {{"--from", "needs a value"},
     {"--to", "needs a value"},
     {"--type", "needs a value"},
     {"--keyword", "needs a value"},
     {"--page", "needs a value"},
     {"--all"},
     {"--format", "takes tsv or json", IsFormat}},
    1,
    1,
};
