// The human side's order step: the long press, taps on the selected unit, shops, boarding, attacks, the
// move-choice menu and its choices, the move release and the speech slots; and the units' own orders made
// by the real factory.
#include "../../engine/scene/scene_test_support.h"
#include "player_fixture.h"

namespace core_test {
namespace {

// Blue's factory at C4 (with D4 and its neighbour) serves the pads B4 and E4; blue and green HQs.
const char* const kMap =
    "structure C4 2 owner 1\nstructure B4 1 owner 1\nstructure E4 1 owner 1\n"
    "structure H2 6 owner 1\nstructure H8 6 owner 2\n";

class OrdersTest : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        Start(kMap);
    }
    int CountMarked(std::uint16_t bits) {
        int count = 0;
        for (int row = 0; row < 10; ++row) {
            for (int column = 0; column < 10; ++column) {
                const HexCoord hex{static_cast<std::int16_t>(column), static_cast<std::int16_t>(row)};
                if (IsValidHex(hex) && (Map().GetMarkBits(hex) & bits) != 0) ++count;
            }
        }
        return count;
    }
    // Marks exactly these bits on the hex, and nothing else anywhere.
    void OnlyMark(const char* label, std::uint16_t bits) {
        Map().ClearMarkBits(0xFFFF);
        Map().SetMarkBits(Hex(label), bits);
    }
    std::vector<std::string> Speech() const {
        std::vector<std::string> lines;
        for (const std::string& line : log) {
            if (line.rfind("speech ", 0) == 0) lines.push_back(line);
        }
        return lines;
    }
    void Choose(int value) {
        menu.chosen = value;
        Frame();
    }
};

TEST_F(OrdersTest, ALongPressPreviewsTheAttackRangeAndTheReleaseSelects) {
    Unit* grunt = Spawn(UT_GRUNT, "F6");
    ASSERT_NE(grunt, nullptr);
    ASSERT_TRUE(grunt->CanStillAct());
    platform.delta = 0.2f;
    Under("F6");
    Press();
    Frame();
    EXPECT_EQ(CountMarked(0x002), 0) << "0.4 s";
    Frame();
    EXPECT_GT(CountMarked(0x002), 0) << "0.6 s";
    EXPECT_EQ(CountMarked(0x001), 0) << "only the attack range";
    EXPECT_EQ(game->GetSelectedUnit(), nullptr);
    Release();
    EXPECT_EQ(game->GetSelectedUnit(), grunt);
    EXPECT_EQ(grunt->GetHighlight(), 2);
    EXPECT_GT(CountMarked(0x001), 0) << "the full ranges";
    EXPECT_EQ(screens.panelUnit, grunt);
    EXPECT_EQ(blue->GetFocusHex(), Hex("F6"));
}

TEST_F(OrdersTest, ATapOnTheSelectedUnitLetsItGo) {
    struct Case {
        std::uint16_t mark;
        bool onModel;
        bool airborneAfter;
        std::vector<std::string> made;
    };
    const Case cases[] = {
        {0, false, true, {}},
        {0x008, false, false, {}},
        {0x080, false, true, {"pick up 0"}},
        {0x008, true, true, {}},  // a tap on the model itself only lets it go
    };
    scenetest::NodePtr node = scenetest::MakeNode(engine::kNodeGroup, "skyhook");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mark);
        Unit* skyhook = Spawn(UT_SKYHOOK, "F6");
        ASSERT_NE(skyhook, nullptr);
        skyhook->SetAirborneFlag(true);
        GiveNode(*skyhook, node.get());
        Select(*skyhook);
        game->GetTeamManager()->SaveUndo(skyhook);
        OnlyMark("F6", c.mark);
        Tap("F6", c.onModel ? node.get() : nullptr);
        EXPECT_EQ(game->GetSelectedUnit(), nullptr);
        EXPECT_EQ(skyhook->GetHighlight(), 0);
        EXPECT_EQ(skyhook->IsAirborne(), c.airborneAfter);
        EXPECT_EQ(orders.made, c.made);
        EXPECT_EQ(game->GetTeamManager()->CanUndo(), c.made.empty()) << "an order clears the undo record";
        skyhook->DeleteOrders();
        skyhook->SetState(kUnitGone);
        blue->RemoveGoneUnits();
        orders.made.clear();
    }
}

