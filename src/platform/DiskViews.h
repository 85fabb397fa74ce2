#pragma once

#include <QtGlobal>

// Shared read-only mappings of files that DiskFile reads through. One file (device and
// inode) has one view however often and under whatever names it is open; a view whose last
// user went is kept for a few later openings of the same file, so that a table closed and
// opened again (a new group chosen) finds its pages mapped already. A mapping shows the file
// as it is now, so keeping one never keeps old bytes.
//
// A view reserves more address space than its file needs, so that a growing file rarely has
// to be mapped anew. Bytes of the file that another program cut away read as zero: the
// access that finds them gone gets a page of zeros in their place, and the view is mapped
// anew before its next use.
namespace DiskViews {

struct View;

// The view of the open file `fd` (device `device`, inode `inode`) covering at least `size`
// bytes, or null when the file cannot be mapped.
View* Acquire(int fd, quint64 device, quint64 inode, qint64 size);
// Copies `count` bytes from `pos`, which the caller knows the file to hold; `fd` is an open
// file of the view's file, used to map it anew when that is needed. False when the view
// could not cover the range; then nothing was copied.
bool Copy(View* view, int fd, qint64 pos, char* data, qint64 count);
// The caller no longer uses the view.
void Release(View* view);

} // namespace DiskViews
