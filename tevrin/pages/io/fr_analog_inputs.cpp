#include "tevrin/pages/io/fr_analog_inputs.h"

TfrAnalogInputs::TfrAnalogInputs(QWidget* owner) : TPageFrame(owner, 14, 1, 0)
{
    setObjectName(QStringLiteral("frAnalogInputs"));
}
