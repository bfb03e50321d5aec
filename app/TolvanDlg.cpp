#include "app/TolvanDlg.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QStyle>
#include <QTableWidget>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <type_traits>

#include "app/AboutDlg.h"
#include "app/ControlIds.h"
#include "app/ShellFolderTreeCtrl.h"
#include "app/WaitDlg.h"
#include "app/Voc2WavDlg.h"
#include "app/XlsoutDlg.h"
#include "catalogue/ScanJob.h"
#include "controls/BitmapSlider.h"
#include "controls/ButtonST.h"
#include "controls/CalenderDlg.h"
#include "controls/ColorRef.h"
#include "controls/ControlId.h"
#include "controls/DialogUnits.h"
#include "controls/WindowMessage.h"
#include "convert/ChVocPath.h"
#include "convert/ExportWorker.h"
#include "platform/DocumentsFolder.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "resources/ResourceIds.h"

namespace {

constexpr uint32_t kBlue = 0xCA804E;     // RGB(78, 128, 202)
constexpr uint32_t kTrack = 0xF8E4D8;    // RGB(216, 228, 248)
constexpr uint32_t kCaption = 0xE5C27F;  // RGB(127, 194, 229)
constexpr uint32_t kWhite = 0xFFFFFF;

constexpr int kWindowWidth = 1024;
constexpr int kWindowHeight = 600;
constexpr int kTopBandHeight = 40;

struct Column {
    const char16_t* title;
    int width;
};
constexpr Column kColumns[7] = {{u"序号", 50},     {u"文件名称", 120}, {u"电话号码", 140}, {u"方式", 40},
                                {u"开始时间", 130}, {u"录音时长", 70},  {u"文件长度", 110}};

QString FromU16(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Background and text colours of a control, for every state.
void Dress(QWidget* w, const QColor& background, const QColor& text) {
    QPalette p = w->palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button}) p.setColor(role, background);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText}) p.setColor(role, text);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

// A button's icon, at the size it is stored in.
QPixmap ButtonIcon(int id) { return QPixmap(ArtworkPath(id)); }

}  // namespace

