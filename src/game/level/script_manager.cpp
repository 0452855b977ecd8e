// The script manager: loading the blocks, day starts, trigger records, running the blocks and the variables.
#include "game/level/script_manager.h"

#include <cstdio>

#include "engine/platform/script_reader.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"
#include "game/level/mission.h"
#include "game/teams/team_manager.h"
#include "game/units/unit.h"

namespace game {

ScriptManager::~ScriptManager() { Destroy(); }

void ScriptManager::Init(const std::string& folder) {
    Destroy();
    folder_ = folder;
}

void ScriptManager::Destroy() {
    for (auto& block : blocks_) block.reset();
    blockCount_ = 0;
    for (UnitVariable& entry : unitVariables_) entry = {};
    for (LocationVariable& entry : locationVariables_) entry = {};
    triggers_.clear();
}

void ScriptManager::Load(MissionDiagnostics* diagnostics) {
    engine::ScriptReader reader;
    if (!reader.Load((folder_ + "/Script").c_str())) return;
    Read(reader, diagnostics);
}

void ScriptManager::LoadFromImage(const std::uint8_t* bytes, std::size_t size, MissionDiagnostics* diagnostics) {
    engine::ScriptReader reader;
    if (!reader.LoadFromImage(bytes, size, "Script")) return;
    Read(reader, diagnostics);
}

void ScriptManager::Read(engine::ScriptReader& reader, MissionDiagnostics* diagnostics) {
    load_ = {diagnostics, reader.Text(), 0, 1};
    // Every pass reads a bracketed name past its "]" or ends at the end of the text.
    while (blockCount_ < kMaxScriptBlocks) {
        reader.SkipBlanksAndComments();
        MarkLine(reader.Cursor());
        const engine::WideString name = reader.NextKeyword();
        if (name.IsEmpty()) {
            if (reader.Cursor() >= reader.Length()) break;
            Report("block without a name skipped");
            continue;
        }
        auto block = std::make_unique<ScriptBlock>(name);
        if (block->Parse(reader, *this)) AddBlock(std::move(block));
    }
    if (blockCount_ == kMaxScriptBlocks) {
        reader.SkipBlanksAndComments();
        MarkLine(reader.Cursor());
        if (!reader.NextKeyword().IsEmpty()) Report("blocks past the 64th are not loaded");
    }
    load_ = {};
}

void ScriptManager::MarkLine(std::size_t position) {
    if (load_.sink == nullptr || load_.text == nullptr) return;
    for (; load_.counted < position; ++load_.counted) {
        if (load_.text[load_.counted] == u'\n') ++load_.line;
    }
}

void ScriptManager::Report(const std::string& message) {
    if (load_.sink != nullptr) load_.sink->Refuse(load_.line, "Script: " + message);
}

ScriptBlock* ScriptManager::GetBlock(int index) const {
    return index >= 0 && index < blockCount_ ? blocks_[static_cast<std::size_t>(index)].get() : nullptr;
}

ScriptBlock* ScriptManager::FindBlock(const engine::WideString& name) const {
    for (int i = 0; i < blockCount_; ++i) {
        if (blocks_[static_cast<std::size_t>(i)]->GetName().Equals(name)) return blocks_[static_cast<std::size_t>(i)].get();
    }
    return nullptr;
}

bool ScriptManager::AddBlock(std::unique_ptr<ScriptBlock> block) {
    if (block == nullptr || blockCount_ >= kMaxScriptBlocks) return false;
    blocks_[static_cast<std::size_t>(blockCount_++)] = std::move(block);
    return true;
}

void ScriptManager::FireDayStart(int day) {
    battle_.GetHexMap().ClearDropReservations();
    char name[32];
    std::snprintf(name, sizeof name, "DAY%i_START", day);
    if (ScriptBlock* block = FindBlock(engine::WideString(name))) block->Start();
}

void ScriptManager::SetInputHex(HexCoord hex) {
    const HexTile* tile = IsValidHex(hex) ? &battle_.GetHexMap().GetTile(hex) : nullptr;
    if (tile == nullptr || tile->trigger == nullptr) return;
    const Unit* unit = battle_.FindUnitAt(hex);
    triggers_.push_back({hex, unit != nullptr ? unit->GetId() : 0, tile->trigger});
}

void ScriptManager::StartTriggeredBlocks() {
    if (triggers_.empty()) return;
    if (teams_ != nullptr) teams_->SaveUndo(nullptr);
    // A block may record nothing new while it starts (no unit walks inside a command), but the list is taken
    // first all the same.
    std::vector<TriggerRecord> records;
    records.swap(triggers_);
    for (const TriggerRecord& record : records) {
        SetLocationVariable(engine::WideString("INPUTLOC"), record.hex);
        if (record.unitId != 0) SetUnitVariable(engine::WideString("INPUTUNIT"), record.unitId);
        record.block->Start();
    }
}

int ScriptManager::RunBlocks() {
    int allDone = 1;
    for (int i = 0; i < blockCount_; ++i) {
        ScriptBlock& block = *blocks_[static_cast<std::size_t>(i)];
        if (block.IsRunning() && block.Step() == 0) allDone = 0;
    }
    return allDone;
}

bool ScriptManager::IsAnyBlockRunning() const {
    for (int i = 0; i < blockCount_; ++i) {
        if (blocks_[static_cast<std::size_t>(i)]->IsRunning()) return true;
    }
    return false;
}

void ScriptManager::SetUnitVariable(const engine::WideString& name, int unitId) {
    if (name.IsEmpty()) return;
    for (UnitVariable& entry : unitVariables_) {
        if (entry.id != 0 && entry.name.Equals(name)) {
            entry.id = unitId;
            return;
        }
    }
    for (UnitVariable& entry : unitVariables_) {
        if (entry.id == 0) {
            entry.name = name;
            entry.id = unitId;
            return;
        }
    }
}

int ScriptManager::GetUnitVariable(const engine::WideString& name) const {
    if (name.IsEmpty()) return 0;
    for (const UnitVariable& entry : unitVariables_) {
        if (entry.id != 0 && entry.name.Equals(name)) return entry.id;
    }
    return 0;
}

void ScriptManager::SetLocationVariable(const engine::WideString& name, HexCoord hex) {
    if (name.IsEmpty()) return;
    for (LocationVariable& entry : locationVariables_) {
        if (entry.name.Equals(name)) {
            entry.hex = hex;
            return;
        }
    }
    for (LocationVariable& entry : locationVariables_) {
        if (entry.name.IsEmpty()) {
            entry.name = name;
            entry.hex = hex;
            return;
        }
    }
}

bool ScriptManager::GetLocationVariable(const engine::WideString& name, HexCoord& out) const {
    if (name.IsEmpty()) return false;
    for (const LocationVariable& entry : locationVariables_) {
        if (entry.name.Equals(name)) {
            out = entry.hex;
            return true;
        }
    }
    return false;
}

}  // namespace game
