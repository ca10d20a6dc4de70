// A folder of one test's own under the temp folder, for the documents it hands
// to loxa.exe; removed, with every file written into it, when it goes.
#pragma once

#include <string>
#include <vector>

struct ScratchFolder {
    std::string path; // ends with a backslash; empty when creation failed
    std::vector<std::string> files;

    ScratchFolder() = default;
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();
};

// Creates (afresh) the folder "<temp>\loxa-<process id>-<name>\".
bool CreateScratchFolder(const std::string& name, ScratchFolder& folder);

// Writes `bytes` exactly as given into the file `name` of the folder and
// answers its full path; empty on failure.
std::string WriteScratchFile(ScratchFolder& folder, const std::string& name,
                             const std::string& bytes);
