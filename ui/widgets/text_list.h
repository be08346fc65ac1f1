// Lists of fixed-width text entries stored end to end, as menus and pickers use them.
#pragma once

namespace zorbel {

// The marker that begins the entry after the last one.
constexpr char kListEndMarker = '~';

// Number of entries before the end entry. Every entry is as wide as the first entry's text
// plus its terminating zero. Precondition: the list contains an entry beginning with "~".
int count_list_entries(const char* list);

}  // namespace zorbel
