#pragma once
// The crash-report writer of the process. Once installed, a crash (SIGSEGV, SIGBUS, SIGILL, SIGFPE or
// SIGABRT, which std::terminate ends in) leaves a text report "<user folder>/<program name>.<seconds since
// 1970>.dmp", written without asking, and the process then dies by the same signal.
namespace engine {

class CrashDumper {
public:
    // The dump type the program passes.
    static constexpr int kFilteredFullMemory = 0x0A;

    // The one instance of the process.
    static CrashDumper& Instance();

    // Works out the report folder (the user folder) and the program's name (from /proc/self/exe) and
    // installs the handlers. The prompt flag and dump type are kept for the caller; reports are always
    // written unasked. False when no report folder can be found or the handlers could not be installed.
    bool Init(int promptFlag, int dumpType = kFilteredFullMemory);

    int PromptFlag() const { return promptFlag_; }
    int DumpType() const { return dumpType_; }

private:
    CrashDumper() = default;

    int promptFlag_ = 0;
    int dumpType_ = 0;
};

// Gives the calling thread an alternate stack of its own for the crash handler, so that a stack overflow on
// that thread is reported; threads started after the install (the planner) call it first. True when the
// thread has one.
bool UseCrashStackOnThisThread();

}  // namespace engine
