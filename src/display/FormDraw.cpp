#include "display/FormDraw.h"

#include "base/CoreText.h"
#include "controls/core/CursorStrip.h"
#include "display/ReportPage.h"
#include "library/core/EventsTable.h"
#include "library/core/FileNameText.h"
#include "model/CommandIds.h"
#include "model/Difference.h"
#include "model/Format.h"
#include "model/LegendText.h"
#include "model/PlotKeys.h"
#include "model/PrivateProfile.h"
#include "model/ProgramFolder.h"
#include "model/SafeFile.h"
#include "model/ScaleTables.h"
#include "model/SectionBoundaries.h"
#include "model/ZR815KDoc.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QKeyEvent>
#include <QWheelEvent>
#include <optional>
#include <algorithm>
#include <cmath>

namespace {

QColor ToQColor(const Colour& c) { return QColor(c.r, c.g, c.b); }

// A column as an int. Cursor and marker positions can be typed in, so the
// column one falls in may be any double, NaN included, and converting a value
// beyond int to int is undefined. The plot clips everything outside 0..500, so
// the column is first held to a range far beyond the plot; NaN lies outside it
// too and goes to the far left.
int ToColumn(double column)
{
    constexpr double kFar = 1e6;
    if (std::isnan(column)) {
        return static_cast<int>(-kFar);
    }
    return static_cast<int>(std::clamp(column, -kFar, kFar));
}

// Column of a vertical line at a position: the nearest column edge.
int LineColumn(double position, double left, double columnWidth)
{
    return ToColumn(std::floor((position - left) / columnWidth + 0.5));
}

// The mode commands of the context menu, with their texts there; 0 separates.
struct MenuItem
{
    int id;
    const char* text;
};
constexpr MenuItem kContextItems[] = {{ID_MODE_ZOOM, QT_TRANSLATE_NOOP("CFormDraw", "Zoom")},
                                      {0, nullptr},
                                      {ID_MODE_CURSOR1, QT_TRANSLATE_NOOP("CFormDraw", "Cursor 1")},
                                      {ID_MODE_CURSOR2, QT_TRANSLATE_NOOP("CFormDraw", "Cursor 2")},
                                      {0, nullptr},
                                      {ID_MODE_MEMORY1, QT_TRANSLATE_NOOP("CFormDraw", "Memory 1")},
                                      {ID_MODE_MEMORY2, QT_TRANSLATE_NOOP("CFormDraw", "Memory 2")},
                                      {ID_MODE_MEMORY3, QT_TRANSLATE_NOOP("CFormDraw", "Memory 3")}};

} // namespace

CFormDraw::CFormDraw(CZR815KDoc& doc, QWidget* parent)
    : CFormView(doc, parent), m_list(this, kLegendId), m_plot(this, kPlotId)
{
    m_strSave = PrivateProfile(doc.SettingsPath()).GetPath(kSettingsSection, "SAVE", ProgramFolder() + "Save/");
    m_fnRoute = [this](int id) { RunDocCommand(GetDocument(), id); };
    m_fnChoosePicture = [this] {
        QString path =
            QFileDialog::getSaveFileName(this, tr("Save picture"), QString(), tr("PNG pictures (*.png)"));
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
            path += ".png";
        }
        return path;
    };
    m_fnErrorBox = [this](const QString& text) { QMessageBox::warning(this, tr("Save picture"), text); };
    m_fnPrintDialog = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        // One page, no selection; printing to a PDF file stays available, since
        // many desktops have no printer.
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        return dialog.exec() == QDialog::Accepted;
    };
    CreatePlot();
    CreateLegend();
    FillLegend();
}

CFormDraw::~CFormDraw()
{
    GetDocument().SaveSettings([folder = m_strSave](ProfileText& ini) {
        ini.SetPath(kSettingsSection, "SAVE", folder);
    });
}

