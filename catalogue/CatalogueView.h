#pragma once
// What the catalogue shows: the query panel's texts, a page of the record
// list with its label, and where the input focus goes. The window implements
// it with its controls; tolvan-cli and the tests implement it in memory.

#include <array>
#include <string>
#include <vector>

// The seven column texts of one row of the record list.
using RowTexts = std::array<std::u16string, 7>;

// The query panel's texts as typed: what "查询" reads, and what the panel
// shows after a folder change or a refresh. The query checks them and shows
// its messages exactly as for texts typed into the window.
struct QueryRequest {
    std::u16string startDate;  // "YYYY-MM-DD"; empty for the default
    std::u16string endDate;
    std::u16string callType;   // one of the type items, or any text typed
    std::u16string keyword;    // part of the phone number, * and ? as wildcards
    std::u16string page;       // the page box: the page to open after the query
};

// One page of the record list as shown.
struct PageShown {
    std::u16string label;        // "总共…条记录，第…页，共…页"
    std::vector<RowTexts> rows;  // at most a page
    int selectedRow = -1;        // the row to select and focus, -1 none
};

class CatalogueView {
public:
    virtual ~CatalogueView() = default;

    // The query panel shows these texts; its condition box shows its one item.
    virtual void ShowQueryFields(const QueryRequest& fields) = 0;
    // The record list shows page in place of what it showed.
    virtual void ShowPage(const PageShown& page) = 0;
    virtual void FocusFolderTree() = 0;
    virtual void FocusRecordList() = 0;

    // Tells the user that a scan found no result it could keep, and why (the
    // file and the system's reason): the empty list is no answer.
    virtual void ShowScanFailure(std::u16string_view reason) = 0;
};
