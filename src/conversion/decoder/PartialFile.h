#pragma once
// A page is written under this name beside its final one and renamed when whole, so a crash or a
// kill never leaves half a page under the final name. The decoder and StagePage (which cleans up
// after a decoder that died) both use it.

namespace pagemint {

inline constexpr char kPartialSuffix[] = ".part";

} // namespace pagemint
