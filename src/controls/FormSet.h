// The pane that will hold the distances of the cursors C1 and C2, the zoom and the distance between the cursors. For now an empty view of the document.
#pragma once

#include "base/FormView.h"

class CFormSet : public CFormView
{
    Q_OBJECT
public:
    explicit CFormSet(CZR815KDoc& doc, QWidget* parent = nullptr);
};
