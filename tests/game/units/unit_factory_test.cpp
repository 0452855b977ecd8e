// CreateUnit and the catalogue: every type gets its class with the catalogue's constants, unknown types a
// light tank, a fresh unit is full and idle with its id, the first animation follows the setting-up flag,
// logic-only units stay off the scene and stream 0, and units made on two threads get distinct ids.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <thread>
#include <typeinfo>
#include <vector>

#include "game/units/unit_catalogue.h"
#include "game/units/unit_factory.h"
#include "game/units/unit_tables.h"
#include "unit_fakes.h"

namespace units_test {
namespace {

using FactoryTest = UnitsTest;

// The constants of slots 2 to 12 of each type, written out independently of the catalogue: domain, then
// moves on land, rough terrain, water, land flag, aircraft, air or warship, hits landed aircraft, hits
// aircraft, armed, then the category.
const char* const kConstants[24] = {
    "0 110100101 5", "0 110100100 5", "0 100100101 2", "0 100100101 2", "0 100100101 2", "0 100100101 2",
    "0 100100101 2", "0 100100000 2", "0 100100100 2", "2 001000000 4", "1 111111100 3", "1 111111101 3",
    "1 111111111 3", "0 110100101 5", "0 100100011 2", "0 110100101 5", "0 110100101 5", "2 001001001 4",
    "2 001001001 4", "2 001001101 4", "2 001001011 4", "0 110100101 5", "0 110100101 5", "0 000000000 0",
};

std::string ConstantsOf(const Unit& u) {
    std::string s = std::to_string(u.GetDomain()) + " ";
    for (bool flag : {u.MovesOnLand(), u.CrossesRoughTerrain(), u.CrossesWater(), u.GetLandFlag(), u.IsAircraft(),
                      u.IsAirOrWarship(), u.CanHitLandedAircraft(), u.CanHitAircraft(), u.IsArmed()}) {
        s += flag ? '1' : '0';
    }
    return s + " " + std::to_string(u.GetCategory());
}

TEST_F(FactoryTest, EveryTypeGetsItsClassWithTheCatalogueRow) {
    for (const UnitDescriptor& row : UnitCatalogue()) {
        SCOPED_TRACE(row.keyword);
        Unit& unit = battle.Make(row.type, &blue, H(5, 5));
        EXPECT_NE(std::string(typeid(unit).name()).find(row.className), std::string::npos) << typeid(unit).name();
        EXPECT_EQ(unit.GetType(), row.type);
        EXPECT_EQ(ConstantsOf(unit), kConstants[row.type - 1]);
        const auto* catalogued = dynamic_cast<const CatalogueUnit*>(&unit);
        ASSERT_NE(catalogued, nullptr);
        EXPECT_EQ(&catalogued->Descriptor(), &row);
        EXPECT_EQ(unit.GetLandFlag(), unit.MovesOnLand());
        EXPECT_TRUE(unit.TypeFlag13());

        EXPECT_EQ(unit.IsCarrier(), row.type == UT_APC || row.type == UT_FERRY || row.type == UT_SKYHOOK);
        EXPECT_EQ(unit.IsDoor(), row.type == UT_DOOR);
        EXPECT_EQ(unit.IsCapturable(), row.type != UT_DOOR);
        EXPECT_STREQ(unit.GetTeamMaterialName(), row.tintMaterialName);
        // Sounds: the catalogue's own, else the base choice for a unit on the ground.
        const bool wheeled =
            row.type == UT_MLRS || row.type == UT_ARTILLERY || row.type == UT_APC || row.type == UT_TRUCK;
        EXPECT_EQ(row.moveSound != kBaseSound, wheeled);
        std::pair<int, int> sounds{kSoundSeaMove, kSoundSeaStop};
        if (wheeled) {
            sounds = {kSoundWheeledMove, kSoundWheeledStop};
        } else if (row.category == kCategoryInfantry) {
            sounds = {kSoundSoftMove, kSoundNone};
        } else if (row.movesOnLand || !row.crossesWater) {
            sounds = {kSoundLandMove, kSoundLandStop};
        }
        EXPECT_EQ(unit.GetMoveLoopSound(), sounds.first);
        EXPECT_EQ(unit.GetStopSound(), sounds.second);
        EXPECT_EQ(unit.IsSoftTarget(), row.category == kCategoryInfantry);

        const ViewLog& log = LogOf(unit);
        EXPECT_EQ(log.prototypePath, row.prototypePath);
        EXPECT_EQ(log.compositeRoot, row.compositeRootName != nullptr ? row.compositeRootName : "");
        EXPECT_EQ(log.material, row.tintMaterialName);
        EXPECT_EQ(log.materialColour, blue.colour);
        // Hung once, under the world, or under the level model for the door.
        EXPECT_EQ(log.attaches, 1);
        EXPECT_TRUE(unit.GetView().IsAttached());
        EXPECT_EQ(log.underLevelModel, row.type == UT_DOOR);
    }
    // The material names as the models spell them.
    EXPECT_STREQ(FindUnitDescriptor(UT_DESTROYER)->tintMaterialName, "destoyer");
    EXPECT_STREQ(FindUnitDescriptor(UT_AEGIS)->tintMaterialName, "anitair boat");
    EXPECT_STREQ(FindUnitDescriptor(UT_GENERAL)->tintMaterialName, "genralisimo");
}

TEST_F(FactoryTest, UnknownTypesMakeALightTank) {
    for (int type : {0, 25, -1, 1000}) {
        SCOPED_TRACE(type);
        Unit& unit = battle.Make(type, &blue, H(2, 2));
        EXPECT_EQ(unit.GetType(), UT_LIGHT_TANK);
        EXPECT_EQ(LogOf(unit).prototypePath, "Units/LightTank/Unit");
        EXPECT_FLOAT_EQ(unit.GetFuel(), GetUnitParams(UT_LIGHT_TANK).fuelCapacity);
    }
}

TEST_F(FactoryTest, ANewUnitIsFullIdleAndReadyForItsTurn) {
    Unit& tank = battle.Make(UT_MED_TANK, &blue, H(3, 3));
    Unit& other = battle.Make(UT_SNIPER, &blue, H(3, 4));
    Unit& given = battle.Add(CreateUnit(battle, UT_FIGHTER, &enemy, 77));

    EXPECT_EQ(tank.GetState(), kUnitIdle);
    EXPECT_EQ(tank.GetId(), 1);
    EXPECT_EQ(other.GetId(), 2);
    EXPECT_EQ(given.GetId(), 77);
    EXPECT_EQ(battle.lastId.load(), 2);

    const UnitParams& params = GetUnitParams(UT_MED_TANK);
    EXPECT_FLOAT_EQ(tank.GetFuel(), params.fuelCapacity);
    EXPECT_EQ(tank.GetAmmo(), params.ammoCapacity);
    EXPECT_FLOAT_EQ(tank.GetMovementLeft(), params.moveAllowance);
    EXPECT_FLOAT_EQ(tank.GetHealth(), 1.0f);
    EXPECT_FLOAT_EQ(tank.GetHealthAtTurnStart(), 1.0f);
    EXPECT_EQ(tank.GetActionsUsed(), 0);
    EXPECT_EQ(tank.GetTargetsAfterMove(), -1);
    EXPECT_EQ(tank.GetCarrierId(), 0);
    EXPECT_EQ(tank.GetPassengerId(), 0);
    EXPECT_EQ(other.GetAmmo(), GetUnitParams(UT_SNIPER).ammoCapacity);
    EXPECT_EQ(tank.GetTeam(), &blue);
    EXPECT_EQ(given.GetTeamKind(), kTeamEnemy);
}

TEST_F(FactoryTest, TheFirstAnimationFollowsTheSettingUpFlag) {
    battle.settingUp = true;
    Unit& placedAtStart = battle.Make(UT_GRUNT, &blue, H(1, 1));
    EXPECT_EQ(LogOf(placedAtStart).animations, std::vector<std::string>{"idle"});

    battle.settingUp = false;
    Unit& bought = battle.Make(UT_GRUNT, &blue, H(1, 2));
    EXPECT_EQ(LogOf(bought).animations, (std::vector<std::string>{"idle", "stoodidle"}));
}

TEST_F(FactoryTest, ALogicOnlyUnitStaysOffTheSceneAndStreamZero) {
    const int draws = battle.draws[0];
    Unit& unit = battle.Add(CreateUnit(battle, UT_TROOPER, &enemy, 0, Unit::Presentation::kLogicOnly));
    EXPECT_EQ(battle.draws[0], draws);
    EXPECT_TRUE(views.logs.empty());
    EXPECT_FALSE(unit.HasPresentation());
    EXPECT_EQ(dynamic_cast<NullUnitView*>(&unit.GetView()) != nullptr, true);
    EXPECT_EQ(unit.GetFacing(), 0);
    EXPECT_EQ(unit.GetState(), kUnitIdle);
    EXPECT_EQ(unit.GetId(), 1);

    battle.Make(UT_TROOPER, &blue, H(1, 1));
    EXPECT_EQ(battle.draws[0], draws + 1);  // the facing
    EXPECT_EQ(views.logs.size(), 1u);
}

TEST_F(FactoryTest, DestroyingAUnitDeletesItsModel) {
    Unit& unit = battle.Make(UT_CRUISER, &blue, H(2, 2));
    const std::shared_ptr<ViewLog> log = views.logs.back();
    EXPECT_FALSE(log->destroyed);
    battle.Destroy(unit);
    EXPECT_TRUE(log->destroyed);
}

// The main thread makes units with models while the computer player's worker makes logic-only ones.
TEST_F(FactoryTest, UnitsMadeOnTwoThreadsGetDistinctIds) {
    constexpr int kEach = 200;
    std::vector<std::unique_ptr<Unit>> made[2];
    std::thread worker([&] {
        for (int i = 0; i < kEach; ++i) {
            made[1].push_back(CreateUnit(battle, UT_GRUNT, &enemy, 0, Unit::Presentation::kLogicOnly));
        }
    });
    for (int i = 0; i < kEach; ++i) made[0].push_back(CreateUnit(battle, 1 + i % 24, &blue, 0));
    worker.join();

    std::set<int> ids;
    for (auto& list : made) {
        for (auto& unit : list) {
            ids.insert(unit->GetId());
            battle.Add(std::move(unit));
        }
    }
    EXPECT_EQ(ids.size(), 2u * kEach);
    EXPECT_EQ(*ids.begin(), 1);
    EXPECT_EQ(*ids.rbegin(), 2 * kEach);
    EXPECT_EQ(views.logs.size(), static_cast<std::size_t>(kEach));
}

}  // namespace
}  // namespace units_test
