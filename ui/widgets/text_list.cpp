// Lists of fixed-width text entries stored end to end, as menus and pickers use them.
#include "ui/widgets/text_list.h"

#include <cstring>

namespace zorbel {

int count_list_entries(const char* list) {
  const size_t width = std::strlen(list) + 1;
  int count = 0;
  for (const char* entry = list; entry[0] != kListEndMarker; entry += width) ++count;
  return count;
}

}  // namespace zorbel
