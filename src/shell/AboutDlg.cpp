#include "shell/AboutDlg.h"

#include "base/Artwork.h"
#include "base/CoreText.h"
#include "model/ReportText.h"

#include <QLabel>
#include <QPushButton>

namespace {

// Dialog units of the box's layout in pixels (a dialog unit is about 1.5 x 1.6
// pixels with the program's 12-pixel font).
QRect Dialog(int x, int y, int cx, int cy)
{
    return QRect(x * 3 / 2, y * 13 / 8, cx * 3 / 2, cy * 13 / 8);
}

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QString::fromLatin1(kTitle));
    setFixedSize(Dialog(0, 0, 211, 106).size());
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(ApplicationIcon().pixmap(32, 32));
    icon->setGeometry(Dialog(14, 20, 24, 24));

    const struct
    {
        QRect rect;
        QString text;
    } lines[] = {{Dialog(63, 23, 110, 8), tr("Ondalis developers 2013")},
                 {Dialog(73, 41, 90, 8), CoreText(kMakerPhone)},
                 {Dialog(73, 55, 90, 8), QString::fromLatin1(kMakerWeb)}};
    for (const auto& line : lines) {
        auto* label = new QLabel(line.text, this);
        label->setGeometry(line.rect);
    }
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setGeometry(Dialog(81, 71, 50, 16));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