CTolvanDlg::CTolvanDlg(const CShellManager& shell, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_hIcon(ArtworkPath(IDR_MAINFRAME)),
      m_shell(shell),
      m_catalogue(*this, *this) {
    setWindowTitle(QStringLiteral("Veltane Voice Player v3.0"));
    setFont(DialogFont(9));
    OnInitDialog();
}

CTolvanDlg::~CTolvanDlg() = default;

template <class W>
W* CTolvanDlg::Bind(W* control, int id) {
    SetControlId(control, id);
    m_controls[id] = control;
    if constexpr (std::is_base_of_v<QPushButton, W>) {
        // Enter never presses a button; Space and clicks do.
        control->setAutoDefault(false);
        connect(control, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
    }
    return control;
}

QWidget* CTolvanDlg::Control(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

QPushButton* CTolvanDlg::CommandButton(int id, const QString& text, QRect place) {
    auto* button = Bind(new QPushButton(text, this), id);
    button->setGeometry(place);
    return button;
}

CButtonST* CTolvanDlg::SkinnedButton(int id, const QString& text, QRect place) {
    auto* button = Bind(new CButtonST(this), id);
    button->setText(text);
    button->setGeometry(place);
    return button;
}

QLabel* CTolvanDlg::QueryLabel(int id, const QString& text, QRect place) {
    auto* label = Bind(new QLabel(text, this), id);
    label->setGeometry(place);
    Dress(label, m_brWhite.color(), Qt::black);
    return label;
}

void CTolvanDlg::OnInitDialog() {
    setWindowIcon(m_hIcon);

    m_brBlue = QBrush(ColorFromRef(kBlue));
    m_fontCaption = DialogFont(12);
    m_brCaption = QBrush(ColorFromRef(kCaption));
    m_brWhite = QBrush(ColorFromRef(kWhite));
    m_brTrack = QBrush(ColorFromRef(kTrack));

    move(0, 0);
    setFixedSize(kWindowWidth, kWindowHeight);

    // Frames first, so that they lie under what they frame.
    Bind(new QGroupBox(this), ids::kListFrame)->setGeometry(171, 33, 660, 495);
    Bind(new QGroupBox(this), ids::kQueryFrame)->setGeometry(832, 33, 185, 390);
    Bind(new QGroupBox(this), ids::kPlaybackFrame)->setGeometry(832, 416, 185, 156);

    // The tree is first in the tab order: choosing a folder is where the work
    // starts.
    m_tree = Bind(new CMFCShellFolderTreeCtrl(m_shell, this), ids::kFolderTree);
    m_tree->setGeometry(0, 41, 170, 395);
    connect(m_tree, &CMFCShellFolderTreeCtrl::folderChanged, this, &CTolvanDlg::OnFolderChanged);

    auto* picture = Bind(new QLabel(this), ids::kTreePicture);
    const QPixmap art(ArtworkPath(IDB_TREE_PICTURE));
    picture->setPixmap(art);
    picture->setGeometry(QRect(QPoint(0, 435), art.size()));

    CreateRecordList();
    CreateTopBand();
    CreateQueryPanel();
    CreatePlaybackPanel();

    // The hidden buttons of the dialog layout: 1 is the default button, 2
    // the close command.
    const DialogBaseUnits u = BaseUnitsOf(font());
    CommandButton(ids::kOk, QStringLiteral("确定"), DluRect(0, 0, 50, 14, u))->hide();
    CommandButton(ids::kCancel, QStringLiteral("取消"), DluRect(0, 0, 50, 14, u))->hide();

    auto* about = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(about, &QShortcut::activated, this, [this] { OnSysCommand(ids::IDM_ABOUTBOX); });

    m_tree->Refresh();
    m_tree->setFocus();
}

void CTolvanDlg::CreateRecordList() {
    m_list = Bind(new QTableWidget(0, 7, this), ids::kRecordList);
    m_list->setGeometry(172, 41, 660, 485);
    QStringList titles;
    for (const Column& c : kColumns) titles << QString::fromUtf16(c.title);
    m_list->setHorizontalHeaderLabels(titles);
    QHeaderView* header = m_list->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    for (int i = 0; i < 7; ++i) m_list->setColumnWidth(i, kColumns[i].width);
    m_list->verticalHeader()->hide();
    // Rows are as tall as a small icon and 6 pixels more.
    const int rowHeight = m_list->style()->pixelMetric(QStyle::PM_SmallIconSize) + 6;
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setMinimumSectionSize(rowHeight);
    m_list->verticalHeader()->setDefaultSectionSize(rowHeight);
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    m_list->setCornerButtonEnabled(false);
    // The selection shows only while the list has the focus.
    QPalette p = m_list->palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Inactive, QPalette::Base));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Inactive, QPalette::Text));
    m_list->setPalette(p);
    // The list selects the row as usual; the engine plays it.
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { m_engine.OnListDoubleClick(); });
}

void CTolvanDlg::CreateTopBand() {
    const DialogBaseUnits u = BaseUnitsOf(font());
    auto bandButton = [&](int id, const QString& text, QRect place, int icon) {
        CButtonST* b = SkinnedButton(id, text, place);
        b->SetColor(CButtonST::ColorSlot::BkActive, kBlue);
        b->SetColor(CButtonST::ColorSlot::BkNormal, kBlue);
        b->SetColor(CButtonST::ColorSlot::BkFocus, kBlue);
        b->SetIcon(ButtonIcon(icon));
        b->SetColor(CButtonST::ColorSlot::FgNormal, kWhite);
        b->SetColor(CButtonST::ColorSlot::FgActive, kWhite);
        return b;
    };
    m_btnExport = bandButton(ids::kExport, QStringLiteral("导出列表"), QRect(10, 5, 85, 30), IDI_EXPORT);
    m_btnRefresh = bandButton(ids::kRefresh, QStringLiteral("刷新列表"), QRect(105, 5, 85, 30), IDI_REFRESH);
    m_btnConvert = bandButton(ids::kConvert, QStringLiteral("语音转换"), QRect(200, 5, 85, 30), IDI_CONVERT);
    m_btnConvert->hide();

    auto* nowPlaying = Bind(new QLabel(QStringLiteral("正在播放"), this), ids::kNowPlaying);
    nowPlaying->setGeometry(300, 2, 600, 36);
    nowPlaying->setAlignment(Qt::AlignCenter);
    Dress(nowPlaying, m_brBlue.color(), Qt::white);
    nowPlaying->setText(QString());

    CommandButton(ids::kPrevPage, QStringLiteral("上一页"), QRect(650, 535, 75, 28));
    CommandButton(ids::kNextPage, QStringLiteral("下一页"), QRect(730, 535, 75, 28));

    m_stPageLabel = Bind(new QLabel(FromU16(kEmptyPageLabel), this), ids::kPageLabel);
    QRect place(QPoint(225, 544), DluRect(0, 0, 128, 8, u).size());
    place.setHeight(std::max(place.height(), m_stPageLabel->sizeHint().height()));
    m_stPageLabel->setGeometry(place);
}

