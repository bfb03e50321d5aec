#pragma once
// What the catalogue needs of the window: the query panel's texts, the record
// list, the page label and the input focus. The window implements it with its
// controls; tolvan-cli and the tests implement it in memory.

#include <array>
#include <string>
#include <string_view>

// Controls the catalogue reads or writes, by their ids in the main window.
enum CatalogueControl : int {
    kIdRecordList = 1000,
    kIdStartDate = 1013,
    kIdEndDate = 1014,
    kIdCallType = 1015,
    kIdCondition = 1016,
    kIdKeyword = 1017,
    kIdPageLabel = 1033,
    kIdPageNumber = 1034,
    kIdFolderTree = 1030,
};

// The seven column texts of one row of the record list.
using RowTexts = std::array<std::u16string, 7>;

class CatalogueView {
public:
    virtual ~CatalogueView() = default;

    // Text of an edit field or combo box of the query panel.
    virtual std::u16string ControlText(CatalogueControl id) const = 0;
    // Sets the text of a query panel control or of the page label.
    virtual void SetControlText(CatalogueControl id, std::u16string_view text) = 0;
    // Gives the input focus to the record list or the folder tree.
    virtual void SetFocusTo(CatalogueControl id) = 0;

    // The record list: redrawing is switched off while a page is rebuilt.
    virtual void SetListRedraw(bool on) = 0;
    virtual void DeleteAllRows() = 0;
    virtual void InsertRow(int row, const RowTexts& columns) = 0;
    // Gives the row the selected and focused states.
    virtual void SelectRow(int row) = 0;

    // Tells the user that a scan found no result it could keep, and why (the
    // file and the system's reason): the empty list is no answer.
    virtual void ShowScanFailure(std::u16string_view reason) = 0;
};