TEST_F(OrdersTest, ShopTaps) {
    Structure* factory = StructureAt("C4");
    Structure* upper = StructureAt("B4");
    Structure* lower = StructureAt("E4");
    ASSERT_NE(factory, nullptr);
    ASSERT_EQ(factory->GetType(), kStructureFactory);
    ASSERT_EQ(upper->GetLinkedStructure(), factory);
    ASSERT_EQ(lower->GetLinkedStructure(), factory);

    // Every pad taken: no shop.
    Unit* onUpper = Spawn(UT_GRUNT, "B4");
    Unit* onLower = Spawn(UT_GRUNT, "E4");
    ASSERT_NE(onUpper, nullptr);
    ASSERT_NE(onLower, nullptr);
    Tap("C4");
    EXPECT_EQ(game->GetState(), kGameSideTurn);
    EXPECT_EQ(game->GetPickedStructure(), nullptr);
    EXPECT_EQ(factory->GetHighlight(), 0);

    // A free pad tapped while a unit is selected: no shop.
    onUpper->SetState(kUnitGone);
    blue->RemoveGoneUnits();
    Select(*onLower);
    Map().ClearMarkBits(0xFFFF);  // no move onto the pad either
    Tap("B4");
    EXPECT_EQ(game->GetState(), kGameSideTurn);
    EXPECT_EQ(game->GetPickedStructure(), nullptr);
    EXPECT_TRUE(orders.made.empty());
    game->ClearSelectionAndRange();

    // The free pad: the factory's shop, bought units to appear on the pad.
    Tap("B4");
    EXPECT_EQ(game->GetState(), kGameShop);
    EXPECT_EQ(game->GetPickedStructure(), factory);
    EXPECT_EQ(game->GetShopStructure(), upper);
    EXPECT_EQ(factory->GetHighlight(), 2);
}

TEST_F(OrdersTest, AShopTapWithEveryUnitPlaceTakenFailsAudibly) {
    int placed = 0;
    for (int row = 0; row < 10 && placed < kMaxTeamUnits; ++row) {
        for (int column = 0; column < 10 && placed < kMaxTeamUnits; ++column) {
            const HexCoord hex{static_cast<std::int16_t>(column), static_cast<std::int16_t>(row)};
            if (!IsValidHex(hex) || Map().GetTile(hex).objectClass != kObjectNone) continue;
            if (blue->SpawnUnit(UT_GRUNT, hex, 0, false, 1.0f) != 0) ++placed;
        }
    }
    ASSERT_EQ(blue->FindFreeUnitSlot(), -1);
    Tap("C4");
    EXPECT_TRUE(Logged("ui sound 6"));
    EXPECT_EQ(game->GetState(), kGameSideTurn);
    EXPECT_EQ(game->GetPickedStructure(), nullptr);
    EXPECT_EQ(game->GetPressedStructure(), nullptr);
    EXPECT_EQ(StructureAt("C4")->GetHighlight(), 0);
}

TEST_F(OrdersTest, AnEngineerCapturesATargetMarkedStructure) {
    Unit* engineer = Spawn(UT_ENGINEER, "G8");
    ASSERT_NE(engineer, nullptr);
    Select(*engineer);
    Structure* hq = StructureAt("H8");
    ASSERT_NE(hq, nullptr);
    hq->SetTargetMark(true);
    game->GetTeamManager()->SaveUndo(engineer);
    Tap("H8");
    EXPECT_EQ(orders.made, std::vector<std::string>{"capture structure H8"});
    EXPECT_EQ(Queued(*engineer), std::vector<int>{kOrderCaptureStructure});
    EXPECT_EQ(game->GetSelectedUnit(), nullptr);
    EXPECT_FALSE(game->GetTeamManager()->CanUndo());
}

