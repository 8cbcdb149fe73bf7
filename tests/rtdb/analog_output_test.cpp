// The list of points that may drive an analog output.
#include "tevrin/rtdb/analog_output_collection.h"

#include <gtest/gtest.h>

namespace {

class AnalogOutputCollectionTest : public ::testing::Test {
protected:
    void TearDown() override { AnalogOutputCollection::DestroyInstance(); }
};

}  // namespace

TEST_F(AnalogOutputCollectionTest, BuiltInCatalogueGivesEveryFlaggedRowInCatalogueOrder)
{
    AnalogOutputCollection* c = AnalogOutputCollection::Instance();
    EXPECT_EQ(c->Count(), 0);   // empty until built
    c->Build();

    std::vector<const rosetta::CatalogueRow*> flagged;
    for (const auto& row : rosetta::kCatalogueRows)
        if (row.flags & 0x08)
            flagged.push_back(&row);
    ASSERT_FALSE(flagged.empty());
    ASSERT_EQ(c->Count(), static_cast<int>(flagged.size()));
    for (int i = 0; i < c->Count(); ++i) {
        const ANALOGOUTPUT_INFO* e = c->At(i);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->position, static_cast<uint32_t>(i));
        EXPECT_EQ(e->DbId, flagged[i]->dbId);
        EXPECT_EQ(e->name, QString::fromLatin1(flagged[i]->name));
        EXPECT_EQ(c->DbIdAt(i), flagged[i]->dbId);
        EXPECT_EQ(c->PositionOf(flagged[i]->dbId), i);
    }
    // The first analog-output source of the catalogue is the stream gain.
    EXPECT_EQ(c->At(0)->DbId, 21);
    EXPECT_EQ(c->At(0)->name, "Gain");
}

TEST_F(AnalogOutputCollectionTest, LookupsOutsideTheListAnswerNone)
{
    AnalogOutputCollection* c = AnalogOutputCollection::Instance();
    c->Build();
    const int n = c->Count();
    EXPECT_EQ(c->At(n), nullptr);
    EXPECT_EQ(c->At(-1), nullptr);
    EXPECT_EQ(c->DbIdAt(n), -1);
    EXPECT_EQ(c->DbIdAt(-1), -1);
    EXPECT_EQ(c->PositionOf(20), -1);   // "Streams" drives no output
}

TEST_F(AnalogOutputCollectionTest, CatalogueWithoutSourcesGivesAnEmptyList)
{
    const rosetta::CatalogueRow rows[] = {
        {20, "Streams", 3, 0x10, 0, 1, 0x04},
        {57, "Something", 0, 0x20, 0, 0, 0x07},
    };
    AnalogOutputCollection* c = AnalogOutputCollection::Instance();
    c->Build(rows, 2);
    EXPECT_EQ(c->Count(), 0);
    EXPECT_EQ(c->At(0), nullptr);
    EXPECT_EQ(c->PositionOf(57), -1);
    EXPECT_EQ(c->DbIdAt(0), -1);
}

TEST_F(AnalogOutputCollectionTest, RebuildStartsAgainWithNothingLeftOver)
{
    const rosetta::CatalogueRow rows[] = {
        {10, "A", 0, 0x20, 0, 0, 0x08},
        {11, "B", 0, 0x20, 0, 0, 0x01},
        {12, "C", 0, 0x20, 0, 0, 0x0B},
        {10, "A again", 0, 0x20, 0, 0, 0x08},
    };
    AnalogOutputCollection* c = AnalogOutputCollection::Instance();
    c->Build();
    const int builtIn = c->Count();
    c->Build(rows, 4);
    ASSERT_EQ(c->Count(), 3);
    EXPECT_EQ(c->DbIdAt(0), 10);
    EXPECT_EQ(c->DbIdAt(1), 12);
    EXPECT_EQ(c->DbIdAt(2), 10);
    EXPECT_EQ(c->At(2)->name, "A again");
    EXPECT_EQ(c->PositionOf(10), 0);   // the first match wins
    EXPECT_EQ(c->PositionOf(11), -1);

    c->Build();
    EXPECT_EQ(c->Count(), builtIn);
    EXPECT_EQ(c->At(0)->position, 0u);
    EXPECT_EQ(c->PositionOf(12), -1);
}

TEST_F(AnalogOutputCollectionTest, DestroyThenInstanceGivesAFreshEmptyList)
{
    AnalogOutputCollection::Instance()->Build();
    AnalogOutputCollection::DestroyInstance();
    AnalogOutputCollection::DestroyInstance();   // twice is harmless
    EXPECT_EQ(AnalogOutputCollection::Instance()->Count(), 0);
}
