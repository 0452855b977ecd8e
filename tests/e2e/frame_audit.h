#pragma once
// What a walk must never see while the program runs: a text drawn as the string table's "No String" (a key
// missing from the locale files), the blue and red checkerboard a material draws with when its texture is
// missing, a GL error, or one of the program's own reports on stderr (a model, sound, texture, level or file
// that is missing or damaged). It watches from its construction, over every run of the driver, until it is
// destroyed; make it before the driver's first Run.
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

class ProgramDriver;

class FrameAudit {
public:
    explicit FrameAudit(ProgramDriver& driver);
    ~FrameAudit();
    FrameAudit(const FrameAudit&) = delete;
    FrameAudit& operator=(const FrameAudit&) = delete;

    // One line for each thing seen so far (the first frame it was seen on); empty for a clean run.
    std::vector<std::string> Findings() const;
    // A test failure for each finding.
    void ExpectClean() const;

private:
    static void OnText(std::u16string_view text, void* user);
    // After every frame, on the program's thread: the GL error flags and the texture table.
    void AfterFrame();
    void Note(const std::string& what);

    ProgramDriver& driver_;
    mutable std::mutex mutex_;
    int frame_ = 0;
    // Each finding once, in the order seen; the set keeps repeats out.
    std::vector<std::string> findings_;
    std::set<std::string> seen_;
};

}  // namespace e2e