TEST_F(OrdersTest, BoardingACarrierFollowsTheRouteUpToIt) {
    struct Case {
        int carrierType;
        const char* carrierAt;
        int steps;  // of the route the order follows
    };
    // The trooper stands at B8; the carriers two or one steps down the column.
    const Case cases[] = {{UT_SKYHOOK, "D8", 2}, {UT_APC, "D8", 1}, {UT_APC, "C8", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.carrierType) + " " + c.carrierAt);
        Unit* trooper = Spawn(UT_TROOPER, "B8");
        Unit* carrier = Spawn(c.carrierType, c.carrierAt);
        ASSERT_NE(trooper, nullptr);
        ASSERT_NE(carrier, nullptr);
        carrier->SetAirborneFlag(false);  // a route leads onto a landed aircraft only
        Select(*trooper);
        OnlyMark(c.carrierAt, 0x040);
        Tap(c.carrierAt);
        ASSERT_TRUE(menu.shown);
        EXPECT_EQ(menu.choices, (std::vector<int>{kChoiceEmbark, kChoiceSelectTapped, kChoiceCancel}));
        Choose(kChoiceEmbark);
        EXPECT_FALSE(menu.shown);
        std::vector<std::string> made;
        std::vector<int> kinds;
        if (c.steps > 0) {
            made.push_back("path " + std::to_string(c.steps));
            kinds.push_back(kOrderFollowPath);
        }
        made.push_back("embark " + std::to_string(carrier->GetId()));
        kinds.push_back(kOrderEmbark);
        EXPECT_EQ(orders.made, made);
        EXPECT_EQ(Queued(*trooper), kinds);
        EXPECT_EQ(Speech().size(), c.steps > 0 ? 1u : 0u);
        EXPECT_EQ(game->GetSelectedUnit(), nullptr);
        EXPECT_EQ(game->GetPressedUnit(), nullptr);
        for (Unit* unit : {trooper, carrier}) {
            unit->DeleteOrders();
            unit->SetState(kUnitGone);
        }
        blue->RemoveGoneUnits();
        orders.made.clear();
        Clear();
    }
}

TEST_F(OrdersTest, TappingAnEnemy) {
    // An airborne attacker over a marked ground enemy in its movement range is asked.
    Unit* bomber = Spawn(UT_BOMBER, "D7");
    Unit* tank = Spawn(UT_LIGHT_TANK, "F7", green);
    ASSERT_NE(bomber, nullptr);
    ASSERT_NE(tank, nullptr);
    bomber->SetAirborneFlag(true);
    Select(*bomber);
    ASSERT_TRUE(bomber->CanAttack(*tank));
    OnlyMark("F7", 0x001);
    tank->SetTargetMark(true, bomber);
    Tap("F7");
    ASSERT_TRUE(menu.shown);
    EXPECT_EQ(menu.choices, (std::vector<int>{kChoiceAttack, kChoiceMoveOver, kChoiceCancel}));
    EXPECT_EQ(menu.openX, 360) << "60 pixels right of the target";
    EXPECT_EQ(menu.openY, 200);
    EXPECT_TRUE(orders.made.empty());
    Choose(kChoiceAttack);
    EXPECT_EQ(orders.made, std::vector<std::string>{"attack " + std::to_string(tank->GetId()) + " 0"});
    EXPECT_EQ(Speech().size(), 1u);
    bomber->DeleteOrders();
    bomber->SetState(kUnitIdle);

    // Otherwise the attack is given at once.
    Unit* grunt = Spawn(UT_GRUNT, "F5");
    Select(*grunt);
    tank->SetTargetMark(true, grunt);
    Tap("F7");
    EXPECT_FALSE(menu.shown);
    EXPECT_EQ(orders.made, std::vector<std::string>{"attack " + std::to_string(tank->GetId()) + " 0"});
    EXPECT_EQ(Queued(*grunt), std::vector<int>{kOrderAttack});
    ASSERT_EQ(Speech().size(), 1u);
    EXPECT_EQ(game->GetSelectedUnit(), nullptr);
}

TEST_F(OrdersTest, AnEngineerTappingANeutralUnitCapturesIt) {
    Team* neutral = game->GetTeamManager()->GetOrCreateTeam(0);
    ASSERT_NE(neutral, nullptr);
    Unit* engineer = Spawn(UT_ENGINEER, "F5");
    Unit* truck = Spawn(UT_TRUCK, "F6", neutral);
    ASSERT_NE(truck, nullptr);
    Select(*engineer);
    ASSERT_TRUE(engineer->CanAttack(*truck));
    truck->SetTargetMark(true, engineer);
    Tap("F6");
    EXPECT_EQ(orders.made, std::vector<std::string>{"capture unit " + std::to_string(truck->GetId())});
    EXPECT_EQ(Queued(*engineer), std::vector<int>{kOrderCaptureUnit});
}

