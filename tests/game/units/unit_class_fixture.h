#pragma once
// A fixture for the unit classes: the project's tables, recording views whose models hold every animation
// and named part the classes ask for, and helpers that stand units at exact places.
#include <string>

#include "game/units/unit_class_table.h"
#include "unit_fakes.h"

namespace units_test {

class UnitClassTest : public UnitsTest {
protected:
    void SetUp() override {
        for (int type = 1; type < kUnitTypeCount; ++type) {
            for (const char* name : GetUnitClassRow(type).animations) views.modelAnimations.insert(name);
        }
        views.modelAnimations.insert("stoodidle");
        for (const char* part : {"bazooka", "rifle_rifle", "sniper_rifle", "grenade", "Unit"}) {
            views.modelParts.emplace_back(part, engine::Vec3{});
        }
        UnitsTest::SetUp();
    }

    // Stands the unit at (x, y, z) with a heading and a facing, its model turned to them.
    static Unit& Put(Unit& unit, float x, float z, int yaw = 0, int facing = 0, float y = 0.0f) {
        UnitMoveState state = unit.GetMoveState();
        state.position.x = x;
        state.position.y = y;
        state.position.z = z;
        state.yaw = yaw;
        state.facing = facing;
        unit.SetMoveState(state);
        return unit;
    }
    // A unit of the type made by the factory and stood at (x, z).
    Unit& At(int type, FakeTeam* team, float x, float z, int yaw = 0, int facing = 0, float y = 0.0f) {
        Unit& unit = battle.Make(type, team, H(2 + static_cast<int>(battle.units.size()), 2));
        return Put(unit, x, z, yaw, facing, y);
    }
    // A point at distance r and heading degrees from the origin.
    static engine::Vec2 Polar(float degrees, float r) {
        const float a = degrees * 3.14159265f / 180.0f;
        return {r * std::cos(a), r * std::sin(a)};
    }
    bool Played(const Unit& unit, const std::string& name) {
        const auto& list = LogOf(unit).animations;
        return std::find(list.begin(), list.end(), name) != list.end();
    }
    ViewLog::Part& PartOf(const Unit& unit, const std::string& name) {
        ViewLog::Part* part = LogOf(unit).FindPart(name);
        EXPECT_NE(part, nullptr) << name;
        static ViewLog::Part none;
        return part != nullptr ? *part : none;
    }
};

}  // namespace units_test
