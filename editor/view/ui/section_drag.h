#pragma once
// A highlighted section carried by drag and drop between windows of the program.
class CChildFrame;
class QMimeData;

inline constexpr const char* kSectionMimeType = "application/x-kelvara-section";

// The data of a drag of doc's highlighted section (the caller owns it).
QMimeData* section_mime_data(const CChildFrame& doc);
// The source document of a section drag that is still open; null for anything else.
CChildFrame* section_drag_source(const QMimeData* data);
