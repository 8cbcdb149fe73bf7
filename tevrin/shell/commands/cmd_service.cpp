#include "tevrin/shell/commands/cmd_service.h"

#include "platform/errors.h"
#include "platform/prompter.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/commands/cmd_common.h"

#include <QString>

#include <limits>

using namespace CommandKeys;

void ServiceActionCommand::Execute()
{
    if (GetFlag(LoggingOn)) return;
    SetText(StatusLineSpecialPanel, StatusText());
    SetNumber(localPBarMax, 1);
    try {
        const Action action = Prepare();
        int r = kErrUnknownWritePoint;
        if (action.dbId >= 0 && action.dbId <= std::numeric_limits<TDbId>::max()) {
            DataBase* db = DataBase::Instance();
            const auto id = static_cast<TDbId>(action.dbId);
            // The point is marked valid before the edit: an edit of a point not yet read would
            // be dropped, and the write would send the point's old value instead of the action.
            if (MarksValid()) db->SetValid(id);
            db->SetPointText(id, action.value);
            r = db->WritePoint(id);
        }
        if (r != 0)
            platform::ShowMessage(QString::fromLatin1(ErrorText()));
        else if (!action.successText.empty())
            SetText(StatusLineSpecialPanel, action.successText);
    } catch (int code) {
        platform::ShowMessage(QString::fromStdString(cmd::ErrorText(code)));
    }
    SetText(StatusLineSpecialPanel, "");
}

ServiceActionCommand::Action SetBypassCommand::Prepare()
{
    return {330, GetFlag(tbtnBypass) ? "True" : "False", "Bypass Submitted"};
}

std::string CalibrateCommand::SuccessText(long long dbId)
{
    switch (dbId) {
    case 474: return "Normal 1 Submitted";
    case 475: return "Calibrate 1 Submitted";
    case 476: return "Reference 1 Submitted";
    case 477: return "Zero 1 Submitted";
    case 478: return "Normal 2 Submitted";
    case 479: return "Calibrate 2 Submitted";
    case 480: return "Reference 2 Submitted";
    case 481: return "Zero 2 Submitted";
    default: return {};
    }
}

ServiceActionCommand::Action CalibrateCommand::Prepare()
{
    bool ok = false;
    const long long id = QString::fromStdString(Argument()).trimmed().toLongLong(&ok, 10);
    if (!ok) throw EConvertError("'" + Argument() + "' is not a valid integer value");
    return {id, "True", SuccessText(id)};
}
