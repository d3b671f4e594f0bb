// The pane that will hold the waveform folder list, the memory channels and the preview. For now an empty view of the document.
#pragma once

#include "shell/FormView.h"

class CFormMemory : public CFormView
{
    Q_OBJECT
public:
    explicit CFormMemory(CZR815KDoc& doc, QWidget* parent = nullptr);

    // The preview strip makes the library pane taller.
    bool IsPreviewOn() const { return m_bPreview; }

private:
    bool m_bPreview = false;
};
