#pragma once
// The main window's catalogue: the current recordings folder, the entries of
// the last scan, the page shown, and the commands that change them (folder
// change, query, refresh, page turns). Everything the user sees goes through
// CatalogueView, except the query's messages, which OnQuery returns for its
// caller to show; scans go through ScanRunner.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/CatalogueEntry.h"
#include "catalogue/CatalogueView.h"
#include "catalogue/QueryFilter.h"
#include "catalogue/ScanRunner.h"

// Page label texts.
inline constexpr std::u16string_view kEmptyPageLabel = u"总共0条记录，第0页，共0页";
// "总共%ld条记录，第%ld页，共%ld页"
std::u16string PageLabel(uint32_t entryCount, int page, int pageCount);

// The condition box's one item and start text; the query does not read it.
inline constexpr std::u16string_view kConditionText = u"电话号码";

// Default dates of the query when a date field is empty.
inline constexpr std::u16string_view kDefaultStartDate = u"1971-01-01";
inline constexpr std::u16string_view kDefaultEndDate = u"3000-01-01";

// The query's filter from the panel's texts, as the query reads them: each
// cut to its field's length, dates split and cut to 16 bits (empty fields
// take the defaults), the type text and the keyword in CP936.
QueryFilter MakeQueryFilter(const QueryRequest& request);

class Catalogue {
public:
    Catalogue(CatalogueView& view, ScanRunner& scanner) : view_(view), scanner_(scanner) {}

    // Selection change in the folder tree; path is empty for a node without
    // a file-system folder.
    void OnFolderChanged(std::u16string_view path);
    // "查询" with the panel's texts: checks the dates and runs the filtered
    // scan. Returns the message to show when a check fails: after a day or
    // month out of range the catalogue and the list stay as they were; after
    // a date outside the calendar's span the catalogue is empty.
    std::optional<std::u16string_view> OnQuery(const QueryRequest& request);
    // "刷新列表": scans the current folder again without a filter.
    void OnRefreshList();
    // "上一页" and "下一页".
    void OnPrevPage();
    void OnNextPage();
    // Puts the query panel back to its start texts.
    void ResetQueryControls();

    // Makes path the recordings folder without scanning it, as if it had been
    // selected while the scan was cancelled: tolvan-cli queries a folder it
    // never listed.
    void SetFolder(std::u16string_view path) { m_szRecFolder = path; }

    // Shows page (counted from 0); pages outside the catalogue are ignored.
    void ShowPage(int page);

    // Play remembers the running number (column 0 text) of the row it started,
    // so that the row is selected again when pages are refilled.
    void SetPlayNumber(std::u16string_view number);

    const std::u16string& Folder() const { return m_szRecFolder; }
    uint32_t EntryCount() const { return m_nEntryCount; }
    int PageCount() const { return m_nPageCount; }
    int Page() const { return m_nPage; }
    // The whole catalogue, for the conversion and the export; summaries are
    // filled in place.
    std::vector<CatalogueEntry>& Entries() { return m_pEntries; }

private:
    // Loads the scan's result file, showing requested page (counted from 1,
    // limited to the pages there are). Returns false when the catalogue is
    // empty afterwards; a result that could not be written or read is shown
    // to the user as a failure.
    bool LoadScanResult(const ScanResult& result, int requestedPage);
    void EmptyCatalogue();
    // Shows the current page and its label (the empty label for an empty
    // catalogue).
    void FillPage();

    CatalogueView& view_;
    ScanRunner& scanner_;

    std::u16string m_szRecFolder;
    std::vector<CatalogueEntry> m_pEntries;
    int m_nPageCount = 0;
    int m_nPage = 0;
    uint32_t m_nEntryCount = 0;
    std::u16string m_szPlayNumber;  // at most 9 units, as its 10-unit buffer holds
};
