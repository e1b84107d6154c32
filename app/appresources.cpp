#include "app/appresources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE has to be used outside any namespace.
static void initAppResourcesGlobal() { Q_INIT_RESOURCE(app); }

namespace fee {

void initAppResources() { initAppResourcesGlobal(); }

} // namespace fee
