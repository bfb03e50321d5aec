#include "catalogue/MemoryCatalogueView.h"

#include "catalogue/Catalogue.h"

MemoryCatalogueView::MemoryCatalogueView() {
    texts_[kIdCallType] = kAllTypesText;
    texts_[kIdCondition] = kConditionText;
    texts_[kIdPageLabel] = kEmptyPageLabel;
}

std::u16string MemoryCatalogueView::ControlText(CatalogueControl id) const {
    auto it = texts_.find(id);
    return it == texts_.end() ? std::u16string() : it->second;
}

void MemoryCatalogueView::SetControlText(CatalogueControl id, std::u16string_view text) { texts_[id] = text; }

void MemoryCatalogueView::DeleteAllRows() {
    rows_.clear();
    selected_ = -1;
}

void MemoryCatalogueView::InsertRow(int row, const RowTexts& columns) {
    rows_.insert(rows_.begin() + row, columns);
}
