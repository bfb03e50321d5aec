// tolvan-cli list: what selecting a folder in the tree, or "查询" with the
// panel filled from the options, shows in the record list.

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "catalogue/MemoryCatalogueView.h"
#include "catalogue/ScanRunner.h"
#include "cli/Commands.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"

namespace {

const char kUsage[] =
    "usage: tolvan-cli list FOLDER [--from TEXT] [--to TEXT] [--type TEXT] [--keyword TEXT] [--page TEXT | --all] "
    "[--format tsv|json]\n";

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

}  // namespace

int RunListCommand(const CommandArgs& args) {
    static const std::map<std::string, std::u16string QueryRequest::*> kFieldOptions = {
        {"--from", &QueryRequest::startDate}, {"--to", &QueryRequest::endDate},
        {"--type", &QueryRequest::callType},  {"--keyword", &QueryRequest::keyword},
        {"--page", &QueryRequest::page},
    };
    std::string folder, format = "tsv";
    bool haveFolder = false, all = false, query = false;
    // An option left out is an empty field; the type box keeps its start text.
    QueryRequest request;
    request.callType = kAllTypesText;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--all") {
            all = true;
        } else if (a == "--format") {
            if (i + 1 >= args.size() || (args[i + 1] != "tsv" && args[i + 1] != "json")) {
                std::fprintf(stderr, "tolvan-cli list: --format takes tsv or json\n%s", kUsage);
                return 1;
            }
            format = args[++i];
        } else if (auto it = kFieldOptions.find(a); it != kFieldOptions.end()) {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "tolvan-cli list: %s needs a value\n%s", a.c_str(), kUsage);
                return 1;
            }
            request.*(it->second) = platform::Utf8ToWide(args[++i]);
            query = true;
        } else if (!haveFolder && (a.empty() || a[0] != '-' || a == "-")) {
            folder = a;
            haveFolder = true;
        } else {
            std::fprintf(stderr, "tolvan-cli list: unexpected argument '%s'\n%s", a.c_str(), kUsage);
            return 1;
        }
    }
    if (!haveFolder) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    if (all && !request.page.empty()) {
        std::fprintf(stderr, "tolvan-cli list: --all and --page exclude each other\n%s", kUsage);
        return 1;
    }
    // The tree never offers anything else; a scan of it would look empty.
    const std::string path = ArgumentPath(folder);
    if (!platform::IsReadableFolder(path)) {
        std::fprintf(stderr, "tolvan-cli list: %s is not a readable folder\n", folder.c_str());
        return 1;
    }

    int messages = 0;
    platform::SetMessageBoxHandler([&messages](std::u16string_view text) {
        ++messages;
        std::fprintf(stderr, "%s\n", platform::WideToUtf8(text).c_str());
    });

    MemoryCatalogueView view;
    WaitingScanRunner scanner;
    Catalogue catalogue(view, scanner);
    std::u16string wideFolder = platform::Utf8ToWide(path);
    if (!query) {
        catalogue.OnFolderChanged(wideFolder);
    } else {
        catalogue.SetFolder(wideFolder);
        if (auto message = catalogue.OnQuery(request)) platform::ShowMessageBox(*message);
    }

    Printer printer(format == "json");
    printer.Label(view.Label());
    if (all) {
        for (int page = 0; page < catalogue.PageCount(); ++page) {
            catalogue.ShowPage(page);
            printer.Rows(view.Rows());
        }
    } else {
        printer.Rows(view.Rows());
    }
    printer.End();
    platform::SetMessageBoxHandler(nullptr);
    return messages > 0 ? 2 : 0;
}