void CTolvanDlg::CreateQueryPanel() {
    const DialogBaseUnits u = BaseUnitsOf(font());
    auto* caption = Bind(new QLabel(QStringLiteral(" 查询"), this), ids::kQueryCaption);
    caption->setGeometry(833, 42, 183, 25);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    caption->setFont(m_fontCaption);
    Dress(caption, m_brCaption.color(), Qt::black);

    // A combo box keeps the width and top of its layout rectangle; the height
    // there is that of its opened list.
    auto combo = [&](int id, QRect place) {
        auto* box = Bind(new QComboBox(this), id);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setGeometry(place.x(), place.y(), place.width(), box->sizeHint().height());
        return box;
    };
    auto edit = [&](int id, QRect place) {
        auto* e = Bind(new QLineEdit(this), id);
        e->setGeometry(place);
        return e;
    };

    QueryLabel(ids::kStartDateLabel, QStringLiteral("起始日期："), DluRect(480, 53, 35, 8, u));
    m_cbStartDate = combo(ids::kStartDate, DluRect(513, 52, 56, 30, u));
    QueryLabel(ids::kEndDateLabel, QStringLiteral("结束日期："), DluRect(480, 71, 35, 8, u));
    m_cbEndDate = combo(ids::kEndDate, DluRect(513, 71, 56, 30, u));
    QueryLabel(ids::kCallTypeLabel, QStringLiteral("类      型："), DluRect(480, 89, 35, 8, u));
    m_cbCallType = combo(ids::kCallType, DluRect(513, 89, 56, 45, u));
    QueryLabel(ids::kConditionLabel, QStringLiteral("条      件："), DluRect(480, 111, 35, 8, u));
    m_cbCondition = combo(ids::kCondition, DluRect(513, 111, 56, 45, u));
    QueryLabel(ids::kKeywordLabel, QStringLiteral("关 键 字："), DluRect(481, 130, 33, 8, u));
    m_editKeyword = edit(ids::kKeyword, DluRect(513, 130, 56, 12, u));
    QueryLabel(ids::kPageNumberLabel, QStringLiteral("页      码："), DluRect(480, 154, 35, 8, u));
    m_editPage = edit(ids::kPageNumber, DluRect(513, 152, 56, 12, u));
    CommandButton(ids::kQuery, QStringLiteral("查询"), DluRect(519, 179, 50, 14, u));

    // The date boxes open the calendar; their lists never drop down.
    m_cbStartDate->installEventFilter(this);
    m_cbEndDate->installEventFilter(this);

    m_cbCallType->addItems({QStringLiteral("全部类型"), QStringLiteral("全部主叫"), QStringLiteral("全部被叫"),
                            QStringLiteral("全部留言"), QStringLiteral("全部现场")});
    m_cbCondition->addItem(FromU16(kConditionText));
    m_cbCallType->setEditText(FromU16(kAllTypesText));
    m_cbCondition->setEditText(FromU16(kConditionText));
}

