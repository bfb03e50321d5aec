#include "controls/CalenderDlg.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStyleOptionToolButton>
#include <QTableView>
#include <QToolButton>
#include <algorithm>

#include "controls/ColorRef.h"
#include "controls/ControlId.h"
#include "controls/DialogUnits.h"

namespace {

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdMonthCalendar = 1027;
constexpr int kIdExit = 1018;
constexpr uint32_t kStripFrameColor = 0x908782;  // RGB(130, 135, 144)
constexpr int kStripHeight = 35;

QPushButton* HiddenButton(QWidget* parent, const QString& text, int id, QRect place) {
    auto* button = new QPushButton(text, parent);
    SetControlId(button, id);
    button->setGeometry(place);
    button->hide();
    return button;
}

}  // namespace

CalenderDlg::CalenderDlg(QWidget* parent, QWidget* field)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_field(field) {
    setFont(DialogFont(8));
    const DialogBaseUnits u = BaseUnitsOf(font());
    resize(DluX(146, u), DluY(128, u));

    // The calendar comes first in the tab order, so it has the focus when the
    // picker opens.
    m_calendar = new QCalendarWidget(this);
    SetControlId(m_calendar, kIdMonthCalendar);
    m_calendar->setGeometry(DluRect(0, 0, 145, 98, u));
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendar->setGridVisible(false);
    // The range a month calendar offers; every year in it has four digits.
    m_calendar->setDateRange(QDate(1601, 1, 1), QDate(9999, 12, 31));
    m_calendar->setSelectedDate(QDate::currentDate());
    // Chinese month and weekday names, whatever the system's language.
    m_calendar->setLocale(QLocale(QLocale::Chinese, QLocale::China));
    MakeRoomForTheMonthArrow();
    // Typing a year shows that year's month at once, so the days on show are
    // the days a click picks.
    m_yearEdit = m_calendar->findChild<QSpinBox*>(QStringLiteral("qt_calendar_yearedit"));
    if (m_yearEdit) {
        connect(m_yearEdit, &QSpinBox::valueChanged, this,
                [this](int year) { m_calendar->setCurrentPage(year, m_calendar->monthShown()); });
        m_yearEdit->installEventFilter(this);
    }

    QPushButton* ok = HiddenButton(this, QStringLiteral("确定"), kIdOk, DluRect(77, 63, 50, 14, u));
    ok->setDefault(true);
    HiddenButton(this, QStringLiteral("取消"), kIdCancel, DluRect(95, 82, 50, 14, u));

    m_btnExit = new QPushButton(QStringLiteral("退出"), this);
    SetControlId(m_btnExit, kIdExit);
    m_btnExit->setGeometry(DluRect(47, 101, 50, 14, u));

    connect(m_btnExit, &QPushButton::clicked, this, &CalenderDlg::PostOk);
    // A click on a day picks it; scrolling to another month does not.
    connect(m_calendar, &QCalendarWidget::clicked, this, &CalenderDlg::OnDaySelected);
    // Enter inside the calendar is the dialog's OK: it closes without writing.
    connect(m_calendar, &QCalendarWidget::activated, this, &CalenderDlg::PostOk);
}

QString CalenderDlg::FormatDay(const QDate& day) {
    if (!day.isValid()) return QString();
    return QString::asprintf("%04d-%02d-%02d", day.year(), day.month(), day.day());
}

void CalenderDlg::showEvent(QShowEvent* event) {
    if (!m_bLaidOut) {
        m_bLaidOut = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CalenderDlg::OnInitDialog() {
    m_calendar->resize(m_calendar->minimumSizeHint());
    const int w = m_calendar->width();
    const int h = m_calendar->height();

    QPoint topLeft(0, 0);
    if (m_field) topLeft = m_field->mapToGlobal(QPoint(0, m_field->height()));
    // Under the field even near the bottom of the screen: the picker is not
    // moved to stay on it.
    setGeometry(QRect(topLeft, QSize(w, h + kStripHeight)));

    const QSize button = m_btnExit->size();
    m_btnExit->move(w / 2 - button.width() / 2, h - button.height() / 2 + 17);
    // The first control with a tab stop, the calendar, takes the focus.
    m_calendar->setFocus();
}

void CalenderDlg::paintEvent(QPaintEvent*) {
    const int w = m_calendar->width();
    const int h = m_calendar->height();
    QPainter p(this);
    p.fillRect(QRect(1, 1, w - 2, h + 33), Qt::white);
    p.setPen(QPen(ColorFromRef(kStripFrameColor), 1));
    const QPoint frame[] = {{0, h}, {0, h + 34}, {w - 1, h + 34}, {w - 1, h - 1}};
    p.drawPolyline(frame, 4);
}

void CalenderDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CalenderDlg::OnDaySelected(const QDate& day) {
    m_picked = day;
    PostOk();
}

void CalenderDlg::MakeRoomForTheMonthArrow() {
    auto* month = m_calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    if (!month) return;
    QStyleOptionToolButton option;
    option.initFrom(month);
    const int arrow = month->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, month);
    int widest = 0;
    for (int m = 1; m <= 12; ++m)
        widest = std::max(widest, month->fontMetrics().horizontalAdvance(m_calendar->locale().standaloneMonthName(m)));
    // The drop-down arrow is drawn in the button's bottom right corner and the
    // name is centred: an arrow's width on each side keeps them apart.
    month->setMinimumWidth(widest + 2 * arrow + 4);
}

bool CalenderDlg::eventFilter(QObject* watched, QEvent* event) {
    // While the year box is open, the calendar takes a press anywhere else as
    // the end of the typing and drops it. A press on a day ends the typing
    // here first, so that the calendar lets it through and the day is picked.
    if (watched == m_yearEdit) {
        if (event->type() == QEvent::FocusIn) qApp->installEventFilter(this);
        if (event->type() == QEvent::FocusOut) qApp->removeEventFilter(this);
        return false;
    }
    if (event->type() == QEvent::MouseButtonPress && m_yearEdit && m_yearEdit->hasFocus()) {
        auto* view = m_calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
        if (view && watched == view->viewport()) view->setFocus(Qt::MouseFocusReason);
    }
    return QDialog::eventFilter(watched, event);
}

void CalenderDlg::PostOk() { QMetaObject::invokeMethod(this, &QDialog::accept, Qt::QueuedConnection); }
