// Operation codes are the menu command ids; each names its step in the Edit menu.
#include "editor/document/undo_texts.h"

namespace {

const UndoTexts kTable[] = {
    {181, "&Undo DirectX Plugin...\tCtrl+Z", "&Redo DirectX Plugin...\tCtrl+Z"},
    {393, "&Undo Magnified Plot...\tCtrl+Z", "&Redo Magnified Plot...\tCtrl+Z"},
    {1813, "&Undo Record...\tCtrl+Z", "&Redo Record...\tCtrl+Z"},
    {1881, "&Undo Trim...\tCtrl+Z", "&Redo Trim...\tCtrl+Z"},
    {11301, "&Undo Clear...\tCtrl+Z", "&Redo Clear...\tCtrl+Z"},
    {11302, "&Undo Crop...\tCtrl+Z", "&Redo Crop...\tCtrl+Z"},
    {11303, "&Undo Cut...\tCtrl+Z", "&Redo Cut...\tCtrl+Z"},
    {11304, "&Undo Insert...\tCtrl+Z", "&Redo Insert...\tCtrl+Z"},
    {11305, "&Undo Paste...\tCtrl+Z", "&Redo Paste...\tCtrl+Z"},
    {11306, "&Undo Overwrite...\tCtrl+Z", "&Redo Overwrite...\tCtrl+Z"},
    {11307, "&Undo Mix...\tCtrl+Z", "&Redo Mix...\tCtrl+Z"},
    {11311, "&Undo Cross-fade...\tCtrl+Z", "&Redo Cross-fade...\tCtrl+Z"},
    {11500, "&Undo Tempo...\tCtrl+Z", "&Redo Tempo...\tCtrl+Z"},
    {11501, "&Undo Amplify...\tCtrl+Z", "&Redo Amplify...\tCtrl+Z"},
    {11502, "&Undo Pitch...\tCtrl+Z", "&Redo Pitch...\tCtrl+Z"},
    {11503, "&Undo Compress/Expand...\tCtrl+Z", "&Redo Compress/Expand...\tCtrl+Z"},
    {11504, "&Undo Echo...\tCtrl+Z", "&Redo Echo...\tCtrl+Z"},
    {11505, "&Undo Envelope...\tCtrl+Z", "&Redo Envelope...\tCtrl+Z"},
    {11506, "&Undo Equalize...\tCtrl+Z", "&Redo Equalize...\tCtrl+Z"},
    {11507, "&Undo Fade...\tCtrl+Z", "&Redo Fade...\tCtrl+Z"},
    {11508, "&Undo Flange...\tCtrl+Z", "&Redo Flange...\tCtrl+Z"},
    {11509, "&Undo Filter...\tCtrl+Z", "&Redo Filter...\tCtrl+Z"},
    {11510, "&Undo Modulate...\tCtrl+Z", "&Redo Modulate...\tCtrl+Z"},
    {11511, "&Undo Noise reduction...\tCtrl+Z", "&Redo Noise reduction...\tCtrl+Z"},
    {11512, "&Undo Pan...\tCtrl+Z", "&Redo Pan...\tCtrl+Z"},
    {11513, "&Undo Quantize...\tCtrl+Z", "&Redo Quantize...\tCtrl+Z"},
    {11514, "&Undo Reverb...\tCtrl+Z", "&Redo Reverb...\tCtrl+Z"},
    {11515, "&Undo Reverse...\tCtrl+Z", "&Redo Reverse...\tCtrl+Z"},
    {11516, "&Undo Localize sound...\tCtrl+Z", "&Redo Localize sound...\tCtrl+Z"},
    {11517, "&Undo Special effects...\tCtrl+Z", "&Redo Special effects...\tCtrl+Z"},
    {11518, "&Undo Insert...\tCtrl+Z", "&Redo Insert...\tCtrl+Z"},
    {0, nullptr, nullptr},
};

} // namespace

const UndoTexts* find_undo_texts(int code)
{
    for (const UndoTexts* t = kTable; t->undo; ++t)
        if (t->code == code)
            return t;
    return nullptr;
}

const UndoTexts* undo_text_table()
{
    return kTable;
}

bool operation_sets_length(int code)
{
    return (code >= 11302 && code <= 11307) || code == 11311 || code == 11518 || code == 1813;
}
