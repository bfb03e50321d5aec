#pragma once
// The catalogue's view kept in memory: what tolvan-cli shows from, and what
// the tests look at. It starts as the window does: the type box on its first
// item, an empty list with the empty label.

#include <string>
#include <vector>

#include "catalogue/CatalogueView.h"

class MemoryCatalogueView : public CatalogueView {
public:
    enum class FocusTarget { kNone, kFolderTree, kRecordList };

    MemoryCatalogueView();

    void ShowQueryFields(const QueryRequest& fields) override { fields_ = fields; }
    void ShowPage(const PageShown& page) override { page_ = page; }
    void FocusFolderTree() override { focus_ = FocusTarget::kFolderTree; }
    void FocusRecordList() override { focus_ = FocusTarget::kRecordList; }

    // The query panel's texts as last shown.
    const QueryRequest& QueryFields() const { return fields_; }
    const std::u16string& Label() const { return page_.label; }
    const std::vector<RowTexts>& Rows() const { return page_.rows; }
    // The selected row, -1 for none.
    int SelectedRow() const { return page_.selectedRow; }
    FocusTarget Focus() const { return focus_; }
    void ShowScanFailure(std::u16string_view reason) override { scanFailure_ = reason; }
    // The last scan failure shown; empty when none was.
    const std::u16string& ScanFailure() const { return scanFailure_; }

private:
    QueryRequest fields_;
    PageShown page_;
    FocusTarget focus_ = FocusTarget::kNone;
    std::u16string scanFailure_;
};
