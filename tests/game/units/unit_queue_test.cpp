// The order queue and the unit states: queueing runs orders, at most six, SetOrderAt replaces in place,
// cancelling goes idle, the last move order is found before a place, and the busy test with its wait timer.
#include <gtest/gtest.h>

#include <memory>

#include "unit_fakes.h"

namespace units_test {
namespace {

class FakeOrder : public UnitOrder {
public:
    FakeOrder(int kind, int* destroyed) : kind_(kind), destroyed_(destroyed) {}
    ~FakeOrder() override { ++*destroyed_; }
    bool Step(bool) override { return true; }
    int Kind() const override { return kind_; }

private:
    int kind_;
    int* destroyed_;
};

class QueueTest : public UnitsTest {
protected:
    void SetUp() override {
        UnitsTest::SetUp();
        unit = &battle.Make(UT_TROOPER, &blue, H(4, 4));
    }
    std::unique_ptr<UnitOrder> Order(int kind = kOrderAttack) { return std::make_unique<FakeOrder>(kind, &destroyed); }

    Unit* unit = nullptr;
    int destroyed = 0;
};

TEST_F(QueueTest, SettingRunningOrdersWithAnEmptyQueueStaysIdle) {
    unit->SetState(kUnitRunningOrders);
    EXPECT_EQ(unit->GetState(), kUnitIdle);
}

TEST_F(QueueTest, QueueingRunsOrdersAndASeventhIsRefused) {
    UnitOrder* orders[6];
    for (UnitOrder*& order : orders) {
        order = unit->QueueOrder(Order());
        ASSERT_NE(order, nullptr);
        EXPECT_EQ(order->GetUnit(), unit);
    }
    EXPECT_EQ(unit->GetState(), kUnitRunningOrders);
    EXPECT_GT(orders[5]->GetId(), orders[0]->GetId());

    EXPECT_EQ(unit->QueueOrder(Order()), nullptr);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(unit->GetOrderCount(), 6);
    EXPECT_EQ(unit->GetOrder(5), orders[5]);
    EXPECT_EQ(unit->GetOrder(6), nullptr);
    EXPECT_EQ(unit->QueueOrder(nullptr), nullptr);
}

TEST_F(QueueTest, SetOrderAtReplacesInPlaceAndRefusesGapsAndPlacesPastTheQueue) {
    unit->QueueOrder(Order(kOrderMove));
    unit->QueueOrder(Order(kOrderAttack));
    UnitOrder* replacement = unit->SetOrderAt(Order(kOrderMove), 1);
    ASSERT_NE(replacement, nullptr);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(unit->GetOrder(1), replacement);
    EXPECT_EQ(replacement->GetUnit(), unit);
    EXPECT_EQ(unit->GetOrderCount(), 2);

    EXPECT_NE(unit->SetOrderAt(Order(), 2), nullptr);  // the next free place
    EXPECT_EQ(unit->GetOrderCount(), 3);
    for (int index : {-1, 4, 6, 100}) {
        SCOPED_TRACE(index);
        const int before = destroyed;
        EXPECT_EQ(unit->SetOrderAt(Order(), index), nullptr);
        EXPECT_EQ(destroyed, before + 1);
        EXPECT_EQ(unit->GetOrderCount(), 3);
    }
    while (unit->GetOrderCount() < 6) unit->QueueOrder(Order());
    EXPECT_EQ(unit->SetOrderAt(Order(), 6), nullptr);
    EXPECT_NE(unit->SetOrderAt(Order(), 5), nullptr);
}

TEST_F(QueueTest, CancellingDeletesTheOrdersAndGoesIdle) {
    unit->QueueOrder(Order());
    unit->QueueOrder(Order());
    unit->CancelOrders();
    EXPECT_EQ(unit->GetState(), kUnitIdle);
    EXPECT_EQ(unit->GetOrderCount(), 0);
    EXPECT_EQ(destroyed, 2);

    unit->QueueOrder(Order());
    unit->SetState(kUnitIdle);
    EXPECT_EQ(unit->GetOrderCount(), 0);
    EXPECT_EQ(destroyed, 3);
}

TEST_F(QueueTest, FindLastMoveOrderSearchesBackwardsBeforeAPlace) {
    for (int kind : {kOrderMove, kOrderAttack, kOrderMove, kOrderResupplyNeighbours}) unit->QueueOrder(Order(kind));
    struct Case {
        int before;
        int index;  // -1: none
    };
    for (const Case c : {Case{4, 2}, Case{3, 2}, Case{2, 0}, Case{1, 0}, Case{0, -1}, Case{99, 2}, Case{-5, -1}}) {
        SCOPED_TRACE(c.before);
        int index = -7;
        UnitOrder* found = unit->FindLastMoveOrder(c.before, index);
        if (c.index < 0) {
            EXPECT_EQ(found, nullptr);
            EXPECT_EQ(index, -7);
        } else {
            EXPECT_EQ(found, unit->GetOrder(c.index));
            EXPECT_EQ(index, c.index);
        }
    }
}

TEST_F(QueueTest, BusyWhileWaitingRunningOrdersOrDying) {
    EXPECT_FALSE(unit->IsBusy());
    unit->StartWaitTimer();
    EXPECT_TRUE(unit->IsBusy());
    EXPECT_FLOAT_EQ(unit->GetWaitTimer(), 1.0f);

    unit->QueueOrder(Order());
    battle.options = kOptionInstantMove;
    EXPECT_TRUE(unit->IsBusy());  // the timer is cleared, the orders still run
    EXPECT_EQ(unit->GetWaitTimer(), 0.0f);
    unit->CancelOrders();
    EXPECT_FALSE(unit->IsBusy());

    battle.options = 0;
    unit->StartWaitTimer();
    battle.fastForward = true;
    EXPECT_FALSE(unit->IsBusy());
    EXPECT_EQ(unit->GetWaitTimer(), 0.0f);

    unit->Kill(false, nullptr);
    EXPECT_TRUE(unit->IsBusy());
}

}  // namespace
}  // namespace units_test
