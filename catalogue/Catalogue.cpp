#include "catalogue/Catalogue.h"

#include <cstring>

#include "catalogue/RecordRow.h"
#include "catalogue/ScanJob.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "platform/TextNumber.h"

namespace {

// A control's text as its fixed-size buffer would hold it.
std::u16string ControlTextCut(const CatalogueView& view, CatalogueControl id, size_t maxChars) {
    std::u16string text = view.ControlText(id);
    if (text.size() > maxChars) text.resize(maxChars);
    return text;
}

// CP936 form of text in a zero-terminated 32-byte field, cut at a character
// boundary. A character CP936 cannot hold becomes 0x1A, a byte no phone
// number or type text contains, so such a text matches nothing rather than
// everything.
void ToNarrowField(std::u16string_view text, char (&field)[32]) {
    std::memset(field, 0, sizeof field);
    size_t used = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        size_t units = (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size()) ? 2 : 1;
        std::string bytes;
        if (!platform::WideToNarrow(text.substr(i, units), bytes)) bytes.assign(1, '\x1A');
        if (used + bytes.size() > sizeof field - 1) break;
        std::memcpy(field + used, bytes.data(), bytes.size());
        used += bytes.size();
        i += units - 1;
    }
}

// One date field: split and converted, the missing parts 0.
void ReadDate(std::u16string text, std::u16string_view fallback, int16_t& year, int16_t& month, int16_t& day) {
    if (text.empty()) text = fallback;
    std::u16string y, m, d;
    SplitDate(text, y, m, d);
    year = static_cast<int16_t>(platform::TextToInt(y));
    month = static_cast<int16_t>(platform::TextToInt(m));
    day = static_cast<int16_t>(platform::TextToInt(d));
}

bool OutOfRange(int16_t value, unsigned highest) {
    return static_cast<uint16_t>(value - 1) > highest - 1;
}

}  // namespace

std::u16string PageLabel(uint32_t entryCount, int page, int pageCount) {
    return u"总共" + DecimalText(entryCount) + u"条记录，第" + DecimalText(page) + u"页，共" + DecimalText(pageCount) + u"页";
}

QueryFilter ReadQueryFilter(const CatalogueView& view) {
    QueryFilter filter{};
    ReadDate(ControlTextCut(view, kIdStartDate, 31), kDefaultStartDate, filter.startYear, filter.startMonth,
             filter.startDay);
    ReadDate(ControlTextCut(view, kIdEndDate, 31), kDefaultEndDate, filter.endYear, filter.endMonth, filter.endDay);
    ToNarrowField(ControlTextCut(view, kIdCallType, 15), filter.typeText);
    ToNarrowField(ControlTextCut(view, kIdKeyword, 31), filter.keyword);
    return filter;
}

void Catalogue::ResetQueryControls() {
    view_.SetControlText(kIdStartDate, u"");
    view_.SetControlText(kIdEndDate, u"");
    view_.SetControlText(kIdCallType, kAllTypesText);
    view_.SetControlText(kIdCondition, kConditionText);
    view_.SetControlText(kIdKeyword, u"");
    view_.SetControlText(kIdPageNumber, u"");
}

void Catalogue::OnFolderChanged(std::u16string_view path) {
    m_szRecFolder = path;
    m_nPageCount = 0;
    m_nPage = 0;
    ResetQueryControls();
    if (m_szRecFolder.empty()) {
        EmptyCatalogue();
        view_.SetControlText(kIdPageLabel, kEmptyPageLabel);
        return;
    }
    if (LoadScanResult(scanner_.RunScan(m_szRecFolder, false, QueryFilter{}), 0)) {
        view_.SetControlText(kIdPageLabel, PageLabel(m_nEntryCount, 1, m_nPageCount));
        view_.SetFocusTo(kIdFolderTree);
    } else {
        view_.SetControlText(kIdPageLabel, kEmptyPageLabel);
    }
}

void Catalogue::OnQuery() {
    QueryFilter filter = ReadQueryFilter(view_);
    std::u16string pageText = ControlTextCut(view_, kIdPageNumber, 15);
    // Days are checked before months, so only one message is shown.
    if (OutOfRange(filter.startDay, 31) || OutOfRange(filter.endDay, 31)) {
        platform::ShowMessageBox(kDayRangeMessage);
        return;
    }
    if (OutOfRange(filter.startMonth, 12) || OutOfRange(filter.endMonth, 12)) {
        platform::ShowMessageBox(kMonthRangeMessage);
        return;
    }
    if (LoadScanResult(scanner_.RunScan(m_szRecFolder, true, filter), platform::TextToInt(pageText)))
        ShowCurrentPageLabel();
    else
        view_.SetControlText(kIdPageLabel, kEmptyPageLabel);
    view_.SetFocusTo(kIdFolderTree);
}