void CTolvanDlg::CreatePlaybackPanel() {
    const DialogBaseUnits u = BaseUnitsOf(font());
    const QColor track = m_brTrack.color();
    auto transport = [&](int id, QPoint at, int icon, int widthDlu) {
        CButtonST* b = SkinnedButton(id, QString(), QRect(at, DluRect(0, 0, widthDlu, 15, u).size()));
        b->SetColor(CButtonST::ColorSlot::BkActive, kTrack);
        b->SetColor(CButtonST::ColorSlot::BkNormal, kTrack);
        b->SetColor(CButtonST::ColorSlot::BkFocus, kTrack);
        b->SetIcon(ButtonIcon(icon));
        return b;
    };
    m_btnMute = transport(ids::kMute, {837, 445}, IDI_SOUND, 16);

    // As big as its channel bitmap.
    m_sliderVolume = Bind(new CBitmapSlider(this), ids::kVolume);
    m_sliderVolume->move(864, 450);
    SetUpVolumeSlider();

    m_sliderPos = Bind(new QSlider(Qt::Horizontal, this), ids::kPosition);
    m_sliderPos->setGeometry(QRect(QPoint(832, 485), DluRect(0, 0, 100, 15, u).size()));
    m_sliderPos->setRange(0, 100);
    m_sliderPos->setTickPosition(QSlider::NoTicks);
    Dress(m_sliderPos, track, Qt::black);
    // Presses and releases are seen before the slider handles them: they
    // seek in the recording being played.
    m_sliderPos->installEventFilter(this);

    m_btnPlay = transport(ids::kPlay, {839, 520}, IDI_PLAY, 15);
    m_btnPause = transport(ids::kPause, {872, 520}, IDI_PAUSE, 15);
    m_btnStop = transport(ids::kStop, {905, 520}, IDI_STOP, 15);
    m_btnPrev = transport(ids::kPrevious, {938, 520}, IDI_PREVIOUS, 15);
    m_btnNext = transport(ids::kNext, {971, 520}, IDI_NEXT, 15);
}

void CTolvanDlg::SetUpVolumeSlider() {
    m_sliderVolume->SetChannelBitmaps(IDB_VOLUME_CHANNEL, IDB_VOLUME_FILLED);
    m_sliderVolume->SetThumbBitmaps(IDB_VOLUME_THUMB, IDB_VOLUME_PRESSED);
    m_sliderVolume->ShowFocusRect(false);
    m_sliderVolume->SetRange(0, 100);
    m_sliderVolume->SetPos(m_engine.Volume());
    m_sliderVolume->SetMargins(2, 3, 2, 0);
}

void CTolvanDlg::OnVolumeTracking(int position) { m_engine.OnVolumeTracking(position); }

bool CTolvanDlg::event(QEvent* event) {
    if (event->type() == PostedMessage::EventType()) {
        const auto* m = static_cast<PostedMessage*>(event);
        m_engine.OnPostedMessage(m->message, m->wParam, m->lParam);
        return true;
    }
    // The level follows the drag; the release (WM_SLIDER_SETTLED) changes
    // nothing more.
    if (event->type() == WM_SLIDER_TRACKING) {
        if (static_cast<WindowMessage*>(event)->wParam == ids::kVolume) OnVolumeTracking(m_sliderVolume->GetPos());
        return true;
    }
    return QDialog::event(event);
}

void CTolvanDlg::paintEvent(QPaintEvent* event) {
    {
        QPainter p(this);
        p.fillRect(QRect(0, 0, 1024, 40), m_brBlue);
        p.fillRect(QRect(0, 40, 170, 600), m_brWhite);
        p.fillRect(QRect(832, 40, 192, 560), m_brWhite);
        p.fillRect(QRect(832, 423, 192, 155), m_brTrack);
    }
    QDialog::paintEvent(event);
}

void CTolvanDlg::OnCommand(int id) {
    switch (id) {
    case ids::kQuery:
        if (auto message = m_catalogue.OnQuery(QueryFields())) platform::ShowMessageBox(*message);
        break;
    case ids::kRefresh:
        m_catalogue.OnRefreshList();
        break;
    case ids::kPrevPage:
        m_catalogue.OnPrevPage();
        break;
    case ids::kNextPage:
        m_catalogue.OnNextPage();
        break;
    case ids::kExport:
        OnExportList();
        break;
    case ids::kConvert:
        OnConvert();
        break;
    case ids::kCancel:
        QDialog::reject();
        break;
    default:
        // Command 1, the hidden default button, closes nothing: Enter never
        // ends the program.
        m_engine.OnCommand(id);
        break;
    }
}

