#pragma once
// A battle on a fixture map for the human side's pointer and order steps: the real map, teams, units and
// structures, a scripted button, pointer and pick, and recording help icons, move-choice menu and orders.
#include <set>

#include "engine/platform/key_codes.h"
#include "game/battle/hex_map_source.h"
#include "game/battle/structure.h"
#include "game/units/unit.h"
#include "game/units/unit_order.h"
#include "game_fixture.h"

namespace core_test {

class RecordingHelpIcons : public HelpIconPort {
public:
    bool HasIconAt(HexCoord hex) const override { return at.count(hex.Packed()) != 0; }
    bool CollectByModel(const engine::SceneNode*) override {
        ++modelCollects;
        return false;
    }
    bool CollectAtHex(HexCoord hex) override {
        collected.push_back(hex);
        return at.erase(hex.Packed()) != 0;
    }
    std::set<std::uint32_t> at;
    std::vector<HexCoord> collected;
    int modelCollects = 0;
};

class RecordingMoveChoice : public MoveChoicePort {
public:
    bool IsShown() const override { return shown; }
    void SetShown(bool show, bool) override { shown = show; }
    void OpenAt(int x, int y) override {
        ++opens;
        openX = x;
        openY = y;
        choices.clear();
        chosen = 0;
        shown = true;
    }
    void AddChoice(int value) override { choices.push_back(value); }
    int GetChoice() const override { return chosen; }
    bool shown = false;
    int opens = 0;
    int openX = 0;
    int openY = 0;
    std::vector<int> choices;
    int chosen = 0;
};

// An order that only names its kind; the units' own orders are not run here.
class NamedOrder : public UnitOrder {
public:
    explicit NamedOrder(int kind) : kind_(kind) {}
    bool Step(bool) override { return true; }
    int Kind() const override { return kind_; }

private:
    int kind_;
};

class RecordingOrders : public OrderFactory {
public:
    std::unique_ptr<UnitOrder> MakeAttack(int target, bool noRetaliation) override {
        return Made("attack " + std::to_string(target) + " " + std::to_string(noRetaliation ? 1 : 0), kOrderAttack);
    }
    std::unique_ptr<UnitOrder> MakeFollowPath(const HexPath& route) override {
        return Made("path " + std::to_string(route.count), kOrderFollowPath);
    }
    std::unique_ptr<UnitOrder> MakeCaptureStructure(Structure& s) override {
        return Made("capture structure " + FormatHexLabel(s.GetHex()), kOrderCaptureStructure);
    }
    std::unique_ptr<UnitOrder> MakeCaptureUnit(Unit& unit) override {
        return Made("capture unit " + std::to_string(unit.GetId()), kOrderCaptureUnit);
    }
    std::unique_ptr<UnitOrder> MakePickUp(Unit* passenger) override {
        return Made("pick up " + std::to_string(passenger != nullptr ? passenger->GetId() : 0), kOrderPickUp);
    }
    std::unique_ptr<UnitOrder> MakeEmbark(Unit& carrier) override {
        return Made("embark " + std::to_string(carrier.GetId()), kOrderEmbark);
    }
    std::unique_ptr<UnitOrder> MakeDisembark(HexCoord hex) override {
        return Made("disembark " + FormatHexLabel(hex), kOrderDisembark);
    }
    std::vector<std::string> made;

private:
    std::unique_ptr<UnitOrder> Made(std::string line, int kind) {
        made.push_back(std::move(line));
        return std::make_unique<NamedOrder>(kind);
    }
};

class PlayerTest : public GameTest {
protected:
    PlayerTest() {
        parts.helpIcons = &icons;
        parts.moveChoice = &menu;
        parts.orders = &orders;
        parts.random = &scriptedRandom;
        view.picker = [this](int, int, engine::PickHit& hit, engine::Vec3& point) {
            if (!hitting) return false;
            hit = engine::PickHit();
            hit.node = const_cast<engine::SceneNode*>(hitNode);
            point = hitPoint;
            return true;
        };
    }

