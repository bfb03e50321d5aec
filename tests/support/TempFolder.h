#pragma once
// A fresh temporary folder for one test, removed with everything in it when
// the test ends; optionally the process's current directory meanwhile (the
// scan writes its result file there).

#include <filesystem>
#include <string>

class TempFolder {
public:
    explicit TempFolder(bool enter = false);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string Str() const { return path_.string(); }
    std::u16string Wide() const;
    // path/name as a string.
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};
