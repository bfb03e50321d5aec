#include "cli/FileArguments.h"

#include "cli/Commands.h"
#include "platform/Files.h"

bool InputAndOutput(const Arguments& args, std::string& in, std::string& out) {
    in = ArgumentPath(args.Operands()[0]);
    out = ArgumentPath(args.Operands()[1]);
    if (!platform::SameFile(in, out)) return true;
    args.Failure(args.Operands()[0] + " is both the input and the output");
    return false;
}
