#pragma once
// What the level shows in the scene: its model (the folder's "/Map" scene container) with the node
// "MapTopTree", the ground marks and the reach marker. The null presenter shows nothing, so a level without
// a model is a valid level whose line of sight is always clear.
#include <string>

#include "engine/core/vector.h"
#include "game/battle/hex_coord.h"

namespace engine {
class SceneNode;
}  // namespace engine

namespace game {

class LevelPresenter {
public:
    virtual ~LevelPresenter() = default;
    // Loads the level model of the folder and hangs it under the world; false when there is none.
    virtual bool LoadModel(const std::string& folder) = 0;
    // Sets or clears the active flag of the "MapTopTree" node, when there is one.
    virtual void SetMapTopTreeVisible(bool visible) = 0;
    // Places the reach marker once, at the tile's level point.
    virtual void ShowReachMarker(HexCoord hex, const engine::Vec3& levelPoint) = 0;
    // Releases everything it made.
    virtual void Release() = 0;
    // The root of the loaded level model, whose triangles block lines of sight; null without a model.
    virtual engine::SceneNode* GetModelNode() const { return nullptr; }
};

class NullLevelPresenter final : public LevelPresenter {
public:
    bool LoadModel(const std::string&) override { return false; }
    void SetMapTopTreeVisible(bool) override {}
    void ShowReachMarker(HexCoord, const engine::Vec3&) override {}
    void Release() override {}
};

}  // namespace game