void Catalogue::OnRefreshList() {
    if (m_szRecFolder.empty()) return;
    ResetQueryControls();
    if (LoadScanResult(scanner_.RunScan(m_szRecFolder, false, QueryFilter{}), 0))
        view_.SetControlText(kIdPageLabel, PageLabel(m_nEntryCount, 1, m_nPageCount));
    else
        view_.SetControlText(kIdPageLabel, kEmptyPageLabel);
    view_.SetFocusTo(kIdFolderTree);
}

void Catalogue::OnNextPage() {
    if (m_nPageCount > 0 && m_nPage < m_nPageCount - 1) {
        ++m_nPage;
        FillPage();
        ShowCurrentPageLabel();
    }
    view_.SetFocusTo(kIdRecordList);
}

void Catalogue::OnPrevPage() {
    if (m_nPageCount > 0 && m_nPage > 0) {
        --m_nPage;
        FillPage();
        ShowCurrentPageLabel();
    }
    view_.SetFocusTo(kIdRecordList);
}

void Catalogue::ShowPage(int page) {
    if (page < 0 || page >= m_nPageCount) return;
    m_nPage = page;
    FillPage();
}

void Catalogue::SetPlayNumber(std::u16string_view number) { m_szPlayNumber = number.substr(0, 9); }

void Catalogue::ShowCurrentPageLabel() {
    view_.SetControlText(kIdPageLabel, PageLabel(m_nEntryCount, m_nPage + 1, m_nPageCount));
}

void Catalogue::EmptyCatalogue() {
    m_nEntryCount = 0;
    m_nPageCount = 0;
    m_nPage = 0;
    m_pEntries.clear();
    m_pEntries.shrink_to_fit();
    view_.DeleteAllRows();
}

bool Catalogue::LoadScanResult(const ScanResult& result, int requestedPage) {
    if (result.size == 0) {
        EmptyCatalogue();
        // A scan that could not keep its result found nothing that can be
        // shown, which is not the same as finding nothing.
        if (!result.failure.empty()) view_.ShowScanFailure(platform::Utf8ToWide(result.failure));
        return false;
    }
    // The file is the worker's; if it vanished or cannot be read whole since,
    // there is no result, and the user is told why.
    platform::File file = platform::File::OpenForReading(kScanResultFile);
    int64_t size = file ? file.Size() : -1;
    std::vector<CatalogueEntry> entries;
    if (size > 0 && size <= UINT32_MAX) {
        entries.resize(static_cast<size_t>(size) / sizeof(CatalogueEntry));
        size_t whole = entries.size() * sizeof(CatalogueEntry);
        char tail[sizeof(CatalogueEntry)];
        if (file.Read(entries.data(), whole) != whole ||
            file.Read(tail, sizeof tail) != static_cast<size_t>(size) - whole)
            size = -1;
    }
    const int error = file.Error();
    file.Close();
    platform::DeleteFileAt(kScanResultFile);
    if (size <= 0 || entries.empty()) {
        EmptyCatalogue();
        const std::string why = error ? platform::ErrorText(error) : "it changed since it was written";
        const std::string file = platform::InCurrentFolder(kScanResultFile);
        view_.ShowScanFailure(platform::Utf8ToWide("cannot read the scan result " + file + ": " + why));
        return false;
    }

    uint32_t s = static_cast<uint32_t>(size);
    m_nPageCount = static_cast<int>(s / 1200 + (s % 1200 ? 1 : 0));
    if (requestedPage < 1)
        m_nPage = 0;
    else if (requestedPage > m_nPageCount)
        m_nPage = m_nPageCount - 1;
    else
        m_nPage = requestedPage - 1;
    m_nEntryCount = static_cast<uint32_t>(entries.size());
    m_pEntries = std::move(entries);
    FillPage();
    return true;
}

void Catalogue::FillPage() {
    view_.SetListRedraw(false);
    view_.DeleteAllRows();
    int remembered = -1;
    size_t first = static_cast<size_t>(m_nPage) * kEntriesPerPage;
    for (size_t i = first; i < m_nEntryCount && i < first + kEntriesPerPage; ++i) {
        CatalogueEntry& entry = m_pEntries[i];
        FillSummary(m_szRecFolder, entry);
        RowTexts row;
        row[0] = DecimalText(static_cast<int64_t>(i) + 1);
        row[1] = platform::NarrowToWide(entry.Name());
        FormatRow(m_szRecFolder, row[1], platform::NarrowToWide(entry.Summary()), row);
        int k = static_cast<int>(i - first);
        view_.InsertRow(k, row);
        if (row[0] == m_szPlayNumber) remembered = k;
    }
    view_.SetListRedraw(true);
    if (remembered >= 0) view_.SelectRow(remembered);
}
