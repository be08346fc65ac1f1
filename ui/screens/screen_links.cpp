// The links out of step edit, each unset until its screen family registers it.
#include "ui/screens/screen_links.h"

namespace zorbel {

ScreenLinks screen_links;

}  // namespace zorbel