void CTolvanDlg::OnExportList() {
    if (m_catalogue.EntryCount() == 0) {
        platform::ShowMessageBox(kNothingToExport);
        return;
    }
    CXlsoutDlg dlg(m_catalogue.Entries(), m_catalogue.Folder(), platform::DocumentsFolder(), this, m_openFolder);
    dlg.exec();
}

void CTolvanDlg::OnConvert() {
    // The decoder's state is one for the whole process: nothing decodes
    // while a recording plays.
    if (m_engine.IsPlaying()) {
        platform::ShowMessageBox(kPlayingMessage);
        return;
    }
    if (m_catalogue.EntryCount() == 0) {
        platform::ShowMessageBox(kNothingToConvert);
        return;
    }
    QFileDialog browser(this, QStringLiteral("请选择语音文件转换后保存的文件夹"), FromU16(ReadChVocPath()));
    browser.setFileMode(QFileDialog::Directory);
    browser.setOption(QFileDialog::ShowDirsOnly);
    browser.setOption(QFileDialog::DontUseNativeDialog);
    if (browser.exec() != QDialog::Accepted || browser.selectedFiles().isEmpty()) return;
    std::u16string dest = browser.selectedFiles().first().toStdU16String();
    if (dest.empty()) return;
    if (dest.back() != u'/') dest += u'/';
    WriteChVocPath(dest);  // not being able to remember it changes nothing now

    std::vector<ConvertSource> sources;
    for (const CatalogueEntry& entry : m_catalogue.Entries())
        sources.push_back({m_catalogue.Folder(), platform::NarrowToWide(entry.Name())});
    CVoc2WavDlg dlg(std::move(sources), dest, m_decoderState, this, m_openFolder);
    dlg.exec();
}

void CTolvanDlg::OnSysCommand(int id) {
    if ((id & 0xFFF0) == ids::IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.exec();
    }
}

void CTolvanDlg::reject() { OnCommand(ids::kCancel); }

void CTolvanDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter runs the query from the keyword and page fields and does
        // nothing anywhere else; it never closes the window.
        QWidget* focus = focusWidget();
        if (focus == m_editKeyword || focus == m_editPage) OnCommand(ids::kQuery);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CTolvanDlg::contextMenuEvent(QContextMenuEvent* event) {
    // The top band stands in for the title bar's window menu.
    if (event->pos().y() >= kTopBandHeight) {
        event->ignore();
        return;
    }
    QMenu menu(this);
    menu.addSeparator();
    QAction* about = menu.addAction(FromU16(kAboutMenuText));
    if (menu.exec(event->globalPos()) == about) OnSysCommand(ids::IDM_ABOUTBOX);
}