void CFormDraw::CreatePlot()
{
    // Tab and a click both give the plot the focus: its keys move the cursors
    // and the zoom, and Ctrl+C reaches the form.
    m_plot.setFocusPolicy(Qt::StrongFocus);
    m_plot.installEventFilter(this);
    m_plot.setAccessibleName(tr("Waveform plot"));
    const CZR815KDoc& doc = GetDocument();
    m_plot.SetPlotRect(QRect());
    m_plot.SetWaveformAxes(doc.m_dScale);

    m_plot.AddLine(ToQColor(doc.m_crCursor1), 2, "1");
    m_plot.AddLine(ToQColor(doc.m_crCursor2), 2, "2");
    m_plot.GetLine(kLineCursor1)->SetState(CArrPoints::StateVisible | CArrPoints::StateLabel);
    m_plot.GetLine(kLineCursor2)->SetState(CArrPoints::StateVisible | CArrPoints::StateLabel);
    for (int k = 0; k < 3; ++k) {
        m_plot.AddLine(ToQColor(doc.m_memory[k].m_crColor), 500, QString("M%1").arg(k + 1));
        m_plot.GetLine(kLineTrace + k)->SetState(CArrPoints::StateHidden);
    }
    for (int k = 0; k < 3; ++k) {
        for (const char* name : {"M1", "M2"}) {
            m_plot.AddLine(ToQColor(doc.m_memory[k].m_crColor), 2, name);
            m_plot.GetLine(m_plot.GetLineCount() - 1)->SetState(CArrPoints::StateHidden);
        }
    }
    connect(&m_plot, &CScreenWnd::clicked, this, &CFormDraw::OnPlotClicked);
    connect(&m_plot, &CScreenWnd::wheelTurned, this, &CFormDraw::WheelTurned);
    connect(&m_plot, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { ShowContextMenu(m_plot.mapToGlobal(pos)); });
}

void CFormDraw::CreateLegend()
{
    m_list.setAccessibleName(tr("Legend"));
    m_list.setGeometry(QRect());
    // The legend only shows: no focus, no selection, mouse input passes through.
    // (Disabling it outright would grey its headings.)
    m_list.setFocusPolicy(Qt::NoFocus);
    m_list.setSelectionMode(QAbstractItemView::NoSelection);
    m_list.setAttribute(Qt::WA_TransparentForMouseEvents);
    for (const std::string& header : LegendHeaders(GetDocument().m_bShowHalfVelocity)) {
        m_list.InsertColumn(CoreText(header), CReportCtrl::LVCFMT_CENTER);
    }
    // Every cell of a channel's row in that channel's colour on black.
    m_list.SetCellColors([this](int row, int) {
        const QString name = m_list.GetCellText(row, 0);
        CReportCtrl::CellColors colours;
        colours.crBack = QColor(0, 0, 0);
        for (int k = 0; k < 3; ++k) {
            if (name == QString("M%1").arg(k + 1)) {
                colours.crText = ToQColor(GetDocument().m_memory[k].m_crColor);
            }
        }
        return colours;
    });
    SetColumnWidths();
}

void CFormDraw::FillLegend()
{
    const CZR815KDoc& doc = GetDocument();
    m_list.DeleteAllRows();
    for (int k = 0; k < 3; ++k) {
        if (!doc.m_memory[k].m_bOn) {
            continue;
        }
        const auto cells = LegendCells(doc, k);
        for (int col = 0; col < kLegendColumns; ++col) {
            m_list.AddItem(0, col, QString::fromStdString(cells[col]));
        }
    }
    m_list.UpdateItemCount();
}

void CFormDraw::SetColumnWidths()
{
    const CZR815KDoc& doc = GetDocument();
    const auto widths = LegendColumnWidths(width(), doc.m_bReturnLoss, doc.m_bShowMarkers);
    for (int col = 0; col < kLegendColumns; ++col) {
        m_list.SetColumnWidth(col, widths[col]);
    }
}

void CFormDraw::LayoutPlotAndLegend()
{
    const int rows = m_list.GetItemCount();
    const int rowHeight = rows > 0 ? m_list.GetRowHeight() : kEmptyRowHeight;
    const int legendHeight = rowHeight * (rows + 2);
    m_list.horizontalHeader()->setFixedHeight(rowHeight);
    m_list.setGeometry(0, height() - legendHeight, width(), height());
    m_plot.SetPlotPosition(0, 0, width(), height() - legendHeight);
}