    // Loads a pass-and-play battle on the map with blue to move.
    void Start(const std::string& lines) {
        WriteMap("Map", lines);
        platform.onFrame = [this](int) { game->RequestQuit(); };
        LoadThrough(kGameLoadPassAndPlay, "Map");
        ASSERT_NE(game->GetTeamManager(), nullptr);
        TeamManager& teams = *game->GetTeamManager();
        blue = teams.FindTeam(1);
        green = teams.FindTeam(2);
        ASSERT_NE(blue, nullptr);
        for (int slot = 0; slot < 5; ++slot) {
            if (teams.GetTeam(slot) == blue) teams.RestoreTurnOrder(1, 1, slot);
        }
        ASSERT_EQ(teams.GetCurrentTeam(), blue);
        game->SetState(kGameBackToTurn);  // the side's turn, without its entry
        platform.delta = 0.0f;
        platform.down.clear();
        Clear();
    }
    Unit* Spawn(int type, const char* label, Team* team = nullptr) {
        Team* side = team != nullptr ? team : blue;
        const int id = side->SpawnUnit(type, Hex(label), 0, false, 1.0f);
        return id != 0 ? game->FindUnitById(id) : nullptr;
    }
    static HexCoord Hex(const char* label) {
        HexCoord hex;
        EXPECT_TRUE(ParseHexLabel(label, hex)) << label;
        return hex;
    }
    HexMap& Map() { return game->GetLevel()->GetHexMap(); }
    Structure* StructureAt(const char* label) { return game->GetLevel()->GetStructureManager().FindAtHex(Hex(label)); }
    // The unit's model holds this node, so that a pick of it finds the unit.
    void GiveNode(Unit& unit, const engine::SceneNode* node) {
        static_cast<units_test::RecordingUnitView&>(unit.GetView()).ownNode = node;
    }

    // What the pick finds: the ground at the hex's surface point (or the node given there), or nothing.
    void Under(const char* label, const engine::SceneNode* node = nullptr) {
        Map().GetSurfacePoint(hitPoint, Hex(label));
        hitNode = node;
        hitting = true;
    }
    void UnderNothing() { hitting = false; }
    void PointerAt(int x, int y) {
        platform.pointerX = x;
        platform.pointerY = y;
    }

    // One pass of the side's turn: the pointer step, then the order step.
    void Frame() {
        game->HandlePointerInput();
        game->ExecuteOrders();
    }
    void Press() {
        platform.down[engine::kKeyMouseLeft] = 1;
        Frame();
    }
    void Release() {
        platform.down.erase(engine::kKeyMouseLeft);
        Frame();
    }
    void Tap(const char* label, const engine::SceneNode* node = nullptr) {
        Under(label, node);
        Press();
        Release();
    }
    // The kinds of the orders queued on the unit, in queue order.
    static std::vector<int> Queued(const Unit& unit) {
        std::vector<int> kinds;
        for (int i = 0; i < unit.GetOrderCount(); ++i) kinds.push_back(unit.GetOrder(i)->Kind());
        return kinds;
    }
    // Selects the own unit with a tap on its hex.
    void Select(Unit& unit) {
        Tap(FormatHexLabel(unit.GetHexPos()).c_str());
        ASSERT_EQ(game->GetSelectedUnit(), &unit);
        orders.made.clear();
        Clear();
    }

    // The raw draw every random stream gives.
    std::uint32_t rawDraw = 0;
    engine::RandomStreams scriptedRandom{[] { return 1u; }, [this](int) { return rawDraw; }};
    RecordingHelpIcons icons;
    RecordingMoveChoice menu;
    RecordingOrders orders;
    bool hitting = false;
    const engine::SceneNode* hitNode = nullptr;
    engine::Vec3 hitPoint;
    Team* blue = nullptr;
    Team* green = nullptr;
};

}  // namespace core_test
