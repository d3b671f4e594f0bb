// The pane that will hold the library of cable velocity factors. For now an empty view of the document.
#pragma once

#include "base/FormView.h"

class CFormKU : public CFormView
{
    Q_OBJECT
public:
    explicit CFormKU(CZR815KDoc& doc, QWidget* parent = nullptr);
};
