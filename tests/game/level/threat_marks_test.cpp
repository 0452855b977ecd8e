// The threat range a held unit shows on the largest battle (tests/data/levels/four_armies: four armies of 48
// units among water, shore, cliffs and a dozen structures), for the first unit of every type on the map and
// for a unit of every type the armies lack, landed by the lake. An unarmed unit marks nothing and leaves the
// marks of the one before. The fingerprints of the marks
// (every tile's marker bits and range step) were taken from the straightforward form of the preview, which
// cleared the whole grid before the fill from every tile the unit can reach; a faster form must leave the
// same marks.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>

#include "battle_driver.h"
#include "game/battle/structure_manager.h"
#include "game/teams/team_manager.h"

namespace level_test {
namespace {

struct Fingerprint {
    std::uint64_t hash = 14695981039346656037ull;
    int marked = 0;
    bool operator==(const Fingerprint&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Fingerprint& f) {
    return out << "{" << f.hash << "ull, " << f.marked << "}";
}

Fingerprint MarksOf(const HexMap& map) {
    Fingerprint f;
    const auto mix = [&f](unsigned value) {
        f.hash = (f.hash ^ value) * 1099511628211ull;
    };
    for (int c = 0; c < kMapColumns; ++c) {
        for (int r = 0; r < kMapRows; ++r) {
            const HexCoord hex = MakeHexCoord(c, r);
            if (!IsValidHex(hex)) continue;
            const std::uint16_t bits = map.GetMarkBits(hex);
            mix(bits);
            mix(static_cast<unsigned>(map.GetRangeStep(hex)));
            f.marked += bits != 0 ? 1 : 0;
        }
    }
    return f;
}

TEST(ThreatMarksTest, EveryUnitTypeMarksWhatItDidOnTheFourArmiesBattle) {
    BattleDriver driver("four_armies");
    ASSERT_TRUE(driver.Loaded());
    driver.RunUntilIdle();
    HexMap& map = driver.GetLevel().GetHexMap();
    TeamManager& teams = driver.Teams();

    std::map<int, Unit*> firstOfType;
    for (int slot = 0; slot < kTeamKindCount; ++slot) {
        Team* team = teams.GetTeam(slot);
        for (int index = 0; team != nullptr && index < kMaxTeamUnits; ++index) {
            Unit* unit = team->GetUnit(index);
            if (unit != nullptr && unit->GetState() != kUnitGone) firstOfType.emplace(unit->GetType(), unit);
        }
    }
    std::map<int, Fingerprint> seen;
    for (const auto& [type, unit] : firstOfType) {
        map.MarkThreatRange(*unit);
        seen[type] = MarksOf(map);
    }
    // The types the armies lack, one by one on the free hex nearest the lake's middle that the type may
    // enter; the enemy's last unit makes room for them in its full army.
    Team& enemy = *teams.FindTeam(kTeamEnemy);
    for (int slot = kMaxTeamUnits - 1; slot >= 0; --slot) {
        Unit* last = enemy.GetUnit(slot);
        if (last == nullptr || last->GetState() == kUnitGone) continue;
        last->Kill(true, nullptr);
        enemy.RemoveGoneUnits();
        break;
    }
    const HexCoord middle = MakeHexCoord(24, 18);
    for (int type = 1; type < UT_DOOR; ++type) {  // a door enters no hex and marks nothing
        if (firstOfType.count(type) != 0) continue;
        std::optional<HexCoord> spot;
        int nearest = 1 << 30;
        for (int c = 0; c < kMapColumns; ++c) {
            for (int r = 0; r < kMapRows; ++r) {
                const HexCoord hex = MakeHexCoord(c, r);
                const int distance = (c - middle.column) * (c - middle.column) + (r - middle.row) * (r - middle.row);
                if (!IsValidHex(hex) || distance >= nearest || map.GetMoveCost(hex, type) <= 0.0f ||
                    teams.FindUnitAt(hex) != nullptr || driver.GetLevel().GetStructureManager().FindAtHex(hex)) {
                    continue;
                }
                spot = hex;
                nearest = distance;
            }
        }
        ASSERT_TRUE(spot.has_value()) << type;
        const int id = enemy.SpawnUnit(type, *spot, 0, false, 1.0f);
        Unit* unit = id != 0 ? enemy.FindUnitById(id) : nullptr;
        ASSERT_NE(unit, nullptr) << type;
        map.MarkThreatRange(*unit);
        seen[type] = MarksOf(map);
        unit->Kill(true, nullptr);
        enemy.RemoveGoneUnits();
    }

    // Unarmed types (APC, truck, ferry, skyhook) keep the marks of the unit before them.
    const std::map<int, Fingerprint> expected = {
        {1, {14864429962666341804ull, 70}},
        {2, {7579595541790770256ull, 85}},
        {3, {15722128298618814061ull, 144}},
        {4, {16011664702920320536ull, 137}},
        {5, {2971439328899746224ull, 115}},
        {6, {17315213449615911870ull, 135}},
        {7, {3081568831465917978ull, 119}},
        {8, {3081568831465917978ull, 119}},
        {9, {3081568831465917978ull, 119}},
        {10, {1952122414708467380ull, 86}},
        {11, {1952122414708467380ull, 86}},
        {12, {2919209802083189996ull, 191}},
        {13, {12679388772494717652ull, 289}},
        {14, {3906164166837866686ull, 133}},
        {15, {16083430883480457251ull, 197}},
        {16, {15374668301419184346ull, 124}},
        {17, {1952122414708467380ull, 86}},
        {18, {13706128410403633256ull, 103}},
        {19, {10482375529301751086ull, 143}},
        {20, {718250190460224250ull, 241}},
        {21, {1064108389624494982ull, 189}},
        {22, {12793103377179870144ull, 43}},
        {23, {7391896645769301232ull, 90}},
    };
    EXPECT_EQ(seen, expected);
}

}  // namespace
}  // namespace level_test
