#include "display/Form.h"

CForm::CForm(CZR815KDoc& doc, QWidget* parent)
    : CFormView(doc, parent)
{
}
