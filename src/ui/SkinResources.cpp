#include "ui/SkinResources.h"

#include <QtGlobal>

static void initSkin()
{
    Q_INIT_RESOURCE(skin);
}

namespace pagemint {

void registerSkinResources()
{
    static const bool registered = [] {
        initSkin();
        return true;
    }();
    (void)registered;
}

} // namespace pagemint
