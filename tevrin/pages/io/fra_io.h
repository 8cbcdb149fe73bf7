#pragma once
// The Inputs-DRY page (page 4): the dry-contact digital inputs.
#include "tevrin/pages/io/inputs_page.h"

class TfraIO : public TInputsPage {
    Q_OBJECT
public:
    explicit TfraIO(QWidget* owner);
};
