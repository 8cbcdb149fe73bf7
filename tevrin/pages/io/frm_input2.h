#pragma once
// The Inputs-WET page (page 13): the wet-contact digital inputs.
#include "tevrin/pages/io/inputs_page.h"

class TfrmInput2 : public TInputsPage {
    Q_OBJECT
public:
    explicit TfrmInput2(QWidget* owner);
};
