#include "catalogue/MemoryCatalogueView.h"

#include "catalogue/Catalogue.h"

MemoryCatalogueView::MemoryCatalogueView() {
    fields_.callType = kAllTypesText;
    page_.label = kEmptyPageLabel;
}
