// The shared state's starting values and the run-time-style arrays it holds.

#include "support/VbErrors.h"

#include "common/SharedState.h"

TEST(VbArray, RedimPreserveAndGrowth)
{
    VbArray<QString> names(0, 500);
    EXPECT_EQ(names.lbound(), 0);
    EXPECT_EQ(names.ubound(), 500);
    EXPECT_EQ(names.count(), 501);
    names[0] = QStringLiteral("first");
    names[500] = QStringLiteral("last");

    // Filling one entry after another: grown by 50 when the next index passes the bound.
    names.growFor(501, 50);
    EXPECT_EQ(names.ubound(), 550);
    EXPECT_EQ(names[500], QStringLiteral("last"));
    EXPECT_TRUE(names[501].isEmpty());
    names.growFor(550, 50);
    EXPECT_EQ(names.ubound(), 550);
    names.growFor(700, 50);
    EXPECT_EQ(names.ubound(), 700);

    // Cut to the count read.
    names.redimPreserve(2);
    EXPECT_EQ(names.count(), 3);
    EXPECT_EQ(names[0], QStringLiteral("first"));
    expectVbError(9, [&] { names[3]; });
    expectVbError(9, [&] { names[-1]; });

    // No entries at all is allowed; less than that is not.
    names.redimPreserve(-1);
    EXPECT_TRUE(names.isEmpty());
    EXPECT_EQ(names.ubound(), -1);
    expectVbError(9, [&] { names.redimPreserve(-2); });

    // ReDim without Preserve starts over.
    names.redim(1, 3);
    EXPECT_EQ(names.lbound(), 1);
    EXPECT_EQ(names.count(), 3);
    expectVbError(9, [&] { names[0]; });
    names[3] = QStringLiteral("x");
    names.redim(1, 3);
    EXPECT_TRUE(names[3].isEmpty());
}

TEST(VbTable, FixedBounds)
{
    VbTable<int> t(9, 2);
    t(9, 2) = 4;
    EXPECT_EQ(t(9, 2), 4);
    EXPECT_EQ(t(0, 0), 0);
    expectVbError(9, [&] { t(10, 0); });
    expectVbError(9, [&] { t(0, 3); });
    expectVbError(9, [&] { t(-1, 0); });
}

TEST(SharedState, StartsAsTheProgramDoesAndResets)
{
    resetShared();
    SharedState& s = shared();
    EXPECT_EQ(s.SelectedRouteIndex, 9999);
    EXPECT_TRUE(s.GamePath.isEmpty());
    EXPECT_EQ(s.SessionEditor, 0);
    EXPECT_FALSE(s.XmlEditorDefault);
    EXPECT_FALSE(s.Timetabled);
    EXPECT_TRUE(s.RouteNames.isEmpty());
    EXPECT_EQ(s.TrainTypeNames.ubound(), 9);
    EXPECT_EQ(s.LampTable.upperRow(), 50);
    EXPECT_EQ(s.LampTable.upperColumn(), 8);
    EXPECT_EQ(s.LampSlots.upperRow(), 9);
    EXPECT_EQ(s.LampSlots.upperColumn(), 2);

    s.GamePath = QStringLiteral("C:\\Games\\RS");
    s.PackageRouteMode = true;
    s.SelectedRouteIndex = 2;
    s.RouteNames.redim(0, 500);
    s.LampTable(50, 8) = QStringLiteral("x");
    s.Timetabled = true;
    EXPECT_EQ(&shared(), &s);
    EXPECT_EQ(shared().GamePath, QStringLiteral("C:\\Games\\RS"));

    resetShared();
    EXPECT_TRUE(s.GamePath.isEmpty());
    EXPECT_FALSE(s.PackageRouteMode);
    EXPECT_EQ(s.SelectedRouteIndex, 9999);
    EXPECT_TRUE(s.RouteNames.isEmpty());
    EXPECT_TRUE(s.LampTable(50, 8).isEmpty());
    EXPECT_FALSE(s.Timetabled);
}
