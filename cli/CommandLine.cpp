#include "cli/CommandLine.h"

#include <cstdio>

#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"

const char kExitStatusText[] =
    "Exit status: 0 done, 1 an error (bad usage, a file that cannot be read or\n"
    "written, data that stdout did not take whole), 2 a message of the program\n"
    "was shown (on stderr).\n";

namespace {

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

const char kOptionsText[] =
    "Options end at \"--\"; an option's value is taken as given, a \"-\" at its\n"
    "start included.\n";

}  // namespace

const OptionSpec* Arguments::Find(std::string_view name) const {
    for (const OptionSpec& option : command_.options)
        if (option.name == name) return &option;
    return nullptr;
}

std::optional<int> Arguments::Parse(const std::vector<std::string>& args) {
    // The first problem is the one reported, unless help was asked for
    // anywhere among the options.
    std::string problem;
    bool problemFound = false, help = false, optionsEnded = false;
    auto report = [&](std::string text) {
        if (!problemFound) problem = std::move(text);
        problemFound = true;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            if (operands_.size() < command_.maxOperands)
                operands_.push_back(arg);
            else
                report("unexpected argument '" + arg + "'");
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (IsHelp(arg)) {
            help = true;
        } else if (const OptionSpec* option = Find(arg)) {
            if (option->valueRule.empty()) {
                values_[arg];
            } else if (i + 1 >= args.size() || (option->accepts && !option->accepts(args[i + 1]))) {
                report(arg + " " + std::string(option->valueRule));
                ++i;
            } else {
                values_[arg] = args[++i];
            }
        } else {
            report("unexpected argument '" + arg + "'");
        }
    }
    if (help) {
        std::printf("usage: tolvan-cli %.*s\n\n%.*s%s\n%s", static_cast<int>(command_.usage.size()),
                    command_.usage.data(), static_cast<int>(command_.help.size()), command_.help.data(),
                    kOptionsText, kExitStatusText);
        return 0;
    }
    if (problemFound) return UsageError(problem);
    if (operands_.size() < command_.minOperands) return UsageError({});
    return std::nullopt;
}

std::string Arguments::Value(std::string_view option, std::string fallback) const {
    const auto it = values_.find(option);
    return it == values_.end() ? fallback : it->second;
}

int Arguments::UsageError(std::string_view problem) const {
    if (!problem.empty()) Failure(problem);
    std::fprintf(stderr, "usage: tolvan-cli %.*s\n", static_cast<int>(command_.usage.size()), command_.usage.data());
    return 1;
}

int Arguments::Failure(std::string_view problem) const {
    std::fprintf(stderr, "tolvan-cli %.*s: %.*s\n", static_cast<int>(command_.name.size()), command_.name.data(),
                 static_cast<int>(problem.size()), problem.data());
    return 1;
}

int Arguments::FileFailure(std::string_view doing, std::string_view file, int error) const {
    std::string problem = std::string(doing) + " " + std::string(file);
    if (error != 0) problem += ": " + platform::ErrorText(error);
    return Failure(problem);
}

ProgramMessages::ProgramMessages() {
    platform::SetMessageBoxHandler([this](std::u16string_view text) {
        ++count_;
        std::fprintf(stderr, "%s\n", platform::WideToUtf8(text).c_str());
    });
}

ProgramMessages::~ProgramMessages() { platform::SetMessageBoxHandler(nullptr); }
