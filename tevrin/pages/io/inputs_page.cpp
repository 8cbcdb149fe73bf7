#include "tevrin/pages/io/inputs_page.h"

TInputsPage::TInputsPage(QWidget* owner, int pageNumber, const QString& warning)
    : TPageFrame(owner, pageNumber, 0, 1), warning_(warning)
{
}
