#include "catalogue/Catalogue.h"

#include <cstring>

#include "catalogue/RecordRow.h"
#include "catalogue/ScanJob.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "platform/TextNumber.h"

namespace {

// A text as its control's fixed-size buffer would hold it.
std::u16string Cut(std::u16string_view text, size_t maxChars) { return std::u16string(text.substr(0, maxChars)); }

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

}  // namespace

std::u16string PageLabel(uint32_t entryCount, int page, int pageCount) {
    return u"总共" + DecimalText(entryCount) + u"条记录，第" + DecimalText(page) + u"页，共" + DecimalText(pageCount) + u"页";
}

QueryFilter MakeQueryFilter(const QueryRequest& request) {
    QueryFilter filter{};
    ReadDate(Cut(request.startDate, 31), kDefaultStartDate, filter.startYear, filter.startMonth, filter.startDay);
    ReadDate(Cut(request.endDate, 31), kDefaultEndDate, filter.endYear, filter.endMonth, filter.endDay);
    ToNarrowField(Cut(request.callType, 15), filter.typeText);
    ToNarrowField(Cut(request.keyword, 31), filter.keyword);
    return filter;
}

void Catalogue::ResetQueryControls() {
    QueryRequest start;
    start.callType = kAllTypesText;
    view_.ShowQueryFields(start);
}

void Catalogue::OnFolderChanged(std::u16string_view path) {
    m_szRecFolder = path;
    m_nPageCount = 0;
    m_nPage = 0;
    ResetQueryControls();
    if (m_szRecFolder.empty()) {
        EmptyCatalogue();
        FillPage();
        return;
    }
    if (LoadScanResult(scanner_.RunScan(m_szRecFolder, false, QueryFilter{}), 0)) view_.FocusFolderTree();
}

std::optional<std::u16string_view> Catalogue::OnQuery(const QueryRequest& request) {
    QueryFilter filter = MakeQueryFilter(request);
    if (auto message = DateFieldsMessage(filter)) return message;
    // A date the calendar cannot hold finds no recording: the query ends
    // with an empty catalogue, without asking the disk.
    if (auto message = CalendarSpanMessage(filter)) {
        EmptyCatalogue();
        FillPage();
        view_.FocusFolderTree();
        return message;
    }
    LoadScanResult(scanner_.RunScan(m_szRecFolder, true, filter), platform::TextToInt(Cut(request.page, 15)));
    view_.FocusFolderTree();
    return std::nullopt;
}

void Catalogue::OnRefreshList() {
    if (m_szRecFolder.empty()) return;
    ResetQueryControls();
    LoadScanResult(scanner_.RunScan(m_szRecFolder, false, QueryFilter{}), 0);
    view_.FocusFolderTree();
}

void Catalogue::OnNextPage() {
    if (m_nPageCount > 0 && m_nPage < m_nPageCount - 1) {
        ++m_nPage;
        FillPage();
    }
    view_.FocusRecordList();
}

void Catalogue::OnPrevPage() {
    if (m_nPageCount > 0 && m_nPage > 0) {
        --m_nPage;
        FillPage();
    }
    view_.FocusRecordList();
}

void Catalogue::ShowPage(int page) {
    if (page < 0 || page >= m_nPageCount) return;
    m_nPage = page;
    FillPage();
}

void Catalogue::SetPlayNumber(std::u16string_view number) { m_szPlayNumber = number.substr(0, 9); }

void Catalogue::EmptyCatalogue() {
    m_nEntryCount = 0;
    m_nPageCount = 0;
    m_nPage = 0;
    m_pEntries.clear();
    m_pEntries.shrink_to_fit();
}

bool Catalogue::LoadScanResult(const ScanResult& result, int requestedPage) {
    if (result.size == 0) {
        EmptyCatalogue();
        FillPage();
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
        FillPage();
        const std::string why = error ? platform::ErrorText(error) : "it changed since it was written";
        const std::string file = platform::InCurrentFolder(kScanResultFile);
        view_.ShowScanFailure(platform::Utf8ToWide("cannot read the scan result " + file + ": " + why));
        return false;
    }

    const uint32_t s = static_cast<uint32_t>(size);
    constexpr uint32_t kPageBytes = kEntriesPerPage * kCatalogueEntrySize;
    m_nPageCount = static_cast<int>(s / kPageBytes + (s % kPageBytes ? 1 : 0));
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
    PageShown page;
    page.label = m_nEntryCount == 0 ? std::u16string(kEmptyPageLabel) : PageLabel(m_nEntryCount, m_nPage + 1, m_nPageCount);
    size_t first = static_cast<size_t>(m_nPage) * kEntriesPerPage;
    for (size_t i = first; i < m_nEntryCount && i < first + kEntriesPerPage; ++i) {
        CatalogueEntry& entry = m_pEntries[i];
        FillSummary(m_szRecFolder, entry);
        RowTexts& row = page.rows.emplace_back();
        row[0] = DecimalText(static_cast<int64_t>(i) + 1);
        row[1] = platform::NarrowToWide(entry.Name());
        FormatRow(m_szRecFolder, row[1], platform::NarrowToWide(entry.Summary()), row);
        if (row[0] == m_szPlayNumber) page.selectedRow = static_cast<int>(page.rows.size()) - 1;
    }
    view_.ShowPage(page);
}
