// Label and image controls: they show a point and never write it.
#include "brannix/qimage.h"
#include "brannix/qlabel.h"
#include "tests/brannix/fake_glue.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using platform::QM_EDIT;
using platform::QM_PUT;

TEST(Label, ShowsTheValueUnlessThePageTakesItOver)
{
    FakeGlue glue;
    glue.Add(20, 3);
    TQLabel label;
    label.setDbId(20);
    label.setUseDatabase(true);
    label.setUnitType(utTemperature);
    RegisterAll(&label, &glue);
    glue.Announce(20, "1");
    EXPECT_EQ(label.text(), "1");
    QObject::connect(&label, &TQLabel::OnDBPointValueChanged, [](const QString&, bool& d) { d = false; });
    glue.Announce(20, "2");
    EXPECT_EQ(label.text(), "1");
    EXPECT_EQ(Send(&label, QM_PUT), 0);
    EXPECT_EQ(Send(&label, QM_EDIT), 0);
    EXPECT_TRUE(glue.puts.empty());

    TQLabel missing;
    missing.setDbId(21);
    missing.setUseDatabase(true);
    RegisterAll(&missing, &glue);
    EXPECT_EQ(missing.text(), "not available");
    EXPECT_EQ(missing.Color(), clOlive());
}

TEST(Image, StateFromTheValue)
{
    FakeGlue glue;
    glue.Add(407, 8);
    struct Case { bool sixteen; TBitNum bit; const char* trueValue; const char* value; int state; };
    const Case cases[] = {
        {false, bnNone, "True", "True", 1},
        {false, bnNone, "True", "true", 0},
        {true, bnBit3, "True", "8", 1},
        {true, bnBit3, "True", "7", 0},
        {true, bnNone, "1", "1", 1},
        {true, bnBit16, "True", "65536", 2},   // beyond a 16-bit value: the state stays
        {false, bnBit20, "True", "1048576", 1},
        {false, bnBit31, "True", "-2147483648", 1},
    };
    for (const auto& c : cases) {
        std::unique_ptr<TQImageBase> image;
        if (c.sixteen)
            image = std::make_unique<QTImage16>();
        else
            image = std::make_unique<TQImage>();
        image->setDbId(407);
        image->setUseDatabase(true);
        image->setWatchBitNumber(c.bit);
        image->setTrueValue(c.trueValue);
        RegisterAll(image.get(), &glue);
        image->SetState(2);
        int stateSeenByPage = -1;
        QString valueSeen;
        QObject::connect(image.get(), &TQImageBase::OnDBPointValueChanged, [&](const QString& v) {
            stateSeenByPage = image->State();
            valueSeen = v;
        });
        glue.Announce(407, c.value);
        EXPECT_EQ(image->State(), c.state) << c.value;
        EXPECT_EQ(stateSeenByPage, c.state) << c.value;   // set before the page hears of it
        EXPECT_EQ(valueSeen, c.value);
    }
}

TEST(Image, RefusedPointGivesStateTwoAndStillFiresAfterRegister)
{
    FakeGlue glue;
    TQImage image;
    image.setDbId(999);
    image.setUseDatabase(true);
    QSignalSpy registered(&image, &TQImage::AfterRegisterDatabase);
    RegisterAll(&image, &glue);
    EXPECT_EQ(image.State(), 2);
    EXPECT_EQ(registered.count(), 1);
}
