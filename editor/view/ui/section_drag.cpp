#include "editor/view/ui/section_drag.h"

#include "common/child_frame.h"

#include <QMimeData>

QMimeData* section_mime_data(const CChildFrame& doc)
{
    auto* data = new QMimeData;
    const auto handle = reinterpret_cast<quintptr>(doc.window);
    data->setData(kSectionMimeType, QByteArray::number(static_cast<qulonglong>(handle), 16));
    return data;
}

CChildFrame* section_drag_source(const QMimeData* data)
{
    if (!data || !data->hasFormat(kSectionMimeType))
        return nullptr;
    bool ok = false;
    const qulonglong handle = data->data(kSectionMimeType).toULongLong(&ok, 16);
    if (!ok || handle == 0)
        return nullptr;
    // Only a document that is still registered is trusted.
    return documents::find_by_window(reinterpret_cast<HWND>(static_cast<quintptr>(handle)));
}
