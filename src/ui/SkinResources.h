#pragma once

namespace pagemint {

// Registers the embedded skin pictures; the library that holds them is linked statically, so its
// resources must be registered by name before the first window loads them.
void registerSkinResources();

} // namespace pagemint
