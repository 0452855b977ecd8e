#include "sys/crash_handler.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <ctime>

// Everything reached from HandleCrash runs inside a signal handler: only async-signal-safe calls, no
// allocation, no locks, no stdio. Numbers are formatted by hand into fixed buffers.

namespace sys {

namespace {

constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr std::size_t kFolderCapacity = 4096;
constexpr std::size_t kNameCapacity = 256;
// Folder, "/", name, ".", time, ".", counter, ".dmp" and the terminator.
constexpr std::size_t kPathCapacity = kFolderCapacity + kNameCapacity + 64;
constexpr int kMaxNameTries = 1000;
constexpr int kMaxFrames = 64;

char g_folder[kFolderCapacity];
char g_programName[kNameCapacity];
char g_path[kPathCapacity];
char g_folderWork[kFolderCapacity];
char g_copyBuffer[4096];

// One thread writes a report; a second crashing thread waits for the first to end the process.
std::atomic_flag g_writing = ATOMIC_FLAG_INIT;
// The thread that holds g_writing, so that a fault inside the writer ends the process instead of waiting
// for itself.
std::atomic<long> g_writerThread{0};

std::size_t TextLength(const char* text) {
    std::size_t n = 0;
    while (text[n] != '\0') ++n;
    return n;
}

// Appends text to a zero-terminated buffer of `capacity` bytes; false when it does not fit.
bool AppendText(char* buffer, std::size_t capacity, const char* text) {
    std::size_t at = TextLength(buffer);
    for (; *text != '\0'; ++text) {
        if (at + 1 >= capacity) return false;
        buffer[at++] = *text;
    }
    buffer[at] = '\0';
    return true;
}

// Decimal digits of a signed value into `out` (at least 24 bytes), zero-terminated.
void FormatDecimal(long long value, char* out) {
    char digits[24];
    int n = 0;
    unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int at = 0;
    if (value < 0) out[at++] = '-';
    while (n > 0) out[at++] = digits[--n];
    out[at] = '\0';
}

// "0x" and 16 hexadecimal digits into `out` (at least 19 bytes).
void FormatHex(std::uint64_t value, char* out) {
    static const char kDigits[] = "0123456789abcdef";
    out[0] = '0';
    out[1] = 'x';
    for (int i = 0; i < 16; ++i) out[2 + i] = kDigits[(value >> (60 - 4 * i)) & 0xF];
    out[18] = '\0';
}

bool WriteAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Buffered text output to a descriptor; the first failed write is kept with its errno.
class ReportWriter {
public:
    explicit ReportWriter(int fd) : fd_(fd) {}

