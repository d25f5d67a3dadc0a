#pragma once

#include <string>

// The process services a program gets from its runtime: starting another program, ending this
// one, and what the process was started with.
namespace runtime {

// Starts a command line (a program path, optionally a blank and arguments) as a new process
// whose first window gets windowStyle as its show state (0 to 6, the values of ShowWindow), and
// returns at once. A program that cannot be started raises "file not found" or "permission
// denied"; a style outside 0 to 6 raises "invalid procedure call".
void Shell(const std::string& commandLine, int windowStyle);

// Ends the process at once: no destructor, no window's close or unload code, no handler runs.
[[noreturn]] void EndProcess();

// The arguments the program was started with: its command line after its own path. The path is
// recognised also when it holds blanks, quoted or not.
std::string CommandArguments();
// The part of a command line after the program path; the program's own file name, at an existing
// file, tells where an unquoted path with blanks ends.
std::string ArgumentsOf(const std::wstring& commandLine, const std::wstring& programFileName);

// The path of the running program file, and the folder that holds it (no trailing backslash,
// except at a drive root such as "D:\").
std::string ProgramPath();
std::string ProgramFolder();
// The system folder (for example "C:\Windows\System32", no trailing backslash): programs of the
// system are started from there by their full path, never by a bare name that the search would
// look for beside the program first.
std::string SystemFolder();

// The value of an environment variable, empty when it is not set.
std::string Environ(const std::string& name);

} // namespace runtime
