#pragma once
// The markers drawn on the tiles that the range fills marked: one flat square model "Marker" lying in the
// ground plane and one material per kind of mark, each a tinted marker texture. A kind whose texture is
// missing (named once on stderr) draws nothing; without the model nothing is drawn at all.
#include <array>
#include <functional>
#include <set>
#include <string>

#include "game/units/scene_unit_view_factory.h"

namespace engine {
class DrawList;
}  // namespace engine

namespace game {

class HexMap;

enum TileMarkerKind : int {
    kMarkerMove = 0,
    kMarkerFire,
    kMarkerFireExt,
    kMarkerEngineer,
    kMarkerEngineerExt,
    kMarkerLanding,
    kMarkerBest,
    kMarkerEmbark,
    kMarkerDisembark,
    kTileMarkerKinds,
};

// The texture a kind of mark draws; null for another kind.
const char* TileMarkerTexture(int kind);

class TileMarkers {
public:
    // loadTexture: TextureTable::Load when empty; 0 when the texture is missing.
    explicit TileMarkers(std::function<int(const char* name)> loadTexture = {});
    ~TileMarkers();
    TileMarkers(const TileMarkers&) = delete;
    TileMarkers& operator=(const TileMarkers&) = delete;

    // Makes the model and the materials once; false when the model or a texture is missing.
    bool Create();
    // Deletes the materials it made; the model stays in the model table with the other shared models.
    void Free();

    // Queues the marker of every marked tile into the list at the tile's standing point. On a side's turn
    // that no player controls only the engineer marks show, drawn as move markers.
    void Draw(const HexMap& map, bool playerTurn, engine::DrawList& list) const;

    int GetModel() const { return model_; }
    // The material of a kind; 0 when it was not made.
    int GetMaterial(int kind) const;

private:
    void Add(const HexMap& map, int column, int row, int kind, float raise, engine::DrawList& list) const;

    std::function<int(const char* name)> loadTexture_;
    int model_ = 0;
    std::array<OwnedMaterial, kTileMarkerKinds> materials_ = {};
    std::set<std::string> reported_;
};

}  // namespace game
