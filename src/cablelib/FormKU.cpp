#include "cablelib/FormKU.h"

CFormKU::CFormKU(CZR815KDoc& doc, QWidget* parent)
    : CFormView(doc, parent)
{
}
