#include "tevrin/pages/config/frm_timer1.h"

TfrmTimer1::TfrmTimer1(QWidget* owner) : TPageFrame(owner, 16, 0, 1) { setObjectName(QStringLiteral("frmTimer1")); }
