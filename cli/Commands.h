#pragma once
// The subcommands of tolvan-cli. Each takes the arguments after its name and
// returns the process exit status.

#include <string>
#include <vector>

using CommandArgs = std::vector<std::string>;

// A path given on the command line, resolved against the folder the program
// was started in (the commands run in a private working folder of their own).
std::string ArgumentPath(const std::string& path);

int RunListCommand(const CommandArgs& args);
// Scans FOLDER and exports the whole catalogue into a workbook.
int RunExportCommand(const CommandArgs& args);
// Decodes the G.729 stream IN (an LDV file) into the PCM WAV file OUT.
int RunDecodeCommand(const CommandArgs& args);
// Converts the LDV files FILE... into PCM WAV files in the folder DEST.
int RunConvertCommand(const CommandArgs& args);
// Plays FILE through the sound device from start to end.
int RunPlayCommand(const CommandArgs& args);
// Converts the device ADPCM recording IN into the PCM WAV file OUT.
int RunNormaliseCommand(const CommandArgs& args);