// The menu of a tap on another own unit, by what the pair can do and what marks its hex.
TEST_F(OrdersTest, MoveChoiceMenuComposition) {
    struct Row {
        const char* name;
        int selectedType;
        bool selectedAirborne;
        bool selectedCarries;  // the selected unit has a passenger
        int tappedType;
        bool tappedAirborne;
        std::uint16_t marks;
        std::vector<int> choices;
    };
    const Row rows[] = {
        {"ground carrier, ground unit", UT_APC, false, false, UT_TROOPER, false, 0x001, {4, 1}},
        {"embark", UT_TROOPER, false, false, UT_APC, false, 0x040, {6, 4, 1}},
        {"embark in range", UT_TROOPER, false, false, UT_APC, false, 0x001, {6, 4, 1}},
        {"disembark", UT_APC, false, true, UT_GRUNT, false, 0x081, {7, 4, 1}},
        {"move over", UT_BOMBER, true, false, UT_GRUNT, false, 0x001, {2, 4, 1}},
        {"move under", UT_GRUNT, false, false, UT_BOMBER, true, 0x001, {3, 4, 1}},
        {"airborne pick up", UT_SKYHOOK, true, false, UT_TROOPER, false, 0x001, {5, 2, 4, 1}},
        {"embark airborne", UT_TROOPER, false, false, UT_SKYHOOK, true, 0x001, {6, 3, 4, 1}},
        {"embark and disembark", UT_APC, false, true, UT_SKYHOOK, true, 0x0C1, {6, 7, 3, 1}},
        {"nothing marked", UT_GRUNT, false, false, UT_TROOPER, false, 0x000, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Unit* selected = Spawn(row.selectedType, "F3");
        Unit* tapped = Spawn(row.tappedType, "F5");
        ASSERT_NE(selected, nullptr);
        ASSERT_NE(tapped, nullptr);
        selected->SetAirborneFlag(row.selectedAirborne);
        tapped->SetAirborneFlag(row.tappedAirborne);
        Unit* passenger = nullptr;
        if (row.selectedCarries) {
            passenger = Spawn(UT_TROOPER, "F3");
            ASSERT_TRUE(selected->LinkPassenger(*passenger));
        }
        Select(*selected);
        OnlyMark("F5", row.marks);
        menu.opens = 0;
        Tap("F5");
        EXPECT_EQ(menu.choices, row.choices);
        EXPECT_EQ(menu.opens, row.choices.empty() ? 0 : 1);
        EXPECT_LE(menu.choices.size(), 4u);
        if (row.choices.empty()) {
            EXPECT_EQ(game->GetSelectedUnit(), tapped);
        } else {
            EXPECT_EQ(game->GetPressedUnit(), tapped) << "kept for the choice";
        }
        menu.shown = false;
        menu.choices.clear();
        game->ClearSelectionAndRange();
        for (Unit* unit : {selected, tapped, passenger}) {
            if (unit != nullptr) unit->SetState(kUnitGone);
        }
        blue->RemoveGoneUnits();
    }
}

TEST_F(OrdersTest, EachChoiceHasItsEffect) {
    struct Row {
        int choice;
        std::vector<std::string> made;
        std::vector<int> kinds;
        bool selectedAfter;  // the selection goes to the tapped unit
        bool menuStays;
    };
    // The selected skyhook at F3 flies; the tapped trooper stands at F5, two steps away.
    const Row rows[] = {
        {0, {}, {}, false, true},
        {10, {}, {}, false, true},
        {kChoiceCancel, {}, {}, false, false},
        {kChoiceMoveOver, {"path 2"}, {kOrderFollowPath}, false, false},
        {kChoiceMoveUnder, {"path 2"}, {kOrderFollowPath}, false, false},
        {kChoiceSelectTapped, {}, {}, true, false},
        {kChoicePickUp, {"path 2", "pick up T"}, {kOrderFollowPath, kOrderPickUp}, false, false},
        {kChoiceEmbark, {"path 1", "embark T"}, {kOrderFollowPath, kOrderEmbark}, false, false},
        {kChoiceMoveHere, {"path 2"}, {kOrderFollowPath}, false, false},
        {kChoiceAttack, {"attack T 0"}, {kOrderAttack}, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.choice);
        Unit* skyhook = Spawn(UT_SKYHOOK, "F3");
        Unit* tapped = Spawn(UT_TROOPER, "F5");
        ASSERT_NE(skyhook, nullptr);
        ASSERT_NE(tapped, nullptr);
        skyhook->SetAirborneFlag(true);
        Select(*skyhook);
        OnlyMark("F5", 0x001);
        Map().SetMarkBits(Hex("F4"), 0x001);
        Tap("F5");
        ASSERT_TRUE(menu.shown);
        ASSERT_EQ(menu.choices, (std::vector<int>{kChoicePickUp, kChoiceMoveOver, kChoiceSelectTapped, kChoiceCancel}));
        ASSERT_EQ(game->GetPressedUnit(), tapped);
        game->GetTeamManager()->SaveUndo(skyhook);
        Clear();
        Choose(row.choice);
        std::vector<std::string> made;
        for (std::string line : row.made) {
            const auto t = line.find('T');
            if (t != std::string::npos) line.replace(t, 1, std::to_string(tapped->GetId()));
            made.push_back(line);
        }
        EXPECT_EQ(menu.shown, row.menuStays);
        EXPECT_EQ(orders.made, made);
        EXPECT_EQ(Queued(*skyhook), row.kinds);
        EXPECT_EQ(game->GetSelectedUnit(), row.selectedAfter ? tapped : (row.menuStays ? skyhook : nullptr));
        if (row.choice == kChoiceSelectTapped) {
            EXPECT_EQ(tapped->GetHighlight(), 2);
            EXPECT_EQ(game->GetPressedUnit(), tapped);
            EXPECT_EQ(camera.lookedAt, tapped);
            EXPECT_TRUE(Speech().empty());
        }
        if (!row.kinds.empty()) {
            EXPECT_EQ(Speech().size(), 1u);
            // A move can be undone; the pairings and the attack clear the record.
            const bool move = row.kinds == std::vector<int>{kOrderFollowPath};
            EXPECT_EQ(game->GetTeamManager()->CanUndo(), move);
        }
        menu.shown = false;
        game->ClearSelectionAndRange();
        for (Unit* unit : {skyhook, tapped}) {
            unit->DeleteOrders();
            unit->SetState(kUnitGone);
        }
        blue->RemoveGoneUnits();
        orders.made.clear();
    }
}

// The menu's other party, gone while the menu was open (the game forgets deleted units), gets no order.
TEST_F(OrdersTest, AChoiceWhoseUnitIsGoneOrdersNothing) {
    Unit* skyhook = Spawn(UT_SKYHOOK, "F3");
    Unit* tapped = Spawn(UT_TROOPER, "F5");
    skyhook->SetAirborneFlag(true);
    Select(*skyhook);
    OnlyMark("F5", 0x001);
    Tap("F5");
    ASSERT_TRUE(menu.shown);
    tapped->SetState(kUnitGone);
    blue->RemoveGoneUnits();
    ASSERT_EQ(game->GetPressedUnit(), nullptr);
    Choose(kChoiceAttack);
    EXPECT_FALSE(menu.shown);
    EXPECT_TRUE(orders.made.empty());
    EXPECT_EQ(skyhook->GetOrderCount(), 0);
    EXPECT_EQ(game->GetSelectedUnit(), nullptr);
}

TEST_F(OrdersTest, MoveRelease) {
    Unit* apc = Spawn(UT_APC, "F3");
    Unit* passenger = Spawn(UT_TROOPER, "F3");
    ASSERT_TRUE(apc->LinkPassenger(*passenger));

    // A disembark mark beside the carrier on a hex it has no route onto, outside its movement range: the
    // passenger leaves at once.
    Select(*apc);
    Map().EditTile(Hex("F4"))->terrain = kTerrainWater;
    OnlyMark("F4", 0x080);
    Tap("F4");
    EXPECT_FALSE(menu.shown);
    EXPECT_EQ(orders.made, std::vector<std::string>{"disembark F4"});
    EXPECT_EQ(game->GetSelectedUnit(), nullptr);
    apc->DeleteOrders();
    apc->SetState(kUnitIdle);
    orders.made.clear();

    Map().EditTile(Hex("F4"))->terrain = kTerrainLand;

    // With steps to go the menu asks; the disembark choice leaves onto the tapped hex, the move goes there.
    for (const int choice : {kChoiceDisembark, kChoiceMoveHere}) {
        Select(*apc);
        OnlyMark("F5", 0x081);
        Map().SetMarkBits(Hex("F4"), 0x001);
        Tap("F5");
        ASSERT_TRUE(menu.shown);
        EXPECT_EQ(menu.choices, (std::vector<int>{kChoiceDisembark, kChoiceMoveHere, kChoiceCancel}));
        EXPECT_TRUE(orders.made.empty());
        Choose(choice);
        EXPECT_EQ(orders.made, std::vector<std::string>{choice == kChoiceDisembark ? "disembark F5" : "path 2"});
        apc->DeleteOrders();
        apc->SetState(kUnitIdle);
        orders.made.clear();
    }

    // A plain route: the move can be undone, the unit follows the route and the marker shows at the hex.
    Unit* grunt = Spawn(UT_GRUNT, "B8");
    Select(*grunt);
    OnlyMark("D8", 0x001);
    Map().SetMarkBits(Hex("C8"), 0x001);
    Tap("D8");
    EXPECT_EQ(orders.made, std::vector<std::string>{"path 2"});
    EXPECT_EQ(Queued(*grunt), std::vector<int>{kOrderFollowPath});
    EXPECT_TRUE(game->GetTeamManager()->CanUndo());
    EXPECT_TRUE(Logged("marker attached"));
    engine::Vec3 surface;
    Map().GetSurfacePoint(surface, Hex("D8"));
    EXPECT_EQ(view.markerAt.x, surface.x);
    EXPECT_EQ(view.markerAt.z, surface.z);
    EXPECT_EQ(CountMarked(0x004), 0) << "the route marks go";
    EXPECT_EQ(game->GetSelectedUnit(), nullptr);

    // Another unit selected, then the grunt's move undone: the selection goes whole, so the next tap on the
    // other unit selects it again (and shows its ranges) instead of deselecting it.
    grunt->DeleteOrders();
    grunt->SetState(kUnitIdle);
    Unit* other = Spawn(UT_GRUNT, "B2");
    Select(*other);
    ASSERT_TRUE(game->GetTeamManager()->CanUndo());
    game->GetTeamManager()->Undo();
    EXPECT_EQ(game->GetSelectedUnit(), nullptr);
    Tap("B2");
    EXPECT_EQ(game->GetSelectedUnit(), other);
}

TEST_F(OrdersTest, SpeechSlotsComeFromTheRawDraw) {
    for (std::uint32_t raw = 0; raw < 8; ++raw) {
        SCOPED_TRACE(raw);
        // Only the low three bits count.
        rawDraw = raw | 0x5A5A5A50u;
        Unit* grunt = Spawn(UT_GRUNT, "B8");
        Select(*grunt);
        // Select() cleared the log after the Select speech; tap it again to hear it.
        game->ClearSelectionAndRange();
        Clear();
        Tap("B8");
        EXPECT_EQ(Speech(), std::vector<std::string>{"speech 1 " + std::to_string(4 + raw)});
        OnlyMark("D8", 0x001);
        Map().SetMarkBits(Hex("C8"), 0x001);
        Clear();
        Tap("D8");
        EXPECT_EQ(Speech(), std::vector<std::string>{"speech 1 " + std::to_string(12 + raw)});
        grunt->DeleteOrders();
        grunt->SetState(kUnitGone);
        blue->RemoveGoneUnits();
    }
}

TEST_F(OrdersTest, TheUnitsOwnFactoryMakesEachKind) {
    UnitOrderFactory factory;
    Unit* first = Spawn(UT_APC, "F3");
    Unit* second = Spawn(UT_ENGINEER, "F5");
    Unit* target = Spawn(UT_GRUNT, "F7", green);
    ASSERT_NE(target, nullptr);
    HexPath route;
    route.start = Hex("F3");
    ASSERT_NE(first->QueueOrder(factory.MakeFollowPath(route)), nullptr);
    ASSERT_NE(first->QueueOrder(factory.MakePickUp(second)), nullptr);
    ASSERT_NE(first->QueueOrder(factory.MakePickUp(nullptr)), nullptr);
    ASSERT_NE(first->QueueOrder(factory.MakeDisembark(Hex("F4"))), nullptr);
    ASSERT_NE(second->QueueOrder(factory.MakeAttack(target->GetId(), false)), nullptr);
    ASSERT_NE(second->QueueOrder(factory.MakeCaptureStructure(*StructureAt("H8"))), nullptr);
    ASSERT_NE(second->QueueOrder(factory.MakeCaptureUnit(*target)), nullptr);
    ASSERT_NE(second->QueueOrder(factory.MakeEmbark(*first)), nullptr);
    EXPECT_EQ(Queued(*first), (std::vector<int>{kOrderFollowPath, kOrderPickUp, kOrderPickUp, kOrderDisembark}));
    EXPECT_EQ(Queued(*second),
              (std::vector<int>{kOrderAttack, kOrderCaptureStructure, kOrderCaptureUnit, kOrderEmbark}));
    first->DeleteOrders();
    second->DeleteOrders();
}

}  // namespace
}  // namespace core_test