void CFormDraw::ApplyLayout()
{
    if (m_bLegend) {
        LayoutPlotAndLegend();
    } else {
        m_plot.SetPlotPosition(0, 0, width(), height());
        m_list.setGeometry(QRect());
    }
}

void CFormDraw::resizeEvent(QResizeEvent* event)
{
    CFormView::resizeEvent(event);
    if (m_bLegend) {
        SetColumnWidths();
    }
    ApplyLayout();
}

void CFormDraw::PlaceVerticalLine(int index, int column)
{
    CArrPoints* line = m_plot.GetLine(index);
    line->SetPoint(0, column, m_plot.GetYMax());
    line->SetPoint(1, column, m_plot.GetYMin());
}

void CFormDraw::SetTrace(int channel)
{
    const PickedColumns values = TraceValues(GetDocument(), channel);
    CArrPoints* trace = m_plot.GetLine(kLineTrace + channel);
    trace->SetState(CArrPoints::StateVisible | CArrPoints::StateLabel);
    for (int i = 0; i < 500; ++i) {
        trace->SetPoint(i, i, values[static_cast<std::size_t>(i)]);
    }
}

void CFormDraw::OnInitialUpdate()
{
    const CZR815KDoc& doc = GetDocument();
    m_plot.SetApproximation(doc.m_bApproximation);
    m_plot.SetXLabels(0, doc.m_dScale / doc.m_dFactor * tables::kReferenceFactor);
    for (int k = 0; k < 3; ++k) {
        if (doc.m_memory[k].m_bOn) {
            SetTrace(k);
        } else {
            m_plot.GetLine(kLineTrace + k)->SetState(CArrPoints::StateHidden);
        }
    }
    const double unzoomedColumn = doc.m_dScale / tables::kColumns;
    PlaceVerticalLine(kLineCursor1, LineColumn(doc.m_dCursor1, 0, unzoomedColumn));
    PlaceVerticalLine(kLineCursor2, LineColumn(doc.m_dCursor2, 0, unzoomedColumn));
    m_bReady = true;
}

void CFormDraw::FillPlot()
{
    CZR815KDoc& doc = GetDocument();
    m_plot.SetApproximation(doc.m_bApproximation);
    double left = 0;
    double right = 0;
    doc.GetViewWindow(left, right);
    const double c = doc.ColumnWidth();
    m_plot.SetXLabels(left / doc.m_dFactor * tables::kReferenceFactor,
                      right / doc.m_dFactor * tables::kReferenceFactor);
    const int c1 = ToColumn(HeldColumn(doc.m_dCursor1 - left, c));
    const int c2 = ToColumn(HeldColumn(doc.m_dCursor2 - left, c));
    // Every channel's columns are picked before any trace is drawn: a difference
    // trace needs the reference's columns, whatever channel holds it.
    for (WaveformRecord& record : doc.m_memory) {
        if (!record.m_bOn) {
            continue;
        }
        doc.PickColumns(record, left, doc.WindowWidth(), record.m_displayMain);
        // The bytes under the cursors are read while the trace is filled.
        if (c1 >= 0 && c1 < 500) {
            record.m_nValueC1 = static_cast<uint8_t>(record.m_displayMain[c1]);
        }
        if (c2 >= 0 && c2 < 500) {
            record.m_nValueC2 = static_cast<uint8_t>(record.m_displayMain[c2]);
        }
    }
    for (int k = 0; k < 3; ++k) {
        const WaveformRecord& record = doc.m_memory[k];
        const int marker1 = kLineMarker + 2 * k;
        if (!record.m_bOn) {
            m_plot.GetLine(kLineTrace + k)->SetState(CArrPoints::StateHidden);
            m_plot.GetLine(marker1)->SetState(CArrPoints::StateHidden);
            m_plot.GetLine(marker1 + 1)->SetState(CArrPoints::StateHidden);
            continue;
        }
        SetTrace(k);
        const int state = doc.m_bShowMarkers ? CArrPoints::StateVisible | CArrPoints::StateLabel
                                             : CArrPoints::StateHidden;
        m_plot.GetLine(marker1)->SetState(state);
        m_plot.GetLine(marker1 + 1)->SetState(state);
        if (doc.m_bShowMarkers) {
            PlaceVerticalLine(marker1, LineColumn(record.m_dMarker1, left, c));
            PlaceVerticalLine(marker1 + 1, LineColumn(record.m_dMarker2, left, c));
        }
    }
    std::vector<CScreenWnd::Boundary> boundaries;
    for (const SectionBoundary& b : SectionBoundariesInView(doc)) {
        boundaries.push_back({b.m_nColumn, QString::fromStdString(b.m_strName)});
    }
    m_plot.SetBoundaries(std::move(boundaries));
    std::vector<CScreenWnd::EventMark> marks;
    for (const PlotEventMark& mark : doc.m_eventMarks) {
        if (mark.m_nChannel < 0 || mark.m_nChannel >= 3 || !doc.m_memory[mark.m_nChannel].m_bOn) {
            continue;
        }
        marks.push_back({LineColumn(mark.m_dPosition, left, c), ToQColor(doc.m_memory[mark.m_nChannel].m_crColor)});
    }
    m_plot.SetEventMarks(std::move(marks));
    m_plot.GetLine(kLineCursor1)->SetState(CArrPoints::StateVisible | CArrPoints::StateLabel);
    m_plot.GetLine(kLineCursor2)->SetState(CArrPoints::StateVisible | CArrPoints::StateLabel);
    PlaceVerticalLine(kLineCursor1, LineColumn(doc.m_dCursor1, left, c));
    PlaceVerticalLine(kLineCursor2, LineColumn(doc.m_dCursor2, left, c));
}

