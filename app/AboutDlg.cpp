#include "app/AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "controls/ControlId.h"
#include "controls/DialogUnits.h"
#include "resources/ResourceIds.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于 Veltane Voice Player"));
    setFont(DialogFont(9));
    const DialogBaseUnits u = BaseUnitsOf(font());
    setFixedSize(DluX(194, u), DluY(62, u));

    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(ArtworkPath(IDR_MAINFRAME)).scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    icon->setGeometry(QRect(QPoint(DluX(14, u), DluY(14, u)), QSize(32, 32)));

    auto* text = new QLabel(QStringLiteral("Veltane Voice Player 3.0 版"), this);
    text->move(DluX(42, u), DluY(14, u));
    text->adjustSize();

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    SetControlId(ok, 1);
    ok->setGeometry(DluRect(137, 41, 50, 14, u));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
