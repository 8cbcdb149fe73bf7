#include "tevrin/shell/commands/cmd_clock.h"

#include "platform/clock.h"
#include "platform/prompter.h"
#include "tevrin/rtdb/database.h"

#include <QDate>
#include <QString>

#include <cmath>
#include <string>

using namespace CommandKeys;

namespace {
constexpr double kMsPerDay = 86400000.0;
constexpr double kWriteCorrection = 1.99;

void ErrorBox() { platform::ShowMessage(QStringLiteral("Error sending data to unit.")); }
void OutOfRangeBox() { platform::ShowMessage(QString::fromLatin1(SyncClockCommand::kDateOutOfRangeText)); }
}  // namespace

int SyncClockCommand::DayOfWeek(double dateTime)
{
    const auto days = static_cast<qint64>(std::floor(dateTime));
    const int isoDay = QDate(1899, 12, 30).addDays(days).dayOfWeek();   // 1 = Monday ... 7 = Sunday
    return isoDay % 7 + 1;
}

void SyncClockCommand::Execute()
{
    if (GetFlag(LoggingOn)) return;
    SetNumber(localPBarMax, 6);
    SetText(StatusLineSpecialPanel, "SyncClock...");

    const uint32_t token = Params().token;
    DataBase* db = DataBase::Instance();
    const auto clockId = static_cast<TDbId>(kClockDbId);
    const auto dayId = static_cast<TDbId>(kDayOfWeekDbId);
    try {
        // A moment no token can carry is never written into the unit's clock.
        if (token == kInvalidToken) {
            OutOfRangeBox();
            SetText(StatusLineSpecialPanel, "");
            return;
        }
        const int64_t t0 = platform::TickCountMs();
        db->SetPointText(clockId, std::to_string(token));
        db->WriteChanges();
        const int64_t t1 = platform::TickCountMs();

        double d = GetDate(TimestampTokenToDate, static_cast<int32_t>(token));
        d += static_cast<double>(platform::TickCountMs() - t1) / kMsPerDay;
        double t = d + kWriteCorrection * static_cast<double>(t1 - t0) / kMsPerDay;
        const auto token2 = static_cast<uint32_t>(Request(DateToTimestampToken, &t));
        if (token2 == kInvalidToken) {
            // The corrected moment could not be packed; the first token stays in the clock.
            OutOfRangeBox();
            SetText(StatusLineSpecialPanel, "");
            return;
        }
        db->SetPointText(clockId, std::to_string(token2));
        db->WriteChanges();

        db->ReadPoint(dayId);
        db->SetPointText(dayId, std::to_string(DayOfWeek(t)));
        if (db->WritePoint(dayId) != 0)
            ErrorBox();
        else
            SetText(StatusLineSpecialPanel, "SyncClock Submitted");
        SetText(StatusLineSpecialPanel, "");
    } catch (int) {
        // A link failure ends the command; the panel keeps "SyncClock..." until the next one.
    }
}