void CFormDraw::OnUpdate(CDocView*, int hint)
{
    if (!m_bReady) {
        return;
    }
    const CZR815KDoc& doc = GetDocument();
    if (hint == HINT_VELOCITY) {
        m_list.SetColumnHeading(4, CoreText(LegendHeaders(doc.m_bShowHalfVelocity)[4]));
        FillLegend();
        m_plot.update();
        update();
        return;
    }
    if (hint == HINT_RETURN_LOSS || hint == HINT_MARKERS) {
        SetColumnWidths();
        if (m_bLegend) {
            LayoutPlotAndLegend();
        }
    }
    FillPlot();
    FillLegend();
    if (hint == HINT_MEMORY) {
        ApplyLayout();
    }
    DescribeCursors();
    m_plot.update();
    update();
}

void CFormDraw::DescribeCursors()
{
    // A screen reader hears where the cursors stand after each move.
    const CursorReadout readout = CursorReadoutOf(GetDocument());
    const QString text =
        tr("C1 %1 m, C2 %2 m, L %3")
            .arg(QString::fromStdString(FormatFixed(readout.c1.value, 3)),
                 QString::fromStdString(FormatFixed(readout.c2.value, 3)), WithMetreUnit(readout.length));
    if (m_plot.accessibleDescription() != text) {
        m_plot.setAccessibleDescription(text);
    }
}

bool CFormDraw::OnCommand(int id)
{
    if (id == ID_SAVE_PICTURE) {
        const QString path = m_fnChoosePicture();
        if (!path.isEmpty() && !SavePicture(path)) {
            m_fnErrorBox(tr("The picture could not be saved to %1.")
                             .arg(QString::fromStdString(ShortenedText(path.toStdString()))));
        }
        return true;
    }
    if (id == ID_PRINT) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(tr("Untitled"));
        printer.setFromTo(1, 1);
        printer.setCollateCopies(true);
        if (m_fnPrintDialog(printer)) {
            PrintReport(printer);
        }
        return true;
    }
    if (id == ID_LEGEND) {
        m_bLegend = !m_bLegend;
        GetDocument().UpdateAllViews(nullptr, HINT_MEMORY);
        return true;
    }
    return false;
}

std::optional<CommandState> CFormDraw::CommandStateOf(int id) const
{
    if (id == ID_PRINT || id == ID_SAVE_PICTURE) {
        return CommandState{true, false};
    }
    if (id == ID_LEGEND) {
        return CommandState{true, m_bLegend};
    }
    return std::nullopt;
}

