#include "controls/FormParams.h"

CFormParams::CFormParams(CZR815KDoc& doc, QWidget* parent)
    : CFormView(doc, parent)
{
}
