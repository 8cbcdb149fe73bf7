// A configuration saved from a logged-on unit and opened into it again gives the unit back
// exactly what it held: a float with more digits than a page shows keeps every bit.
#include "tests/pages/page_session.h"
#include "tevrin/shell/main_form.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>
#include <vector>

namespace {

using pagetest::PageSession;

QByteArray Bytes(float value)
{
    QByteArray bytes(sizeof value, '\0');
    std::memcpy(bytes.data(), &value, sizeof value);   // little-endian, as the unit stores it
    return bytes;
}

}  // namespace

TEST(ConfigFileSession, SaveThenOpenIntoTheUnitKeepsEveryFloatBitForBit)
{
    const struct {
        int dbId;
        float value;
    } kFloats[] = {
        {1246, -8888.8877f},   // Analog Output 1: Minimum ("%g": -8888.89)
        {1249, 1234567.0f},    // Analog Output 2: Minimum, seven digits ("%g": 1.23457e+06)
        {1252, FLT_MAX},
        {1255, 1e-45f},        // the smallest denormal
        {1258, 0.1f},          // six digits already hold it
    };
    PageSession s;
    for (const auto& f : kFloats) s.unit.SetRaw(sim::DbId{f.dbId}, Bytes(f.value));
    ASSERT_TRUE(s.LogOn(true));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("unit.cfg"));
    s.prompter.files = {file};
    s.Form().tbtnSaveClick();
    ASSERT_TRUE(PageSession::PumpUntil([&] { return pagetest::ClaimsSaved(s.Form()); }))
        << s.prompter.Texts().join(QStringLiteral(" | ")).toStdString();

    // The unit forgets them; the file has to bring them back.
    for (const auto& f : kFloats) s.unit.SetRaw(sim::DbId{f.dbId}, Bytes(0.0f));
    s.unit.ClearLog();
    s.prompter.files = {file};
    s.prompter.answers = {platform::mrYes};   // write it into the unit; every other box OK
    s.Form().tbtnOpenClick();

    EXPECT_EQ(s.unit.RebootCount(), 1) << s.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    for (const auto& f : kFloats) {
        SCOPED_TRACE(f.dbId);
        EXPECT_EQ(s.unit.Raw(sim::DbId{f.dbId}).toHex().toStdString(), Bytes(f.value).toHex().toStdString());
        EXPECT_EQ(s.unit.Raw(sim::DbId{f.dbId}, sim::Copy::Flash).toHex().toStdString(),
                  Bytes(f.value).toHex().toStdString());
    }
}
