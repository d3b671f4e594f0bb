// The pane that will hold the shifts of M1 to M3 and the velocity factor. For now an empty view of the document.
#pragma once

#include "base/FormView.h"

class CFormParams : public CFormView
{
    Q_OBJECT
public:
    explicit CFormParams(CZR815KDoc& doc, QWidget* parent = nullptr);
};