bool CTolvanDlg::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_sliderPos && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (type == QEvent::MouseButtonPress)
            m_engine.OnPositionButtonDown();
        else
            m_engine.OnPositionButtonUp();
        return false;
    }
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // Only presses on the box itself (its drop-down part); presses in its
        // edit field go to the edit field, so the date can be typed.
        if (watched == m_cbStartDate) {
            OpenCalendar(m_cbStartDate);
            return true;
        }
        if (watched == m_cbEndDate) {
            OpenCalendar(m_cbEndDate);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CTolvanDlg::OpenCalendar(QComboBox* dateBox) {
    CalenderDlg picker(this, dateBox);
    if (picker.exec() == QDialog::Accepted && picker.PickedDay().isValid())
        dateBox->setEditText(CalenderDlg::FormatDay(picker.PickedDay()));
}

void CTolvanDlg::OnFolderChanged(const QString& path) { m_catalogue.OnFolderChanged(path.toStdU16String()); }

void CTolvanDlg::PreselectFolder(const QString& folder) {
    // Listed, such a folder would look like one without recordings.
    if (!platform::IsReadableFolder(QFile::encodeName(folder).toStdString())) {
        const int error = errno;
        platform::ShowMessageBox(
            QStringLiteral("无法打开文件夹 %1：%2").arg(folder, QString::fromLocal8Bit(std::strerror(error))).toStdU16String());
        return;
    }
    if (!m_tree->SelectPath(folder))
        m_catalogue.OnFolderChanged(QDir::cleanPath(QDir(folder).absolutePath()).toStdU16String());
}

QueryRequest CTolvanDlg::QueryFields() const {
    return {m_cbStartDate->currentText().toStdU16String(), m_cbEndDate->currentText().toStdU16String(),
            m_cbCallType->currentText().toStdU16String(), m_editKeyword->text().toStdU16String(),
            m_editPage->text().toStdU16String()};
}

void CTolvanDlg::ShowQueryFields(const QueryRequest& fields) {
    m_cbStartDate->setEditText(FromU16(fields.startDate));
    m_cbEndDate->setEditText(FromU16(fields.endDate));
    m_cbCallType->setEditText(FromU16(fields.callType));
    m_cbCondition->setEditText(FromU16(kConditionText));
    m_editKeyword->setText(FromU16(fields.keyword));
    m_editPage->setText(FromU16(fields.page));
}

void CTolvanDlg::ShowPage(const PageShown& page) {
    m_list->setUpdatesEnabled(false);
    m_list->setRowCount(0);
    for (int row = 0; row < static_cast<int>(page.rows.size()); ++row) {
        m_list->insertRow(row);
        for (int c = 0; c < 7; ++c) {
            auto* item = new QTableWidgetItem(FromU16(page.rows[row][c]));
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            m_list->setItem(row, c, item);
        }
    }
    m_list->setUpdatesEnabled(true);
    if (page.selectedRow >= 0) SelectRow(page.selectedRow);
    m_stPageLabel->setText(FromU16(page.label));
}

void CTolvanDlg::FocusFolderTree() { m_tree->setFocus(); }

void CTolvanDlg::FocusRecordList() { m_list->setFocus(); }

void CTolvanDlg::ShowScanFailure(std::u16string_view reason) { platform::ShowMessageBox(reason); }

void CTolvanDlg::SelectRow(int row) {
    m_list->setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

ScanResult CTolvanDlg::RunScan(const std::u16string& folder, bool useFilter, const QueryFilter& filter) {
    auto job = std::make_shared<ScanJob>();
    job->m_szFolder = folder;
    job->m_bUseFilter = useFilter ? 1 : 0;
    if (useFilter) job->m_filter = filter;
    CWaitDlg wait(job, this);
    wait.exec();
    wait.WaitForWorker();
    return {job->resultSize.load(), job->failure};
}

int CTolvanDlg::RowCount() const { return m_list->rowCount(); }

int CTolvanDlg::SelectedRowCount() const { return static_cast<int>(m_list->selectionModel()->selectedRows().size()); }

int CTolvanDlg::FirstSelectedRow() const {
    int first = -1;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        if (first < 0 || index.row() < first) first = index.row();
    return first;
}

std::u16string CTolvanDlg::RowText(int row, int column) const {
    const QTableWidgetItem* item = m_list->item(row, column);
    return item ? item->text().toStdU16String() : std::u16string();
}

void CTolvanDlg::DeselectRow(int row) {
    if (row < 0) {
        m_list->clearSelection();
        return;
    }
    m_list->selectionModel()->select(m_list->model()->index(row, 0),
                                     QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

void CTolvanDlg::FocusList() { m_list->setFocus(); }

int CTolvanDlg::Position() const { return m_sliderPos->value(); }

void CTolvanDlg::SetPosition(int position) { m_sliderPos->setValue(position); }

void CTolvanDlg::SetNowPlaying(std::u16string_view text) {
    static_cast<QLabel*>(Control(ids::kNowPlaying))->setText(FromU16(text));
}

void CTolvanDlg::ShowMuted(bool muted) { m_btnMute->SetIcon(ButtonIcon(muted ? IDI_MUTED : IDI_SOUND)); }

std::u16string CTolvanDlg::RecordingsFolder() const { return m_catalogue.Folder(); }

void CTolvanDlg::SetPlayNumber(std::u16string_view number) { m_catalogue.SetPlayNumber(number); }
