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
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"

namespace {

void PrintRows(const std::vector<RowTexts>& rows) {
    for (const RowTexts& row : rows) {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c) {
            if (c) line += '\t';
            line += platform::WideToUtf8(row[c]);
        }
        std::printf("%s\n", line.c_str());
    }
}

const char kUsage[] =
    "usage: tolvan-cli list FOLDER [--from TEXT] [--to TEXT] [--type TEXT] [--keyword TEXT] [--page TEXT] [--all]\n";

}  // namespace

int RunListCommand(const CommandArgs& args) {
    static const std::map<std::string, CatalogueControl> kFieldOptions = {
        {"--from", kIdStartDate}, {"--to", kIdEndDate},       {"--type", kIdCallType},
        {"--keyword", kIdKeyword}, {"--page", kIdPageNumber},
    };
    std::string folder;
    bool haveFolder = false, all = false;
    std::map<CatalogueControl, std::u16string> fields;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--all") {
            all = true;
        } else if (auto it = kFieldOptions.find(a); it != kFieldOptions.end()) {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "tolvan-cli list: %s needs a value\n%s", a.c_str(), kUsage);
                return 1;
            }
            fields[it->second] = platform::Utf8ToWide(args[++i]);
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

    int messages = 0;
    platform::SetMessageBoxHandler([&messages](std::u16string_view text) {
        ++messages;
        std::fprintf(stderr, "%s\n", platform::WideToUtf8(text).c_str());
    });

    MemoryCatalogueView view;
    WaitingScanRunner scanner;
    Catalogue catalogue(view, scanner);
    std::u16string wideFolder = platform::Utf8ToWide(folder);
    if (fields.empty()) {
        catalogue.OnFolderChanged(wideFolder);
    } else {
        catalogue.SetFolder(wideFolder);
        // An option left out is an empty field; the type box keeps its start text.
        for (auto id : {kIdStartDate, kIdEndDate, kIdKeyword, kIdPageNumber}) view.SetControlText(id, fields[id]);
        if (fields.count(kIdCallType)) view.SetControlText(kIdCallType, fields[kIdCallType]);
        catalogue.OnQuery();
    }

    std::printf("%s\n", platform::WideToUtf8(view.ControlText(kIdPageLabel)).c_str());
    if (all) {
        for (int page = 0; page < catalogue.PageCount(); ++page) {
            catalogue.ShowPage(page);
            PrintRows(view.Rows());
        }
    } else {
        PrintRows(view.Rows());
    }
    platform::SetMessageBoxHandler(nullptr);
    return messages > 0 ? 2 : 0;
}
