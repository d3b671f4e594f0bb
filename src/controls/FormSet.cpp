#include "controls/FormSet.h"

CFormSet::CFormSet(CZR815KDoc& doc, QWidget* parent)
    : CFormView(doc, parent)
{
}
