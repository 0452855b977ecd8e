// The script commands that show texts and help icons, wait, point the camera and mark hexes, the helpers
// all commands share and the keyword factory.
#include "game/level/script_commands.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "engine/core/frame_timer.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"
#include "game/level/level_services.h"
#include "game/level/script_manager.h"
#include "game/teams/team_manager.h"
#include "game/units/unit.h"

namespace game {
namespace {

constexpr float kIntelMaxSeconds = 3.0f;
constexpr float kHelpIconWait = 0.25f;

float FrameDelta(ScriptManager& manager) { return manager.Battle().GetFrameTimer().GetDeltaSeconds(false); }

class IntelCommand final : public ScriptAction {
public:
    using ScriptAction::ScriptAction;
    bool Parse(const ScriptLine& line) override {
        text_ = Manager().Battle().GetText(ScriptArgumentAscii(line.Argument(0)).c_str());
        seconds_ = ParseScriptTime(line.Argument(1));
        if (seconds_ > kIntelMaxSeconds) seconds_ = kIntelMaxSeconds;
        return true;
    }
    int Execute() override {
        Manager().Services().ShowBanner(text_, seconds_);
        return kScriptDone;
    }

private:
    engine::WideString text_;
    float seconds_ = 0.0f;
};

class WaitIntelCommand final : public ScriptAction {
public:
    using ScriptAction::ScriptAction;
    bool Parse(const ScriptLine&) override { return true; }
    int Execute() override { return Manager().Services().IsBannerShowing() ? kScriptPending : kScriptDone; }
};

class PauseCommand final : public ScriptAction {
public:
    using ScriptAction::ScriptAction;
    bool Parse(const ScriptLine& line) override {
        left_ = ParseScriptTime(line.Argument(0));
        return true;
    }
    int Execute() override {
        const TeamManager* teams = Manager().GetTeamManager();
        if (teams != nullptr && teams->IsBusy()) return kScriptPending;
        left_ -= FrameDelta(Manager());
        if (left_ < 0.0f) left_ = 0.0f;
        return left_ == 0.0f ? kScriptDone : kScriptPending;
    }

private:
    float left_ = 0.0f;
};

// The icon appears on the first execution only; the short wait after it runs by the frame clock, so that it
// lasts the same at any frame rate.
class HelpIconCommand final : public ScriptAction {
public:
    using ScriptAction::ScriptAction;
    bool Parse(const ScriptLine& line) override {
        key_ = ScriptArgumentAscii(line.Argument(1));
        seconds_ = ParseScriptTime(line.Argument(2));
        return ParseScriptHex(line.Argument(0), hex_);
    }
    int Execute() override {
        if (!shown_) {
            shown_ = true;
            Manager().Services().AddHelpIcon(hex_, key_, seconds_);
            wait_ = kHelpIconWait;
            return kScriptPending;
        }
        wait_ -= FrameDelta(Manager());
        return wait_ <= 0.0f ? kScriptDone : kScriptPending;
    }

private:
    HexCoord hex_{-1, -1};
    std::string key_;
    float seconds_ = 0.0f;
    float wait_ = 0.0f;
    bool shown_ = false;
};

class CamScrollCommand final : public ScriptAction {
public:
    using ScriptAction::ScriptAction;
    bool Parse(const ScriptLine& line) override { return ParseScriptHex(line.Argument(0), hex_); }
    int Execute() override {
        if (!done_) Manager().Services().LookAtHex(hex_);
        done_ = true;
        return kScriptDone;
    }

private:
    HexCoord hex_{-1, -1};
    bool done_ = false;
};

// Marks the hex alone for the computer player's planners; its neighbours stay unmarked.
class HotSpotCommand final : public ScriptAction {
public:
    using ScriptAction::ScriptAction;
    bool Parse(const ScriptLine& line) override { return ParseScriptHex(line.Argument(0), hex_); }
    int Execute() override {
        if (HexTile* tile = Manager().Battle().GetHexMap().EditTile(hex_)) tile->hotspot = 1;
        return kScriptDone;
    }

private:
    HexCoord hex_{-1, -1};
};

// The block is looked up while the script loads, among the blocks before the current one; any other name
// clears the hex's trigger.
class AddTriggerCommand final : public ScriptAction {
public:
    using ScriptAction::ScriptAction;
    bool Parse(const ScriptLine& line) override {
        if (!ParseScriptHex(line.Argument(0), hex_)) return false;
        block_ = Manager().FindBlock(line.Argument(1));
        if (block_ == nullptr) {
            Manager().Report("ADDTRIGGER names no earlier block \"" + ScriptArgumentAscii(line.Argument(1)) +
                             "\": the trigger is cleared");
        }
        return true;
    }
    int Execute() override {
        Manager().Battle().GetHexMap().SetTrigger(hex_, block_);
        return kScriptDone;
    }

private:
    HexCoord hex_{-1, -1};
    ScriptBlock* block_ = nullptr;
};

}  // namespace

Unit* FindScriptUnit(ScriptManager& manager, const engine::WideString& name) {
    const int id = manager.GetUnitVariable(name);
    Unit* unit = id != 0 ? manager.Battle().FindUnitById(id) : nullptr;
    if (unit == nullptr || unit->GetState() == 3 || unit->GetState() == 4) return nullptr;
    return unit;
}

bool ParseScriptHex(const engine::WideString& text, HexCoord& out) {
    const std::string ascii = ScriptArgumentAscii(text);
    return !ascii.empty() && ParseHexLabel(ascii, out);
}

float ParseScriptTime(const engine::WideString& text) {
    const std::string ascii = ScriptArgumentAscii(text);
    std::size_t at = 0;
    while (at < ascii.size() && static_cast<unsigned char>(ascii[at]) <= 32) ++at;
    if (at < ascii.size() && ascii[at] == '+') ++at;
    float value = 0.0f;
    const auto [end, error] = std::from_chars(ascii.data() + at, ascii.data() + ascii.size(), value);
    (void)end;
    if (error != std::errc() || !std::isfinite(value) || value < 0.0f) return 0.0f;
    return value;
}

std::unique_ptr<ScriptAction> CreateFromEntries(std::span<const ScriptCommandEntry> entries,
                                                const engine::WideString& keyword, ScriptManager& manager) {
    for (const ScriptCommandEntry& entry : entries) {
        if (keyword.EqualsNarrow(entry.keyword)) return entry.make(manager);
    }
    return nullptr;
}

std::unique_ptr<ScriptAction> CreateScriptAction(const engine::WideString& keyword, ScriptManager& manager) {
    if (std::unique_ptr<ScriptAction> unitCommand = CreateUnitCommand(keyword, manager)) return unitCommand;
    static constexpr ScriptCommandEntry kCommands[] = {
        {"INTEL", MakeScriptCommand<IntelCommand>},       {"WAITINTEL", MakeScriptCommand<WaitIntelCommand>},
        {"PAUSE", MakeScriptCommand<PauseCommand>},       {"HELPICON", MakeScriptCommand<HelpIconCommand>},
        {"CAMSCROLL", MakeScriptCommand<CamScrollCommand>}, {"HOTSPOT", MakeScriptCommand<HotSpotCommand>},
        {"ADDTRIGGER", MakeScriptCommand<AddTriggerCommand>},
    };
    return CreateFromEntries(kCommands, keyword, manager);
}

}  // namespace game
