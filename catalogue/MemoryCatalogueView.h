#pragma once
// The window's controls kept in memory: what tolvan-cli shows from, and what
// the tests look at. It starts with the texts the window's controls start
// with.

#include <map>
#include <string>
#include <vector>

#include "catalogue/CatalogueView.h"

class MemoryCatalogueView : public CatalogueView {
public:
    MemoryCatalogueView();

    std::u16string ControlText(CatalogueControl id) const override;
    void SetControlText(CatalogueControl id, std::u16string_view text) override;
    void SetFocusTo(CatalogueControl id) override { focus_ = id; }
    void SetListRedraw(bool on) override { redraw_ = on; }
    void DeleteAllRows() override;
    void InsertRow(int row, const RowTexts& columns) override;
    void SelectRow(int row) override { selected_ = row; }
    void ShowScanFailure(std::u16string_view reason) override { scanFailure_ = reason; }

    const std::vector<RowTexts>& Rows() const { return rows_; }
    // The selected row, -1 for none; cleared with the rows.
    int SelectedRow() const { return selected_; }
    // The control that last received the focus, 0 for none yet.
    int Focus() const { return focus_; }
    bool RedrawOn() const { return redraw_; }
    // The last scan failure shown; empty when none was.
    const std::u16string& ScanFailure() const { return scanFailure_; }

private:
    std::map<CatalogueControl, std::u16string> texts_;
    std::vector<RowTexts> rows_;
    int selected_ = -1;
    int focus_ = 0;
    bool redraw_ = true;
    std::u16string scanFailure_;
};
