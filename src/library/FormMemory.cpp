#include "library/FormMemory.h"

CFormMemory::CFormMemory(CZR815KDoc& doc, QWidget* parent)
    : CFormView(doc, parent)
{
}
