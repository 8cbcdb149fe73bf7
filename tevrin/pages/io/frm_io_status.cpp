#include "tevrin/pages/io/frm_io_status.h"

TfrmIOStatus::TfrmIOStatus(QWidget* owner) : TPageFrame(owner, 15, 1, 0) { setObjectName(QStringLiteral("frmIOStatus")); }

std::vector<int> TfrmIOStatus::PollPoints() const
{
    std::vector<int> ids = {392, 407};
    AddRange(ids, 1544, 1547);
    for (int id : {247, 249, 251, 253, 955, 957, 380}) ids.push_back(id);
    AddRange(ids, 410, 415);
    AddRange(ids, 1129, 1136);
    AddRange(ids, 373, 376);
    AddRange(ids, 1125, 1128);
    ids.push_back(1476);
    ids.push_back(1475);
    return ids;
}
