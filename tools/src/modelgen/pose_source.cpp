#include "modelgen/pose_source.h"

#include <algorithm>
#include <map>
#include <sstream>

#include "modelgen/source_words.h"

namespace modelgen {
namespace {

using engine::Vec3;

constexpr const char* kKindNames[] = {"standing", "prone", "grenadier", "engineer"};
constexpr unsigned kAllKinds = 0xF;
constexpr float kLongestAction = 60.0f;

unsigned KindBit(SoldierKind kind) { return 1u << static_cast<unsigned>(kind); }

bool HasAction(const PoseBook& book, unsigned kind, const std::string& name) {
    return std::any_of(book.actions.begin(), book.actions.end(), [&](const PoseBook::Entry& entry) {
        return (entry.kinds & kind) != 0 && entry.plan.name == name;
    });
}

}  // namespace

bool ParsePoseText(std::string_view text, const std::string& name, PoseBook& book, std::string& error) {
    book = PoseBook{};
    std::array<bool, kSoldierBones> jointed{};
    std::map<std::string, Pose> poses;
    Pose* pose = nullptr;
    PoseBook::Entry* action = nullptr;
    unsigned kinds = kAllKinds;
    std::istringstream in{std::string(text)};
    std::string line;
    int number = 0;
    const auto fail = [&](const std::string& what) {
        error = name + ":" + std::to_string(number) + ": " + what;
        return false;
    };
    // Reads three numbers from words[1..3] of a line of four words.
    const auto readVec = [&](const std::vector<std::string>& words, Vec3& v) {
        if (words.size() != 4) return fail(words[0] + " needs x y z");
        float xyz[3];
        for (std::size_t i = 0; i < 3; ++i) {
            if (!ReadSourceFloat(words[i + 1], xyz[i])) return fail("bad number \"" + words[i + 1] + "\"");
        }
        v = {xyz[0], xyz[1], xyz[2]};
        return true;
    };
    while (std::getline(in, line)) {
        ++number;
        const std::vector<std::string> words = SourceWords(line);
        if (words.empty()) continue;
        const std::string& word = words[0];
        int bone = -1;
        if (word == "joint") {
            if (words.size() != 6) return fail("a joint needs a bone, its parent and x y z");
            if (!FindBone(words[1], bone)) return fail("unknown bone \"" + words[1] + "\"");
            const auto b = static_cast<std::size_t>(bone);
            if (jointed[b]) return fail("bone \"" + words[1] + "\" is jointed twice");
            int parent = -1;
            if (words[2] != "-" && !FindBone(words[2], parent)) return fail("unknown bone \"" + words[2] + "\"");
            if ((bone == 0) != (parent < 0) || parent >= bone) {
                return fail("the pelvis is the root, and every other bone's parent comes before it");
            }
            const std::vector<std::string> xyz = {"joint", words[3], words[4], words[5]};
            if (!readVec(xyz, book.joints[b])) return false;
            book.parents[b] = parent;
            jointed[b] = true;
            pose = nullptr;
            action = nullptr;
        } else if (word == "pose") {
            if (words.size() != 2 && !(words.size() == 4 && words[2] == "from")) {
                return fail("a pose needs a name and at most \"from <base>\"");
            }
            if (poses.count(words[1]) != 0) return fail("pose \"" + words[1] + "\" is named twice");
            Pose start;
            if (words.size() == 4) {
                const auto base = poses.find(words[3]);
                if (base == poses.end()) return fail("unknown pose \"" + words[3] + "\"");
                start = base->second;
            }
            pose = &poses[words[1]];
            *pose = start;
            action = nullptr;
        } else if (word == "root_offset" || word == "root_turn" || FindBone(word, bone)) {
            if (pose == nullptr) return fail("\"" + word + "\" outside a pose");
            Vec3& target = word == "root_offset" ? pose->rootOffset
                           : word == "root_turn" ? pose->rootTurn
                                                 : pose->turn[static_cast<std::size_t>(bone)];
            if (!readVec(words, target)) return false;
        } else if (word == "for") {
            if (words.size() < 2) return fail("for needs the kinds");
            kinds = 0;
            for (std::size_t i = 1; i < words.size(); ++i) {
                if (words[i] == "all") {
                    kinds = kAllKinds;
                    continue;
                }
                const auto* found = std::find(std::begin(kKindNames), std::end(kKindNames), words[i]);
                if (found == std::end(kKindNames)) return fail("unknown kind \"" + words[i] + "\"");
                kinds |= 1u << static_cast<unsigned>(found - std::begin(kKindNames));
            }
            pose = nullptr;
            action = nullptr;
        } else if (word == "action") {
            if (words.size() != 4 && words.size() != 5) return fail("an action needs a name, an end and its seconds");
            PoseBook::Entry entry;
            entry.kinds = kinds;
            entry.plan.name = words[1];
            if (words[2] == "loop") {
                entry.plan.end = cntbuild::EndMode::kLoop;
            } else if (words[2] == "hold") {
                entry.plan.end = cntbuild::EndMode::kHold;
            } else if (words[2] == "spawn") {
                entry.plan.end = cntbuild::EndMode::kSpawn;
            } else {
                return fail("unknown end \"" + words[2] + "\" (loop, hold or spawn)");
            }
            if (!ReadSourceFloat(words[3], entry.plan.seconds)) return fail("bad number \"" + words[3] + "\"");
            if (entry.plan.seconds <= 0 || entry.plan.seconds > kLongestAction) {
                return fail("an action lasts more than 0 and at most 60 seconds");
            }
            const bool spawn = entry.plan.end == cntbuild::EndMode::kSpawn;
            if (spawn != (words.size() == 5)) return fail("a spawn, and only a spawn, names its next action");
            if (spawn) {
                entry.plan.target = words[4];
                for (unsigned bit = 1; bit <= kAllKinds; bit <<= 1) {
                    if ((kinds & bit) != 0 && !HasAction(book, bit, entry.plan.target)) {
                        return fail("the next action \"" + entry.plan.target + "\" is not written before");
                    }
                }
            }
            for (unsigned bit = 1; bit <= kAllKinds; bit <<= 1) {
                if ((kinds & bit) != 0 && HasAction(book, bit, entry.plan.name)) {
                    return fail("action \"" + entry.plan.name + "\" is written twice");
                }
            }
            book.actions.push_back(std::move(entry));
            action = &book.actions.back();
            pose = nullptr;
        } else if (word == "key") {
            if (action == nullptr) return fail("a key outside an action");
            if (words.size() != 3) return fail("a key needs a time and a pose");
            PoseKey key;
            if (!ReadSourceFloat(words[1], key.time)) return fail("bad number \"" + words[1] + "\"");
            const std::vector<PoseKey>& keys = action->plan.keys;
            if (key.time < 0 || key.time > action->plan.seconds || (!keys.empty() && key.time < keys.back().time)) {
                return fail("key times rise from 0 to the action's length");
            }
            const auto found = poses.find(words[2]);
            if (found == poses.end()) return fail("unknown pose \"" + words[2] + "\"");
            key.pose = found->second;
            action->plan.keys.push_back(key);
        } else {
            return fail("unknown line \"" + word + "\"");
        }
    }
    for (int b = 0; b < kSoldierBones; ++b) {
        if (!jointed[static_cast<std::size_t>(b)]) {
            error = name + ": no joint for bone \"" + BoneName(b) + "\"";
            return false;
        }
    }
    return true;
}

std::vector<ActionPlan> SoldierActions(const PoseBook& book, SoldierKind kind) {
    std::vector<ActionPlan> plans;
    for (const PoseBook::Entry& entry : book.actions) {
        if ((entry.kinds & KindBit(kind)) != 0) plans.push_back(entry.plan);
    }
    return plans;
}

}  // namespace modelgen
