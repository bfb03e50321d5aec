#pragma once
// The arguments of a tolvan-cli command, read one way for every command from
// the command's entry in the command table: its options, how many operands it
// takes, its usage line and its help. An argument beginning with "-" is an
// option until "--", which ends the options ("-" alone is an operand); an
// option's value is the next argument, taken as given even when it begins
// with "-" (--keyword -h searches for "-h"). --help and -h show the
// command's help wherever an option may stand.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Arguments;

struct OptionSpec {
    std::string_view name;  // "--keyword"
    // For an option that takes a value: what the value must be, as the usage
    // error says when it is missing or refused ("needs a value", "takes tsv
    // or json"). Empty for an option without a value.
    std::string_view valueRule = {};
    // Whether a value is accepted; null accepts any.
    bool (*accepts)(std::string_view value) = nullptr;
};

struct CommandSpec {
    std::string_view name;
    int (*run)(const Arguments& args);
    std::string_view usage;  // the usage line after "tolvan-cli "
    std::string_view help;   // what the command does, for --help
    std::vector<OptionSpec> options;
    size_t minOperands;
    size_t maxOperands = SIZE_MAX;
};

// The exit statuses every command shares, as the help texts give them.
extern const char kExitStatusText[];

class Arguments {
public:
    explicit Arguments(const CommandSpec& command) : command_(command) {}

    // Reads args, the arguments after the command's name. Returns the exit
    // status when the command is not to run: 0 after printing its help, 1
    // after a usage error; nothing when it is to run.
    std::optional<int> Parse(const std::vector<std::string>& args);

    const std::vector<std::string>& Operands() const { return operands_; }
    bool Has(std::string_view option) const { return values_.count(option) != 0; }
    // The value the option was given last; fallback when it was not given.
    std::string Value(std::string_view option, std::string fallback = {}) const;

    // The command's usage errors: "tolvan-cli NAME: problem" (left out when
    // empty) and the usage line, on stderr. Returns the exit status, 1.
    int UsageError(std::string_view problem) const;
    // Any other failure of the command: "tolvan-cli NAME: problem" on stderr.
    // Returns the exit status, 1.
    int Failure(std::string_view problem) const;
    // A file that failed the command: "tolvan-cli NAME: doing FILE: reason",
    // the reason being the system's (or the program's own) for error, left
    // out when error is 0 (not known). Returns the exit status, 1.
    int FileFailure(std::string_view doing, std::string_view file, int error) const;

private:
    const OptionSpec* Find(std::string_view name) const;

    const CommandSpec& command_;
    std::vector<std::string> operands_;
    std::map<std::string, std::string, std::less<>> values_;
};

// The program's messages (what the window shows in message boxes) while it
// lives: each printed on stderr as a line, and counted, for a command that
// showed one ends with status 2.
class ProgramMessages {
public:
    ProgramMessages();
    ~ProgramMessages();
    ProgramMessages(const ProgramMessages&) = delete;
    ProgramMessages& operator=(const ProgramMessages&) = delete;
    int Count() const { return count_; }

private:
    int count_ = 0;
};
