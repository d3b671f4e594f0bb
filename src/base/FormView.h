// Base of the six forms of the main window: a widget that is a view of the one
// document, registered with it for its whole life, and that may own commands
// the main frame relays to it whatever pane has the focus.
#pragma once

#include "model/DocCommands.h"
#include "model/DocView.h"

#include <QWidget>
#include <optional>

class CZR815KDoc;

class CFormView : public QWidget, public CDocView
{
    Q_OBJECT
public:
    CFormView(CZR815KDoc& doc, QWidget* parent = nullptr);
    ~CFormView() override;

    CZR815KDoc& GetDocument() const { return m_doc; }

    void OnUpdate(CDocView* sender, int hint) override;

    // Runs a command this form owns; false when it owns none with that id.
    virtual bool OnCommand(int id);
    // The state of a command this form owns, or nullopt.
    virtual std::optional<CommandState> CommandStateOf(int id) const;

signals:
    // The form's own command states may have changed (a selection, a toggle).
    void commandStatesChanged();

private:
    CZR815KDoc& m_doc;
};
