#include "tevrin/pages/io/frm_input2.h"

TfrmInput2::TfrmInput2(QWidget* owner)
    : TInputsPage(owner, 13, 5, QStringLiteral("Discrete Inputs (WET CONTACT) #1 to #4"),
                  QStringLiteral("Changing parameters in Inputs-WET Page may affect operation of the analyzer.\n"))
{
    setObjectName(QStringLiteral("frmInput2"));
}
