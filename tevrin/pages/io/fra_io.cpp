#include "tevrin/pages/io/fra_io.h"

TfraIO::TfraIO(QWidget* owner)
    : TInputsPage(owner, 4, 1, QStringLiteral("Discrete Inputs (DRY CONTACT) #1 to #4"),
                  QStringLiteral("Changing parameters in Inputs-DRY Page may affect operation of the analyzer.\n"))
{
    setObjectName(QStringLiteral("fraIO"));
}