QImage CFormDraw::RenderPicture()
{
    QImage image(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    render(&image);
    return image;
}

bool CFormDraw::SavePicture(const QString& path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!RenderPicture().save(&buffer, "PNG")) {
        return false;
    }
    return WriteFileAtomically(std::filesystem::path(path.toStdString()),
                               std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void CFormDraw::PrintReport(QPrinter& printer)
{
    QPainter painter(&printer);
    if (!painter.isActive()) {
        return; // the printer refused the job; it has said why
    }
    // While the events list is shown the report carries its table.
    std::vector<EventRow> events;
    if (GetDocument().m_bEventsListed) {
        EventCache cache;
        events = ListEventRows(GetDocument(), cache);
    }
    DrawReportPage(painter, printer.pageLayout().paintRect(QPageLayout::Millimeter).size(), GetDocument(), m_list,
                   m_plot, events);
}

void CFormDraw::OnPlotClicked(int code, QPoint point)
{
    if (code == CScreenWnd::NM_CLICK) {
        ApplyPlotClick(GetDocument(), point.x(), point.y());
    }
}

void CFormDraw::WheelTurned(int delta)
{
    const int notches = m_wheel.Add(delta);
    for (int i = 0; i < std::abs(notches); ++i) {
        ApplyPlotWheel(GetDocument(), notches < 0 ? kWheelDown : -kWheelDown);
    }
}

// The plot's own key of a key press, if it has one. Tab and Shift+Tab cycle
// the active cursor; with Ctrl they leave the plot as usual.
static std::optional<PlotKey> PlotKeyOf(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return std::nullopt;
    }
    switch (event->key()) {
    case Qt::Key_Left:
        return PlotKey::Left;
    case Qt::Key_Right:
        return PlotKey::Right;
    case Qt::Key_Home:
        return PlotKey::Home;
    case Qt::Key_End:
        return PlotKey::End;
    case Qt::Key_Plus:
    case Qt::Key_Equal: // '+' without Shift on most layouts
        return PlotKey::ZoomIn;
    case Qt::Key_Minus:
        return PlotKey::ZoomOut;
    case Qt::Key_PageUp:
        return PlotKey::PageUp;
    case Qt::Key_PageDown:
        return PlotKey::PageDown;
    case Qt::Key_Tab:
        return (mods & Qt::ShiftModifier) ? PlotKey::PreviousMode : PlotKey::NextMode;
    case Qt::Key_Backtab:
        return PlotKey::PreviousMode;
    default:
        return std::nullopt;
    }
}

bool CFormDraw::eventFilter(QObject* watched, QEvent* event)
{
    // Tab never reaches keyPressEvent (it moves the focus first), so the
    // plot's keys are taken here.
    if (watched == &m_plot && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (const std::optional<PlotKey> plotKey = PlotKeyOf(key)) {
            ApplyPlotKey(GetDocument(), *plotKey, key->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
    }
    return CFormView::eventFilter(watched, event);
}

void CFormDraw::keyPressEvent(QKeyEvent* event)
{
    // Ctrl+C with the focus on the plot (it passes keys on) copies the picture.
    if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setImage(RenderPicture());
        event->accept();
        return;
    }
    CFormView::keyPressEvent(event);
}

void CFormDraw::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta != 0) {
        WheelTurned(delta);
    }
    event->accept();
}

QMenu* CFormDraw::CreateContextMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    for (const MenuItem& item : kContextItems) {
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(tr(item.text));
        action->setData(item.id);
        action->setCheckable(true);
        const CommandState state = DocCommandState(GetDocument(), item.id).value_or(CommandState{});
        action->setChecked(state.checked);
        action->setEnabled(state.enabled);
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { m_fnRoute(id); });
    }
    return menu;
}

void CFormDraw::ShowContextMenu(const QPoint& globalPos)
{
    QMenu* menu = CreateContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void CFormDraw::contextMenuEvent(QContextMenuEvent* event)
{
    ShowContextMenu(event->globalPos());
    event->accept();
}
