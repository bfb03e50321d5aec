#pragma once
// The commands of tolvan-cli, each an entry of the command table: its name,
// usage, help and options, and the function that runs it (see CommandLine).

#include <string>

#include "cli/CommandLine.h"

// A path given on the command line, resolved against the folder the program
// was started in (the commands run in a private working folder of their own).
std::string ArgumentPath(const std::string& path);

// Lists the recordings of FOLDER as the record list shows them.
extern const CommandSpec kListCommand;
// Scans FOLDER and exports the whole catalogue into a workbook.
extern const CommandSpec kExportCommand;
// Decodes the G.729 stream IN (an LDV file) into the PCM WAV file OUT.
extern const CommandSpec kDecodeCommand;
// Converts the device ADPCM recording IN into the PCM WAV file OUT.
extern const CommandSpec kNormaliseCommand;
// Converts the LDV files FILE... into PCM WAV files in the folder DEST.
extern const CommandSpec kConvertCommand;
// Plays FILE through the sound device from start to end.
extern const CommandSpec kPlayCommand;
