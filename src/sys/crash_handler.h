#pragma once
// Crash reports: handlers for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT that write a text report (signal,
// code, fault address, thread, registers, backtrace and a copy of the process's memory map) into a folder
// and then let the process die by the same signal, so that its exit status and the system's core policy
// both see the crash.
//
// The handler runs on an alternate signal stack, so a stack overflow is reported too. Everything it needs
// (the folder, the program's name, the unwinder) is prepared at install time: the handler itself makes
// only async-signal-safe calls and allocates nothing. When the report cannot be created or written, one
// line saying so goes to stderr.
#include <cstddef>
#include <string>

namespace sys {

// Size of every alternate signal stack the crash handler sets up.
inline constexpr std::size_t kCrashStackSize = 128 * 1024;

// Installs the handlers for the whole process and gives the calling thread an alternate stack. Reports
// are named "<folder>/<programName>.<seconds since 1970>.dmp" (a counter is added before ".dmp" when that
// name exists); the folder and its missing parents are created when a report is written. Installing
// again replaces the folder and name. False, with nothing installed, when the folder is not an absolute
// path or the folder or name is too long; false also when a handler could not be installed.
bool InstallCrashHandler(const std::string& folder, const std::string& programName);

// Gives the calling thread an alternate signal stack of its own, so that a stack overflow on it is
// reported; threads started after InstallCrashHandler call this first thing. The stack is released when
// the thread ends. True when the thread has one (including one set up earlier).
bool UseCrashStackOnThisThread();

}  // namespace sys
