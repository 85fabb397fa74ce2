#pragma once

#include <QIcon>

// The pictures on the programs' buttons. They are drawn here rather than taken from the
// desktop's icon theme: they look the same on every machine, and a window that has them does
// not search the theme's folders or load picture-format plugins while it is built. Each is
// drawn when a button first shows it, at the size it is shown at.
enum class TGlyph {
    // The menu window's buttons and the about box's.
    Exit,
    Action,
    Tables,
    Find,
    Help,
    About,
    FileList,
    Ok,
    // The item-table windows' buttons.
    Copy,
    Open,
    ShowMore, // show the picture/file row
    ShowLess, // hide it again
    Close,
    // The media buttons.
    Play,
    Pause,
    Stop,
    StepForward,
    StepBack,
    SkipToEnd,
    SkipToStart,
    // The record navigator's buttons.
    FirstRecord,
    PriorRecord,
    NextRecord,
    LastRecord,
    InsertRecord,
    DeleteRecord,
    EditRecord,
    PostEdit,
    CancelEdit,
    RefreshData,
};

QIcon GlyphIcon(TGlyph glyph);
