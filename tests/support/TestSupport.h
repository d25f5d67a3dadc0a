#pragma once

#include <chrono>
#include <functional>
#include <string>

// Helpers shared by the test programs: where the built programs lie, scratch folders and files.
namespace testsupport {

// The folder of the running test program (build\bin), with a trailing backslash.
std::string BinFolder();
// A stand-in program built beside the tests (build\bin\standins\<name>).
std::string StandinPath(const std::string& name);

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    explicit TempFolder(const std::string& hint = "tvx");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder path with a trailing backslash.
    const std::string& Path() const noexcept { return path_; }

private:
    std::string path_;
};

bool FileExists(const std::string& path);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
void RemoveTree(const std::string& path);

// Polls until the condition holds or the time is up; true when it held.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit);

} // namespace testsupport
