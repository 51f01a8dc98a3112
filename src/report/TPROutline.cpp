#include "report/TPROutline.h"

#include <memory>

#include "pdf/PdfOutlineRoot.h"

TPROutlineRoot::TPROutlineRoot(TPdfOutlineRoot& root) : TPROutlineEntry(root) {}

TPROutlineRoot& TPROutlineRoot::AttachTo(TPdfOutlineRoot& root) {
    std::unique_ptr<TPROutlineRoot> wrapper(new TPROutlineRoot(root));
    TPROutlineRoot& result = *wrapper;
    root.SetCompanion(std::move(wrapper));
    return result;
}
