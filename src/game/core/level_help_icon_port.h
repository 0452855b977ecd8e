#pragma once
// The human side's help-icon port over the icons of the loaded level; no icons while none is loaded.
#include <memory>

#include "game/core/player_ports.h"
#include "game/level/level.h"

namespace game {

class LevelHelpIconPort final : public HelpIconPort {
public:
    explicit LevelHelpIconPort(const std::unique_ptr<Level>& level) : level_(level) {}
    bool HasIconAt(HexCoord hex) const override { return level_ && level_->GetHelpIcons().HasIconAt(hex); }
    bool CollectByModel(const engine::SceneNode* node) override {
        return level_ && level_->GetHelpIcons().CollectByModel(node);
    }
    bool CollectAtHex(HexCoord hex) override { return level_ && level_->GetHelpIcons().CollectAtHex(hex); }

private:
    const std::unique_ptr<Level>& level_;
};

}  // namespace game