    void Text(const char* text) { Bytes(text, TextLength(text)); }
    void Decimal(long long value) {
        char digits[24];
        FormatDecimal(value, digits);
        Text(digits);
    }
    void Hex(std::uint64_t value) {
        char digits[20];
        FormatHex(value, digits);
        Text(digits);
    }
    void Bytes(const char* data, std::size_t size) {
        while (size > 0) {
            if (used_ == sizeof(buffer_)) Flush();
            std::size_t n = sizeof(buffer_) - used_;
            if (n > size) n = size;
            for (std::size_t i = 0; i < n; ++i) buffer_[used_ + i] = data[i];
            used_ += n;
            data += n;
            size -= n;
        }
    }
    void Flush() {
        if (used_ > 0 && error_ == 0 && !WriteAll(fd_, buffer_, used_)) error_ = errno != 0 ? errno : EIO;
        used_ = 0;
    }
    int Error() const { return error_; }

private:
    int fd_;
    int error_ = 0;
    std::size_t used_ = 0;
    char buffer_[1024];
};

const char* SignalName(int signal) {
    switch (signal) {
        case SIGSEGV: return "SIGSEGV";
        case SIGBUS: return "SIGBUS";
        case SIGILL: return "SIGILL";
        case SIGFPE: return "SIGFPE";
        case SIGABRT: return "SIGABRT";
        default: return "signal";
    }
}

void WriteRegisters(ReportWriter& out, const void* context) {
    out.Text("\nRegisters:\n");
    if (context == nullptr) {
        out.Text("  (no context)\n");
        return;
    }
    const auto* uc = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
    struct Register {
        const char* name;
        int index;
    };
    static const Register kRegisters[] = {
        {"RAX", REG_RAX}, {"RBX", REG_RBX}, {"RCX", REG_RCX},       {"RDX", REG_RDX},
        {"RSI", REG_RSI}, {"RDI", REG_RDI}, {"RBP", REG_RBP},       {"RSP", REG_RSP},
        {"R8", REG_R8},   {"R9", REG_R9},   {"R10", REG_R10},       {"R11", REG_R11},
        {"R12", REG_R12}, {"R13", REG_R13}, {"R14", REG_R14},       {"R15", REG_R15},
        {"RIP", REG_RIP}, {"EFL", REG_EFL}, {"CSGSFS", REG_CSGSFS}, {"ERR", REG_ERR},
        {"TRAPNO", REG_TRAPNO}, {"OLDMASK", REG_OLDMASK}, {"CR2", REG_CR2},
    };
    int column = 0;
    for (const Register& r : kRegisters) {
        out.Text("  ");
        out.Text(r.name);
        out.Text(" ");
        out.Hex(static_cast<std::uint64_t>(uc->uc_mcontext.gregs[r.index]));
        if (++column == 4) {
            out.Text("\n");
            column = 0;
        }
    }
    if (column != 0) out.Text("\n");
#elif defined(__aarch64__)
    for (int i = 0; i < 31; ++i) {
        out.Text("  X");
        out.Decimal(i);
        out.Text(" ");
        out.Hex(uc->uc_mcontext.regs[i]);
        if (i % 4 == 3) out.Text("\n");
    }
    out.Text("  SP ");
    out.Hex(uc->uc_mcontext.sp);
    out.Text("\n  PC ");
    out.Hex(uc->uc_mcontext.pc);
    out.Text("  PSTATE ");
    out.Hex(uc->uc_mcontext.pstate);
    out.Text("  FAULT ");
    out.Hex(uc->uc_mcontext.fault_address);
    out.Text("\n");
#else
    (void)uc;
    out.Text("  (not available on this architecture)\n");
#endif
}

void CopyMemoryMap(ReportWriter& out) {
    out.Text("\nMemory map:\n");
    const int fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        out.Text("  (unavailable)\n");
        return;
    }
    for (;;) {
        const ssize_t n = ::read(fd, g_copyBuffer, sizeof(g_copyBuffer));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        out.Bytes(g_copyBuffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
}

// Creates the report folder and its missing parents; failures show up when the file is opened.
void CreateFolders() {
    g_folderWork[0] = '\0';
    AppendText(g_folderWork, sizeof(g_folderWork), g_folder);
    for (char* p = g_folderWork + 1; *p != '\0'; ++p) {
        if (*p != '/') continue;
        *p = '\0';
        ::mkdir(g_folderWork, 0700);
        *p = '/';
    }
    ::mkdir(g_folderWork, 0700);
}

// Builds "<folder>/<name>.<time>[.<n>].dmp" into g_path.
void BuildReportPath(long long seconds, int counter) {
    char number[24];
    g_path[0] = '\0';
    AppendText(g_path, sizeof(g_path), g_folder);
    AppendText(g_path, sizeof(g_path), "/");
    AppendText(g_path, sizeof(g_path), g_programName);
    AppendText(g_path, sizeof(g_path), ".");
    FormatDecimal(seconds, number);
    AppendText(g_path, sizeof(g_path), number);
    if (counter > 0) {
        AppendText(g_path, sizeof(g_path), ".");
        FormatDecimal(counter, number);
        AppendText(g_path, sizeof(g_path), number);
    }
    AppendText(g_path, sizeof(g_path), ".dmp");
}

void ReportFailure(const char* before, const char* after, int error) {
    ReportWriter err(STDERR_FILENO);
    err.Text(before);
    err.Text(g_path);
    err.Text(after);
    err.Decimal(error);
    err.Text(")\n");
    err.Flush();
}

void WriteReport(int signal, const siginfo_t* info, const void* context, long thread) {
    const long long seconds = static_cast<long long>(::time(nullptr));
    CreateFolders();
    int fd = -1;
    for (int counter = 0; counter < kMaxNameTries && fd < 0; ++counter) {
        BuildReportPath(seconds, counter);
        fd = ::open(g_path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        ReportFailure("Failed to create the mini-dump file '", "' (error ", errno);
        return;
    }

    ReportWriter out(fd);
    out.Text("Crash report of ");
    out.Text(g_programName);
    out.Text("\nSignal: ");
    out.Text(SignalName(signal));
    out.Text(" (");
    out.Decimal(signal);
    out.Text(")\nCode: ");
    out.Decimal(info != nullptr ? info->si_code : 0);
    if (info != nullptr && info->si_code > 0) {
        // Raised by the processor: si_addr is the faulting address (or instruction).
        out.Text("\nFault address: ");
        out.Hex(reinterpret_cast<std::uintptr_t>(info->si_addr));
    } else if (info != nullptr) {
        out.Text("\nSent by process: ");
        out.Decimal(info->si_pid);
    }
    out.Text("\nThread: ");
    out.Decimal(thread);
    out.Text("\nTime: ");
    out.Decimal(seconds);
    out.Text("\n");
    WriteRegisters(out, context);

    out.Text("\nBacktrace:\n");
    out.Flush();
    void* frames[kMaxFrames];
    const int count = ::backtrace(frames, kMaxFrames);
    ::backtrace_symbols_fd(frames, count, fd);

    CopyMemoryMap(out);
    out.Flush();
    int error = out.Error();
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) ReportFailure("Failed to save the mini-dump file to '", "' (error ", error);
}

void HandleCrash(int signal, siginfo_t* info, void* context);

bool ArmHandler(int signal) {
    struct sigaction action {};
    action.sa_sigaction = HandleCrash;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    return ::sigaction(signal, &action, nullptr) == 0;
}

// Restores the default action and raises the signal again, unblocked, so the process dies by it.
[[noreturn]] void DieBySignal(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(signal);
    // Not reached for these signals; should anything have ignored it, leave without running exit code.
    ::_exit(128 + signal);
}

void HandleCrash(int signal, siginfo_t* info, void* context) {
    const long thread = static_cast<long>(::syscall(SYS_gettid));
    if (g_writerThread.load(std::memory_order_acquire) != thread) {
        // SA_RESETHAND has put the default action back for the whole process; arm the handler again so that
        // another thread crashing with the same signal waits below instead of ending the process early.
        ArmHandler(signal);
        while (g_writing.test_and_set(std::memory_order_acquire)) {
        }
        g_writerThread.store(thread, std::memory_order_release);
        WriteReport(signal, info, context, thread);
    }
    DieBySignal(signal);
}

bool CopyText(char* out, std::size_t capacity, const std::string& text) {
    if (text.size() >= capacity || text.find('\0') != std::string::npos) return false;
    for (std::size_t i = 0; i < text.size(); ++i) out[i] = text[i];
    out[text.size()] = '\0';
    return true;
}

// The calling thread's alternate stack, unmapped when the thread ends.
struct ThreadCrashStack {
    void* base = nullptr;

    ~ThreadCrashStack() {
        if (base == nullptr) return;
        stack_t current{};
        if (::sigaltstack(nullptr, &current) == 0 && current.ss_sp == base) {
            stack_t off{};
            off.ss_flags = SS_DISABLE;
            ::sigaltstack(&off, nullptr);
        }
        ::munmap(base, kCrashStackSize);
    }
};

thread_local ThreadCrashStack t_crashStack;

}  // namespace

bool UseCrashStackOnThisThread() {
    if (t_crashStack.base != nullptr) return true;
    void* base = ::mmap(nullptr, kCrashStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (base == MAP_FAILED) return false;
    stack_t stack{};
    stack.ss_sp = base;
    stack.ss_size = kCrashStackSize;
    if (::sigaltstack(&stack, nullptr) != 0) {
        ::munmap(base, kCrashStackSize);
        return false;
    }
    t_crashStack.base = base;
    return true;
}

bool InstallCrashHandler(const std::string& folder, const std::string& programName) {
    if (folder.empty() || folder.front() != '/') return false;
    std::string trimmed = folder;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    if (!CopyText(g_folder, kFolderCapacity, trimmed) || programName.empty() ||
        !CopyText(g_programName, kNameCapacity, programName)) {
        return false;
    }
    // The first backtrace loads the unwinder (which allocates); afterwards it is safe in the handler.
    void* frames[2];
    ::backtrace(frames, 2);

    bool ok = UseCrashStackOnThisThread();
    for (int signal : kCrashSignals) ok = ArmHandler(signal) && ok;
    return ok;
}

}  // namespace sys
