#pragma once
// The catalogue of the FOLDER that list and export name, kept in memory as
// the window keeps its own, and the checks both commands make of it.

#include <string>

#include "catalogue/Catalogue.h"
#include "catalogue/MemoryCatalogueView.h"
#include "catalogue/ScanRunner.h"
#include "cli/CommandLine.h"

struct FolderCatalogue {
    // Takes folder, as given on the command line, when it is a readable
    // folder: the folder tree never offers anything else, and a scan of
    // anything else would look empty. Otherwise the command fails, saying
    // why; false.
    bool Open(const Arguments& args, const std::string& folder);
    // After a scan: a result the scan could not keep fails the command,
    // saying why; false.
    bool Scanned(const Arguments& args) const;

    std::u16string folder;  // FOLDER in the program's form, once opened
    MemoryCatalogueView view;
    WaitingScanRunner scanner;
    Catalogue catalogue{view, scanner};
};
