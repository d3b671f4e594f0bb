// The pane that will hold the whole-range plot with the zoom frame. For now an empty view of the document.
#pragma once

#include "base/FormView.h"

class CForm : public CFormView
{
    Q_OBJECT
public:
    explicit CForm(CZR815KDoc& doc, QWidget* parent = nullptr);
};
