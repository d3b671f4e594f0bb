#include "base/FormView.h"

#include "model/ZR815KDoc.h"

CFormView::CFormView(CZR815KDoc& doc, QWidget* parent)
    : QWidget(parent), m_doc(doc)
{
    m_doc.AddView(this);
}

CFormView::~CFormView() { m_doc.RemoveView(this); }

void CFormView::OnUpdate(CDocView*, int) { update(); }

bool CFormView::OnCommand(int) { return false; }

std::optional<CommandState> CFormView::CommandStateOf(int) const { return std::nullopt; }
